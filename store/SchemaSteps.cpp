#include "store/SchemaSteps.h"

#include "store/IndexSchema.h"
#include "store/Sql.h"

#include <QFile>

namespace Schema {

namespace {

// Lookup indexes for keys and days, and covering indexes for the contact
// searches, which scan one column in contact order without touching the table.
// A store set up by an early version may hold some of them already.
Result<void> addIndexes(QSqlDatabase &db)
{
    return Sql::runAll(
        db, {
                QStringLiteral("CREATE INDEX IF NOT EXISTS note_pad_by_date ON note_pad (date_id)"),
                QStringLiteral("CREATE INDEX IF NOT EXISTS job_do_by_id ON job_do (id)"),
                QStringLiteral("CREATE INDEX IF NOT EXISTS job_do_by_date ON job_do (date_id)"),
                QStringLiteral("CREATE INDEX IF NOT EXISTS job_do_sub_by_id ON job_do_sub (id)"),
                QStringLiteral("CREATE INDEX IF NOT EXISTS pe_info_by_id ON pe_info (pe_id)"),
                QStringLiteral("CREATE INDEX IF NOT EXISTS pe_info_name_search ON pe_info (pe_id, pe_name)"),
                QStringLiteral("CREATE INDEX IF NOT EXISTS pe_info_mobile_search ON pe_info (pe_id, pe_mib)"),
                QStringLiteral("CREATE INDEX IF NOT EXISTS pe_info_memo_search ON pe_info (pe_id, pe_memo)"),
                QStringLiteral("CREATE INDEX IF NOT EXISTS pe_dw_info_by_id ON pe_dw_info (pe_id)"),
                QStringLiteral("CREATE INDEX IF NOT EXISTS pe_dw_info_name_search ON pe_dw_info (pe_id, dw_name)"),
                QStringLiteral("CREATE INDEX IF NOT EXISTS pe_dw_info_memo_search ON pe_dw_info (pe_id, pe_memo)"),
                QStringLiteral("CREATE INDEX IF NOT EXISTS pe_other_info_by_id ON pe_other_info (pe_id)"),
                QStringLiteral(
                    "CREATE INDEX IF NOT EXISTS pe_other_info_memo_search ON pe_other_info (pe_id, pe_other_memo)"),
                QStringLiteral("CREATE INDEX IF NOT EXISTS city_by_father ON city (father)"),
                QStringLiteral("CREATE INDEX IF NOT EXISTS area_by_father ON area (father)"),
            });
}

// The UID another program knows a contact, job or note by, so a file read
// again updates the record it made instead of adding a copy. A record is
// keyed by its own stored key: a contact's pe_id, a job's id, a note's
// date_id.
Result<void> addRecordUids(QSqlDatabase &db)
{
    return Sql::runAll(
        db, {
                QStringLiteral("CREATE TABLE IF NOT EXISTS record_uid ("
                               " kind TEXT NOT NULL CHECK (kind IN ('contact', 'job', 'note')),"
                               " record_key TEXT NOT NULL CHECK (length(record_key) <= 64),"
                               " uid TEXT NOT NULL CHECK (length(uid) BETWEEN 1 AND 1000),"
                               " PRIMARY KEY (kind, record_key))"),
                QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS record_uid_by_uid ON record_uid (kind, uid)"),
            });
}

// What a sync needs to know besides the records: the collection each kind
// syncs with and its sync token, each record the server holds (its address,
// the ETag last seen, its UID) and which records changed here since they were
// last synced. Jobs and notes may share one calendar, so addresses are
// unique per kind only.
Result<void> addSyncTables(QSqlDatabase &db)
{
    return Sql::runAll(
        db, {
                QStringLiteral("CREATE TABLE IF NOT EXISTS sync_collection ("
                               " kind TEXT PRIMARY KEY CHECK (kind IN ('contact', 'job', 'note')),"
                               " url TEXT NOT NULL CHECK (length(url) BETWEEN 1 AND 2000),"
                               " sync_token TEXT CHECK (length(sync_token) <= 2000))"),
                QStringLiteral("CREATE TABLE IF NOT EXISTS sync_item ("
                               " kind TEXT NOT NULL CHECK (kind IN ('contact', 'job', 'note')),"
                               " record_key TEXT NOT NULL CHECK (length(record_key) <= 64),"
                               " href TEXT NOT NULL CHECK (length(href) BETWEEN 1 AND 2000),"
                               " etag TEXT CHECK (length(etag) <= 1000),"
                               " uid TEXT NOT NULL CHECK (length(uid) BETWEEN 1 AND 1000),"
                               " PRIMARY KEY (kind, record_key))"),
                QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS sync_item_by_href ON sync_item (kind, href)"),
                QStringLiteral("CREATE TABLE IF NOT EXISTS sync_change ("
                               " kind TEXT NOT NULL CHECK (kind IN ('contact', 'job', 'note')),"
                               " record_key TEXT NOT NULL CHECK (length(record_key) <= 64),"
                               " PRIMARY KEY (kind, record_key))"),
                // Holds its one row only inside the transaction of a
                // sync writing what the server sent, so those writes
                // mark nothing.
                QStringLiteral("CREATE TABLE IF NOT EXISTS sync_quiet (one INTEGER PRIMARY KEY CHECK (one = 1))"),
            });
}

// The trigger statements below are put together from names of ours only.
QString mark(const QString &kind, const QString &keysSelected)
{
    return QStringLiteral("INSERT OR IGNORE INTO sync_change (kind, record_key) SELECT '%1', %2;")
        .arg(kind, keysSelected);
}

QString markingTrigger(const QString &table, const QString &event, const QStringList &marks)
{
    return QStringLiteral("CREATE TRIGGER IF NOT EXISTS sync_mark_%1_%2 AFTER %3 ON %1 "
                          "WHEN NOT EXISTS (SELECT 1 FROM sync_quiet) BEGIN %4 END")
        .arg(table, event.toLower(), event, marks.join(u' '));
}

// A contact is keyed by its pe_id in each of its three tables.
QStringList contactTriggers(const QString &table)
{
    const QString kind = QStringLiteral("contact");
    const QString newKey = QStringLiteral("NEW.pe_id WHERE NEW.pe_id IS NOT NULL");
    const QString oldKey = QStringLiteral("OLD.pe_id WHERE OLD.pe_id IS NOT NULL");
    return {
        markingTrigger(table, QStringLiteral("INSERT"), {mark(kind, newKey)}),
        markingTrigger(table, QStringLiteral("UPDATE"), {mark(kind, newKey), mark(kind, oldKey)}),
        markingTrigger(table, QStringLiteral("DELETE"), {mark(kind, oldKey)}),
    };
}

// Jobs and notes are keyed as the interchange keys them, by their stamp (a
// job's id, a note's date_id): the row with the lowest rowid of a stamp has
// the stamp as key, every other one "stamp#rowid". Run after the change,
// this gives the key a row (`side` NEW) has now, or the key a row gone or
// moved to another stamp (`side` OLD) had.
QString stampKey(const QString &table, const QString &column, const QString &side)
{
    return QStringLiteral("CASE WHEN %3.%2 IS NOT NULL AND NOT EXISTS (SELECT 1 FROM %1 f WHERE f.%2 = %3.%2 AND "
                          "f.rowid < %3.rowid) THEN %3.%2 ELSE ifnull(%3.%2, '') || '#' || %3.rowid END")
        .arg(table, column, side);
}

// A row that leaves its stamp's first place hands the stamp as key to the
// next row, whose old key "stamp#rowid" is marked too: the server knows that
// record under it. Likewise a row that arrives before the first row of its
// stamp gives that row the key "stamp#rowid".
QString keyShiftedBy(const QString &table, const QString &column, const QString &side, const QString &when)
{
    return QStringLiteral("%3.%2 || '#' || f.rowid FROM %1 f WHERE f.%2 = %3.%2 AND f.rowid > %3.rowid AND NOT "
                          "EXISTS (SELECT 1 FROM %1 g WHERE g.%2 = %3.%2 AND g.rowid < %3.rowid) AND %4 "
                          "ORDER BY f.rowid LIMIT 1")
        .arg(table, column, side, when);
}

QStringList stampTriggers(const QString &kind, const QString &table, const QString &column)
{
    const QString always = QStringLiteral("1");
    const QString moved = QStringLiteral("OLD.%1 IS NOT NEW.%1").arg(column);
    return {
        markingTrigger(table, QStringLiteral("INSERT"),
                       {mark(kind, stampKey(table, column, QStringLiteral("NEW"))),
                        mark(kind, keyShiftedBy(table, column, QStringLiteral("NEW"), always))}),
        markingTrigger(table, QStringLiteral("UPDATE"),
                       {mark(kind, stampKey(table, column, QStringLiteral("NEW"))),
                        mark(kind, stampKey(table, column, QStringLiteral("OLD")) + QStringLiteral(" WHERE ") + moved
                                       + QStringLiteral(" OR OLD.rowid <> NEW.rowid")),
                        mark(kind, keyShiftedBy(table, column, QStringLiteral("OLD"), moved)),
                        mark(kind, keyShiftedBy(table, column, QStringLiteral("NEW"), moved))}),
        markingTrigger(table, QStringLiteral("DELETE"),
                       {mark(kind, stampKey(table, column, QStringLiteral("OLD"))),
                        mark(kind, keyShiftedBy(table, column, QStringLiteral("OLD"), always))}),
    };
}

// A completion-log entry belongs to every job holding its id.
QStringList entryTriggers()
{
    const auto jobsOf = [](const QString &side) {
        return mark(QStringLiteral("job"), QStringLiteral("CASE WHEN NOT EXISTS (SELECT 1 FROM job_do f WHERE f.id = "
                                                          "j.id AND f.rowid < j.rowid) THEN j.id ELSE j.id || '#' || "
                                                          "j.rowid END FROM job_do j WHERE j.id = %1.id")
                                               .arg(side));
    };
    const QString table = QStringLiteral("job_do_sub");
    return {
        markingTrigger(table, QStringLiteral("INSERT"), {jobsOf(QStringLiteral("NEW"))}),
        markingTrigger(table, QStringLiteral("UPDATE"), {jobsOf(QStringLiteral("NEW")), jobsOf(QStringLiteral("OLD"))}),
        markingTrigger(table, QStringLiteral("DELETE"), {jobsOf(QStringLiteral("OLD"))}),
    };
}

// Every save, delete and import marks its record as changed by a trigger,
// so no window or import path can forget to; a sync clears the mark once the
// server has the change.
Result<void> addSyncState(QSqlDatabase &db)
{
    if (Result<void> tables = addSyncTables(db); !tables)
        return tables;
    QStringList triggers;
    for (const QString &table :
         {QStringLiteral("pe_info"), QStringLiteral("pe_dw_info"), QStringLiteral("pe_other_info")})
        triggers << contactTriggers(table);
    triggers << stampTriggers(QStringLiteral("job"), QStringLiteral("job_do"), QStringLiteral("id"));
    triggers << entryTriggers();
    triggers << stampTriggers(QStringLiteral("note"), QStringLiteral("note_pad"), QStringLiteral("date_id"));
    return Sql::runAll(db, triggers);
}

// What a sync is sending, kept before the request goes: when the answer is
// lost (the program killed, the network gone), the next sync knows the
// version it then finds on the server for its own, not another machine's.
Result<void> addSyncSent(QSqlDatabase &db)
{
    return Sql::runAll(db, {
                               QStringLiteral("CREATE TABLE IF NOT EXISTS sync_sent ("
                                              " kind TEXT NOT NULL CHECK (kind IN ('contact', 'job', 'note')),"
                                              " record_key TEXT NOT NULL CHECK (length(record_key) <= 64),"
                                              " meaning TEXT NOT NULL CHECK (length(meaning) <= 64),"
                                              " PRIMARY KEY (kind, record_key))"),
                           });
}

// What the reminder watch keeps across runs, so a kill, a crash or a closed
// program never loses a reminder or shows one twice: the minute up to which
// it has looked (one row), the reminders it has shown at or after that minute,
// and the reminders put off by "稍后提醒" with the moment they come again.
Result<void> addReminderState(QSqlDatabase &db)
{
    return Sql::runAll(db, {
                               QStringLiteral("CREATE TABLE IF NOT EXISTS reminder_watch ("
                                              " one INTEGER PRIMARY KEY CHECK (one = 1),"
                                              " watched_to TEXT NOT NULL CHECK (length(watched_to) = 14))"),
                               QStringLiteral("CREATE TABLE IF NOT EXISTS reminder_shown ("
                                              " job_rowid INTEGER NOT NULL,"
                                              " due TEXT NOT NULL CHECK (length(due) = 14),"
                                              " PRIMARY KEY (job_rowid, due))"),
                               QStringLiteral("CREATE TABLE IF NOT EXISTS reminder_snooze ("
                                              " job_rowid INTEGER PRIMARY KEY,"
                                              " due TEXT NOT NULL CHECK (length(due) = 14))"),
                           });
}

// A copy of the whole file, written by the engine itself so it is consistent
// even while the connection is open.
Result<void> keepCopy(QSqlDatabase &db, const QString &target)
{
    QFile::remove(target);
    if (Result<QSqlQuery> copied = Sql::run(db, QStringLiteral("VACUUM INTO ?"), {target}); !copied)
        return fail(QStringLiteral("升级记录文件前无法保留它的副本: %1\n%2").arg(target, copied.error()));
    return {};
}

Result<void> runStep(QSqlDatabase &db, const Step &step, const BeforeCommit &beforeCommit)
{
    return Sql::inTransaction(db, [&]() -> Result<void> {
        if (Result<void> applied = step.apply(db); !applied)
            return applied;
        // The version is a number of ours, never user text.
        const QString bump = QStringLiteral("PRAGMA user_version = %1").arg(step.version);
        if (Result<QSqlQuery> bumped = Sql::run(db, bump); !bumped)
            return fail(bumped.error());
        if (beforeCommit)
            beforeCommit(step.version);
        return {};
    });
}

} // namespace

const QList<Step> &steps()
{
    static const QList<Step> all = {
        {1, false, addIndexes},
        {2, false, addRecordUids},
        {3, false, addSyncState},
        {4, false, addSyncSent},
        {5, false, addReminderState},
        {6, false, IndexSchema::addNameReadings},
        {7, false, IndexSchema::addTextIndex},
    };
    return all;
}

int currentVersion()
{
    return steps().isEmpty() ? 0 : steps().constLast().version;
}

Result<int> version(const QSqlDatabase &db)
{
    Result<QVariant> value = Sql::scalar(db, QStringLiteral("PRAGMA user_version"));
    if (!value)
        return fail(value.error());
    return value->toInt();
}

QString copyBeforeStep(const QString &storePath, int stepVersion)
{
    return storePath + QStringLiteral(".before-v%1").arg(stepVersion);
}

Result<void> upgrade(QSqlDatabase &db, const QString &storePath, const QList<Step> &plan,
                     const BeforeCommit &beforeCommit)
{
    Result<int> from = version(db);
    if (!from)
        return fail(from.error());
    for (const Step &step : plan) {
        if (step.version <= *from)
            continue;
        if (step.rewritesRows) {
            if (Result<void> kept = keepCopy(db, copyBeforeStep(storePath, step.version)); !kept)
                return kept;
        }
        if (Result<void> done = runStep(db, step, beforeCommit); !done)
            return fail(QStringLiteral("记录文件升级到第 %1 版时出错: %2").arg(step.version).arg(done.error()));
    }
    return {};
}

} // namespace Schema
