// The error box text for the store's errors: a plain explanation for the
// faults a user can meet and do something about, with the engine's words
// kept after it for whoever has to look further.
#include "store/StoreError.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

class tst_store_error final : public QObject
{
    Q_OBJECT

private slots:
    void explainsWhatTheUserCanMend_data();
    void explainsWhatTheUserCanMend();
    void tooLongNamesColumnAndLimit();
    void closedConnectionSaysSo();
};

void tst_store_error::explainsWhatTheUserCanMend_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("expected");
    QTest::newRow("full") << "13"
                          << "database or disk is full"
                          << "磁盘空间已满,无法写入记录文件。请清理磁盘后重试。\n(database or disk is full)";
    QTest::newRow("busy") << "5"
                          << "database is locked"
                          << "记录文件正被其他程序使用。请稍后重试。\n(database is locked)";
    QTest::newRow("locked table") << "6"
                                  << "database table is locked"
                                  << "记录文件正被其他程序使用。请稍后重试。\n(database table is locked)";
    QTest::newRow("read-only") << "8"
                               << "attempt to write a readonly database"
                               << "记录文件不能写入。请检查记录文件及其文件夹的权限。\n"
                                  "(attempt to write a readonly database)";
    QTest::newRow("moved (extended code)") << "1032"
                                           << "attempt to write a readonly database"
                                           << "记录文件已被移走或删除,无法写入。请重新启动程序。\n"
                                              "(attempt to write a readonly database)";
    QTest::newRow("io error (extended code)") << "266"
                                              << "disk I/O error"
                                              << "读写记录文件时出错。记录文件可能已被移走、删除,或磁盘出了问题。\n"
                                                 "(disk I/O error)";
    QTest::newRow("damaged") << "11"
                             << "database disk image is malformed"
                             << "记录文件已损坏。请用备份的记录文件恢复。\n(database disk image is malformed)";
    QTest::newRow("not a store") << "26"
                                 << "file is not a database"
                                 << "记录文件已损坏。请用备份的记录文件恢复。\n(file is not a database)";
    // A full-text index passes a failed write on with the plain code.
    QTest::newRow("io error under an index") << "1"
                                             << "disk I/O error"
                                             << "读写记录文件时出错。记录文件可能已被移走、删除,或磁盘出了问题。\n"
                                                "(disk I/O error)";
    QTest::newRow("full under an index") << "1"
                                         << "database or disk is full"
                                         << "磁盘空间已满,无法写入记录文件。请清理磁盘后重试。\n"
                                            "(database or disk is full)";
    QTest::newRow("commit without a code") << ""
                                           << "disk I/O error"
                                           << "读写记录文件时出错。记录文件可能已被移走、删除,或磁盘出了问题。\n"
                                              "(disk I/O error)";
    // Errors the user cannot mend keep the engine's words alone.
    QTest::newRow("constraint") << "19"
                                << "CHECK constraint failed: length(pe_name) <= 50"
                                << "CHECK constraint failed: length(pe_name) <= 50";
    QTest::newRow("no such table") << "1"
                                   << "no such table: pe_info"
                                   << "no such table: pe_info";
    QTest::newRow("no code") << ""
                             << "Parameter count mismatch"
                             << "Parameter count mismatch";
}

void tst_store_error::explainsWhatTheUserCanMend()
{
    QFETCH(QString, code);
    QFETCH(QString, engine);
    QFETCH(QString, expected);
    const QSqlError error(QStringLiteral("Unable to fetch row"), engine, QSqlError::StatementError, code);
    QCOMPARE(StoreError::text(error), expected);
}

void tst_store_error::tooLongNamesColumnAndLimit()
{
    const QSqlError error(QStringLiteral("Unable to fetch row"),
                          QStringLiteral("CHECK constraint failed: length(dw_name) <= 255"), QSqlError::StatementError,
                          QStringLiteral("275"));
    const auto tooLong = StoreError::tooLong(error);
    QVERIFY(tooLong);
    QCOMPARE(tooLong->column, QStringLiteral("dw_name"));
    QCOMPARE(tooLong->limit, 255);
    QVERIFY(!StoreError::tooLong(
        QSqlError(QString(), QStringLiteral("database is locked"), QSqlError::StatementError, QStringLiteral("5"))));
}

// Qt reports a statement on a closed connection with no text at all, which
// made an empty error box.
void tst_store_error::closedConnectionSaysSo()
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("closed"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(db.open());
        db.close();
        QSqlQuery query(db);
        QVERIFY(!query.prepare(QStringLiteral("SELECT 1")));
        QCOMPARE(StoreError::text(query.lastError()), StoreError::kNotOpen);
        QVERIFY(!query.exec(QStringLiteral("SELECT 1")));
        QCOMPARE(StoreError::text(query.lastError()), StoreError::kNotOpen);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("closed"));
}

QTEST_GUILESS_MAIN(tst_store_error)
#include "tst_store_error.moc"
