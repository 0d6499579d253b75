#pragma once

#include "store/Result.h"
#include "sync/core/DavClient.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// An address book or a calendar on the server.
struct DavCollection
{
    enum class Kind { AddressBook, Calendar };

    QUrl url;
    QString displayName;
    Kind kind = Kind::AddressBook;
    // What a calendar takes (VEVENT, VTODO, VJOURNAL); empty when the server
    // did not say, which means any.
    QStringList components;

    bool takes(const QString &component) const { return components.isEmpty() || components.contains(component); }
};

// Finds what the user may sync from nothing but the server address, as the
// standards describe it: the address itself or its /.well-known/carddav and
// /.well-known/caldav lead to the user's principal, which names the homes
// of address books and calendars, whose members are listed.
namespace DavDiscovery {

struct Homes
{
    QUrl addressBooks;
    QUrl calendars;
};

// The homes of the account's user. Where the server names no principal or
// homes, an address that is itself an address book or calendar still
// counts (find() lists it).
Result<Homes> homes(DavClient &client);

// Every address book and calendar of the user, address books first, each
// in the server's order.
Result<QList<DavCollection>> find(DavClient &client);

// Makes a new address book (extended MKCOL) or calendar (MKCALENDAR taking
// events, to-dos and journal entries) under its home, at a fresh path.
Result<DavCollection> create(DavClient &client, DavCollection::Kind kind, const QString &displayName);

} // namespace DavDiscovery
