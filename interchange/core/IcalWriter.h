#pragma once

#include "interchange/core/IcalRecords.h"
#include "interchange/core/Libical.h"

#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>

// Jobs and notes as iCalendar components (RFC 5545).
//
// A job is a VTODO: its planned day (with the reminder minute when it has
// one) as DTSTART and DUE, the first line of its text as SUMMARY and the
// whole text as DESCRIPTION, STATUS:COMPLETED with COMPLETED once it is done,
// CLASS:PRIVATE when it is protected, and a display VALARM at the planned
// minute when it asks for a reminder. Its completion-log entries travel as
// X-VELMORA-LOG properties, one per entry, with the entry's stamp and
// protection as parameters. A note is a VJOURNAL: its moment as DTSTART, its
// text as DESCRIPTION.
namespace IcalWriter {

// Names of our own properties and parameters.
inline constexpr char kLogProperty[] = "X-VELMORA-LOG";
inline constexpr char kLogDateParameter[] = "X-VELMORA-DATE";
inline constexpr char kLogProtectedParameter[] = "X-VELMORA-PROTECTED";
// libical drops a text's CR and the blanks at either end of a value when it
// reads a file, and refuses an empty value: such a text also travels whole,
// as UTF-8 in Base64, in X-VELMORA-TEXT (beside DESCRIPTION) or in the log
// property itself (marked X-VELMORA-BASE64), and an empty entry as "-"
// marked X-VELMORA-EMPTY.
inline constexpr char kTextProperty[] = "X-VELMORA-TEXT";
inline constexpr char kBase64Parameter[] = "X-VELMORA-BASE64";
inline constexpr char kEmptyParameter[] = "X-VELMORA-EMPTY";
// A day or completion mark the planner would not have written itself, kept
// as stored so an old record comes back as it was.
inline constexpr char kDateIdProperty[] = "X-VELMORA-DATE-ID";
inline constexpr char kCompletionProperty[] = "X-VELMORA-COMPLETE";

struct Context
{
    QTimeZone zone;  // the zone the store's stamps are wall-clock times of
    QDateTime stamp; // DTSTAMP: when the file was written
};

Libical::Component todo(const Ical::Job &job, const Context &context);
Libical::Component journal(const Ical::Note &note, const Context &context);

// The text of one component, folded and with CRLF line ends.
QByteArray text(icalcomponent *component);

// What a file starts with (BEGIN, VERSION, PRODID) and ends with.
QByteArray calendarHead();
QByteArray calendarTail();

// SUMMARY of a text: its first line that is not blank.
QString summaryOf(const QString &text);

// True when libical would not give `text` back as it is.
bool needsExact(const QString &text);
// What is left of a text once libical has read it, for telling whether a
// text that travelled whole still says what DESCRIPTION says.
QString asRead(const QString &text);

// The moment a 14-digit stamp names in `zone`; invalid for anything else.
QDateTime momentOf(const QString &stamp, const QTimeZone &zone);

// The moment a canonical day key names: the reminder minute, or the day's
// start with `reminder` false; invalid for anything else.
QDateTime plannedMoment(const QString &dateId, bool reminder, const QTimeZone &zone);

} // namespace IcalWriter
