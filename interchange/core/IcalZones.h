#pragma once

#include "interchange/core/Libical.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QStringList>
#include <QTimeZone>

#include <map>
#include <optional>
#include <utility>

// The zones the times of a file are written in, to place each time on the
// local clock the store keeps. A TZID is looked up in the VTIMEZONEs of the
// file's own calendar first (the standard makes them the authority), then
// as a zone name this system knows: an IANA name, also behind a prefix such
// as libical's "/freeassociation.sourceforge.net/", or a Windows name. A
// time in a zone found nowhere is read as local time, and the user is told.
class IcalZones final
{
public:
    explicit IcalZones(QTimeZone local);
    IcalZones(const IcalZones &) = delete;
    IcalZones &operator=(const IcalZones &) = delete;
    IcalZones(IcalZones &&) = default;
    IcalZones &operator=(IcalZones &&) = default;

    // Takes a VTIMEZONE of calendar `calendar`. An empty text when it is
    // kept, else why it is not used.
    QString add(int calendar, const char *text);

    struct Placed
    {
        QDateTime local; // invalid when the time cannot be placed
        bool isDate = false;
        QString note; // the zone was not found, and so on
    };
    // `value` of a property with TZID `tzid` (empty when it has none).
    Placed place(const icaltimetype &value, const QByteArray &tzid, int calendar);

    const QTimeZone &local() const { return m_local; }

private:
    std::optional<QTimeZone> named(const QByteArray &tzid);

    QTimeZone m_local;
    std::map<std::pair<int, QByteArray>, Libical::Timezone> m_fileZones;
    QHash<QByteArray, std::optional<QTimeZone>> m_named;
};
