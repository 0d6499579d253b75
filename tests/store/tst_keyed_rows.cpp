// The first rows of a statement and the count of all, read straight from the
// engine: the same rows the query layer would give, the values bound as
// values, errors in plain words.
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
    QTest::addColumn<int>("keep");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("count");
    QTest::newRow("several, in key order") << "a%" << 10 << QStringList{"", "k1", "k1", "k2 '"} << 4;
    QTest::newRow("the first two, all counted") << "a%" << 2 << QStringList{"", "k1"} << 4;
    QTest::newRow("only counted") << "a%" << 0 << QStringList{} << 4;
    QTest::newRow("a quote is a value") << "b'); DROP TABLE note_pad; --" << 10 << QStringList{"k3 記"} << 1;
    QTest::newRow("none") << "zzz" << 10 << QStringList{} << 0;
}

void tst_keyed_rows::readsRowsInOrderWithTheTextBound()
{
    QFETCH(QString, text);
    QFETCH(int, keep);
    QFETCH(QStringList, keys);
    QFETCH(int, count);
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
    const Result<KeyedRows::FirstRows> read = KeyedRows::firstRows(
        Store::database(), QStringLiteral("SELECT rowid, k FROM t WHERE v LIKE ? AND rowid <= ? ORDER BY k"), {text, 5},
        keep);
    VERIFY_OK(read);
    QStringList found;
    for (const QStringList &row : read->rows) {
        QVERIFY(row.value(0).toLongLong() >= 1 && row.value(0).toLongLong() <= 5);
        found << row.value(1);
    }
    QCOMPARE(found, keys);
    if (!keys.isEmpty() && keys.first().isEmpty())
        QVERIFY(read->rows.first().value(1).isNull()); // the NULL key
    QCOMPARE(read->count, count);
    QVERIFY(QSqlQuery(Store::database()).exec(QStringLiteral("SELECT 1 FROM note_pad")));
}

void tst_keyed_rows::reportsTheEngineError()
{
    TempStore store;
    VERIFY_OK(store.make());
    const auto missing = KeyedRows::firstRows(
        Store::database(), QStringLiteral("SELECT rowid, k FROM missing WHERE k = ?"), {QString()}, 10);
    QVERIFY(!missing);
    QCOMPARE(missing.error(), QStringLiteral("no such table: missing"));
    Store::close();
    const auto closed = KeyedRows::firstRows(
        Store::database(), QStringLiteral("SELECT rowid, pe_id FROM pe_info WHERE pe_id = ?"), {QString()}, 10);
    QVERIFY(!closed);
    QCOMPARE(closed.error(), StoreError::kNotOpen);
}

QTEST_GUILESS_MAIN(tst_keyed_rows)
#include "tst_keyed_rows.moc"
