#include "JobEntryRepository.h"

#include "StoreError.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

bool fail(const QSqlQuery &query, QString *error)
{
    if (error)
        *error = StoreError::text(query.lastError());
    return false;
}

} // namespace

JobEntryRepository::JobEntryRepository(QSqlDatabase db)
    : m_db(std::move(db))
{
}

bool JobEntryRepository::listForJob(
    const QString &jobId, QList<JobEntry> &rows, QString *error) const
{
    rows.clear();
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(
            QStringLiteral("SELECT rowid, id, date_id, job_memo_sub, e_dec_yn FROM job_do_sub "
                           "WHERE id = ? ORDER BY rowid")))
        return fail(query, error);
    query.addBindValue(jobId);
    if (!query.exec())
        return fail(query, error);
    while (query.next()) {
        JobEntry entry;
        entry.rowid = query.value(0).toLongLong();
        entry.jobId = query.value(1).toString();
        entry.dateId = query.value(2).toString();
        entry.memo = query.value(3).toString();
        entry.isProtected = query.value(4).toBool();
        rows.append(entry);
    }
    return true;
}

bool JobEntryRepository::append(JobEntry &entry, QString *error)
{
    QSqlQuery query(m_db);
    if (!query.prepare(QStringLiteral(
            "INSERT INTO job_do_sub (id, date_id, job_memo_sub, e_dec_yn) VALUES (?, ?, ?, ?)")))
        return fail(query, error);
    query.addBindValue(entry.jobId);
    query.addBindValue(entry.dateId);
    query.addBindValue(entry.memo);
    query.addBindValue(entry.isProtected);
    if (!query.exec())
        return fail(query, error);
    entry.rowid = query.lastInsertId().toLongLong();
    return true;
}
