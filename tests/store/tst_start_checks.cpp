#include "store/Store.h"
#include "TempStore.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <sqlite3.h>

// Makes a store variant by running SQL on the copy with the C API, outside
// the program's connection.
static bool alter(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

class TstStartChecks : public QObject
{
    Q_OBJECT

private slots:
    void suppliedStoreIsReady()
    {
        TempStore store;
        VERIFY_OK(store.make(false));
        QCOMPARE(Store::open(store.storePath()).status, Store::Status::Ready);
        QSqlQuery query(Store::database());
        QVERIFY(query.exec(QStringLiteral("SELECT area FROM area WHERE father = '671000'")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("乌苏尔市"));
        QVERIFY(!query.next());
        QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM povince")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 34);
    }

    void columnsInPhysicalOrder_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("public_code") << "public_code"
                                     << QStringList{"pub_id",     "pub_code",        "pub_end",
                                                    "pub_static", "pub_static_do_n", "pub_static_do_d"};
        QTest::newRow("note_pad") << "note_pad" << QStringList{"date_id", "note_memo"};
        QTest::newRow("job_do") << "job_do"
                                << QStringList{"id", "date_id", "job_memo", "alter_yn", "e_dec_yn", "complete_yn"};
        QTest::newRow("job_do_sub") << "job_do_sub" << QStringList{"id", "date_id", "job_memo_sub", "e_dec_yn"};
        QTest::newRow("pe_info") << "pe_info" << QStringList{"pe_id",    "pe_name",  "pe_sex", "n_add",   "pe_mib",
                                                             "pe_other", "pe_h_tel", "post",   "pe_code", "code_add",
                                                             "net_con",  "pe_memo",  "pe_img", "e_dec_yn"};
        QTest::newRow("pe_other_info") << "pe_other_info" << QStringList{"pe_id", "pe_other_memo", "e_dec_yn"};
    }
    void columnsInPhysicalOrder()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        TempStore store;
        VERIFY_OK(store.make());
        QSqlQuery query(Store::database());
        query.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"));
        query.addBindValue(table);
        QVERIFY(query.exec());
        QStringList found;
        while (query.next())
            found << query.value(0).toString();
        QCOMPARE(found, columns);
    }

    void widthsAreEnforced_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("50 characters") << 50 << true;
        QTest::newRow("51 characters") << 51 << false;
    }
    void widthsAreEnforced()
    {
        QFETCH(int, length);
        QFETCH(bool, accepted);
        TempStore store;
        VERIFY_OK(store.make());
        QSqlQuery query(Store::database());
        query.prepare(QStringLiteral("INSERT INTO pe_info (pe_id, pe_name, pe_sex) VALUES ('1', ?, true)"));
        query.addBindValue(QString(length, QChar(u'名')));
        QCOMPARE(query.exec(), accepted);
        QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM pe_info")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), accepted ? 1 : 0);
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::addColumn<int>("status");
        QTest::newRow("upper-case names pass")
            << QByteArray("ALTER TABLE public_code RENAME TO t1; ALTER TABLE t1 RENAME TO PUBLIC_CODE;"
                          "ALTER TABLE area RENAME TO t2; ALTER TABLE t2 RENAME TO AREA;"
                          "ALTER TABLE PUBLIC_CODE RENAME COLUMN pub_static_do_d TO PUB_STATIC_DO_D;")
            << int(Store::Status::Ready);
        QTest::newRow("no area table") << QByteArray("DROP TABLE area;") << int(Store::Status::Damaged);
        QTest::newRow("no public_code") << QByteArray("DROP TABLE public_code;") << int(Store::Status::Damaged);
        QTest::newRow("public_code lacks pub_static_do_d")
            << QByteArray("ALTER TABLE public_code DROP COLUMN pub_static_do_d;") << int(Store::Status::Damaged);
        QTest::newRow("area as a view passes")
            << QByteArray("ALTER TABLE area RENAME TO area_rows; CREATE VIEW area AS SELECT * FROM area_rows;")
            << int(Store::Status::Ready);
        QTest::newRow("no reserved row is normal")
            << QByteArray("DELETE FROM area WHERE father = '671000';") << int(Store::Status::Ready);
    }
    void refusals()
    {
        QFETCH(QByteArray, sql);
        QFETCH(int, status);
        TempStore store;
        VERIFY_OK(store.make(false));
        QVERIFY(alter(store.storePath(), sql.constData()));
        QCOMPARE(int(Store::open(store.storePath()).status), status);
    }

    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::newRow("empty file") << QByteArray() << int(Store::Status::Damaged) << "记录文件被破坏";
        QTest::newRow("random bytes") << QByteArray(4096, '\x5a') << int(Store::Status::Unusable)
                                      << "记录文件已损坏。请用备份的记录文件恢复。";
        QTest::newRow("text file") << QByteArray("name,phone\n张三,1380000\n") << int(Store::Status::Unusable)
                                   << "记录文件已损坏。请用备份的记录文件恢复。";
    }
    void badFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, status);
        QFETCH(QString, says);
        TempStore store;
        VERIFY_OK(store.make(false));
        QFile file(store.storePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        const Store::Opened opened = Store::open(store.storePath());
        QCOMPARE(int(opened.status), status);
        QVERIFY2(Store::message(opened).contains(says), qPrintable(Store::message(opened)));
    }

    // Another program writing to the store when the organiser starts: it
    // waits a little, then says who holds the file instead of calling it broken.
    void storeLockedAtStartSaysSo()
    {
        TempStore store;
        VERIFY_OK(store.make(false));
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(store.storePath().toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        const Store::Opened opened = Store::open(store.storePath());
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        QCOMPARE(opened.status, Store::Status::Unusable);
        QVERIFY2(Store::message(opened).contains(QStringLiteral("记录文件正被其他程序使用。请稍后重试。")),
                 qPrintable(Store::message(opened)));
        Store::remove();
        QCOMPARE(Store::open(store.storePath()).status, Store::Status::Ready);
    }

    void truncatedStoreIsRefused()
    {
        TempStore store;
        VERIFY_OK(store.make(false));
        QFile file(store.storePath());
        QVERIFY(file.resize(1024));
        QCOMPARE(Store::open(store.storePath()).status, Store::Status::Unusable);
    }

    void missingFile()
    {
        TempStore store;
        VERIFY_OK(store.make(false));
        QVERIFY(QFile::remove(store.storePath()));
        const Store::Opened opened = Store::open(store.storePath());
        QCOMPARE(opened.status, Store::Status::FileMissing);
        QCOMPARE(Store::message(opened), QStringLiteral("程序记录文件丢失,程序无法运行,即将关闭..."));
        QVERIFY(!QFile::exists(store.storePath())); // never created by the program
    }

    void damagedMessage()
    {
        QCOMPARE(Store::message({Store::Status::Damaged, {}}),
                 QStringLiteral("记录文件被破坏,程序无法运行,即将关闭..."));
    }

    void handlesSurviveReopen()
    {
        TempStore store;
        VERIFY_OK(store.make());
        QSqlDatabase handle = Store::database();
        Store::close();
        QVERIFY(!handle.isOpen());
        VERIFY_OK(Store::reopen());
        QSqlQuery query(handle);
        QVERIFY2(query.exec(QStringLiteral("INSERT INTO note_pad VALUES ('20261210000000', 'YQ==')")),
                 qPrintable(query.lastError().text()));
    }
};

QTEST_GUILESS_MAIN(TstStartChecks)
#include "tst_start_checks.moc"
