#include "ReminderWatch.h"

#include "JobRepository.h"
#include "ScheduleFormats.h"
#include "Shell.h"
#include "TimeStamp.h"

ReminderWatch::ReminderWatch(const Shell &shell)
    : m_shell(shell)
{
}

bool ReminderWatch::reload(const QDateTime &now, QString *error)
{
    m_entries.clear();
    m_day = now.date();
    QStringList stamps;
    if (!JobRepository(m_shell.database()).reminderStamps(TimeStamp::dayKey(now), stamps, error))
        return false;
    m_entries.reserve(stamps.size());
    for (const QString &stamp : stamps)
        m_entries.append({stamp, false});
    return true;
}

ReminderWatch::Tick ReminderWatch::tick(const QDateTime &now)
{
    Tick result;
    if (!m_day.isValid())
        return result;
    if (now.date() != m_day)
        reload(now, &result.error);
    if (m_entries.isEmpty())
        return result;
    // Only the minute counts: seconds are written as "00".
    QString minute = TimeStamp::format(now);
    minute.replace(12, 2, QStringLiteral("00"));
    for (Entry &entry : m_entries) {
        if (!entry.shown && entry.due == minute) {
            entry.shown = true;
            result.message = message(now);
            return result;
        }
    }
    result.clock = ScheduleFormats::longTime(now.time());
    return result;
}

QString ReminderWatch::message(const QDateTime &now)
{
    return QStringLiteral("现在:") + ScheduleFormats::shortDateLongTime(now)
        + QStringLiteral("有日程安排,请查看...");
}
