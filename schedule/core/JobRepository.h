#pragma once

#include "schedule/core/JobRecord.h"
#include "store/Result.h"

#include <optional>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>

// The SQL of job_do. Every value is bound; rows are changed by rowid.
class JobRepository final
{
public:
    explicit JobRepository(QSqlDatabase db);

    // Jobs whose date_id starts with `prefix` (a day "yyyyMMdd" or a month
    // "yyyyMM"), by date_id and, within one date_id, in the order they were saved.
    Result<QList<JobRecord>> listByDatePrefix(const QString &prefix) const;

    // Writes `job` under a fresh id: the stamp of `now`, or of the first later
    // second no job holds yet, so entries of two jobs never mix. Sets `job.id`
    // and `job.rowid`.
    Result<void> append(JobRecord &job, const QDateTime &now);

    Result<void> markDone(qint64 rowid, const QString &moment);
    Result<void> remove(qint64 rowid);

    // The job in row `rowid`; nullopt when it is gone.
    Result<std::optional<JobRecord>> findByRowid(qint64 rowid) const;
    // How many jobs carry `id`: more than one only in stores written before
    // ids were made unique, where those jobs share their log entries.
    Result<int> countWithId(const QString &id) const;

    // Due stamps of the reminder jobs of one day, in date_id order.
    Result<QStringList> reminderStamps(const QString &dayKey) const;
    // Reminder jobs due from `fromStamp` to `toStamp`, both included, in
    // date_id order. Only stamps of a whole minute (seconds "00") are due.
    Result<QList<JobRecord>> remindersBetween(const QString &fromStamp, const QString &toStamp) const;
    // The first reminder job due after `afterStamp`.
    Result<std::optional<JobRecord>> reminderAfter(const QString &afterStamp) const;

private:
    QSqlDatabase m_db;
};
