#include "interchange/core/IcalZones.h"

#include "interchange/core/IcalTime.h"

#include <QRegularExpression>

namespace {

// A zone's rules repeat yearly; a rule that repeats more often, or a zone
// of hundreds of parts, would make placing one time a long computation.
constexpr int kMaxObservances = 400;

QString checkObservances(icalcomponent *vtimezone)
{
    int count = 0;
    for (icalcomponent *part = icalcomponent_get_first_component(vtimezone, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(vtimezone, ICAL_ANY_COMPONENT)) {
        if (++count > kMaxObservances)
            return QStringLiteral("规则太多");
        const icalcomponent_kind kind = icalcomponent_isa(part);
        if (kind != ICAL_XSTANDARD_COMPONENT && kind != ICAL_XDAYLIGHT_COMPONENT)
            continue;
        icalproperty *start = icalcomponent_get_first_property(part, ICAL_DTSTART_PROPERTY);
        if (!start || IcalTime::dayOf(icalproperty_get_dtstart(start)).isNull())
            return QStringLiteral("规则没有可用的开始时间");
        if (!icalcomponent_get_first_property(part, ICAL_TZOFFSETTO_PROPERTY))
            return QStringLiteral("规则没有TZOFFSETTO");
        for (icalproperty *rule = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); rule;
             rule = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
            if (icalproperty_get_rrule(rule).freq != ICAL_YEARLY_RECURRENCE)
                return QStringLiteral("规则不是按年重复的");
        }
    }
    return count == 0 ? QStringLiteral("没有规则") : QString();
}

} // namespace

IcalZones::IcalZones(QTimeZone local)
    : m_local(std::move(local))
{
}

QString IcalZones::add(int calendar, const char *text)
{
    Libical::Component vtimezone(icalparser_parse_string(text));
    if (!vtimezone || icalcomponent_isa(vtimezone.get()) != ICAL_VTIMEZONE_COMPONENT)
        return QStringLiteral("时区无法读取");
    icalproperty *tzid = icalcomponent_get_first_property(vtimezone.get(), ICAL_TZID_PROPERTY);
    const QByteArray name = tzid ? QByteArray(icalproperty_get_tzid(tzid)) : QByteArray();
    if (name.isEmpty())
        return QStringLiteral("时区没有TZID");
    if (icalcomponent_count_errors(vtimezone.get()) > 0)
        return QStringLiteral("时区%1有错误的值").arg(QString::fromUtf8(name));
    if (const QString problem = checkObservances(vtimezone.get()); !problem.isEmpty())
        return QStringLiteral("时区%1%2").arg(QString::fromUtf8(name), problem);
    Libical::Timezone zone(icaltimezone_new());
    if (!icaltimezone_set_component(zone.get(), vtimezone.release()))
        return QStringLiteral("时区%1无法使用").arg(QString::fromUtf8(name));
    m_fileZones[{calendar, name}] = std::move(zone);
    return {};
}

std::optional<QTimeZone> IcalZones::named(const QByteArray &tzid)
{
    const auto known = m_named.constFind(tzid);
    if (known != m_named.constEnd())
        return *known;
    // Only names made like zone names reach the system's zone files.
    static const QRegularExpression shape(QStringLiteral("^[A-Za-z0-9_+\\-]+(/[A-Za-z0-9_+\\-]+)*$"));
    std::optional<QTimeZone> found;
    QByteArray candidate = tzid;
    while (!found && !candidate.isEmpty()) {
        if (shape.match(QString::fromLatin1(candidate)).hasMatch() && QTimeZone::isTimeZoneIdAvailable(candidate))
            found = QTimeZone(candidate);
        const qsizetype slash = candidate.indexOf('/', 1);
        candidate = slash < 0 ? QByteArray() : candidate.mid(slash + 1);
    }
    if (!found) {
        const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(tzid);
        if (!iana.isEmpty() && QTimeZone::isTimeZoneIdAvailable(iana))
            found = QTimeZone(iana);
    }
    m_named.insert(tzid, found);
    return found;
}

IcalZones::Placed IcalZones::place(const icaltimetype &value, const QByteArray &tzid, int calendar)
{
    Placed placed;
    if (value.is_date) {
        placed.isDate = true;
        placed.local = IcalTime::inZone(value, m_local);
        return placed;
    }
    if (icaltime_is_utc(value)) {
        placed.local = IcalTime::inZone(value, QTimeZone::utc()).toTimeZone(m_local);
        return placed;
    }
    if (tzid.isEmpty()) {
        placed.local = IcalTime::inZone(value, m_local);
        return placed;
    }
    const auto fileZone = m_fileZones.find({calendar, tzid});
    if (fileZone != m_fileZones.end()) {
        icaltimetype inFileZone = value;
        inFileZone.zone = fileZone->second.get();
        const icaltimetype utc = icaltime_convert_to_zone(inFileZone, icaltimezone_get_utc_timezone());
        placed.local = IcalTime::inZone(utc, QTimeZone::utc()).toTimeZone(m_local);
        return placed;
    }
    if (const std::optional<QTimeZone> zone = named(tzid)) {
        const QDateTime there = IcalTime::inZone(value, *zone);
        placed.local = there.isValid() ? there.toTimeZone(m_local) : QDateTime();
        return placed;
    }
    placed.local = IcalTime::inZone(value, m_local);
    placed.note = QStringLiteral("不认识的时区%1,按本地时间读取").arg(QString::fromUtf8(tzid));
    return placed;
}
