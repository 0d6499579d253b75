#pragma once

#include <QString>

// One row of job_do as the schedule reads and writes it. `rowid` addresses
// the row for an update or a delete; `id` is the key completion entries use.
struct JobRecord
{
    qint64 rowid = -1;
    QString id;
    QString dateId; // "yyyyMMdd" + reminder "hhmm" + "00", or + "000000"
    QString memo;   // Base64 form when `isProtected`
    bool reminder = false;
    bool isProtected = false;
    QString completion; // kOpenJob, or the moment the job was marked done

    static inline const QString kOpenJob = QStringLiteral("未完成..");
};

// One row of job_do_sub: a dated note on how a job was carried out.
struct JobEntry
{
    qint64 rowid = -1;
    QString jobId;
    QString dateId; // "yyyyMMddhhmmss"
    QString memo;   // Base64 form when `isProtected`
    bool isProtected = false;
};
