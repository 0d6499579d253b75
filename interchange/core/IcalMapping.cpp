#include "interchange/core/IcalMapping.h"

#include "interchange/core/IcalRecurrence.h"
#include "interchange/core/IcalWriter.h"
#include "store/Result.h"

#include <QRegularExpression>
#include <QSet>

namespace IcalMapping {

namespace {

constexpr int kEntryDateWidth = 50; // job_do_sub.date_id
constexpr int kStampWidth = 14;     // job_do.complete_yn, note_pad.date_id
constexpr int kDateIdWidth = 50;    // job_do.date_id

QString stampOf(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyyMMddHHmmss"));
}

icalproperty *first(icalcomponent *item, icalproperty_kind kind)
{
    return icalcomponent_get_first_property(item, kind);
}

icaltimetype timeValue(icalproperty *property)
{
    icalvalue *value = icalproperty_get_value(property);
    return value ? icalvalue_get_datetime(value) : icaltime_null_time();
}

// libical's complaints about a component and its alarms. Those about a
// property the store keeps refuse the component; the others are passed on.
struct Complaints
{
    QStringList refusing;
    QStringList passing;
};

QByteArray propertyNamed(const QString &message)
{
    static const QRegularExpression named(
        QStringLiteral("(?:in ([A-Za-z0-9-]+) property|for property ([A-Za-z0-9-]+)|property name: ([A-Za-z0-9-]+))"));
    const QRegularExpressionMatch match = named.match(message);
    for (int group = 1; group <= 3 && match.hasMatch(); ++group) {
        if (!match.captured(group).isEmpty())
            return match.captured(group).toUpper().toLatin1();
    }
    return {};
}

void collect(icalcomponent *component, Complaints &complaints)
{
    for (icalproperty *error = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY); error;
         error = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY)) {
        const QString message = Libical::text(icalproperty_get_xlicerror(error));
        const QByteArray name = propertyNamed(message);
        (name.isEmpty() || isRead(name) ? complaints.refusing : complaints.passing) << message;
    }
    for (icalcomponent *inner = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); inner;
         inner = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
        collect(inner, complaints);
}

QString fromBase64(const QString &text)
{
    return QString::fromUtf8(QByteArray::fromBase64(text.toLatin1()));
}

// The job's or note's text: DESCRIPTION holds the whole text and SUMMARY its
// first line when the file is ours; a SUMMARY the description lacks goes
// first. A text that travelled whole in X-VELMORA-TEXT is taken as it was
// while DESCRIPTION still says the same (no other program changed it).
QString textOf(icalcomponent *item, const QString &exact, bool hasExact)
{
    const QString summary = Libical::text(icalcomponent_get_summary(item));
    QStringList descriptions;
    for (icalproperty *description = first(item, ICAL_DESCRIPTION_PROPERTY); description;
         description = icalcomponent_get_next_property(item, ICAL_DESCRIPTION_PROPERTY))
        descriptions << Libical::text(icalproperty_get_description(description));
    const QString description = descriptions.join(u'\n');
    QString plain;
    if (descriptions.isEmpty() || description.trimmed().isEmpty()) {
        plain = summary.isEmpty() ? description : summary;
    } else {
        QStringList lines = description.split(u'\n');
        for (QString &line : lines)
            line = line.trimmed();
        plain = summary.trimmed().isEmpty() || lines.contains(summary.trimmed()) ? description
                                                                                 : summary + u'\n' + description;
    }
    if (hasExact) {
        const QString whole = fromBase64(exact);
        if (IcalWriter::asRead(whole) == IcalWriter::asRead(plain))
            return whole;
    }
    return plain;
}

qint64 secondsOf(const icaldurationtype &duration)
{
    const qint64 seconds = qint64(duration.weeks) * 7 * 86400 + qint64(duration.days) * 86400
                           + qint64(duration.hours) * 3600 + qint64(duration.minutes) * 60 + duration.seconds;
    return duration.is_neg ? -seconds : seconds;
}

