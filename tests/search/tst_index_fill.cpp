// A store that had records before the search indexes came: the upgrade
// gives it empty indexes and the fill reads its records into them, with
// progress, kill-safe, while the store stays usable.
#include "search/core/IndexFill.h"
#include "search/core/TextSearch.h"
#include "search/windows/IndexFillProgress.h"
#include "store/FieldCodec.h"
#include "store/SchemaSteps.h"
#include "store/Sql.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QApplication>
#include <QProcess>
#include <QTest>

#include <memory>
#include <sqlite3.h>

namespace {

constexpr int kNotes = 1500;
constexpr int kContacts = 300;

// The store as version 5 left it, holding records: the search tables and
// their triggers are not there yet.
bool makeVersion5(const QString &path)
{
    QString sql = QStringLiteral("BEGIN;");
    for (const char *table : {"pe_info", "pe_dw_info"})
        for (const char *event : {"insert", "update", "delete"})
            sql += QStringLiteral("DROP TRIGGER reading_%1_%2;").arg(QLatin1String(table), QLatin1String(event));
    for (const char *table : {"note_pad", "job_do", "job_do_sub", "fts"})
        for (const char *event : {"insert", "update", "delete"})
            sql += QStringLiteral("DROP TRIGGER search_%1_%2;").arg(QLatin1String(table), QLatin1String(event));
    sql += QStringLiteral("DROP TABLE search_fts; DROP TABLE search_text; DROP TABLE pe_info_reading;"
                          "DROP TABLE pe_dw_info_reading; DROP TABLE index_fill; PRAGMA user_version = 5;");
    for (int i = 0; i < kNotes; ++i)
        sql += QStringLiteral("INSERT INTO note_pad (date_id, note_memo) VALUES ('2024%1', '%2');")
                   .arg(100000000 + i, 10, 10, QLatin1Char('0'))
                   .arg(FieldCodec::encode(QStringLiteral("第%1篇日记,今天见了客户。").arg(i)));
    for (int i = 0; i < kContacts; ++i)
        sql += QStringLiteral("INSERT INTO pe_info (pe_id, pe_name, e_dec_yn) VALUES ('%1', '%2', %3);")
                   .arg(20240101000000LL + i)
                   .arg(i == 0 ? FieldCodec::encode(QStringLiteral("曾静")) : QStringLiteral("曾静%1").arg(i))
                   .arg(i == 0 ? 1 : 0);
    sql += QStringLiteral("INSERT INTO job_do (id, date_id, job_memo) VALUES ('20240501080000', '20240501000000', "
                          "'拜访客户');COMMIT;");
    sqlite3 *db = nullptr;
    const bool ok = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK
                    && sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

int count(const QString &statement)
{
    return Sql::scalar(Store::database(), statement).valueOr(QVariant(-1)).toInt();
}

// Every record indexed once, the full-text index whole.
void verifyWhole()
{
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM index_fill")), 0);
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM search_text WHERE kind = 'note'")), kNotes);
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM search_text WHERE kind = 'job'")), 1);
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM pe_info_reading")), kContacts - 1);
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM search_text t JOIN note_pad n ON n.rowid = t.source_rowid "
                                  "WHERE t.kind = 'note' AND t.record_key IS n.date_id")),
             kNotes);
    VERIFY_OK(Sql::run(Store::database(),
                       QStringLiteral("INSERT INTO search_fts (search_fts, rank) VALUES ('integrity-check', 1)")));
    const Result<TextSearch::Found> found =
        TextSearch(Store::database()).find(QStringLiteral("第1499篇"), {true, true});
    VERIFY_OK(found);
    QCOMPARE(found->hits.size(), 1);
}

} // namespace

