#pragma once

#include "interchange/core/IcalZones.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The occurrences of a recurring event or task (RRULE, RDATE, EXDATE) that
// fall in a range of days the user picked. Rules are followed on the wall
// clock of the event's own zone, as the standard asks, and each occurrence
// is then placed on the local clock. An endless or very dense rule stops at
// a limit, and says so, instead of filling the store.
namespace IcalRecurrence {

inline constexpr int kMaxOccurrences = 5000;

struct Occurrence
{
    IcalZones::Placed start;
    QString key; // its RECURRENCE-ID: "yyyyMMdd", or UTC "yyyyMMddTHHmmssZ"
};

struct Expanded
{
    QList<Occurrence> occurrences; // by start
    QStringList notes;
    QString error; // the rules cannot be followed
};

bool isRecurring(icalcomponent *item);

// The occurrences of `item`, whose first start is `start` (`tzid` its zone)
// and whose days lie from `first` to `last`.
Expanded expand(icalcomponent *item, const icaltimetype &start, const QByteArray &tzid, IcalZones &zones, int calendar,
                const QDate &first, const QDate &last);

// The RECURRENCE-ID form of a placed time, the same for a master's
// occurrence and for the component that changes it.
QString keyOf(const IcalZones::Placed &placed);

// The TZID parameter of a property; empty when it has none.
QByteArray tzidOf(icalproperty *property);

} // namespace IcalRecurrence
