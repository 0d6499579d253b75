#include "JobRepository.h"

#include "StoreError.h"
#include "UniqueStamp.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString kColumns
    = QStringLiteral("rowid, id, date_id, job_memo, alter_yn, e_dec_yn, complete_yn");

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

bool fail(const QSqlQuery &query, QString *error)
{
    if (error)
        *error = StoreError::text(query.lastError());
    return false;
}

// The smallest text after every text that starts with `prefix`. A range on
// date_id lets the store use its index where a "like" pattern would scan.
QString prefixEnd(const QString &prefix)
{
    QString end = prefix;
    end.back() = QChar(end.back().unicode() + 1);
    return end;
}

} // namespace

JobRepository::JobRepository(QSqlDatabase db)
    : m_db(std::move(db))
{
}

bool JobRepository::listByDatePrefix(
    const QString &prefix, QList<JobRecord> &rows, QString *error) const
{
    rows.clear();
    if (prefix.isEmpty())
        return true;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT %1 FROM job_do WHERE date_id >= ? AND date_id < ? "
                                      "ORDER BY date_id, rowid")
                           .arg(kColumns)))
        return fail(query, error);
    query.addBindValue(prefix);
    query.addBindValue(prefixEnd(prefix));
    if (!query.exec())
        return fail(query, error);
    while (query.next())
        rows.append(readJob(query));
    return true;
}

bool JobRepository::append(JobRecord &job, const QDateTime &now, QString *error)
{
    const QString id
        = UniqueStamp::next(m_db, QStringLiteral("job_do"), QStringLiteral("id"), now, error);
    if (id.isEmpty())
        return false;
    QSqlQuery query(m_db);
    if (!query.prepare(
            QStringLiteral("INSERT INTO job_do (id, date_id, job_memo, alter_yn, e_dec_yn, "
                           "complete_yn) VALUES (?, ?, ?, ?, ?, ?)")))
        return fail(query, error);
    query.addBindValue(id);
    query.addBindValue(job.dateId);
    query.addBindValue(job.memo);
    query.addBindValue(job.reminder);
    query.addBindValue(job.isProtected);
    query.addBindValue(job.completion);
    if (!query.exec())
        return fail(query, error);
    job.id = id;
    job.rowid = query.lastInsertId().toLongLong();
    return true;
}

bool JobRepository::markDone(qint64 rowid, const QString &moment, QString *error)
{
    QSqlQuery query(m_db);
    if (!query.prepare(QStringLiteral("UPDATE job_do SET complete_yn = ? WHERE rowid = ?")))
        return fail(query, error);
    query.addBindValue(moment);
    query.addBindValue(rowid);
    if (!query.exec())
        return fail(query, error);
    return true;
}

bool JobRepository::remove(qint64 rowid, QString *error)
{
    QSqlQuery query(m_db);
    if (!query.prepare(QStringLiteral("DELETE FROM job_do WHERE rowid = ?")))
        return fail(query, error);
    query.addBindValue(rowid);
    if (!query.exec())
        return fail(query, error);
    return true;
}

std::optional<JobRecord> JobRepository::findById(const QString &id, QString *error) const
{
    if (error)
        error->clear();
    QSqlQuery query(m_db);
    if (!query.prepare(QStringLiteral("SELECT %1 FROM job_do WHERE id = ? ORDER BY rowid LIMIT 1")
                           .arg(kColumns))) {
        fail(query, error);
        return std::nullopt;
    }
    query.addBindValue(id);
    if (!query.exec()) {
        fail(query, error);
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    return readJob(query);
}

bool JobRepository::reminderStamps(const QString &dayKey, QStringList &stamps, QString *error) const
{
    stamps.clear();
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(
            QStringLiteral("SELECT date_id FROM job_do WHERE alter_yn = ? AND date_id >= ? "
                           "AND date_id < ? ORDER BY date_id, rowid")))
        return fail(query, error);
    query.addBindValue(true);
    query.addBindValue(dayKey);
    query.addBindValue(prefixEnd(dayKey));
    if (!query.exec())
        return fail(query, error);
    while (query.next())
        stamps.append(query.value(0).toString());
    return true;
}
