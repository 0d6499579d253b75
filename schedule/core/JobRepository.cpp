#include "schedule/core/JobRepository.h"

#include "store/Sql.h"
#include "store/UniqueStamp.h"

#include <QSqlQuery>

namespace {

const QString kColumns = QStringLiteral("rowid, id, date_id, job_memo, alter_yn, e_dec_yn, complete_yn");

JobRecord readJob(const QSqlQuery &query)
{
    JobRecord job;
    job.rowid = query.value(0).toLongLong();
    job.id = query.value(1).toString();
    job.dateId = query.value(2).toString();
    job.memo = query.value(3).toString();
    job.reminder = query.value(4).toBool();
    job.isProtected = query.value(5).toBool();
    job.completion = query.value(6).toString();
    return job;
}

// The smallest text after every text that starts with `prefix`. A range on
// date_id lets the store use its index where a "like" pattern would scan.
QString prefixEnd(const QString &prefix)
{
    QString end = prefix;
    end.back() = QChar(end.back().unicode() + 1);
    return end;
}

Result<void> done(const Result<QSqlQuery> &statement)
{
    if (!statement)
        return fail(statement.error());
    return {};
}

} // namespace

JobRepository::JobRepository(QSqlDatabase db)
    : m_db(std::move(db))
{
}

Result<QList<JobRecord>> JobRepository::listByDatePrefix(const QString &prefix) const
{
    QList<JobRecord> rows;
    if (prefix.isEmpty())
        return rows;
    auto query = Sql::read(m_db,
                           QStringLiteral("SELECT %1 FROM job_do WHERE date_id >= ? AND date_id < ? "
                                          "ORDER BY date_id, rowid")
                               .arg(kColumns),
                           {prefix, prefixEnd(prefix)});
    if (!query)
        return fail(query.error());
    while (query->next())
        rows.append(readJob(*query));
    return rows;
}

Result<void> JobRepository::append(JobRecord &job, const QDateTime &now)
{
    const Result<QString> stamp = UniqueStamp::next(m_db, QStringLiteral("job_do"), QStringLiteral("id"), now);
    if (!stamp)
        return fail(stamp.error());
    const QString &id = *stamp;
    const auto inserted = Sql::run(m_db,
                                   QStringLiteral("INSERT INTO job_do (id, date_id, job_memo, alter_yn, e_dec_yn, "
                                                  "complete_yn) VALUES (?, ?, ?, ?, ?, ?)"),
                                   {id, job.dateId, job.memo, job.reminder, job.isProtected, job.completion});
    if (!inserted)
        return fail(inserted.error());
    job.id = id;
    job.rowid = inserted->lastInsertId().toLongLong();
    return {};
}

Result<void> JobRepository::markDone(qint64 rowid, const QString &moment)
{
    return done(Sql::run(m_db, QStringLiteral("UPDATE job_do SET complete_yn = ? WHERE rowid = ?"), {moment, rowid}));
}

Result<void> JobRepository::remove(qint64 rowid)
{
    return done(Sql::run(m_db, QStringLiteral("DELETE FROM job_do WHERE rowid = ?"), {rowid}));
}

Result<std::optional<JobRecord>> JobRepository::findByRowid(qint64 rowid) const
{
    auto query = Sql::read(m_db, QStringLiteral("SELECT %1 FROM job_do WHERE rowid = ?").arg(kColumns), {rowid});
    if (!query)
        return fail(query.error());
    if (!query->next())
        return std::optional<JobRecord>();
    return std::optional<JobRecord>(readJob(*query));
}

Result<int> JobRepository::countWithId(const QString &id) const
{
    Result<QVariant> count = Sql::scalar(m_db, QStringLiteral("SELECT count(*) FROM job_do WHERE id = ?"), {id});
    if (!count)
        return fail(count.error());
    return count->toInt();
}

Result<QStringList> JobRepository::reminderStamps(const QString &dayKey) const
{
    auto query = Sql::read(m_db,
                           QStringLiteral("SELECT date_id FROM job_do WHERE alter_yn = ? AND date_id >= ? "
                                          "AND date_id < ? ORDER BY date_id, rowid"),
                           {true, dayKey, prefixEnd(dayKey)});
    if (!query)
        return fail(query.error());
    QStringList stamps;
    while (query->next())
        stamps.append(query->value(0).toString());
    return stamps;
}

Result<QList<JobRecord>> JobRepository::remindersBetween(const QString &fromStamp, const QString &toStamp) const
{
    auto query = Sql::read(m_db,
                           QStringLiteral("SELECT %1 FROM job_do WHERE alter_yn = ? AND date_id >= ? AND date_id <= ? "
                                          "AND length(date_id) = 14 AND substr(date_id, 13) = '00' "
                                          "ORDER BY date_id, rowid")
                               .arg(kColumns),
                           {true, fromStamp, toStamp});
    if (!query)
        return fail(query.error());
    QList<JobRecord> rows;
    while (query->next())
        rows.append(readJob(*query));
    return rows;
}

Result<std::optional<JobRecord>> JobRepository::reminderAfter(const QString &afterStamp) const
{
    auto query = Sql::read(m_db,
                           QStringLiteral("SELECT %1 FROM job_do WHERE alter_yn = ? AND date_id > ? "
                                          "AND length(date_id) = 14 AND substr(date_id, 13) = '00' "
                                          "ORDER BY date_id, rowid LIMIT 1")
                               .arg(kColumns),
                           {true, afterStamp});
    if (!query)
        return fail(query.error());
    if (!query->next())
        return std::optional<JobRecord>();
    return std::optional<JobRecord>(readJob(*query));
}