class TstIndexFill : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store = std::make_unique<TempStore>();
        VERIFY_OK(m_store->make(false));
        QVERIFY(makeVersion5(m_store->storePath()));
    }
    void cleanup() { m_store.reset(); }

    void upgradeFillsTheIndexesWithProgress()
    {
        QCOMPARE(Store::open(m_store->storePath()).status, Store::Status::Ready);
        QCOMPARE(*Schema::version(Store::database()), Schema::currentVersion());
        IndexFill fill(Store::database());
        QCOMPARE(fill.pending().valueOr(false), true);
        QCOMPARE(fill.remaining().valueOr(-1), kNotes + kContacts + 1);
        QList<qint64> seen;
        VERIFY_OK(fill.run([&](qint64 done, qint64 total) {
            seen << done;
            return total == kNotes + kContacts + 1;
        }));
        QCOMPARE(seen.first(), 0);
        QCOMPARE(seen.last(), kNotes + kContacts + 1);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QVERIFY(seen.size() > 2);
        verifyWhole();
        // The protected contact has no reading; the others read as surnames.
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM pe_info_reading WHERE syllables LIKE 'zeng jing%'")),
                 kContacts - 1);
        QCOMPARE(fill.pending().valueOr(true), false);
    }

    // Records saved, changed and deleted while the fill is half-way are
    // indexed once each, as they are.
    void writesDuringTheFillAreIndexedOnce()
    {
        QCOMPARE(Store::open(m_store->storePath()).status, Store::Status::Ready);
        IndexFill fill(Store::database());
        // The contacts, then the first 600 notes.
        for (int i = 0; i < 3; ++i)
            VERIFY_OK(fill.step(300));
        QCOMPARE(count(QStringLiteral("SELECT done_to FROM index_fill WHERE source = 'note_pad'")), 600);
        const QSqlDatabase db = Store::database();
        VERIFY_OK(Sql::run(db, QStringLiteral("UPDATE note_pad SET note_memo = ? WHERE rowid = 10"),
                           {FieldCodec::encode(QStringLiteral("第1499篇的前身"))}));
        VERIFY_OK(Sql::run(db, QStringLiteral("UPDATE note_pad SET note_memo = ? WHERE rowid = 1000"),
                           {FieldCodec::encode(QStringLiteral("改过的日记"))}));
        VERIFY_OK(Sql::run(db, QStringLiteral("DELETE FROM note_pad WHERE rowid = 1200")));
        VERIFY_OK(Sql::run(db, QStringLiteral("INSERT INTO note_pad (date_id, note_memo) VALUES ('20241231000000', ?)"),
                           {FieldCodec::encode(QStringLiteral("新写的日记"))}));
        VERIFY_OK(fill.run({}, 300));
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM search_text WHERE kind = 'note'")), kNotes);
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM search_text WHERE body = '改过的日记'")), 1);
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM search_text WHERE body = '新写的日记'")), 1);
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM search_text WHERE source_rowid = 1200 AND kind = 'note'")),
                 0);
        const Result<TextSearch::Found> found = TextSearch(db).find(QStringLiteral("第1499篇"), {true, true});
        VERIFY_OK(found);
        QCOMPARE(found->hits.size(), 2);
        VERIFY_OK(
            Sql::run(db, QStringLiteral("INSERT INTO search_fts (search_fts, rank) VALUES ('integrity-check', 1)")));
    }

    // Killed at any moment, in a batch or between two, the fill goes on at
    // the next start where it stopped and ends with every record once.
    void killedFillGoesOnAtNextStart()
    {
        // Bring the store up once, so each worker only fills.
        QCOMPARE(Store::open(m_store->storePath()).status, Store::Status::Ready);
        Store::remove();
        int kills = 0;
        for (int delay = 40; kills < 40; delay += 15) {
            QProcess worker;
            worker.start(QStringLiteral(VELMORA_FILL_WORKER), {m_store->storePath(), QString::number(delay)});
            QVERIFY(worker.waitForFinished(60000));
            if (worker.exitStatus() == QProcess::NormalExit) {
                QCOMPARE(worker.exitCode(), 0);
                break;
            }
            ++kills;
        }
        QVERIFY2(kills > 0, "the fill ended before any kill");
        QCOMPARE(Store::open(m_store->storePath()).status, Store::Status::Ready);
        VERIFY_OK(IndexFill(Store::database()).run());
        verifyWhole();
    }

    // At start, before a search: the progress window fills what is left.
    void progressWindowFills()
    {
        QCOMPARE(Store::open(m_store->storePath()).status, Store::Status::Ready);
        QVERIFY(IndexFillProgress::runIfPending(nullptr, Store::database()));
        verifyWhole();
        // Nothing left: no window at all.
        QVERIFY(IndexFillProgress::runIfPending(nullptr, Store::database()));
    }

private:
    std::unique_ptr<TempStore> m_store;
};

QTEST_MAIN(TstIndexFill)
#include "tst_index_fill.moc"
