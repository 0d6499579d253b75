#include "schedule/core/ReminderWatch.h"

#include "schedule/core/JobRepository.h"
#include "schedule/core/ScheduleFormats.h"
#include "store/TimeStamp.h"

ReminderWatch::ReminderWatch(QSqlDatabase db)
    : m_db(std::move(db))
{
}

Result<void> ReminderWatch::reload(const QDateTime &now)
{
    m_entries.clear();
    m_day = now.date();
    const Result<QStringList> stamps = JobRepository(m_db).reminderStamps(TimeStamp::dayKey(now));
    if (!stamps)
        return fail(stamps.error());
    m_entries.reserve(stamps->size());
    for (const QString &stamp : *stamps)
        m_entries.append({minuteOf(stamp), false});
    m_locale = QLocale();
    m_clockFormat = ScheduleFormats::longTimeFormat();
    return {};
}

// Every stamp read is of the watched day, so a due stamp equals the present
// minute followed by "00" exactly when its hours and minutes are the
// present ones and its seconds are "00".
int ReminderWatch::minuteOf(const QString &stamp)
{
    if (stamp.size() != TimeStamp::kLength)
        return -1;
    for (QChar c : stamp) {
        if (c < u'0' || c > u'9')
            return -1;
    }
    const int hour = QStringView(stamp).mid(8, 2).toInt();
    const int minute = QStringView(stamp).mid(10, 2).toInt();
    if (hour > 23 || minute > 59 || QStringView(stamp).mid(12, 2) != u"00")
        return -1;
    return hour * 60 + minute;
}

ReminderWatch::Tick ReminderWatch::tick(const QDateTime &now)
{
    Tick result;
    if (!m_day.isValid())
        return result;
    if (now.date() != m_day)
        result.error = reload(now).error();
    if (m_entries.isEmpty())
        return result;
    // Only the minute counts: a reminder is due during all of its minute.
    const int minute = now.time().hour() * 60 + now.time().minute();
    for (Entry &entry : m_entries) {
        if (!entry.shown && entry.minute == minute) {
            entry.shown = true;
            result.message = message(now);
            return result;
        }
    }
    result.clock = m_locale.toString(now.time(), m_clockFormat);
    return result;
}

QString ReminderWatch::message(const QDateTime &now)
{
    return QStringLiteral("现在:") + ScheduleFormats::shortDateLongTime(now) + QStringLiteral("有日程安排,请查看...");
}
