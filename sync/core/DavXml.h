#pragma once

#include "store/Result.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>

// The XML a CardDAV/CalDAV server answers with (a WebDAV multistatus) and
// the bodies we send it. Elements are matched by namespace URI, never by
// prefix: servers write "D:", "d:", "ns0:" or a default namespace.
namespace DavXml {

inline constexpr auto davNs = "DAV:";
inline constexpr auto cardNs = "urn:ietf:params:xml:ns:carddav";
inline constexpr auto calNs = "urn:ietf:params:xml:ns:caldav";
inline constexpr auto serverNs = "http://calendarserver.org/ns/";

// One resource of a multistatus. Properties come only from the propstat
// blocks whose status is 2xx; a property the server does not know arrives
// in a 404 block and stays empty here.
struct Response
{
    QString href; // normalised by normalHref()
    // The response's own status (404 for a member a sync report says is
    // gone, or a multiget href that does not exist); without one, 200 if a
    // propstat block was 2xx, else the first block's status.
    int status = 200;
    QString etag;    // as written, quotes included: an ETag is opaque
    QByteArray data; // address-data or calendar-data, UTF-8
    // DAV:, CardDAV and CalDAV element names as local names (collection,
    // principal, addressbook, calendar); others as "{namespace}name".
    QStringList resourceTypes;
    QString displayName;
    // supported-calendar-component-set (VEVENT, VTODO, VJOURNAL); empty when
    // the server did not say, which means it takes any.
    QStringList components;
    QString principal;            // current-user-principal, normalised
    QStringList addressbookHomes; // normalised
    QStringList calendarHomes;    // normalised
    QString syncToken;
    QString ctag; // getctag of the calendarserver namespace

    bool isCollection() const { return resourceTypes.contains(QLatin1String("collection")); }
    bool isAddressBook() const { return resourceTypes.contains(QLatin1String("addressbook")); }
    bool isCalendar() const { return resourceTypes.contains(QLatin1String("calendar")); }
};

struct Multistatus
{
    QList<Response> responses;
    QString syncToken; // of a sync-collection report
};

// Bodies larger than this are refused before they are read.
inline constexpr qsizetype maxBodyBytes = 64 * 1024 * 1024;

// Reads a 207 body. A body that is not well-formed XML, is not a DAV:
// multistatus, declares a DTD, nests too deep, holds too many elements or a
// status line that is not one gets a plain message, never a partial result.
Result<Multistatus> parse(const QByteArray &xml);

// An href as the server wrote it, in one form for every spelling of the same
// path, so that two can be compared as strings and either resolved against
// the request URL. The rule: surrounding white space goes; in the path each
// segment is percent-decoded and encoded again, leaving letters, digits,
// "-._~" and "!$&'()*+,;=:@" as they are and writing every other byte as
// %XX with capital hex digits (UTF-8 for non-ASCII text); an encoded "/"
// (%2F) stays encoded, since it is part of a segment. "/a b/%e4%b8%ad.vcf"
// and "/a%20b/中.vcf" both become "/a%20b/%E4%B8%AD.vcf". A full URL keeps
// its scheme and host (lower-cased) and port; a query or fragment is kept
// as written.
QString normalHref(const QString &href);
// The URL of `href` as seen from the request URL `base`.
QUrl resolve(const QUrl &base, const QString &href);

// Whether a sync-collection REPORT was refused because the server no longer
// knows the token, so that only a full listing can catch up: 400, 403, 409,
// 410 or 412 with the DAV:valid-sync-token precondition (what most servers
// send), or any 5xx (some servers fail with a bare 500 on a token they lost;
// a full listing is always correct, and if the server is broken through
// and through, that listing fails with its own message).
bool isInvalidSyncToken(int status, const QByteArray &body);
// Whether the server lacks a report (405, 501, or a refusal naming the
// DAV:supported-report precondition).
bool isUnsupportedReport(int status, const QByteArray &body);

// Request bodies. Every text is escaped by the writer.
using PropName = QPair<QString, QString>; // namespace URI, local name
QByteArray propfindBody(const QList<PropName> &props);
// current-user-principal and resourcetype.
QByteArray principalBody();
// addressbook-home-set, calendar-home-set, current-user-principal, resourcetype.
QByteArray homeSetsBody();
// resourcetype, displayname, supported-calendar-component-set, sync-token,
// getctag: what a home listing needs to offer collections.
QByteArray collectionsBody();
// getetag and resourcetype: a full listing of a collection's members.
QByteArray etagsBody();
// An empty token asks for every member.
QByteArray syncCollectionBody(const QString &token);
// addressbook-multiget or calendar-multiget asking getetag and the data.
QByteArray multigetBody(bool calendar, const QStringList &hrefs);
// Extended MKCOL of an address book.
QByteArray mkcolAddressBookBody(const QString &displayName);
QByteArray mkcalendarBody(const QString &displayName, const QStringList &components);

} // namespace DavXml
