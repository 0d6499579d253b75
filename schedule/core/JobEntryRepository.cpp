#include "schedule/core/JobEntryRepository.h"

#include "store/Sql.h"

#include <QSqlQuery>

JobEntryRepository::JobEntryRepository(QSqlDatabase db)
    : m_db(std::move(db))
{
}

Result<QList<JobEntry>> JobEntryRepository::listForJob(const QString &jobId) const
{
    auto query = Sql::read(m_db,
                           QStringLiteral("SELECT rowid, id, date_id, job_memo_sub, e_dec_yn FROM job_do_sub "
                                          "WHERE id = ? ORDER BY rowid"),
                           {jobId});
    if (!query)
        return fail(query.error());
    QList<JobEntry> rows;
    while (query->next()) {
        JobEntry entry;
        entry.rowid = query->value(0).toLongLong();
        entry.jobId = query->value(1).toString();
        entry.dateId = query->value(2).toString();
        entry.memo = query->value(3).toString();
        entry.isProtected = query->value(4).toBool();
        rows.append(entry);
    }
    return rows;
}

Result<void> JobEntryRepository::append(JobEntry &entry)
{
    const auto inserted = Sql::run(
        m_db, QStringLiteral("INSERT INTO job_do_sub (id, date_id, job_memo_sub, e_dec_yn) VALUES (?, ?, ?, ?)"),
        {entry.jobId, entry.dateId, entry.memo, entry.isProtected});
    if (!inserted)
        return fail(inserted.error());
    entry.rowid = inserted->lastInsertId().toLongLong();
    return {};
}
