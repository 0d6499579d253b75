#pragma once

#include "schedule/core/JobRecord.h"
#include "store/Result.h"

#include <QList>
#include <QSqlDatabase>

// The SQL of job_do_sub.
class JobEntryRepository final
{
public:
    explicit JobEntryRepository(QSqlDatabase db);

    // A job's entries in the order they were written.
    Result<QList<JobEntry>> listForJob(const QString &jobId) const;
    // Sets `entry.rowid`.
    Result<void> append(JobEntry &entry);

private:
    QSqlDatabase m_db;
};
