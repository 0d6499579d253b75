// The multistatus reader against bodies as real servers write them (kept in
// the fuzzer's seed corpus), the refusals of what is not one, the signs of a
// lost sync token, and the request bodies read back by a plain XML reader.
#include "sync/core/DavXml.h"
#include "VerifyOk.h"

#include <QFile>
#include <QTest>
#include <QXmlStreamReader>

namespace {

QByteArray corpus(const char *name)
{
    QFile file(QStringLiteral(DAV_CORPUS "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing fixture");
}

// One line per response with the fields that are set, so that a row's
// expectation reads like the server's answer.
QString describe(const DavXml::Response &r)
{
    QStringList parts{r.href, QString::number(r.status)};
    const auto add = [&parts](const char *key, const QString &value) {
        if (!value.isEmpty())
            parts << QLatin1String(key) + u'=' + value;
    };
    add("etag", r.etag);
    add("types", r.resourceTypes.join(u','));
    add("name", r.displayName);
    add("comps", r.components.join(u','));
    add("principal", r.principal);
    add("cardHomes", r.addressbookHomes.join(u','));
    add("calHomes", r.calendarHomes.join(u','));
    add("token", r.syncToken);
    add("ctag", r.ctag);
    QString data = QString::fromUtf8(r.data);
    add("data", data.replace(u'\r', QLatin1String("\\r")).replace(u'\n', QLatin1String("\\n")));
    return parts.join(u' ');
}

const QString radicaleAbToken =
    QStringLiteral("http://radicale.org/ns/sync/3226a5050de9dfc0fd19306a1639183753b1cb1876ae21b6d1ec4ae8d1fbcb41");

QByteArray nested(int depth)
{
    QByteArray xml = "<multistatus xmlns='DAV:'><response><href>/x</href>";
    for (int i = 0; i < depth; ++i)
        xml += "<a>";
    for (int i = 0; i < depth; ++i)
        xml += "</a>";
    return xml + "</response></multistatus>";
}

QString textOf(const QByteArray &body, const char *ns, const char *name)
{
    QXmlStreamReader xml(body);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.namespaceUri() == QLatin1String(ns)
            && xml.name() == QLatin1String(name))
            return xml.readElementText();
    }
    return xml.hasError() ? QStringLiteral("error: ") + xml.errorString() : QStringLiteral("not found");
}

} // namespace

