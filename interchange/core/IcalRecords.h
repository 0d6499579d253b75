#pragma once

#include <QList>
#include <QString>

// Jobs and notes as they travel to and from iCalendar files: texts readable
// (a protected record's decoded), times as the store keeps them, local
// stamps "yyyyMMddhhmmss".
namespace Ical {

// What the planner stores in complete_yn until a job is marked done.
inline const QString kOpenJob = QStringLiteral("未完成..");

// One completion-log entry of a job.
struct Entry
{
    QString dateId; // the log's picker moment, "yyyyMMddhhmmss"
    QString text;
    bool isProtected = false;

    bool operator==(const Entry &) const = default;
};

struct Job
{
    QString uid;
    QString id;     // the moment the job was saved; the key of its entries
    QString dateId; // day "yyyyMMdd" + reminder "hhmm00", or + "000000"
    bool reminder = false;
    QString text;
    bool isProtected = false;
    QString completion = kOpenJob; // or the moment it was marked done
    QList<Entry> entries;
};

struct Note
{
    QString uid;
    QString dateId; // the moment the page was started
    QString text;
};

} // namespace Ical
