// The WebDAV client against real servers on 127.0.0.1: every behaviour runs
// on Radicale and on xandikos, so that what one server forgives the other
// catches. A server that is not installed skips its rows.
#include "DavServer.h"
#include "sync/core/DavClient.h"
#include "sync/core/DavDiscovery.h"
#include "sync/core/DavXml.h"
#include "VerifyOk.h"

#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(DavServer::Kind)
Q_DECLARE_METATYPE(DavCollection::Kind)
Q_DECLARE_METATYPE(DavReply::Failure)

#define START_SERVER(server, kind, options)                                                                            \
    do {                                                                                                               \
        if (!DavServer::installed(kind))                                                                               \
            QSKIP(qPrintable(DavServer::program(kind) + QStringLiteral(" is not installed")));                         \
        VERIFY_OK((server).start((kind), (options)));                                                                  \
    } while (false)

namespace {

using Kind = DavServer::Kind;
using Collection = DavCollection::Kind;

// A record as the sync would write it: a vCard or a to-do.
QByteArray record(Collection collection, const QString &uid, const QString &name)
{
    const QString text = collection == Collection::AddressBook
                             ? QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nFN:%2\r\nN:%2;;;;\r\n"
                                              "END:VCARD\r\n")
                             : QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Velmora//Test//ZH\r\n"
                                              "BEGIN:VTODO\r\nUID:%1\r\nDTSTAMP:20261211T020000Z\r\nSUMMARY:%2\r\n"
                                              "END:VTODO\r\nEND:VCALENDAR\r\n");
    return text.arg(uid, name).toUtf8();
}

QByteArray contentType(Collection collection)
{
    return collection == Collection::AddressBook ? "text/vcard; charset=utf-8" : "text/calendar; charset=utf-8";
}

QUrl member(const DavCollection &collection, const QString &uid)
{
    const QString file = uid + (collection.kind == Collection::AddressBook ? ".vcf" : ".ics");
    return collection.url.resolved(QUrl(file));
}

QString hrefOf(const QUrl &url)
{
    return DavXml::normalHref(url.path(QUrl::FullyEncoded));
}

// href -> "status etag" of a multistatus.
QMap<QString, QString> statuses(const DavXml::Multistatus &multistatus)
{
    QMap<QString, QString> map;
    for (const DavXml::Response &response : multistatus.responses)
        map.insert(response.href, QString::number(response.status) + u' ' + response.etag);
    return map;
}

void addServerRows()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("Radicale") << Kind::Radicale;
    QTest::newRow("xandikos") << Kind::Xandikos;
}

void addServerAndCollectionRows()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<Collection>("collection");
    QTest::newRow("Radicale, contacts") << Kind::Radicale << Collection::AddressBook;
    QTest::newRow("Radicale, calendar") << Kind::Radicale << Collection::Calendar;
    QTest::newRow("xandikos, contacts") << Kind::Xandikos << Collection::AddressBook;
    QTest::newRow("xandikos, calendar") << Kind::Xandikos << Collection::Calendar;
}

DavXml::Multistatus syncReport(DavClient &client, const DavCollection &collection, const QString &token)
{
    const DavReply reply = client.report(collection.url, 0, DavXml::syncCollectionBody(token));
    if (reply.status != 207) {
        qWarning("sync report: %s", qPrintable(DavClient::explain(reply)));
        return {};
    }
    return DavXml::parse(reply.body).valueOr({});
}

} // namespace

class tst_dav_client final : public QObject
{
    Q_OBJECT

private slots:
    void findsAndMakesCollections_data() { addServerRows(); }
    void findsAndMakesCollections()
    {
        QFETCH(Kind, kind);
        DavServer server;
        START_SERVER(server, kind, DavServer::Options());
        DavClient client(server.account());
        const Result<QList<DavCollection>> before = DavDiscovery::find(client);
        VERIFY_OK(before);

        const QString bookName = QStringLiteral("通讯录 & <同步>");
        const QString calendarName = QStringLiteral("日程 \"工作\"");
        const Result<DavCollection> book = DavDiscovery::create(client, Collection::AddressBook, bookName);
        VERIFY_OK(book);
        const Result<DavCollection> calendar = DavDiscovery::create(client, Collection::Calendar, calendarName);
        VERIFY_OK(calendar);
        QVERIFY(book->url.toString().startsWith(server.url().toString()));

        const Result<QList<DavCollection>> after = DavDiscovery::find(client);
        VERIFY_OK(after);
        QCOMPARE(after->size(), before->size() + 2);
        const auto found = [&](const QUrl &url) -> std::optional<DavCollection> {
            for (const DavCollection &collection : *after) {
                if (collection.url == url)
                    return collection;
            }
            return std::nullopt;
        };
        const std::optional<DavCollection> foundBook = found(book->url);
        QVERIFY2(foundBook, qPrintable(book->url.toString()));
        QCOMPARE(foundBook->kind, Collection::AddressBook);
        QCOMPARE(foundBook->displayName, bookName);
        const std::optional<DavCollection> foundCalendar = found(calendar->url);
        QVERIFY2(foundCalendar, qPrintable(calendar->url.toString()));
        QCOMPARE(foundCalendar->kind, Collection::Calendar);
        QCOMPARE(foundCalendar->displayName, calendarName);
        QVERIFY(foundCalendar->takes(QStringLiteral("VTODO")) && foundCalendar->takes(QStringLiteral("VJOURNAL")));
        // Address books are offered first.
        QCOMPARE(after->first().kind, Collection::AddressBook);
        QCOMPARE(after->last().kind, Collection::Calendar);
    }

