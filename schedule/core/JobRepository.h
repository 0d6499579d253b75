#pragma once

#include "JobRecord.h"

#include <optional>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>

// The SQL of job_do. Every value is bound; rows are changed by rowid.
class JobRepository final {
public:
    explicit JobRepository(QSqlDatabase db);

    // Jobs whose date_id starts with `prefix` (a day "yyyyMMdd" or a month
    // "yyyyMM"), by date_id and, within one date_id, in the order they were saved.
    bool listByDatePrefix(const QString &prefix, QList<JobRecord> &rows, QString *error) const;

    // Writes `job` under a fresh id: the stamp of `now`, or of the first later
    // second no job holds yet, so entries of two jobs never mix. Sets `job.id`
    // and `job.rowid`.
    bool append(JobRecord &job, const QDateTime &now, QString *error);

    bool markDone(qint64 rowid, const QString &moment, QString *error);
    bool remove(qint64 rowid, QString *error);

    // The first job saved under `id`; nullopt with `error` empty when there is none.
    std::optional<JobRecord> findById(const QString &id, QString *error) const;

    // Due stamps of the reminder jobs of one day, in date_id order.
    bool reminderStamps(const QString &dayKey, QStringList &stamps, QString *error) const;

private:
    QSqlDatabase m_db;
};
