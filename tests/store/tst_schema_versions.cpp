#include "store/SchemaSteps.h"
#include "store/Sql.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <sqlite3.h>

namespace {

bool exec(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    const bool ok = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Read outside the program's connection: opening rolls back a hot journal.
int fileVersion(const QString &path)
{
    sqlite3 *db = nullptr;
    int version = -1;
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK
        && sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr) == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW)
        version = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return version;
}

QStringList indexNames(const QSqlDatabase &db)
{
    QStringList names;
    Result<QSqlQuery> query = Sql::run(
        db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL ORDER BY name"));
    while (query && query->next())
        names << query->value(0).toString();
    return names;
}

QStringList triggerNames(const QSqlDatabase &db)
{
    QStringList names;
    Result<QSqlQuery> query =
        Sql::run(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'trigger' ORDER BY name"));
    while (query && query->next())
        names << query->value(0).toString();
    return names;
}

QByteArray digest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QStringList expectedIndexes()
{
    QStringList names{"area_by_father",      "city_by_father",         "job_do_by_date",
                      "job_do_by_id",        "job_do_sub_by_id",       "note_pad_by_date",
                      "pe_dw_info_by_id",    "pe_dw_info_memo_search", "pe_dw_info_name_search",
                      "pe_info_by_id",       "pe_info_memo_search",    "pe_info_mobile_search",
                      "pe_info_name_search", "pe_other_info_by_id",    "pe_other_info_memo_search",
                      "record_uid_by_uid",   "search_text_by_stamp",   "sync_item_by_href"};
    names.sort();
    return names;
}

// The search indexes follow their tables by these.
QStringList searchIndexTriggers()
{
    QStringList names;
    for (const char *event : {"insert", "update", "delete"}) {
        for (const char *table : {"pe_info", "pe_dw_info"})
            names << QStringLiteral("reading_%1_%2").arg(QLatin1String(table), QLatin1String(event));
        for (const char *table : {"note_pad", "job_do", "job_do_sub", "fts"})
            names << QStringLiteral("search_%1_%2").arg(QLatin1String(table), QLatin1String(event));
    }
    return names;
}

// A sync learns of every save by these: three per table of records.
QStringList expectedTriggers()
{
    QStringList names;
    for (const char *table : {"pe_info", "pe_dw_info", "pe_other_info", "job_do", "job_do_sub", "note_pad"})
        for (const char *event : {"insert", "update", "delete"})
            names << QStringLiteral("sync_mark_%1_%2").arg(QLatin1String(table), QLatin1String(event));
    names << searchIndexTriggers();
    names.sort();
    return names;
}

// The plain form of the first supplied store: the tables with their checks
// and rows, none of the indexes later versions added, version 0.
bool makeVersion0(const QString &path)
{
    QString dropTriggers;
    for (const QString &trigger : expectedTriggers())
        dropTriggers += QStringLiteral("DROP TRIGGER IF EXISTS %1;").arg(trigger);
    return exec(path, dropTriggers
                          + QStringLiteral("DROP TABLE IF EXISTS search_fts; DROP TABLE IF EXISTS search_text;"
                                           "DROP TABLE IF EXISTS pe_info_reading; DROP TABLE IF EXISTS "
                                           "pe_dw_info_reading; DROP TABLE IF EXISTS index_fill;")
                          + QStringLiteral("DROP TABLE IF EXISTS sync_collection; DROP TABLE IF EXISTS sync_item;"
                                           "DROP TABLE IF EXISTS sync_change; DROP TABLE IF EXISTS sync_quiet;")
                          + QStringLiteral(
                              "DROP INDEX IF EXISTS note_pad_by_date; DROP INDEX IF EXISTS job_do_by_id;"
                              "DROP INDEX IF EXISTS job_do_by_date; DROP INDEX IF EXISTS job_do_sub_by_id;"
                              "DROP INDEX IF EXISTS pe_info_by_id; DROP INDEX IF EXISTS pe_info_name_search;"
                              "DROP INDEX IF EXISTS pe_info_mobile_search; DROP INDEX IF EXISTS pe_info_memo_search;"
                              "DROP INDEX IF EXISTS pe_dw_info_by_id; DROP INDEX IF EXISTS pe_dw_info_name_search;"
                              "DROP INDEX IF EXISTS pe_dw_info_memo_search; DROP INDEX IF EXISTS pe_other_info_by_id;"
                              "DROP INDEX IF EXISTS pe_other_info_memo_search; DROP INDEX IF EXISTS city_by_father;"
                              "DROP INDEX IF EXISTS area_by_father; DROP TABLE IF EXISTS record_uid;"
                              "INSERT INTO pe_info (pe_id, pe_name) VALUES ('20240101120000', '张三');"
                              "INSERT INTO note_pad (date_id, note_memo) VALUES ('20240101120000', '5pel6K6w');"
                              "PRAGMA user_version = 0;"));
}

// A store as the program of that version left it: version 0 brought up by
// the steps up to `version`, on a connection of its own.
Result<void> stepTo(const QString &path, int version)
{
    const QString name = QStringLiteral("older program");
    Result<void> done;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            return fail(QStringLiteral("cannot open ") + path);
        QList<Schema::Step> plan;
        for (const Schema::Step &step : Schema::steps())
            if (step.version <= version)
                plan << step;
        done = Schema::upgrade(db, path, plan);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return done;
}

int count(const QString &table)
{
    Result<QVariant> n = Sql::scalar(Store::database(), QStringLiteral("SELECT count(*) FROM ") + table);
    return n ? n->toInt() : -1;
}

} // namespace

class TstSchemaVersions : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Store::remove(); }

    void suppliedStoreIsAtTheNewestVersion()
    {
        QCOMPARE(fileVersion(TempStore::templatePath()), Schema::currentVersion());
        QVERIFY(Schema::currentVersion() >= 1);
    }

    // Every older store the program may meet opens at the newest version
    // with its rows intact.
    void olderStoresAreBroughtUp_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("version");
        QTest::newRow("version 0") << QString() << 0;
        QTest::newRow("version 0 that already has some indexes")
            << QStringLiteral("CREATE INDEX pe_info_by_id ON pe_info (pe_id);"
                              "CREATE INDEX city_by_father ON city (father);")
            << 0;
        for (const Schema::Step &step : Schema::steps())
            QTest::addRow("version %d", step.version) << QString() << step.version;
    }
    void olderStoresAreBroughtUp()
    {
        QFETCH(QString, setup);
        QFETCH(int, version);
        TempStore store;
        VERIFY_OK(store.make(false));
        QVERIFY(makeVersion0(store.storePath()));
        QVERIFY(setup.isEmpty() || exec(store.storePath(), setup));
        VERIFY_OK(stepTo(store.storePath(), version));
        const Store::Opened opened = Store::open(store.storePath());
        QCOMPARE(opened.status, Store::Status::Ready);
        QCOMPARE(*Schema::version(Store::database()), Schema::currentVersion());
        QCOMPARE(indexNames(Store::database()), expectedIndexes());
        QCOMPARE(triggerNames(Store::database()), expectedTriggers());
        QCOMPARE(count(QStringLiteral("pe_info")), 1);
        QCOMPARE(count(QStringLiteral("note_pad")), 1);
        QCOMPARE(count(QStringLiteral("povince")), 34);
        QCOMPARE(count(QStringLiteral("record_uid")), 0);
        // Records kept before sync existed are not changes; a first sync
        // sends every record the server lacks anyway.
        QCOMPARE(count(QStringLiteral("sync_change")), 0);
        QCOMPARE(count(QStringLiteral("sync_item")), 0);
        QCOMPARE(count(QStringLiteral("sync_collection")), 0);
        QCOMPARE(count(QStringLiteral("sync_quiet")), 0);
        // The records kept before the search indexes are read into them
        // after the upgrade, with progress shown.
        QCOMPARE(Sql::scalar(Store::database(), QStringLiteral("SELECT group_concat(source || done_to) FROM "
                                                               "(SELECT * FROM index_fill ORDER BY source)"))
                     ->toString(),
                 QStringLiteral("note_pad0,pe_info0"));
        QCOMPARE(count(QStringLiteral("search_text")), 0);
    }

    void newerStoreIsRefusedUntouched()
    {
        TempStore store;
        VERIFY_OK(store.make(false));
        QVERIFY(exec(store.storePath(), QStringLiteral("PRAGMA user_version = %1").arg(Schema::currentVersion() + 1)));
        const QByteArray before = digest(store.storePath());
        const Store::Opened opened = Store::open(store.storePath());
        QCOMPARE(opened.status, Store::Status::TooNew);
        QVERIFY(!Store::isOpen());
        QVERIFY(Store::message(opened).contains(QStringLiteral("较新版本")));
        QCOMPARE(digest(store.storePath()), before);
        QCOMPARE(fileVersion(store.storePath()), Schema::currentVersion() + 1);
    }

    // Killed after the step wrote and before it committed: the store still
    // opens at its old version, and the next start upgrades it.
    void upgradeKilledHalfWayUpgradesOnNextStart()
    {
        TempStore store;
        VERIFY_OK(store.make(false));
        QVERIFY(makeVersion0(store.storePath()));
        QProcess worker;
        worker.start(QStringLiteral(VELMORA_UPGRADE_WORKER), {store.storePath()});
        QVERIFY(worker.waitForFinished(30000));
        QCOMPARE(worker.exitStatus(), QProcess::CrashExit);
        QVERIFY2(QFile::exists(store.storePath() + QStringLiteral("-journal")), "the kill left no journal");

        QCOMPARE(fileVersion(store.storePath()), 0);
        QCOMPARE(Store::open(store.storePath()).status, Store::Status::Ready);
        QCOMPARE(*Schema::version(Store::database()), Schema::currentVersion());
        QCOMPARE(indexNames(Store::database()), expectedIndexes());
        QCOMPARE(triggerNames(Store::database()), expectedTriggers());
        QCOMPARE(count(QStringLiteral("pe_info")), 1);
        QCOMPARE(QSqlQuery(Store::database()).exec(QStringLiteral("PRAGMA integrity_check")), true);
    }

    // A step that rewrites rows keeps a copy of the whole file first; one
    // that fails leaves the store at the version before it.
    void rowRewritingStepKeepsCopyAndFailedStepRollsBack()
    {
        TempStore store;
        VERIFY_OK(store.make(false));
        QVERIFY(makeVersion0(store.storePath()));
        QCOMPARE(Store::open(store.storePath()).status, Store::Status::Ready);
        QSqlDatabase db = Store::database();
        QVERIFY(Sql::run(db, QStringLiteral("PRAGMA user_version = 1")).ok());

        const QList<Schema::Step> plan = {
            {2, true,
             [](QSqlDatabase &db) -> Result<void> {
                 Result<QSqlQuery> done = Sql::run(db, QStringLiteral("UPDATE pe_info SET pe_name = '李四'"));
                 return done ? Result<void>() : fail(done.error());
             }},
            {3, false,
             [](QSqlDatabase &db) -> Result<void> {
                 Result<QSqlQuery> done = Sql::run(db, QStringLiteral("UPDATE pe_info SET pe_name = '王五'"));
                 if (!done)
                     return fail(done.error());
                 return fail(QStringLiteral("step failed on purpose"));
             }},
        };
        const Result<void> upgraded = Schema::upgrade(db, store.storePath(), plan);
        QVERIFY(!upgraded);
        QVERIFY(upgraded.error().contains(QStringLiteral("step failed on purpose")));
        QCOMPARE(*Schema::version(db), 2);
        QCOMPARE(Sql::scalar(db, QStringLiteral("SELECT pe_name FROM pe_info")).value().toString(),
                 QStringLiteral("李四"));

        const QString copy = Schema::copyBeforeStep(store.storePath(), 2);
        QCOMPARE(fileVersion(copy), 1);
        sqlite3 *kept = nullptr;
        sqlite3_stmt *stmt = nullptr;
        QCOMPARE(sqlite3_open(copy.toUtf8().constData(), &kept), SQLITE_OK);
        QCOMPARE(sqlite3_prepare_v2(kept, "SELECT pe_name FROM pe_info", -1, &stmt, nullptr), SQLITE_OK);
        QCOMPARE(sqlite3_step(stmt), SQLITE_ROW);
        QCOMPARE(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))),
                 QStringLiteral("张三"));
        sqlite3_finalize(stmt);
        sqlite3_close(kept);
    }

    void stepsAreInOrder()
    {
        int last = 0;
        for (const Schema::Step &step : Schema::steps()) {
            QVERIFY2(step.version == last + 1, "steps must count up one by one");
            QVERIFY(step.apply);
            last = step.version;
        }
    }
};

QTEST_GUILESS_MAIN(TstSchemaVersions)
#include "tst_schema_versions.moc"