    void conditionalWritesKeepOtherEdits_data() { addServerAndCollectionRows(); }
    void conditionalWritesKeepOtherEdits()
    {
        QFETCH(Kind, kind);
        QFETCH(Collection, collection);
        DavServer server;
        START_SERVER(server, kind, DavServer::Options());
        DavClient client(server.account());
        const Result<DavCollection> made = DavDiscovery::create(client, collection, QStringLiteral("同步"));
        VERIFY_OK(made);
        const QUrl url = member(*made, QStringLiteral("rec 1"));
        const QByteArray type = contentType(collection);

        const DavReply created = client.put(url, record(collection, "rec-1", "张三"), type, {});
        QVERIFY2(created.ok(), qPrintable(DavClient::explain(created)));
        QVERIFY(!created.etag.isEmpty());
        const DavReply again = client.put(url, record(collection, "rec-1", "另一台机器"), type, {});
        QCOMPARE(again.status, 412);

        const DavReply read = client.get(url);
        QVERIFY2(read.ok(), qPrintable(DavClient::explain(read)));
        QCOMPARE(read.etag, created.etag);
        QVERIFY(QString::fromUtf8(read.body).contains(QStringLiteral("张三")));

        const DavReply edited = client.put(url, record(collection, "rec-1", "张三丰"), type, created.etag);
        QVERIFY2(edited.ok(), qPrintable(DavClient::explain(edited)));
        QVERIFY(!edited.etag.isEmpty() && edited.etag != created.etag);
        const DavReply stale = client.put(url, record(collection, "rec-1", "旧的改动"), type, created.etag);
        QCOMPARE(stale.status, 412);
        QVERIFY(DavClient::explain(stale, QStringLiteral("联系人“张三”"))
                    .contains(QStringLiteral("联系人“张三”在服务器上已被别处改过")));

        QCOMPARE(client.remove(url, created.etag).status, 412);
        const DavReply removed = client.remove(url, edited.etag);
        QVERIFY2(removed.ok(), qPrintable(DavClient::explain(removed)));
        const DavReply gone = client.get(url);
        QCOMPARE(gone.status, 404);
        QVERIFY(
            DavClient::explain(gone, QStringLiteral("联系人“张三”")).contains(QStringLiteral("找不到联系人“张三”")));
    }

    void syncReportShowsOnlyChanges_data() { addServerAndCollectionRows(); }
    void syncReportShowsOnlyChanges()
    {
        QFETCH(Kind, kind);
        QFETCH(Collection, collection);
        DavServer server;
        START_SERVER(server, kind, DavServer::Options());
        DavClient client(server.account());
        const Result<DavCollection> made = DavDiscovery::create(client, collection, QStringLiteral("同步"));
        VERIFY_OK(made);
        const QByteArray type = contentType(collection);
        const QUrl a = member(*made, "a"), b = member(*made, "b 乙"), c = member(*made, "c");
        const DavReply putA = client.put(a, record(collection, "a", "甲"), type, {});
        const DavReply putB = client.put(b, record(collection, "b", "乙"), type, {});
        QVERIFY(putA.ok() && putB.ok());

        const DavXml::Multistatus first = syncReport(client, *made, {});
        QVERIFY(!first.syncToken.isEmpty());
        QCOMPARE(statuses(first),
                 (QMap<QString, QString>{{hrefOf(a), "200 " + putA.etag}, {hrefOf(b), "200 " + putB.etag}}));

        const DavReply putC = client.put(c, record(collection, "c", "丙"), type, {});
        const DavReply editA = client.put(a, record(collection, "a", "甲改"), type, putA.etag);
        QVERIFY(putC.ok() && editA.ok() && client.remove(b, putB.etag).ok());
        const DavXml::Multistatus changes = syncReport(client, *made, first.syncToken);
        QCOMPARE(statuses(changes),
                 (QMap<QString, QString>{
                     {hrefOf(a), "200 " + editA.etag}, {hrefOf(b), "404 "}, {hrefOf(c), "200 " + putC.etag}}));
        QVERIFY(!changes.syncToken.isEmpty() && changes.syncToken != first.syncToken);
        QVERIFY(syncReport(client, *made, changes.syncToken).responses.isEmpty());

        const DavReply got = client.report(
            made->url, 1, DavXml::multigetBody(collection == Collection::Calendar, {hrefOf(a), hrefOf(b), hrefOf(c)}));
        QCOMPARE(got.status, 207);
        const Result<DavXml::Multistatus> records = DavXml::parse(got.body);
        VERIFY_OK(records);
        QMap<QString, QString> texts;
        for (const DavXml::Response &response : records->responses) {
            const QString uid =
                QString::fromUtf8(response.data).section(QStringLiteral("UID:"), 1).section(u'\n', 0, 0);
            texts.insert(response.href, QString::number(response.status) + u' ' + response.etag + u' ' + uid.trimmed());
        }
        QCOMPARE(texts, (QMap<QString, QString>{{hrefOf(a), "200 " + editA.etag + " a"},
                                                {hrefOf(b), "404  "},
                                                {hrefOf(c), "200 " + putC.etag + " c"}}));
    }