// Our own X- properties and parameters, by name.
QString xValue(icalcomponent *item, const char *name, bool *present = nullptr)
{
    for (icalproperty *x = first(item, ICAL_X_PROPERTY); x;
         x = icalcomponent_get_next_property(item, ICAL_X_PROPERTY)) {
        if (qstricmp(icalproperty_get_x_name(x), name) == 0) {
            if (present)
                *present = true;
            return Libical::text(icalproperty_get_x(x));
        }
    }
    if (present)
        *present = false;
    return {};
}

QString xParameter(icalproperty *property, const char *name)
{
    for (icalparameter *p = icalproperty_get_first_parameter(property, ICAL_X_PARAMETER); p;
         p = icalproperty_get_next_parameter(property, ICAL_X_PARAMETER)) {
        if (qstricmp(icalparameter_get_xname(p), name) == 0)
            return Libical::text(icalparameter_get_xvalue(p));
    }
    return {};
}

// A time property placed on the local clock; `found` false when absent.
IcalZones::Placed placedTime(icalcomponent *item, icalproperty_kind kind, Context &context, bool &found)
{
    icalproperty *property = first(item, kind);
    found = property != nullptr;
    if (!found)
        return {};
    return context.zones->place(timeValue(property), IcalRecurrence::tzidOf(property), context.calendar);
}

// The item as it is, before it is placed on its days.
struct Item
{
    IcalPlan plan; // uid, texts, protection, completion and entries filled
    icalproperty *startProperty = nullptr;
    IcalZones::Placed start;
    bool dated = false;
    qint64 length = 0; // from start to end, for alarms tied to the end
    QString fixedDateId;
};

Result<void> readEntries(icalcomponent *item, Ical::Job &job)
{
    for (icalproperty *x = first(item, ICAL_X_PROPERTY); x;
         x = icalcomponent_get_next_property(item, ICAL_X_PROPERTY)) {
        if (qstricmp(icalproperty_get_x_name(x), IcalWriter::kLogProperty) != 0)
            continue;
        Ical::Entry entry;
        entry.text = Libical::text(icalproperty_get_x(x));
        if (!xParameter(x, IcalWriter::kEmptyParameter).isEmpty())
            entry.text.clear();
        else if (!xParameter(x, IcalWriter::kBase64Parameter).isEmpty())
            entry.text = fromBase64(entry.text);
        entry.dateId = xParameter(x, IcalWriter::kLogDateParameter);
        entry.isProtected =
            xParameter(x, IcalWriter::kLogProtectedParameter).compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
        if (entry.dateId.size() > kEntryDateWidth)
            return fail(QStringLiteral("完成记录的日期超过%1字").arg(kEntryDateWidth));
        job.entries.append(entry);
    }
    return {};
}

void readCompletion(icalcomponent *item, Context &context, IcalPlan &plan)
{
    icalproperty *status = first(item, ICAL_STATUS_PROPERTY);
    icalproperty *percent = first(item, ICAL_PERCENTCOMPLETE_PROPERTY);
    bool hasCompleted = false;
    const IcalZones::Placed completed = placedTime(item, ICAL_COMPLETED_PROPERTY, context, hasCompleted);
    const bool done = (status && icalproperty_get_status(status) == ICAL_STATUS_COMPLETED) || hasCompleted
                      || (percent && icalproperty_get_percentcomplete(percent) >= 100);
    if (!done)
        return;
    bool kept = false;
    const QString asStored = xValue(item, IcalWriter::kCompletionProperty, &kept);
    if (kept && asStored.size() <= kStampWidth && asStored != Ical::kOpenJob) {
        plan.job.completion = asStored;
    } else if (completed.local.isValid()) {
        plan.job.completion = stampOf(completed.local);
    } else {
        bool modified = false;
        const IcalZones::Placed changed = placedTime(item, ICAL_LASTMODIFIED_PROPERTY, context, modified);
        plan.job.completion = stampOf(changed.local.isValid() ? changed.local : context.now);
        plan.notes << QStringLiteral("没有完成时间,记为%1")
                          .arg(changed.local.isValid() ? QStringLiteral("最后修改时间") : QStringLiteral("导入时间"));
    }
}

