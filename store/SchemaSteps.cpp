#include "store/SchemaSteps.h"

#include "store/Sql.h"

#include <QFile>

namespace Schema {

namespace {

Result<void> runAll(QSqlDatabase &db, const QStringList &statements)
{
    for (const QString &statement : statements) {
        if (Result<QSqlQuery> done = Sql::run(db, statement); !done)
            return fail(done.error());
    }
    return {};
}

// Lookup indexes for keys and days, and covering indexes for the contact
// searches, which scan one column in contact order without touching the table.
// A store set up by an early version may hold some of them already.
Result<void> addIndexes(QSqlDatabase &db)
{
    return runAll(
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
    return runAll(db,
                  {
                      QStringLiteral("CREATE TABLE IF NOT EXISTS record_uid ("
                                     " kind TEXT NOT NULL CHECK (kind IN ('contact', 'job', 'note')),"
                                     " record_key TEXT NOT NULL CHECK (length(record_key) <= 64),"
                                     " uid TEXT NOT NULL CHECK (length(uid) BETWEEN 1 AND 1000),"
                                     " PRIMARY KEY (kind, record_key))"),
                      QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS record_uid_by_uid ON record_uid (kind, uid)"),
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