    void aLostTokenIsRecognised_data() { addServerRows(); }
    void aLostTokenIsRecognised()
    {
        QFETCH(Kind, kind);
        DavServer server;
        START_SERVER(server, kind, DavServer::Options());
        DavClient client(server.account());
        const Result<DavCollection> made =
            DavDiscovery::create(client, Collection::AddressBook, QStringLiteral("同步"));
        VERIFY_OK(made);
        const QString token = syncReport(client, *made, {}).syncToken;
        QVERIFY(token.size() > 8);
        // Same shape as the server's own tokens, but one it never gave.
        const QString lost = token.left(token.size() - 8) + QStringLiteral("deadbeef");
        const DavReply reply = client.report(made->url, 0, DavXml::syncCollectionBody(lost));
        QVERIFY2(DavXml::isInvalidSyncToken(reply.status, reply.body),
                 qPrintable(QString::number(reply.status) + u' ' + QString::fromUtf8(reply.body)));
    }

    void loginIsChecked_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<DavReply::Failure>("failure");
        QTest::addColumn<QString>("said");
        QTest::newRow("right") << "alice"
                               << "密码 secret" << DavReply::Failure::None << "";
        QTest::newRow("wrong password") << "alice"
                                        << "wrong" << DavReply::Failure::AuthRejected << "不接受这个用户名或密码";
        QTest::newRow("unknown user") << "bob"
                                      << "密码 secret" << DavReply::Failure::AuthRejected << "不接受这个用户名或密码";
        QTest::newRow("no login") << ""
                                  << "" << DavReply::Failure::AuthRejected << "要求登录，请填写用户名和密码";
    }
    void loginIsChecked()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(DavReply::Failure, failure);
        QFETCH(QString, said);
        DavServer server;
        DavServer::Options options;
        options.password = QStringLiteral("密码 secret");
        START_SERVER(server, Kind::Radicale, options);
        DavAccount account = server.account();
        account.user = user;
        account.password = password;
        DavClient client(account);
        const DavReply reply = client.propfind(server.url(), 0, DavXml::principalBody());
        QCOMPARE(reply.failure, failure);
        const Result<QList<DavCollection>> found = DavDiscovery::find(client);
        if (failure == DavReply::Failure::None) {
            QCOMPARE(reply.status, 207);
            VERIFY_OK(found);
        } else {
            QVERIFY2(reply.error.contains(said), qPrintable(reply.error));
            QCOMPARE(found.error(), reply.error);
        }
    }

    void certificateIsTrustedOnlyByItsFingerprint_data()
    {
        QTest::addColumn<QString>("trust");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("the system's trust only") << "none" << false;
        QTest::newRow("its fingerprint") << "colons" << true;
        QTest::newRow("its fingerprint, raw bytes") << "raw" << true;
        QTest::newRow("another fingerprint") << "other" << false;
    }
    void certificateIsTrustedOnlyByItsFingerprint()
    {
        QFETCH(QString, trust);
        QFETCH(bool, accepted);
        DavServer server;
        DavServer::Options options;
        options.tls = true;
        START_SERVER(server, Kind::Radicale, options);
        QCOMPARE(server.url().scheme(), QStringLiteral("https"));
        DavAccount account = server.account();
        const QByteArray raw = QByteArray::fromHex(QByteArray(server.fingerprint()).replace(':', ""));
        if (trust == QLatin1String("colons"))
            account.trustedFingerprint = server.fingerprint().toLower();
        else if (trust == QLatin1String("raw"))
            account.trustedFingerprint = raw;
        else if (trust == QLatin1String("other"))
            account.trustedFingerprint = QByteArray(32, 'x');
        DavClient client(account);
        const DavReply reply = client.propfind(server.url(), 0, DavXml::principalBody());
        if (accepted) {
            QCOMPARE(reply.status, 207);
            return;
        }
        QCOMPARE(reply.failure, DavReply::Failure::UntrustedCertificate);
        QCOMPARE(reply.fingerprint, server.fingerprint());
        QVERIFY2(reply.error.contains(QString::fromLatin1(server.fingerprint())), qPrintable(reply.error));
    }
};

QTEST_GUILESS_MAIN(tst_dav_client)
#include "tst_dav_client.moc"
