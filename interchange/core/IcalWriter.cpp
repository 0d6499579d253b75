#include "interchange/core/IcalWriter.h"

#include "interchange/core/IcalTime.h"

#include <QRegularExpression>
#include <QStringList>

namespace IcalWriter {

namespace {

const QString kNoTime = QStringLiteral("000000");

} // namespace

QDateTime momentOf(const QString &stamp, const QTimeZone &zone)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{14}$"));
    if (!digits.match(stamp).hasMatch())
        return {};
    const QDate day = QDate::fromString(stamp.left(8), QStringLiteral("yyyyMMdd"));
    const QTime clock = QTime::fromString(stamp.mid(8), QStringLiteral("HHmmss"));
    if (!day.isValid() || !clock.isValid())
        return {};
    return QDateTime(day, clock, zone);
}

namespace {

icalproperty *xProperty(const char *name, const QString &value)
{
    icalproperty *property = icalproperty_new_x(value.toUtf8().constData());
    icalproperty_set_x_name(property, name);
    return property;
}

void addXParameter(icalproperty *property, const char *name, const QString &value)
{
    icalparameter *parameter = icalparameter_new_x(value.toUtf8().constData());
    icalparameter_set_xname(parameter, name);
    icalproperty_add_parameter(property, parameter);
}

QString base64(const QString &text)
{
    return QString::fromLatin1(text.toUtf8().toBase64());
}

bool isEdgeBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

void addTexts(icalcomponent *component, const QString &text)
{
    if (!text.trimmed().isEmpty()) {
        icalcomponent_add_property(component, icalproperty_new_summary(summaryOf(text).toUtf8().constData()));
        icalcomponent_add_property(component, icalproperty_new_description(text.toUtf8().constData()));
    }
    if (needsExact(text))
        icalcomponent_add_property(component, xProperty(kTextProperty, base64(text)));
}

icalproperty *logProperty(const Ical::Entry &entry)
{
    icalproperty *log = nullptr;
    if (entry.text.isEmpty()) {
        log = xProperty(kLogProperty, QStringLiteral("-"));
        addXParameter(log, kEmptyParameter, QStringLiteral("TRUE"));
    } else if (needsExact(entry.text)) {
        log = xProperty(kLogProperty, base64(entry.text));
        addXParameter(log, kBase64Parameter, QStringLiteral("TRUE"));
    } else {
        log = xProperty(kLogProperty, entry.text);
    }
    addXParameter(log, kLogDateParameter, entry.dateId);
    if (entry.isProtected)
        addXParameter(log, kLogProtectedParameter, QStringLiteral("TRUE"));
    return log;
}

void addCommon(icalcomponent *component, const QString &uid, const Context &context)
{
    icalcomponent_add_property(component, icalproperty_new_uid(uid.toUtf8().constData()));
    icalcomponent_add_property(component, icalproperty_new_dtstamp(IcalTime::utc(context.stamp)));
}

// DTSTART and DUE: the reminder minute, or the day alone.
void addPlannedDay(icalcomponent *todo, const Ical::Job &job, const Context &context)
{
    const QDateTime moment = plannedMoment(job.dateId, job.reminder, context.zone);
    if (!moment.isValid()) {
        icalcomponent_add_property(todo, xProperty(kDateIdProperty, job.dateId));
        const QDate day = QDate::fromString(job.dateId.left(8), QStringLiteral("yyyyMMdd"));
        if (!day.isValid())
            return;
        icalcomponent_add_property(todo, icalproperty_new_dtstart(IcalTime::date(day)));
        icalcomponent_add_property(todo, icalproperty_new_due(IcalTime::date(day)));
        return;
    }
    if (!job.reminder) {
        icalcomponent_add_property(todo, icalproperty_new_dtstart(IcalTime::date(moment.date())));
        icalcomponent_add_property(todo, icalproperty_new_due(IcalTime::date(moment.date())));
        return;
    }
    icalcomponent_add_property(todo, IcalTime::timeProperty(ICAL_DTSTART_PROPERTY, moment, context.zone));
    icalcomponent_add_property(todo, IcalTime::timeProperty(ICAL_DUE_PROPERTY, moment, context.zone));
    // The reminder goes off at the planned minute itself.
    icalcomponent *alarm = icalcomponent_new_valarm();
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    const QString summary = summaryOf(job.text);
    const QString shown = summary.isEmpty() ? QStringLiteral("日程安排提醒") : summary;
    icalcomponent_add_property(alarm, icalproperty_new_description(shown.toUtf8().constData()));
    icaltriggertype trigger;
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_null_duration();
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    icalcomponent_add_component(todo, alarm);
}

void addCompletion(icalcomponent *todo, const Ical::Job &job, const Context &context)
{
    if (job.completion == Ical::kOpenJob) {
        icalcomponent_add_property(todo, icalproperty_new_status(ICAL_STATUS_NEEDSACTION));
        return;
    }
    // The planner counts anything but its open mark as done.
    icalcomponent_add_property(todo, icalproperty_new_status(ICAL_STATUS_COMPLETED));
    const QDateTime done = momentOf(job.completion, context.zone);
    if (done.isValid()) {
        icalcomponent_add_property(todo, icalproperty_new_completed(IcalTime::utc(done)));
        icalcomponent_add_property(todo, icalproperty_new_percentcomplete(100));
    } else {
        icalcomponent_add_property(todo, xProperty(kCompletionProperty, job.completion));
    }
}

void addEntries(icalcomponent *todo, const QList<Ical::Entry> &entries)
{
    for (const Ical::Entry &entry : entries)
        icalcomponent_add_property(todo, logProperty(entry));
}

} // namespace

