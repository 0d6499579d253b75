// Reading (rowid, key) rows straight from the engine: the same rows the
// query layer would give, the text bound as a value, errors in plain words.
#include "store/KeyedRows.h"
#include "store/Store.h"
#include "store/StoreError.h"
#include "TempStore.h"

#include <QSqlQuery>
#include <QTest>

class tst_keyed_rows final : public QObject
{
    Q_OBJECT

private slots:
    void readsRowsInOrderWithTheTextBound_data();
    void readsRowsInOrderWithTheTextBound();
    void reportsTheEngineError();
};

void tst_keyed_rows::readsRowsInOrderWithTheTextBound_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("several, in key order") << "a%" << QStringList{"", "k1", "k1", "k2 '"};
    QTest::newRow("a quote is a value") << "b'); DROP TABLE note_pad; --" << QStringList{"k3 記"};
    QTest::newRow("none") << "zzz" << QStringList{};
}

void tst_keyed_rows::readsRowsInOrderWithTheTextBound()
{
    QFETCH(QString, text);
    QFETCH(QStringList, keys);
    TempStore store;
    VERIFY_OK(store.make());
    QSqlQuery insert(Store::database());
    QVERIFY(insert.exec(QStringLiteral("CREATE TEMP TABLE t (k TEXT, v TEXT)")));
    QVERIFY(insert.prepare(QStringLiteral("INSERT INTO t VALUES (?, ?)")));
    const QList<std::pair<QVariant, QString>> rows = {{QStringLiteral("k2 '"), "a2"},
                                                      {QStringLiteral("k3 記"), "b'); DROP TABLE note_pad; --"},
                                                      {QVariant(), "a0"},
                                                      {QStringLiteral("k1"), "a1"},
                                                      {QStringLiteral("k1"), "a3"}};
    for (const auto &[key, value] : rows) {
        insert.addBindValue(key);
        insert.addBindValue(value);
        QVERIFY(insert.exec());
    }
    QStringList found;
    QList<qint64> rowids;
    const auto add = [&](qint64 rowid, const QString &key) {
        rowids << rowid;
        found << key;
    };
    VERIFY_OK(KeyedRows::read(Store::database(), QStringLiteral("SELECT rowid, k FROM t WHERE v LIKE ? ORDER BY k"),
                              text, add));
    for (const qint64 rowid : std::as_const(rowids))
        QVERIFY(rowid >= 1 && rowid <= 5);
    QCOMPARE(found, keys);
    QVERIFY(QSqlQuery(Store::database()).exec(QStringLiteral("SELECT 1 FROM note_pad")));
}

void tst_keyed_rows::reportsTheEngineError()
{
    TempStore store;
    VERIFY_OK(store.make());
    int rows = 0;
    const auto add = [&rows](qint64, const QString &) { ++rows; };
    const Result<void> missing =
        KeyedRows::read(Store::database(), QStringLiteral("SELECT rowid, k FROM missing WHERE k = ?"), QString(), add);
    QVERIFY(!missing);
    QCOMPARE(missing.error(), QStringLiteral("no such table: missing"));
    Store::close();
    const Result<void> closed = KeyedRows::read(
        Store::database(), QStringLiteral("SELECT rowid, pe_id FROM pe_info WHERE pe_id = ?"), QString(), add);
    QVERIFY(!closed);
    QCOMPARE(closed.error(), StoreError::kNotOpen);
    QCOMPARE(rows, 0);
}

QTEST_GUILESS_MAIN(tst_keyed_rows)
#include "tst_keyed_rows.moc"
