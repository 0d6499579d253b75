#pragma once

#include "JobRecord.h"

#include <QList>
#include <QSqlDatabase>

// The SQL of job_do_sub.
class JobEntryRepository final {
public:
    explicit JobEntryRepository(QSqlDatabase db);

    // A job's entries in the order they were written.
    bool listForJob(const QString &jobId, QList<JobEntry> &rows, QString *error) const;
    // Sets `entry.rowid`.
    bool append(JobEntry &entry, QString *error);

private:
    QSqlDatabase m_db;
};