// A UID is kept as it is written again: control characters, which a
// content line cannot carry, are left out.
QString readUid(icalcomponent *item)
{
    QString uid = Libical::text(icalcomponent_get_uid(item));
    uid.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    return uid.trimmed();
}

Result<Item> readItem(icalcomponent *item, Context &context)
{
    Item read;
    IcalPlan &plan = read.plan;
    plan.line = context.line;
    const icalcomponent_kind kind = icalcomponent_isa(item);
    plan.kind = kind == ICAL_VJOURNAL_COMPONENT ? IcalPlan::Kind::Note : IcalPlan::Kind::Job;
    QString uid = readUid(item);
    if (uid.isEmpty()) {
        uid = context.fallbackUid;
        plan.notes << QStringLiteral("没有UID,按内容识别");
    }
    (plan.kind == IcalPlan::Kind::Job ? plan.job.uid : plan.note.uid) = uid;
    bool hasExact = false;
    const QString exact = xValue(item, IcalWriter::kTextProperty, &hasExact);
    (plan.kind == IcalPlan::Kind::Job ? plan.job.text : plan.note.text) = textOf(item, exact, hasExact);

    Complaints complaints;
    collect(item, complaints);
    plan.notes += complaints.passing;
    if (!complaints.refusing.isEmpty())
        return fail(QStringLiteral("有无法读取的值: ") + complaints.refusing.join(QStringLiteral("; ")));
    if (icalproperty *status = first(item, ICAL_STATUS_PROPERTY);
        status && icalproperty_get_status(status) == ICAL_STATUS_CANCELLED)
        return fail(QStringLiteral("已取消(STATUS:CANCELLED)"));

    bool kept = false;
    read.fixedDateId = xValue(item, IcalWriter::kDateIdProperty, &kept);
    if (kept && read.fixedDateId.size() > (plan.kind == IcalPlan::Kind::Note ? kStampWidth : kDateIdWidth))
        return fail(QStringLiteral("日期标记太长"));

    bool hasStart = false;
    bool hasDue = false;
    IcalZones::Placed start = placedTime(item, ICAL_DTSTART_PROPERTY, context, hasStart);
    const IcalZones::Placed due = placedTime(item, ICAL_DUE_PROPERTY, context, hasDue);
    read.startProperty =
        first(item, kind == ICAL_VTODO_COMPONENT && hasDue ? ICAL_DUE_PROPERTY : ICAL_DTSTART_PROPERTY);
    read.start = kind == ICAL_VTODO_COMPONENT && hasDue ? due : start;
    read.dated = hasStart || hasDue;
    if (kind == ICAL_VEVENT_COMPONENT && !hasStart)
        return fail(QStringLiteral("没有开始时间(DTSTART)"));
    if (read.dated && !read.start.local.isValid())
        return fail(QStringLiteral("日期超出1000年到9999年,或无法读取"));
    if (!read.start.note.isEmpty())
        plan.notes << read.start.note;

    // How long it lasts, for an alarm tied to its end.
    bool hasEnd = false;
    const IcalZones::Placed end = placedTime(item, ICAL_DTEND_PROPERTY, context, hasEnd);
    if (hasEnd && end.local.isValid() && start.local.isValid())
        read.length = start.local.secsTo(end.local);
    else if (icalproperty *duration = first(item, ICAL_DURATION_PROPERTY))
        read.length = secondsOf(icalproperty_get_duration(duration));
    else if (kind == ICAL_VTODO_COMPONENT && hasStart && hasDue && start.local.isValid())
        read.length = 0; // the alarm goes by DUE, the day the job is planned for

    if (plan.kind == IcalPlan::Kind::Job) {
        icalproperty *privacy = first(item, ICAL_CLASS_PROPERTY);
        const icalproperty_class level = privacy ? icalproperty_get_class(privacy) : ICAL_CLASS_NONE;
        plan.job.isProtected = level == ICAL_CLASS_PRIVATE || level == ICAL_CLASS_CONFIDENTIAL;
        if (kind == ICAL_VTODO_COMPONENT)
            readCompletion(item, context, plan);
        if (Result<void> entries = readEntries(item, plan.job); !entries)
            return fail(entries.error());
    }
    bool created = false;
    const IcalZones::Placed made = placedTime(item, ICAL_CREATED_PROPERTY, context, created);
    if (made.local.isValid())
        plan.created = stampOf(made.local);
    return read;
}