class tst_dav_xml final : public QObject
{
    Q_OBJECT

private slots:
    void readsWhatServersWrite_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("reportToken");
        QTest::addColumn<QStringList>("responses");
        QTest::newRow("Radicale root: default namespace, unknown props in a 404 block")
            << corpus("radicale_root.xml") << QString() << QStringList{"/ 200 types=collection principal=/bob/"};
        QTest::newRow("Radicale home listing")
            << corpus("radicale_home_listing.xml") << QString()
            << QStringList{"/bob/ 200 types=principal,collection principal=/bob/ cardHomes=/bob/ calHomes=/bob/",
                           "/bob/ab1/ 200 types=addressbook,collection name=通讯 & 录 comps=VTODO,VEVENT,VJOURNAL "
                           "principal=/bob/ token="
                               + radicaleAbToken
                               + " ctag=\"5c1858b88a0684a89bb45b1b55022b02859da8b70375aed67ae6fbb94ad18efb\"",
                           "/bob/cal1/ 200 types=calendar,collection name=日历 comps=VTODO,VJOURNAL principal=/bob/ "
                           "token=http://radicale.org/ns/sync/"
                           "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855 "
                           "ctag=\"4c27433b095bab933b05442c82fa34032ec4a26a86f98a2ef0f76e0c82b3dff3\""};
        QTest::newRow("xandikos principal: ns0 prefixes, status before prop")
            << corpus("xandikos_principal.xml") << QString()
            << QStringList{"/user/ 200 types=principal name=user principal=/user/ cardHomes=/user/contacts/ "
                           "calHomes=/user/calendars/"};
        QTest::newRow("Radicale sync report: token first, a removed member, an encoded space")
            << corpus("radicale_sync_changes.xml")
            << QStringLiteral("http://radicale.org/ns/sync/"
                              "b21b970c51671037efa0091636dd93289f406e56029522897abe033411267b3c")
            << QStringList{"/bob/ab1/u2.vcf 404",
                           "/bob/ab1/u3%20x.vcf 200 "
                           "etag=\"8f2fcf5bf4b28ac1b0d38fb4f2d3305e7960992dc20e596f5d37d3088fa11514\""};
        QTest::newRow("xandikos sync report: token last")
            << corpus("xandikos_sync_changes.xml") << QStringLiteral("76db3330b82526902bcbcdf56b53af981879f099")
            << QStringList{"/user/contacts/ab1/u3%20x.vcf 200 etag=\"5ad9542a2dbe5fc723b04ffbe79ecafc5c51e5ef\"",
                           "/user/contacts/ab1/u2.vcf 404"};
        QTest::newRow("xandikos multiget: data and a missing href")
            << corpus("xandikos_multiget.xml") << QString()
            << QStringList{"/user/contacts/ab1/u3%20x.vcf 200 etag=\"5ad9542a2dbe5fc723b04ffbe79ecafc5c51e5ef\" "
                           "data=BEGIN:VCARD\\nVERSION:3.0\\nUID:u3\\nFN:王五\\nEND:VCARD\\n",
                           "/user/contacts/ab1/u1.vcf 404"};
        QTest::newRow("other server: full URL href, CDATA, one status for two hrefs")
            << corpus("other_server_calendar_multiget.xml") << QString()
            << QStringList{
                   "https://cloud.example.com/remote.php/dav/calendars/alice/personal/%E4%BB%BB%E5%8A%A1.ics 200 "
                   "etag=\"5f1e2a\" data=BEGIN:VCALENDAR\\nVERSION:2.0\\nBEGIN:VTODO\\nUID:job-1\\n"
                   "SUMMARY:写周报 & 交<报表>\\nEND:VTODO\\nEND:VCALENDAR\\n",
                   "/remote.php/dav/calendars/alice/personal/gone-1.ics 404",
                   "/remote.php/dav/calendars/alice/personal/gone-2.ics 404"};
        QTest::newRow("prefix bound to DAV: and then elsewhere; escaped CR kept")
            << corpus("crlf_kept_and_prefixes_rebound.xml") << QStringLiteral("3")
            << QStringList{"/a%20b/c.vcf 200 etag=W/\"7\" data=BEGIN:VCARD\\r\\nVERSION:4.0\\r\\nFN:赵六\\r\\n"
                           "END:VCARD\\r\\n"};
        QTest::newRow("only unknown properties: the block's status")
            << QByteArray("<d:multistatus xmlns:d='DAV:'><d:response><d:href>/x/</d:href><d:propstat><d:prop>"
                          "<d:getetag/></d:prop><d:status>HTTP/1.1 404 Not Found</d:status></d:propstat>"
                          "</d:response></d:multistatus>")
            << QString() << QStringList{"/x/ 404"};
        QTest::newRow("a DAV name in a foreign namespace is not read")
            << QByteArray("<multistatus xmlns='DAV:' xmlns:o='urn:o'><response><href>/y/</href><propstat><prop>"
                          "<o:getetag>no</o:getetag><resourcetype><collection/><o:calendar/></resourcetype>"
                          "</prop><status>HTTP/1.1 200 OK</status></propstat></response></multistatus>")
            << QString() << QStringList{"/y/ 200 types=collection,{urn:o}calendar"};
        QTest::newRow("empty") << QByteArray("<?xml version='1.0'?><multistatus xmlns='DAV:'/>") << QString()
                               << QStringList();
    }
    void readsWhatServersWrite()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, reportToken);
        QFETCH(QStringList, responses);
        const Result<DavXml::Multistatus> parsed = DavXml::parse(body);
        VERIFY_OK(parsed);
        QStringList described;
        for (const DavXml::Response &response : parsed->responses)
            described << describe(response);
        QCOMPARE(described, responses);
        QCOMPARE(parsed->syncToken, reportToken);
    }

    void refusesWhatIsNoMultistatus_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("said");
        QTest::newRow("nothing") << QByteArray(" \r\n") << QStringLiteral("回答是空的");
        QTest::newRow("a web page") << QByteArray("<html><body>Login</body></html>")
                                    << QStringLiteral("不是 WebDAV 的多状态回答(multistatus)，而是“html”");
        QTest::newRow("multistatus of no namespace")
            << QByteArray("<multistatus><response/></multistatus>") << QStringLiteral("不是 WebDAV 的多状态回答");
        QTest::newRow("cut short") << corpus("radicale_home_listing.xml").left(700)
                                   << QStringLiteral("不是完整的 XML(第2行");
        QTest::newRow("plain text") << QByteArray("Internal error") << QStringLiteral("不是完整的 XML");
        QTest::newRow("entities that multiply")
            << QByteArray("<?xml version='1.0'?><!DOCTYPE m [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b '&a;&a;&a;&a;'>]>"
                          "<multistatus xmlns='DAV:'><response><href>&b;</href></response></multistatus>")
            << QStringLiteral("文档类型声明(DTD)");
        QTest::newRow("an outside entity")
            << QByteArray("<!DOCTYPE m [<!ENTITY x SYSTEM 'file:///etc/passwd'>]><multistatus xmlns='DAV:'>&x;"
                          "</multistatus>")
            << QStringLiteral("文档类型声明(DTD)");
        QTest::newRow("deep nesting") << nested(100) << QStringLiteral("嵌套超过64层");
        QByteArray many = "<multistatus xmlns='DAV:'>";
        many += QByteArray("<a/>").repeated(2'000'000);
        QTest::newRow("two million elements") << many + "</multistatus>" << QStringLiteral("超过2000000个元素");
        QTest::newRow("65 MB") << QByteArray(65 * 1024 * 1024, ' ') << QStringLiteral("超过了64 MB");
        QTest::newRow("a status line that is none")
            << QByteArray("<multistatus xmlns='DAV:'><response><href>/a</href><status>HTTP/1.1 abc</status>"
                          "</response></multistatus>")
            << QStringLiteral("看不懂的状态行“HTTP/1.1 abc”");
        QTest::newRow("a response without href")
            << QByteArray("<multistatus xmlns='DAV:'><response><status>HTTP/1.1 200 OK</status></response>"
                          "</multistatus>")
            << QStringLiteral("有一项没有地址(href)");
    }
    void refusesWhatIsNoMultistatus()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, said);
        const Result<DavXml::Multistatus> parsed = DavXml::parse(body);
        QVERIFY(!parsed);
        QVERIFY2(parsed.error().contains(said), qPrintable(parsed.error()));
    }

    void hrefsAreNormalised_data()
    {
        QTest::addColumn<QString>("href");
        QTest::addColumn<QString>("normal");
        QTest::newRow("a bare space") << "/a b/"
                                      << "/a%20b/";
        QTest::newRow("lower-case escapes") << "/a%20b/%e4%b8%ad.vcf"
                                            << "/a%20b/%E4%B8%AD.vcf";
        QTest::newRow("bare Chinese") << "/a%20b/中.vcf"
                                      << "/a%20b/%E4%B8%AD.vcf";
        QTest::newRow("white space around") << "  /x/\n"
                                            << "/x/";
        QTest::newRow("escaped letters") << "/%7euser/%41.ics"
                                         << "/~user/A.ics";
        QTest::newRow("an escaped slash stays") << "/a%2Fb/"
                                                << "/a%2Fb/";
        QTest::newRow("sub-delimiters stay") << "/p@x:1/a+b;c=d/"
                                             << "/p@x:1/a+b;c=d/";
        QTest::newRow("a lone percent") << "/100%/"
                                        << "/100%25/";
        QTest::newRow("full URL") << "HTTPS://Cloud.Example.COM:8443/Cal/x y.ics"
                                  << "https://cloud.example.com:8443/Cal/x%20y.ics";
        QTest::newRow("escapes in the host") << "HTTP://Host%3e>/x"
                                             << "http://host%3E%3E/x";
        QTest::newRow("a lone surrogate") << QStringLiteral("HTTP://H/a") + QChar(0xD800) << "http://h/a%EF%BF%BD";
        QTest::newRow("query kept") << "/q?a=b%26c d#f"
                                    << "/q?a=b%26c%20d#f";
        QTest::newRow("relative") << "x.vcf"
                                  << "x.vcf";
    }
    void hrefsAreNormalised()
    {
        QFETCH(QString, href);
        QFETCH(QString, normal);
        QCOMPARE(DavXml::normalHref(href), normal);
        QCOMPARE(DavXml::normalHref(normal), normal);
    }

    void hrefsResolveAgainstTheRequest_data()
    {
        QTest::addColumn<QString>("href");
        QTest::addColumn<QString>("url");
        QTest::newRow("absolute path") << "/dav/alice/a b.vcf"
                                       << "http://h:5232/dav/alice/a%20b.vcf";
        QTest::newRow("relative") << "中.vcf"
                                  << "http://h:5232/dav/alice/%E4%B8%AD.vcf";
        QTest::newRow("full URL") << "https://other:1/x/"
                                  << "https://other:1/x/";
    }
    void hrefsResolveAgainstTheRequest()
    {
        QFETCH(QString, href);
        QFETCH(QString, url);
        const QUrl base(QStringLiteral("http://h:5232/dav/alice/"));
        QCOMPARE(DavXml::resolve(base, href).toString(QUrl::FullyEncoded), url);
    }

    void knowsALostTokenAndAMissingReport_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("lostToken");
        QTest::addColumn<bool>("noReport");
        const QByteArray radicale = "<?xml version='1.0' encoding='utf-8'?>\n"
                                    "<error xmlns=\"DAV:\"><valid-sync-token /></error>";
        QTest::newRow("Radicale, 403") << 403 << radicale << true << false;
        QTest::newRow("409 with the precondition") << 409 << radicale << true << false;
        QTest::newRow("prefixed, with a message")
            << 403
            << QByteArray("<d:error xmlns:d='DAV:' xmlns:s='http://sabredav.org/ns'><d:valid-sync-token/>"
                          "<s:message>Invalid or unknown sync token</s:message></d:error>")
            << true << false;
        QTest::newRow("xandikos, a bare 500")
            << 500 << QByteArray("500 Internal Server Error\n\nServer got itself in trouble") << true << false;
        QTest::newRow("plain text naming it") << 403 << QByteArray("valid-sync-token") << true << false;
        QTest::newRow("403 for rights") << 403 << QByteArray("<d:error xmlns:d='DAV:'><d:need-privileges/></d:error>")
                                        << false << false;
        QTest::newRow("403 of no XML") << 403 << QByteArray("Access denied") << false << false;
        QTest::newRow("a foreign element of that name")
            << 403 << QByteArray("<e xmlns='urn:x'><valid-sync-token/></e>") << false << false;
        QTest::newRow("not found") << 404 << radicale << false << false;
        QTest::newRow("multistatus") << 207 << QByteArray() << false << false;
        QTest::newRow("no such report") << 501 << QByteArray() << true << true;
        QTest::newRow("method not allowed") << 405 << QByteArray() << false << true;
        QTest::newRow("report not supported")
            << 403 << QByteArray("<d:error xmlns:d='DAV:'><d:supported-report/></d:error>") << false << true;
    }
    void knowsALostTokenAndAMissingReport()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, lostToken);
        QFETCH(bool, noReport);
        QCOMPARE(DavXml::isInvalidSyncToken(status, body), lostToken);
        QCOMPARE(DavXml::isUnsupportedReport(status, body), noReport);
    }

    void requestBodiesReadBack_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("rootNs");
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("ns");
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("text");
        const QString name = QStringLiteral("A & <B> \"C\" 通讯录");
        QTest::newRow("address book, a name to escape")
            << DavXml::mkcolAddressBookBody(name + QChar(1)) << DavXml::davNs << "mkcol" << DavXml::davNs
            << "displayname" << name;
        QTest::newRow("calendar") << DavXml::mkcalendarBody(name, {"VTODO"}) << DavXml::calNs << "mkcalendar"
                                  << DavXml::davNs << "displayname" << name;
        QTest::newRow("sync from a token") << DavXml::syncCollectionBody("http://x/sync/1?a=1&b=<2>") << DavXml::davNs
                                           << "sync-collection" << DavXml::davNs << "sync-token"
                                           << "http://x/sync/1?a=1&b=<2>";
        QTest::newRow("calendar multiget") << DavXml::multigetBody(true, {"/c/a&b.ics", "/c/2.ics"}) << DavXml::calNs
                                           << "calendar-multiget" << DavXml::davNs << "href"
                                           << "/c/a&b.ics";
        QTest::newRow("address book multiget asks the card")
            << DavXml::multigetBody(false, {"/c/1.vcf"}) << DavXml::cardNs << "addressbook-multiget" << DavXml::cardNs
            << "address-data"
            << "";
        QTest::newRow("home listing asks the sync token")
            << DavXml::collectionsBody() << DavXml::davNs << "propfind" << DavXml::davNs << "sync-token"
            << "";
        QTest::newRow("principal") << DavXml::principalBody() << DavXml::davNs << "propfind" << DavXml::davNs
                                   << "current-user-principal"
                                   << "";
    }
    void requestBodiesReadBack()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, rootNs);
        QFETCH(QString, root);
        QFETCH(QString, ns);
        QFETCH(QString, element);
        QFETCH(QString, text);
        QXmlStreamReader xml(body);
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.namespaceUri().toString(), rootNs);
        QCOMPARE(xml.name().toString(), root);
        QCOMPARE(textOf(body, ns.toUtf8().constData(), element.toUtf8().constData()), text);
    }

    void componentsAreOffered()
    {
        const QByteArray body = DavXml::mkcalendarBody(QStringLiteral("日历"), {"VTODO", "VJOURNAL"});
        QXmlStreamReader xml(body);
        QStringList names;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("comp"))
                names << xml.attributes().value(QLatin1String("name")).toString();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(names, (QStringList{"VTODO", "VJOURNAL"}));
    }
};

QTEST_GUILESS_MAIN(tst_dav_xml)
#include "tst_dav_xml.moc"
