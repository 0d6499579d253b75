#include "sync/core/DavDiscovery.h"

#include "sync/core/DavXml.h"

#include <QUuid>

#include <algorithm>
#include <optional>

namespace DavDiscovery {

namespace {

// A PROPFIND's parsed answer, or why there is none. `final` marks failures
// that asking another address of the same server would only repeat.
struct Answer
{
    DavXml::Multistatus multistatus;
    QUrl base; // where the hrefs are resolved from
    QString error;
    bool final = false;

    bool ok() const { return error.isEmpty(); }
};

bool endsTheSearch(DavReply::Failure failure)
{
    switch (failure) {
    case DavReply::Failure::None:
    case DavReply::Failure::RedirectLoop:
        return false;
    default:
        return true;
    }
}

Answer propfind(DavClient &client, const QUrl &url, int depth, const QByteArray &body)
{
    Answer answer;
    const DavReply reply = client.propfind(url, depth, body);
    answer.base = reply.url;
    if (!reply.ok() || reply.status != 207) {
        answer.final = endsTheSearch(reply.failure);
        answer.error =
            reply.ok() ? QStringLiteral("服务器 %1 的回答不是 WebDAV 的(状态 %2)，这个地址上可能没有通讯录和日历服务。")
                             .arg(url.toDisplayString())
                             .arg(reply.status)
                       : DavClient::explain(reply, QStringLiteral("地址 %1").arg(url.toDisplayString()));
        return answer;
    }
    Result<DavXml::Multistatus> parsed = DavXml::parse(reply.body);
    if (!parsed)
        answer.error = parsed.error();
    else
        answer.multistatus = std::move(parsed).value();
    return answer;
}

QUrl asFolder(QUrl url)
{
    if (!url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    return url;
}

// The response about the address asked itself: the first one, which every
// server writes first, unless another names it exactly.
const DavXml::Response *self(const Answer &answer)
{
    const QList<DavXml::Response> &responses = answer.multistatus.responses;
    for (const DavXml::Response &response : responses) {
        if (asFolder(DavXml::resolve(answer.base, response.href)) == asFolder(answer.base))
            return &response;
    }
    return responses.isEmpty() ? nullptr : &responses.first();
}

Homes homesOf(const Answer &answer, const DavXml::Response &response)
{
    Homes homes;
    if (!response.addressbookHomes.isEmpty())
        homes.addressBooks = asFolder(DavXml::resolve(answer.base, response.addressbookHomes.first()));
    if (!response.calendarHomes.isEmpty())
        homes.calendars = asFolder(DavXml::resolve(answer.base, response.calendarHomes.first()));
    return homes;
}

bool isEmpty(const Homes &homes)
{
    return homes.addressBooks.isEmpty() && homes.calendars.isEmpty();
}

// The homes named at one starting address, directly or through its principal.
Result<Homes> homesFrom(DavClient &client, const QUrl &start, bool &final)
{
    const Answer answer = propfind(client, start, 0, DavXml::homeSetsBody());
    final = answer.final;
    if (!answer.ok())
        return fail(answer.error);
    const DavXml::Response *response = self(answer);
    if (!response)
        return Homes();
    Homes homes = homesOf(answer, *response);
    if (!isEmpty(homes) || response->principal.isEmpty())
        return homes;
    const QUrl principal = DavXml::resolve(answer.base, response->principal);
    const Answer asked = propfind(client, principal, 0, DavXml::homeSetsBody());
    final = asked.final;
    if (!asked.ok())
        return fail(asked.error);
    const DavXml::Response *own = self(asked);
    return own ? homesOf(asked, *own) : Homes();
}

std::optional<DavCollection> collectionOf(const Answer &answer, const DavXml::Response &response)
{
    if (response.status < 200 || response.status > 299)
        return std::nullopt;
    DavCollection collection;
    collection.url = asFolder(DavXml::resolve(answer.base, response.href));
    collection.displayName = response.displayName;
    if (response.isAddressBook()) {
        collection.kind = DavCollection::Kind::AddressBook;
    } else if (response.isCalendar()) {
        collection.kind = DavCollection::Kind::Calendar;
        collection.components = response.components;
    } else {
        return std::nullopt;
    }
    if (collection.displayName.isEmpty()) // named by its last path segment
        collection.displayName = collection.url.path().section(u'/', -2, -2);
    return collection;
}

// The address books and calendars among the members of `url` (depth 1) or
// `url` itself (depth 0).
Result<QList<DavCollection>> collectionsAt(DavClient &client, const QUrl &url, int depth)
{
    const Answer answer = propfind(client, url, depth, DavXml::collectionsBody());
    if (!answer.ok())
        return fail(answer.error);
    QList<DavCollection> found;
    for (const DavXml::Response &response : answer.multistatus.responses) {
        if (std::optional<DavCollection> collection = collectionOf(answer, response))
            found.append(*collection);
    }
    return found;
}

void addNew(QList<DavCollection> &into, const QList<DavCollection> &found)
{
    for (const DavCollection &collection : found) {
        const bool known = std::any_of(into.cbegin(), into.cend(),
                                       [&](const DavCollection &kept) { return kept.url == collection.url; });
        if (!known)
            into.append(collection);
    }
}

} // namespace

Result<Homes> homes(DavClient &client)
{
    const QUrl server = client.account().server;
    QString firstError;
    for (const QUrl &start : {server, server.resolved(QUrl(QStringLiteral("/.well-known/carddav"))),
                              server.resolved(QUrl(QStringLiteral("/.well-known/caldav")))}) {
        bool final = false;
        Result<Homes> found = homesFrom(client, start, final);
        if (found && !isEmpty(*found))
            return found;
        if (!found && final)
            return found;
        if (!found && firstError.isEmpty())
            firstError = found.error();
    }
    if (!firstError.isEmpty())
        return fail(firstError);
    return fail(QStringLiteral("在服务器 %1 上没有找到放通讯录和日历的位置。请检查服务器地址，"
                               "或者直接填写通讯录或日历本身的地址。")
                    .arg(server.toDisplayString()));
}

Result<QList<DavCollection>> find(DavClient &client)
{
    const Result<Homes> found = homes(client);
    if (!found) {
        // The address may be an address book or calendar itself.
        Result<QList<DavCollection>> itself = collectionsAt(client, client.account().server, 0);
        if (itself && !itself->isEmpty())
            return itself;
        return fail(found.error());
    }
    QList<QUrl> homes;
    for (const QUrl &home : {found->addressBooks, found->calendars}) {
        if (!home.isEmpty() && !homes.contains(home))
            homes.append(home);
    }
    QList<DavCollection> all;
    for (const QUrl &home : std::as_const(homes)) {
        Result<QList<DavCollection>> listed = collectionsAt(client, home, 1);
        if (!listed)
            return fail(listed.error());
        addNew(all, *listed);
    }
    std::stable_sort(all.begin(), all.end(), [](const DavCollection &a, const DavCollection &b) {
        return a.kind == DavCollection::Kind::AddressBook && b.kind != DavCollection::Kind::AddressBook;
    });
    return all;
}

Result<DavCollection> create(DavClient &client, DavCollection::Kind kind, const QString &displayName)
{
    const Result<Homes> found = homes(client);
    if (!found)
        return fail(found.error());
    const bool calendar = kind == DavCollection::Kind::Calendar;
    const QUrl home = calendar ? found->calendars : found->addressBooks;
    const QString what =
        calendar ? QStringLiteral("日历“%1”").arg(displayName) : QStringLiteral("通讯录“%1”").arg(displayName);
    if (home.isEmpty())
        return fail(QStringLiteral("服务器没有说新的%1该放在哪里，无法新建。").arg(calendar ? "日历" : "通讯录"));
    DavCollection made;
    made.url = home.resolved(QUrl(QUuid::createUuid().toString(QUuid::WithoutBraces) + u'/'));
    made.displayName = displayName;
    made.kind = kind;
    DavReply reply;
    if (calendar) {
        made.components = {QStringLiteral("VEVENT"), QStringLiteral("VTODO"), QStringLiteral("VJOURNAL")};
        reply = client.mkcalendar(made.url, DavXml::mkcalendarBody(displayName, made.components));
    } else {
        reply = client.mkcol(made.url, DavXml::mkcolAddressBookBody(displayName));
    }
    if (!reply.ok())
        return fail(QStringLiteral("新建%1没有成功：%2").arg(what, DavClient::explain(reply, what)));
    return made;
}

} // namespace DavDiscovery
