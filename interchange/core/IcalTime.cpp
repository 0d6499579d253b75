#include "interchange/core/IcalTime.h"

namespace IcalTime {

namespace {

// Stamps have four-digit years.
constexpr int kFirstYear = 1000;
constexpr int kLastYear = 9999;

// Before any change the zone made, a zone's first observance starts here.
const QDateTime kEpoch(QDate(1970, 1, 1), QTime(0, 0), QTimeZone::utc());

icalcomponent *observance(const QTimeZone &zone, const QDateTime &startUtc, int offsetFrom, int offsetTo,
                          const QString &abbreviation)
{
    const bool daylight = zone.isDaylightTime(startUtc) && offsetTo != zone.standardTimeOffset(startUtc);
    icalcomponent *part = daylight ? icalcomponent_new_xdaylight() : icalcomponent_new_xstandard();
    // An observance starts at the wall-clock time the old offset shows.
    icalcomponent_add_property(part, icalproperty_new_dtstart(wallClock(startUtc.toOffsetFromUtc(offsetFrom))));
    icalcomponent_add_property(part, icalproperty_new_tzoffsetfrom(offsetFrom));
    icalcomponent_add_property(part, icalproperty_new_tzoffsetto(offsetTo));
    if (!abbreviation.isEmpty())
        icalcomponent_add_property(part, icalproperty_new_tzname(abbreviation.toUtf8().constData()));
    return part;
}

} // namespace

bool isUtc(const QTimeZone &zone)
{
    if (!zone.isValid())
        return true;
    if (zone.id() == "UTC" || zone.id() == "Etc/UTC" || zone.id() == "GMT" || zone.id() == "Etc/GMT")
        return true;
    return zone.offsetFromUtc(kEpoch) == 0 && !zone.hasTransitions() && !zone.hasDaylightTime();
}

icaltimetype date(const QDate &day)
{
    icaltimetype time = icaltime_null_date();
    time.year = day.year();
    time.month = day.month();
    time.day = day.day();
    return time;
}

icaltimetype wallClock(const QDateTime &moment)
{
    icaltimetype time = icaltime_null_time();
    const QDate day = moment.date();
    const QTime clock = moment.time();
    time.year = day.year();
    time.month = day.month();
    time.day = day.day();
    time.hour = clock.hour();
    time.minute = clock.minute();
    time.second = clock.second();
    return time;
}

icaltimetype utc(const QDateTime &moment)
{
    icaltimetype time = wallClock(moment.toUTC());
    time.zone = icaltimezone_get_utc_timezone();
    return time;
}

icalproperty *timeProperty(icalproperty_kind kind, const QDateTime &moment, const QTimeZone &zone)
{
    icalproperty *property = icalproperty_new(kind);
    if (isUtc(zone)) {
        icalproperty_set_value(property, icalvalue_new_datetime(utc(moment)));
        return property;
    }
    icalproperty_set_value(property, icalvalue_new_datetime(wallClock(moment.toTimeZone(zone))));
    icalproperty_add_parameter(property, icalparameter_new_tzid(zone.id().constData()));
    return property;
}

Libical::Component timezone(const QTimeZone &zone, const QDateTime &from, const QDateTime &to)
{
    Libical::Component vtimezone(icalcomponent_new_vtimezone());
    icalcomponent_add_property(vtimezone.get(), icalproperty_new_tzid(zone.id().constData()));
    const QDateTime first = from.toUTC().addDays(-1);
    const QDateTime last = to.toUTC().addDays(1);

    // The observance in force at `first`: from the change that began it, or
    // from the epoch when the zone never changed before.
    const QTimeZone::OffsetData before = zone.previousTransition(first.addSecs(1));
    const QDateTime start = before.atUtc.isValid() ? before.atUtc : kEpoch;
    const int startOffset = zone.offsetFromUtc(start);
    const int offsetBefore = before.atUtc.isValid() ? zone.offsetFromUtc(start.addSecs(-1)) : startOffset;
    icalcomponent_add_component(vtimezone.get(),
                                observance(zone, start, offsetBefore, startOffset, zone.abbreviation(start)));
    for (const QTimeZone::OffsetData &change : zone.transitions(first, last)) {
        if (change.atUtc <= start)
            continue;
        icalcomponent_add_component(vtimezone.get(),
                                    observance(zone, change.atUtc, zone.offsetFromUtc(change.atUtc.addSecs(-1)),
                                               change.offsetFromUtc, change.abbreviation));
    }
    return vtimezone;
}

QDateTime inZone(const icaltimetype &time, const QTimeZone &zone)
{
    if (time.year < kFirstYear || time.year > kLastYear)
        return {};
    const QDate day(time.year, time.month, time.day);
    const QTime clock(time.hour, time.minute, time.second);
    if (!day.isValid() || (!time.is_date && !clock.isValid()))
        return {};
    return QDateTime(day, time.is_date ? QTime(0, 0) : clock, zone);
}

QDate dayOf(const icaltimetype &time)
{
    if (time.year < kFirstYear || time.year > kLastYear)
        return {};
    return QDate(time.year, time.month, time.day);
}

QString offsetText(int seconds)
{
    const QChar sign = seconds < 0 ? u'-' : u'+';
    const int magnitude = std::abs(seconds);
    return QStringLiteral("%1%2%3")
        .arg(sign)
        .arg(magnitude / 3600, 2, 10, QLatin1Char('0'))
        .arg(magnitude % 3600 / 60, 2, 10, QLatin1Char('0'));
}

} // namespace IcalTime
