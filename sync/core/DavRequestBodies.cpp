// The XML bodies of PROPFIND, REPORT, MKCOL and MKCALENDAR requests.
#include "sync/core/DavXml.h"

#include <QXmlStreamWriter>

namespace DavXml {

namespace {

// XML 1.0 has no way to write most control characters, even escaped.
QString xmlChars(QString text)
{
    text.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0xFFFE || u == 0xFFFF;
    });
    return text;
}

// A document with the three namespaces declared once on its root.
class Body
{
public:
    Body(const char *rootNs, const char *root)
        : m_xml(&m_bytes)
    {
        m_xml.writeStartDocument();
        m_xml.writeNamespace(QLatin1String(davNs), QStringLiteral("d"));
        m_xml.writeNamespace(QLatin1String(cardNs), QStringLiteral("card"));
        m_xml.writeNamespace(QLatin1String(calNs), QStringLiteral("cal"));
        m_xml.writeNamespace(QLatin1String(serverNs), QStringLiteral("cs"));
        open(rootNs, root);
    }

    void open(const char *ns, const char *name) { m_xml.writeStartElement(QLatin1String(ns), QLatin1String(name)); }
    void close() { m_xml.writeEndElement(); }
    void empty(const QString &ns, const QString &name) { m_xml.writeEmptyElement(ns, name); }
    void text(const char *ns, const char *name, const QString &text)
    {
        m_xml.writeTextElement(QLatin1String(ns), QLatin1String(name), xmlChars(text));
    }
    void attribute(const char *name, const QString &value) { m_xml.writeAttribute(QLatin1String(name), value); }
    void props(const QList<PropName> &names)
    {
        open(davNs, "prop");
        for (const PropName &name : names)
            empty(name.first, name.second);
        close();
    }

    QByteArray finish()
    {
        m_xml.writeEndDocument();
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    QXmlStreamWriter m_xml;
};

PropName dav(const char *name)
{
    return {QLatin1String(davNs), QLatin1String(name)};
}

PropName card(const char *name)
{
    return {QLatin1String(cardNs), QLatin1String(name)};
}

PropName cal(const char *name)
{
    return {QLatin1String(calNs), QLatin1String(name)};
}

} // namespace

QByteArray propfindBody(const QList<PropName> &props)
{
    Body body(davNs, "propfind");
    body.props(props);
    return body.finish();
}

QByteArray principalBody()
{
    return propfindBody({dav("current-user-principal"), dav("resourcetype")});
}

QByteArray homeSetsBody()
{
    return propfindBody(
        {card("addressbook-home-set"), cal("calendar-home-set"), dav("current-user-principal"), dav("resourcetype")});
}

QByteArray collectionsBody()
{
    return propfindBody({dav("resourcetype"),
                         dav("displayname"),
                         cal("supported-calendar-component-set"),
                         dav("sync-token"),
                         {QLatin1String(serverNs), QStringLiteral("getctag")}});
}

QByteArray etagsBody()
{
    return propfindBody({dav("getetag"), dav("resourcetype")});
}

QByteArray syncCollectionBody(const QString &token)
{
    Body body(davNs, "sync-collection");
    body.text(davNs, "sync-token", token);
    body.text(davNs, "sync-level", QStringLiteral("1"));
    body.props({dav("getetag")});
    return body.finish();
}

QByteArray multigetBody(bool calendar, const QStringList &hrefs)
{
    Body body(calendar ? calNs : cardNs, calendar ? "calendar-multiget" : "addressbook-multiget");
    body.props({dav("getetag"), calendar ? cal("calendar-data") : card("address-data")});
    for (const QString &href : hrefs)
        body.text(davNs, "href", href);
    return body.finish();
}

QByteArray mkcolAddressBookBody(const QString &displayName)
{
    Body body(davNs, "mkcol");
    body.open(davNs, "set");
    body.open(davNs, "prop");
    body.open(davNs, "resourcetype");
    body.empty(QLatin1String(davNs), QStringLiteral("collection"));
    body.empty(QLatin1String(cardNs), QStringLiteral("addressbook"));
    body.close();
    body.text(davNs, "displayname", displayName);
    return body.finish();
}

QByteArray mkcalendarBody(const QString &displayName, const QStringList &components)
{
    Body body(calNs, "mkcalendar");
    body.open(davNs, "set");
    body.open(davNs, "prop");
    body.text(davNs, "displayname", displayName);
    body.open(calNs, "supported-calendar-component-set");
    for (const QString &component : components) {
        body.empty(QLatin1String(calNs), QStringLiteral("comp"));
        body.attribute("name", component);
    }
    return body.finish();
}

} // namespace DavXml