// The minute of the earliest alarm that goes off on `day`.
std::optional<QTime> reminderOn(icalcomponent *item, const IcalZones::Placed &start, qint64 length, const QDate &day,
                                Context &context, QStringList &notes)
{
    std::optional<QDateTime> earliest;
    int alarms = 0;
    for (icalcomponent *alarm = icalcomponent_get_first_component(item, ICAL_VALARM_COMPONENT); alarm;
         alarm = icalcomponent_get_next_component(item, ICAL_VALARM_COMPONENT)) {
        icalproperty *trigger = first(alarm, ICAL_TRIGGER_PROPERTY);
        if (!trigger)
            continue;
        ++alarms;
        const icaltriggertype when = icalproperty_get_trigger(trigger);
        QDateTime at;
        if (!icaltime_is_null_time(when.time)) {
            at = context.zones->place(when.time, IcalRecurrence::tzidOf(trigger), context.calendar).local;
        } else {
            icalparameter *related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
            const bool fromEnd = related && icalparameter_get_related(related) == ICAL_RELATED_END;
            at = start.local.addSecs((fromEnd ? length : 0) + secondsOf(when.duration));
        }
        if (at.isValid() && at.date() == day && (!earliest || at < *earliest))
            earliest = at;
    }
    if (!earliest) {
        if (alarms > 0)
            notes << QStringLiteral("提醒不在当天,没有导入提醒");
        return std::nullopt;
    }
    const QTime minute = earliest->time();
    return QTime(minute.hour(), minute.minute());
}

// The plan of one occurrence (or of the whole item when it does not recur).
IcalPlan placed(icalcomponent *item, const Item &read, const IcalZones::Placed &start, Context &context)
{
    IcalPlan plan = read.plan;
    const QDate day = read.dated ? start.local.date() : context.now.date();
    if (!read.dated && plan.kind == IcalPlan::Kind::Job)
        plan.notes << QStringLiteral("没有日期,记在导入当天");
    if (plan.kind == IcalPlan::Kind::Note) {
        const QDateTime moment = read.dated ? start.local : context.now;
        plan.note.dateId = !read.fixedDateId.isEmpty() ? read.fixedDateId
                           : start.isDate              ? day.toString(QStringLiteral("yyyyMMdd000000"))
                                                       : stampOf(moment);
        if (!read.dated && read.fixedDateId.isEmpty())
            plan.notes << QStringLiteral("没有日期,记为导入时间");
        return plan;
    }
    const std::optional<QTime> reminder =
        read.dated ? reminderOn(item, start, read.length, day, context, plan.notes) : std::nullopt;
    plan.job.reminder = reminder.has_value();
    plan.job.dateId = day.toString(QStringLiteral("yyyyMMdd"))
                      + (reminder ? reminder->toString(QStringLiteral("HHmm00")) : QStringLiteral("000000"));
    if (!read.fixedDateId.isEmpty())
        plan.job.dateId = read.fixedDateId;
    return plan;
}

