#pragma once

#include "interchange/core/Libical.h"

#include <QDateTime>
#include <QTimeZone>

// Times between the store, which keeps local wall-clock stamps, and a file,
// which names its zone. A file is written in the local zone with its
// VTIMEZONE, or in UTC when the local zone is UTC; never with the zone names
// libical makes up for its own zones, which no other program knows.
namespace IcalTime {

// True when the zone never leaves UTC, so times are written with "Z".
bool isUtc(const QTimeZone &zone);

icaltimetype date(const QDate &day);
// `moment`'s wall-clock fields, with no zone: written beside a TZID.
icaltimetype wallClock(const QDateTime &moment);
// `moment` in UTC, written with "Z".
icaltimetype utc(const QDateTime &moment);

// The time property `kind` (DTSTART, DUE, ...) for `moment`: in `zone`
// with its TZID, or in UTC.
icalproperty *timeProperty(icalproperty_kind kind, const QDateTime &moment, const QTimeZone &zone);

// The VTIMEZONE of `zone` for times between `from` and `to`: the observance
// in force at `from` and every change of offset up to `to`, each written
// once, so a reader needs no rules of its own to place them.
Libical::Component timezone(const QTimeZone &zone, const QDateTime &from, const QDateTime &to);

// The fields of `time` read as wall-clock time in `zone`; invalid for a
// year the store cannot keep.
QDateTime inZone(const icaltimetype &time, const QTimeZone &zone);
QDate dayOf(const icaltimetype &time);

// "+0800" for eight hours east.
QString offsetText(int seconds);

} // namespace IcalTime
