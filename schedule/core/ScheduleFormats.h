#pragma once

#include <QDateTime>
#include <QString>

// The locale's forms the schedule shows dates and times in. They follow the
// default QLocale, which is the user's locale unless a test sets another.
namespace ScheduleFormats {

QString shortDateFormat();
QString shortDate(const QDate &date);
// Hours, minutes and seconds; the time zone some locales add is left out.
QString longTimeFormat();
QString longTime(const QTime &time);
QString shortDateLongTime(const QDateTime &moment);
// The minute a reminder is due: "hh:mm", and with the short date before it.
QString minute(const QTime &time);
QString shortDateMinute(const QDateTime &moment);
// The abbreviated name of a month, 1 to 12.
QString abbreviatedMonth(int month);

} // namespace ScheduleFormats