IcalPlan refused(IcalPlan plan, const QString &why)
{
    plan.action = IcalPlan::Action::Refused;
    plan.error = why;
    return plan;
}

// A component that changes one occurrence of a recurring event: it takes
// that occurrence's UID, whichever order the file gives them in.
IcalPlan changedOccurrence(icalcomponent *item, const Item &one, icalproperty *override, Context &context)
{
    const IcalZones::Placed original =
        context.zones->place(timeValue(override), IcalRecurrence::tzidOf(override), context.calendar);
    if (!original.local.isValid())
        return refused(one.plan, QStringLiteral("RECURRENCE-ID无法读取"));
    IcalPlan plan = placed(item, one, one.start, context);
    (plan.kind == IcalPlan::Kind::Job ? plan.job.uid : plan.note.uid) += u'/' + IcalRecurrence::keyOf(original);
    plan.isOverride = true;
    const QDate day = one.start.local.date();
    if (one.dated && (day < context.first || day > context.last))
        return refused(plan, QStringLiteral("改动的那一次不在所选的时间范围内"));
    return plan;
}

} // namespace

bool isRead(const QByteArray &propertyName)
{
    static const QSet<QByteArray> read = {
        "UID",    "DTSTART",       "DUE",     "DTEND",       "DURATION",     "RRULE",     "RDATE",
        "EXDATE", "RECURRENCE-ID", "SUMMARY", "DESCRIPTION", "STATUS",       "COMPLETED", "PERCENT-COMPLETE",
        "CLASS",  "CREATED",       "TRIGGER", "ACTION",      "LAST-MODIFIED"};
    return read.contains(propertyName) || propertyName.startsWith("X-VELMORA-");
}

QList<IcalPlan> plans(icalcomponent *item, Context &context)
{
    Result<Item> parsed = readItem(item, context);
    if (!parsed) {
        IcalPlan plan;
        plan.line = context.line;
        plan.kind = icalcomponent_isa(item) == ICAL_VJOURNAL_COMPONENT ? IcalPlan::Kind::Note : IcalPlan::Kind::Job;
        (plan.kind == IcalPlan::Kind::Job ? plan.job.text : plan.note.text) =
            Libical::text(icalcomponent_get_summary(item));
        return {refused(plan, parsed.error())};
    }
    const Item &one = *parsed;
    const bool isJob = one.plan.kind == IcalPlan::Kind::Job;
    if (icalproperty * override = first(item, ICAL_RECURRENCEID_PROPERTY))
        return {changedOccurrence(item, one, override, context)};
    if (!one.dated || !IcalRecurrence::isRecurring(item)) {
        IcalPlan plan = placed(item, one, one.start, context);
        if (!isJob && IcalRecurrence::isRecurring(item))
            plan.notes << QStringLiteral("日记只记一次,重复规则已略过");
        return {plan};
    }
    if (!isJob)
        return {placed(item, one, one.start, context)};
    const IcalRecurrence::Expanded expanded =
        IcalRecurrence::expand(item, timeValue(one.startProperty), IcalRecurrence::tzidOf(one.startProperty),
                               *context.zones, context.calendar, context.first, context.last);
    if (!expanded.error.isEmpty())
        return {refused(one.plan, expanded.error)};
    if (expanded.occurrences.isEmpty()) {
        IcalPlan none = refused(one.plan, QStringLiteral("重复日程在所选的时间范围内没有发生"));
        none.notes += expanded.notes;
        return {none};
    }
    QList<IcalPlan> plans;
    plans.reserve(expanded.occurrences.size());
    for (const IcalRecurrence::Occurrence &occurrence : expanded.occurrences) {
        IcalPlan plan = placed(item, one, occurrence.start, context);
        plan.job.uid += u'/' + occurrence.key;
        plan.notes += expanded.notes;
        plans.append(plan);
    }
    return plans;
}

} // namespace IcalMapping
