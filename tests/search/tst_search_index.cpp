// The reading and text indexes follow every write of the records they are
// made of, in the writer's own transaction, whichever connection writes.
#include "search/core/TextSearch.h"
#include "store/FieldCodec.h"
#include "store/Sql.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QSqlDatabase>
#include <QTest>

#include <memory>

namespace {

Result<QSqlQuery> run(const QString &statement, const QVariantList &values = {})
{
    return Sql::run(Store::database(), statement, values);
}

QVariant scalar(const QString &statement, const QVariantList &values = {})
{
    return Sql::scalar(Store::database(), statement, values).valueOr(QVariant());
}

qint64 lastRowid()
{
    return scalar(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
}

// The reading kept for a row, empty when none is.
QString readingOf(const QString &table, qint64 rowid)
{
    return scalar(QStringLiteral("SELECT syllables || '|' || full_reading || '|' || initials FROM %1_reading WHERE "
                                 "source_rowid = ?")
                      .arg(table),
                  {rowid})
        .toString();
}

QString bodyOf(const QString &kind, qint64 rowid)
{
    return scalar(QStringLiteral("SELECT body FROM search_text WHERE kind = ? AND source_rowid = ?"), {kind, rowid})
        .toString();
}

// What the full-text index finds for a term, as "kind:rowid", newest first.
QStringList found(const QString &term, SearchScope scope = {true, true})
{
    QStringList hits;
    const Result<TextSearch::Found> result = TextSearch(Store::database()).find(term, scope);
    if (!result)
        return {QStringLiteral("error: ") + result.error()};
    for (const SearchHit &hit : result->hits)
        hits << QStringLiteral("%1:%2").arg(int(hit.kind)).arg(hit.rowid);
    return hits;
}

bool ftsIsWhole()
{
    return run(QStringLiteral("INSERT INTO search_fts (search_fts, rank) VALUES ('integrity-check', 1)")).ok();
}

} // namespace

class TstSearchIndex : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store = std::make_unique<TempStore>();
        VERIFY_OK(m_store->make());
    }
    void cleanup() { m_store.reset(); }

    void contactReadingsFollowEveryWrite()
    {
        VERIFY_OK(run(QStringLiteral("INSERT INTO pe_info (pe_id, pe_name) VALUES ('20240101120000', '单田芳')")));
        const qint64 row = lastRowid();
        QCOMPARE(readingOf(QStringLiteral("pe_info"), row), QStringLiteral("shan tian fang|shantianfang|stf"));
        VERIFY_OK(run(QStringLiteral("UPDATE pe_info SET pe_name = '张三' WHERE rowid = ?"), {row}));
        QCOMPARE(readingOf(QStringLiteral("pe_info"), row), QStringLiteral("zhang san|zhangsan|zs"));
        // A protected name is not found by its text, nor by its reading.
        VERIFY_OK(run(QStringLiteral("UPDATE pe_info SET pe_name = ?, e_dec_yn = 1 WHERE rowid = ?"),
                      {FieldCodec::encode(QStringLiteral("张三")), row}));
        QCOMPARE(readingOf(QStringLiteral("pe_info"), row), QString());
        VERIFY_OK(run(QStringLiteral("UPDATE pe_info SET pe_name = '李四', e_dec_yn = 0 WHERE rowid = ?"), {row}));
        QCOMPARE(readingOf(QStringLiteral("pe_info"), row), QStringLiteral("li si|lisi|ls"));
        VERIFY_OK(run(QStringLiteral("DELETE FROM pe_info WHERE rowid = ?"), {row}));
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM pe_info_reading")).toInt(), 0);
    }

    void unitReadingsHaveNoSurname()
    {
        VERIFY_OK(run(QStringLiteral("INSERT INTO pe_dw_info (pe_id, dw_name) VALUES ('20240101120000', '单位食堂')")));
        const qint64 row = lastRowid();
        QCOMPARE(readingOf(QStringLiteral("pe_dw_info"), row), QStringLiteral("dan wei shi tang|danweishitang|dwst"));
        VERIFY_OK(run(QStringLiteral("UPDATE pe_dw_info SET dw_name = '乐山公司' WHERE rowid = ?"), {row}));
        QCOMPARE(readingOf(QStringLiteral("pe_dw_info"), row), QStringLiteral("le shan gong si|leshangongsi|lsgs"));
        VERIFY_OK(run(QStringLiteral("DELETE FROM pe_dw_info WHERE rowid = ?"), {row}));
        QCOMPARE(readingOf(QStringLiteral("pe_dw_info"), row), QString());
    }

    // The search function runs in the engine, over the reading table.
    void readingsAreMatchedInTheEngine_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("count");
        QTest::newRow("initials") << QStringLiteral("zs") << 2;
        QTest::newRow("cut") << QStringLiteral("zhangs") << 2;
        QTest::newRow("full") << QStringLiteral("ZhangSan") << 1;
        QTest::newRow("given name") << QStringLiteral("san") << 2;
        QTest::newRow("surname reading") << QStringLiteral("shans") << 1;
        QTest::newRow("common reading of a surname") << QStringLiteral("dan") << 0;
        QTest::newRow("chinese") << QStringLiteral("张") << 0;
        QTest::newRow("pattern characters") << QStringLiteral("z%") << 0;
    }
    void readingsAreMatchedInTheEngine()
    {
        QFETCH(QString, typed);
        QFETCH(int, count);
        for (const char *name : {"张三", "张山", "单三", "李四"})
            VERIFY_OK(run(QStringLiteral("INSERT INTO pe_info (pe_id, pe_name) VALUES ('20240101120000', ?)"),
                          {QString::fromUtf8(name)}));
        QCOMPARE(
            scalar(QStringLiteral("SELECT count(*) FROM pe_info_reading WHERE reading_matches(syllables, ?)"), {typed})
                .toInt(),
            count);
    }

    void textFollowsEveryWrite_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("textColumn");
        QTest::addColumn<bool>("encoded");
        QTest::newRow("note") << QStringLiteral("note_pad") << QStringLiteral("note") << QStringLiteral("note_memo")
                              << true;
        QTest::newRow("job") << QStringLiteral("job_do") << QStringLiteral("job") << QStringLiteral("job_memo")
                             << false;
        QTest::newRow("protected job") << QStringLiteral("job_do") << QStringLiteral("job")
                                       << QStringLiteral("job_memo") << true;
        QTest::newRow("entry") << QStringLiteral("job_do_sub") << QStringLiteral("entry")
                               << QStringLiteral("job_memo_sub") << false;
        QTest::newRow("protected entry") << QStringLiteral("job_do_sub") << QStringLiteral("entry")
                                         << QStringLiteral("job_memo_sub") << true;
    }
    void textFollowsEveryWrite()
    {
        QFETCH(QString, table);
        QFETCH(QString, kind);
        QFETCH(QString, textColumn);
        QFETCH(bool, encoded);
        const auto stored = [&](const QString &text) { return encoded ? FieldCodec::encode(text) : text; };
        const QString flag = table == QStringLiteral("note_pad") ? QString() : QStringLiteral(", e_dec_yn");
        const QString flagValue = flag.isEmpty() ? QString() : QStringLiteral(", %1").arg(int(encoded));
        VERIFY_OK(run(QStringLiteral("INSERT INTO %1 (date_id, %2%3) VALUES ('20240501093000', ?%4)")
                          .arg(table, textColumn, flag, flagValue),
                      {stored(QStringLiteral("给陈经理回电话确认报价"))}));
        const qint64 row = lastRowid();
        QCOMPARE(bodyOf(kind, row), QStringLiteral("给陈经理回电话确认报价"));
        VERIFY_OK(run(QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?").arg(table, textColumn),
                      {stored(QStringLiteral("整理出差报销单据")), row}));
        QCOMPARE(bodyOf(kind, row), QStringLiteral("整理出差报销单据"));
        QCOMPARE(found(QStringLiteral("报销单")).size(), 1);
        QCOMPARE(found(QStringLiteral("确认报价")), QStringList());
        VERIFY_OK(run(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(table), {row}));
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM search_text")).toInt(), 0);
        QCOMPARE(found(QStringLiteral("报销单")), QStringList());
        QVERIFY(ftsIsWhole());
    }

    // Marking a job done leaves its text alone; moving it to another day
    // moves its hit.
    void jobStampFollowsTheJob()
    {
        VERIFY_OK(run(QStringLiteral("INSERT INTO job_do (id, date_id, job_memo, complete_yn) VALUES "
                                     "('20240501080000', '20240501093000', '部门周会', '未完成..')")));
        const qint64 row = lastRowid();
        VERIFY_OK(run(QStringLiteral("UPDATE job_do SET complete_yn = '20240502100000' WHERE rowid = ?"), {row}));
        VERIFY_OK(run(QStringLiteral("UPDATE job_do SET date_id = '20240603000000' WHERE rowid = ?"), {row}));
        QCOMPARE(scalar(QStringLiteral("SELECT stamp FROM search_text WHERE source_rowid = ?"), {row}).toString(),
                 QStringLiteral("20240603000000"));
        QVERIFY(ftsIsWhole());
    }

    // A protected text that does not decode is kept with no text: the
    // write itself goes through.
    void undecodableTextDoesNotStopTheWrite()
    {
        VERIFY_OK(
            run(QStringLiteral("INSERT INTO note_pad (date_id, note_memo) VALUES ('20240501093000', 'not base64!')")));
        QCOMPARE(bodyOf(QStringLiteral("note"), lastRowid()), QString());
    }

    // The sync writes through a connection of its own, quietly (no change
    // marks): the indexes follow all the same, in its transaction.
    void aSecondConnectionKeepsTheIndexesInStep()
    {
        const QString name = QStringLiteral("second");
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            other.setDatabaseName(m_store->storePath());
            QVERIFY(other.open());
            VERIFY_OK(Sql::inTransaction(other, [&]() -> Result<void> {
                for (const QString &statement :
                     {QStringLiteral("INSERT INTO sync_quiet (one) VALUES (1)"),
                      QStringLiteral("INSERT INTO pe_info (pe_id, pe_name) VALUES ('20240101120000', '曾静')"),
                      QStringLiteral("INSERT INTO job_do (id, date_id, job_memo) VALUES ('20240501080000', "
                                     "'20240501000000', '续签仓库租赁合同')"),
                      QStringLiteral("DELETE FROM sync_quiet")}) {
                    if (Result<QSqlQuery> done = Sql::run(other, statement); !done)
                        return fail(done.error());
                }
                return {};
            }));
            other.close();
        }
        QSqlDatabase::removeDatabase(name);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM sync_change")).toInt(), 0);
        QCOMPARE(scalar(QStringLiteral("SELECT initials FROM pe_info_reading")).toString(), QStringLiteral("zj"));
        QCOMPARE(found(QStringLiteral("租赁合同")).size(), 1);
    }

    // A write the engine refuses takes its index rows back with it.
    void aRefusedWriteLeavesNoIndexRow()
    {
        const Result<void> refused = Sql::inTransaction(Store::database(), []() -> Result<void> {
            if (Result<QSqlQuery> done = run(QStringLiteral(
                    "INSERT INTO job_do (id, date_id, job_memo) VALUES ('20240501080000', '20240501000000', '报价')"));
                !done)
                return fail(done.error());
            return fail(QStringLiteral("given up"));
        });
        QVERIFY(!refused);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM search_text")).toInt(), 0);
        QVERIFY(ftsIsWhole());
    }

private:
    std::unique_ptr<TempStore> m_store;
};

QTEST_GUILESS_MAIN(TstSearchIndex)
#include "tst_search_index.moc"
