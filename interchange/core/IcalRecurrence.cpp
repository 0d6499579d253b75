#include "interchange/core/IcalRecurrence.h"

#include <QElapsedTimer>
#include <QMap>
#include <QSet>

namespace IcalRecurrence {

namespace {

// Rules are followed this many steps at most, and for this long, whatever
// they say: a rule of every second since 1900 ends here.
constexpr int kMaxSteps = 200000;
constexpr qint64 kMaxMs = 2000;

struct Collect
{
    const QDate first;
    const QDate last;
    QSet<QString> excluded;
    QMap<QString, Occurrence> found; // by key, so RDATE and RRULE never double one
    QStringList notes;
    bool full = false;

    // False once nothing later can fall in the range.
    bool offer(const IcalZones::Placed &placed)
    {
        if (!placed.local.isValid())
            return true;
        const QDate day = placed.local.date();
        if (day > last)
            return false;
        if (day < first)
            return true;
        const QString key = keyOf(placed);
        if (excluded.contains(key) || found.contains(key))
            return true;
        if (found.size() >= kMaxOccurrences) {
            if (!full)
                notes << QStringLiteral("重复次数太多,只导入了所选范围内的前%1次").arg(kMaxOccurrences);
            full = true;
            return false;
        }
        found.insert(key, {placed, key});
        return true;
    }
};

// A wall-clock time some days before the range, where a rule without COUNT
// can start instead of at its first occurrence.
icaltimetype rangeStart(const icaltimetype &start, const QDate &first)
{
    icaltimetype from = start;
    const QDate day = first.addDays(-2);
    from.year = day.year();
    from.month = day.month();
    from.day = day.day();
    if (!from.is_date) {
        from.hour = 0;
        from.minute = 0;
        from.second = 0;
    }
    return from;
}

QString follow(icalproperty *rule, const icaltimetype &start, const QByteArray &tzid, IcalZones &zones, int calendar,
               Collect &collect, QElapsedTimer &clock)
{
    const icalrecurrencetype recurrence = icalproperty_get_rrule(rule);
    if (recurrence.freq == ICAL_NO_RECURRENCE)
        return QStringLiteral("重复规则(RRULE)无法读取");
    Libical::RecurIterator iterator(icalrecur_iterator_new(recurrence, start));
    if (!iterator)
        return QStringLiteral("重复规则(RRULE)无法使用");
    const icaltimetype from = rangeStart(start, collect.first);
    if (recurrence.count == 0 && icaltime_compare(from, start) > 0)
        icalrecur_iterator_set_start(iterator.get(), from);
    for (int step = 0; step < kMaxSteps; ++step) {
        const icaltimetype next = icalrecur_iterator_next(iterator.get());
        if (icaltime_is_null_time(next))
            return {};
        if (!collect.offer(zones.place(next, tzid, calendar)))
            return {};
        if (step % 1024 == 0 && clock.elapsed() > kMaxMs)
            break;
    }
    collect.notes << QStringLiteral("重复规则太密,只展开了一部分");
    return {};
}

} // namespace

bool isRecurring(icalcomponent *item)
{
    return icalcomponent_get_first_property(item, ICAL_RRULE_PROPERTY)
           || icalcomponent_get_first_property(item, ICAL_RDATE_PROPERTY);
}

QByteArray tzidOf(icalproperty *property)
{
    icalparameter *tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    const char *name = tzid ? icalparameter_get_tzid(tzid) : nullptr;
    return name ? QByteArray(name) : QByteArray();
}

QString keyOf(const IcalZones::Placed &placed)
{
    if (placed.isDate)
        return placed.local.date().toString(QStringLiteral("yyyyMMdd"));
    return placed.local.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

Expanded expand(icalcomponent *item, const icaltimetype &start, const QByteArray &tzid, IcalZones &zones, int calendar,
                const QDate &first, const QDate &last)
{
    Collect collect{first, last, {}, {}, {}, false};
    for (icalproperty *exdate = icalcomponent_get_first_property(item, ICAL_EXDATE_PROPERTY); exdate;
         exdate = icalcomponent_get_next_property(item, ICAL_EXDATE_PROPERTY)) {
        const IcalZones::Placed placed = zones.place(icalproperty_get_exdate(exdate), tzidOf(exdate), calendar);
        if (placed.local.isValid())
            collect.excluded.insert(keyOf(placed));
    }
    // The first start is an occurrence whatever the rules say.
    collect.offer(zones.place(start, tzid, calendar));

    Expanded expanded;
    QElapsedTimer clock;
    clock.start();
    icaltimetype wallStart = start;
    if (!icaltime_is_utc(wallStart))
        wallStart.zone = nullptr;
    for (icalproperty *rule = icalcomponent_get_first_property(item, ICAL_RRULE_PROPERTY); rule && !collect.full;
         rule = icalcomponent_get_next_property(item, ICAL_RRULE_PROPERTY)) {
        expanded.error = follow(rule, wallStart, tzid, zones, calendar, collect, clock);
        if (!expanded.error.isEmpty())
            return expanded;
    }
    for (icalproperty *rdate = icalcomponent_get_first_property(item, ICAL_RDATE_PROPERTY); rdate && !collect.full;
         rdate = icalcomponent_get_next_property(item, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype value = icalproperty_get_rdate(rdate);
        const icaltimetype time = icaltime_is_null_time(value.time) ? value.period.start : value.time;
        collect.offer(zones.place(time, tzidOf(rdate), calendar));
    }
    QList<Occurrence> occurrences = collect.found.values();
    std::sort(occurrences.begin(), occurrences.end(),
              [](const Occurrence &a, const Occurrence &b) { return a.start.local < b.start.local; });
    expanded.occurrences = std::move(occurrences);
    expanded.notes = collect.notes;
    return expanded;
}

} // namespace IcalRecurrence