QDateTime plannedMoment(const QString &dateId, bool reminder, const QTimeZone &zone)
{
    const QDateTime moment = momentOf(dateId, zone);
    if (!moment.isValid())
        return {};
    if (!reminder)
        return dateId.endsWith(kNoTime) ? moment : QDateTime();
    return dateId.endsWith(QStringLiteral("00")) ? moment : QDateTime();
}

QString summaryOf(const QString &text)
{
    for (const QString &line : text.split(u'\n')) {
        if (!line.trimmed().isEmpty())
            return line.endsWith(u'\r') ? line.chopped(1) : line;
    }
    return {};
}

bool needsExact(const QString &text)
{
    return text.isEmpty() ? false
                          : text.contains(u'\r') || isEdgeBlank(text.front()) || isEdgeBlank(text.back())
                                || text.trimmed().isEmpty();
}

QString asRead(const QString &text)
{
    QString read = text;
    read.remove(u'\r');
    return read.trimmed();
}

Libical::Component todo(const Ical::Job &job, const Context &context)
{
    Libical::Component todo(icalcomponent_new_vtodo());
    addCommon(todo.get(), job.uid, context);
    const QDateTime saved = momentOf(job.id, context.zone);
    if (saved.isValid())
        icalcomponent_add_property(todo.get(), icalproperty_new_created(IcalTime::utc(saved)));
    addTexts(todo.get(), job.text);
    if (job.isProtected)
        icalcomponent_add_property(todo.get(), icalproperty_new_class(ICAL_CLASS_PRIVATE));
    addPlannedDay(todo.get(), job, context);
    addCompletion(todo.get(), job, context);
    addEntries(todo.get(), job.entries);
    return todo;
}

Libical::Component journal(const Ical::Note &note, const Context &context)
{
    Libical::Component journal(icalcomponent_new_vjournal());
    addCommon(journal.get(), note.uid, context);
    const QDateTime moment = momentOf(note.dateId, context.zone);
    if (moment.isValid())
        icalcomponent_add_property(journal.get(), IcalTime::timeProperty(ICAL_DTSTART_PROPERTY, moment, context.zone));
    else
        icalcomponent_add_property(journal.get(), xProperty(kDateIdProperty, note.dateId));
    addTexts(journal.get(), note.text);
    return journal;
}

QByteArray text(icalcomponent *component)
{
    return Libical::take(icalcomponent_as_ical_string_r(component));
}

QByteArray calendarHead()
{
    return QByteArrayLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Velmora//Velmora Notepad//ZH\r\n"
                             "CALSCALE:GREGORIAN\r\n");
}

QByteArray calendarTail()
{
    return QByteArrayLiteral("END:VCALENDAR\r\n");
}

} // namespace IcalWriter
