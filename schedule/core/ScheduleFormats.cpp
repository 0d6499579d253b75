#include "schedule/core/ScheduleFormats.h"

#include <QLocale>

namespace ScheduleFormats {

namespace {

// Drops the zone letter "t" (outside quoted text) from a time format.
QString withoutZone(const QString &format)
{
    QString kept;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't')
            kept.append(c);
    }
    return kept.simplified();
}

} // namespace

QString longTimeFormat()
{
    return withoutZone(QLocale().timeFormat(QLocale::LongFormat));
}

QString shortDateFormat()
{
    return QLocale().dateFormat(QLocale::ShortFormat);
}

QString shortDate(const QDate &date)
{
    return QLocale().toString(date, QLocale::ShortFormat);
}

QString longTime(const QTime &time)
{
    return QLocale().toString(time, longTimeFormat());
}

QString shortDateLongTime(const QDateTime &moment)
{
    return shortDate(moment.date()) + u' ' + longTime(moment.time());
}

QString minute(const QTime &time)
{
    return time.toString(QStringLiteral("hh:mm"));
}

QString shortDateMinute(const QDateTime &moment)
{
    return shortDate(moment.date()) + u' ' + minute(moment.time());
}

QString abbreviatedMonth(int month)
{
    return QLocale().monthName(month, QLocale::ShortFormat);
}

} // namespace ScheduleFormats
