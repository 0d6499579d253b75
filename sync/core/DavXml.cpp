#include "sync/core/DavXml.h"

#include <QXmlStreamReader>

#include <optional>

namespace DavXml {

namespace {

// Deep enough for any server's multistatus (it needs six levels), shallow
// enough that a hostile body cannot make us walk a million.
constexpr int maxDepth = 64;
// 10,000 records of a listing take about 70,000 elements.
constexpr qint64 maxElements = 2'000'000;

// What an element means where it stands; the parse keeps a stack of these.
enum class Role {
    Ignored,
    Multistatus,
    ReportToken,
    Response,
    ResponseHref,
    ResponseStatus,
    Propstat,
    PropstatStatus,
    Prop,
    Etag,
    AddressData,
    CalendarData,
    DisplayName,
    SyncToken,
    Ctag,
    ResourceType,
    ComponentSet,
    PrincipalHolder,
    PrincipalHref,
    CardHomes,
    CardHomeHref,
    CalendarHomes,
    CalendarHomeHref,
};

bool isText(Role role)
{
    switch (role) {
    case Role::ReportToken:
    case Role::ResponseHref:
    case Role::ResponseStatus:
    case Role::PropstatStatus:
    case Role::Etag:
    case Role::AddressData:
    case Role::CalendarData:
    case Role::DisplayName:
    case Role::SyncToken:
    case Role::Ctag:
    case Role::PrincipalHref:
    case Role::CardHomeHref:
    case Role::CalendarHomeHref:
        return true;
    default:
        return false;
    }
}

bool is(const QXmlStreamReader &xml, const char *ns, const char *name)
{
    return xml.namespaceUri() == QLatin1String(ns) && xml.name() == QLatin1String(name);
}

Role propRole(const QXmlStreamReader &xml)
{
    if (is(xml, davNs, "getetag"))
        return Role::Etag;
    if (is(xml, cardNs, "address-data"))
        return Role::AddressData;
    if (is(xml, calNs, "calendar-data"))
        return Role::CalendarData;
    if (is(xml, davNs, "displayname"))
        return Role::DisplayName;
    if (is(xml, davNs, "sync-token"))
        return Role::SyncToken;
    if (is(xml, serverNs, "getctag"))
        return Role::Ctag;
    if (is(xml, davNs, "resourcetype"))
        return Role::ResourceType;
    if (is(xml, calNs, "supported-calendar-component-set"))
        return Role::ComponentSet;
    if (is(xml, davNs, "current-user-principal"))
        return Role::PrincipalHolder;
    if (is(xml, cardNs, "addressbook-home-set"))
        return Role::CardHomes;
    if (is(xml, calNs, "calendar-home-set"))
        return Role::CalendarHomes;
    return Role::Ignored;
}

// The role of an element from its name and its parent's role.
Role roleOf(const QXmlStreamReader &xml, Role parent)
{
    const bool href = is(xml, davNs, "href");
    switch (parent) {
    case Role::Multistatus:
        if (is(xml, davNs, "response"))
            return Role::Response;
        return is(xml, davNs, "sync-token") ? Role::ReportToken : Role::Ignored;
    case Role::Response:
        if (href)
            return Role::ResponseHref;
        if (is(xml, davNs, "status"))
            return Role::ResponseStatus;
        return is(xml, davNs, "propstat") ? Role::Propstat : Role::Ignored;
    case Role::Propstat:
        if (is(xml, davNs, "prop"))
            return Role::Prop;
        return is(xml, davNs, "status") ? Role::PropstatStatus : Role::Ignored;
    case Role::Prop:
        return propRole(xml);
    case Role::PrincipalHolder:
        return href ? Role::PrincipalHref : Role::Ignored;
    case Role::CardHomes:
        return href ? Role::CardHomeHref : Role::Ignored;
    case Role::CalendarHomes:
        return href ? Role::CalendarHomeHref : Role::Ignored;
    default:
        return Role::Ignored;
    }
}

QString resourceTypeName(const QXmlStreamReader &xml)
{
    const QStringView ns = xml.namespaceUri();
    if (ns == QLatin1String(davNs) || ns == QLatin1String(cardNs) || ns == QLatin1String(calNs))
        return xml.name().toString();
    return u'{' + ns.toString() + u'}' + xml.name().toString();
}

// A quoted bit of what the server wrote, short and on one line.
QString quoted(const QString &text)
{
    QString shown = text.left(60);
    for (QChar &c : shown) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return QStringLiteral("“%1”").arg(shown);
}

// "HTTP/1.1 404 Not Found" -> 404.
std::optional<int> statusCode(const QString &line)
{
    const QStringList words = line.simplified().split(u' ');
    if (words.size() < 2 || !words.first().startsWith(QLatin1String("HTTP/")) || words.at(1).size() != 3)
        return std::nullopt;
    bool ok = false;
    const int code = words.at(1).toInt(&ok);
    if (!ok || code < 100 || code > 599)
        return std::nullopt;
    return code;
}

class Parser
{
public:
    explicit Parser(const QByteArray &bytes)
        : m_xml(bytes)
    {
    }

    Result<Multistatus> run();

private:
    Result<void> start();
    Result<void> end();
    Result<void> endText(Role role);
    Result<void> endResponse();
    void endPropstat();

    QXmlStreamReader m_xml;
    QList<Role> m_roles;
    qint64 m_elements = 0;
    QString m_text;
    Multistatus m_result;

    // The response being read: its hrefs and own status, the properties of
    // its 2xx blocks, the first status of the others.
    QStringList m_hrefs;
    std::optional<int> m_status;
    Response m_response;
    bool m_anyOk = false;
    std::optional<int> m_firstOtherStatus;
    // The propstat being read; kept apart until its status says whether
    // its properties count.
    Response m_props;
    std::optional<int> m_propstatStatus;
};

Result<Multistatus> Parser::run()
{
    while (!m_xml.atEnd()) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::DTD:
            return fail(QStringLiteral("服务器的回答带有文档类型声明(DTD)，这不是 WebDAV 服务器该写的，已拒绝。"));
        case QXmlStreamReader::StartElement:
            if (Result<void> started = start(); !started)
                return fail(started.error());
            break;
        case QXmlStreamReader::EndElement:
            if (Result<void> ended = end(); !ended)
                return fail(ended.error());
            break;
        case QXmlStreamReader::Characters:
            if (!m_roles.isEmpty() && isText(m_roles.last()))
                m_text += m_xml.text();
            break;
        default:
            break;
        }
    }
    if (m_xml.hasError()) {
        return fail(QStringLiteral("服务器的回答不是完整的 XML(第%1行第%2列：%3)。")
                        .arg(m_xml.lineNumber())
                        .arg(m_xml.columnNumber())
                        .arg(m_xml.errorString()));
    }
    return std::move(m_result);
}

Result<void> Parser::start()
{
    if (++m_elements > maxElements)
        return fail(QStringLiteral("服务器的回答有超过%1个元素，已停止读取。").arg(maxElements));
    if (m_roles.size() >= maxDepth)
        return fail(QStringLiteral("服务器的回答嵌套超过%1层，已停止读取。").arg(maxDepth));
    if (m_roles.isEmpty()) {
        if (!is(m_xml, davNs, "multistatus")) {
            return fail(QStringLiteral("服务器的回答不是 WebDAV 的多状态回答(multistatus)，而是%1。")
                            .arg(quoted(m_xml.name().toString())));
        }
        m_roles.append(Role::Multistatus);
        return {};
    }
    const Role parent = m_roles.last();
    if (parent == Role::ResourceType)
        m_props.resourceTypes.append(resourceTypeName(m_xml));
    if (parent == Role::ComponentSet && is(m_xml, calNs, "comp")) {
        const QString name = m_xml.attributes().value(QLatin1String("name")).toString().trimmed().toUpper();
        if (!name.isEmpty() && !m_props.components.contains(name))
            m_props.components.append(name);
    }
    const Role role = roleOf(m_xml, parent);
    if (role == Role::Response) {
        m_hrefs.clear();
        m_status.reset();
        m_response = Response();
        m_anyOk = false;
        m_firstOtherStatus.reset();
    } else if (role == Role::Propstat) {
        m_props = Response();
        m_propstatStatus.reset();
    }
    if (isText(role))
        m_text.clear();
    m_roles.append(role);
    return {};
}

Result<void> Parser::end()
{
    const Role role = m_roles.takeLast();
    if (isText(role))
        return endText(role);
    if (role == Role::Propstat)
        endPropstat();
    else if (role == Role::Response)
        return endResponse();
    return {};
}

Result<void> Parser::endText(Role role)
{
    const QString text = m_text.trimmed();
    switch (role) {
    case Role::ReportToken:
        m_result.syncToken = text;
        break;
    case Role::ResponseHref:
        if (!text.isEmpty())
            m_hrefs.append(normalHref(text));
        break;
    case Role::ResponseStatus:
    case Role::PropstatStatus: {
        const std::optional<int> code = statusCode(text);
        if (!code)
            return fail(QStringLiteral("服务器的回答里有看不懂的状态行%1。").arg(quoted(text)));
        (role == Role::ResponseStatus ? m_status : m_propstatStatus) = code;
        break;
    }
    case Role::Etag:
        m_props.etag = text;
        break;
    case Role::AddressData:
    case Role::CalendarData:
        // Kept whole: the line breaks belong to the card or calendar.
        m_props.data = m_text.toUtf8();
        break;
    case Role::DisplayName:
        m_props.displayName = text;
        break;
    case Role::SyncToken:
        m_props.syncToken = text;
        break;
    case Role::Ctag:
        m_props.ctag = text;
        break;
    case Role::PrincipalHref:
        m_props.principal = normalHref(text);
        break;
    case Role::CardHomeHref:
        m_props.addressbookHomes.append(normalHref(text));
        break;
    case Role::CalendarHomeHref:
        m_props.calendarHomes.append(normalHref(text));
        break;
    default:
        break;
    }
    return {};
}

void Parser::endPropstat()
{
    if (!m_propstatStatus) // no status says nothing of its properties
        return;
    if (*m_propstatStatus < 200 || *m_propstatStatus > 299) {
        if (!m_firstOtherStatus)
            m_firstOtherStatus = m_propstatStatus;
        return;
    }
    m_anyOk = true;
    Response &into = m_response;
    const Response &from = m_props;
    if (!from.etag.isEmpty())
        into.etag = from.etag;
    if (!from.data.isEmpty())
        into.data = from.data;
    into.resourceTypes += from.resourceTypes;
    if (!from.displayName.isEmpty())
        into.displayName = from.displayName;
    into.components += from.components;
    if (!from.principal.isEmpty())
        into.principal = from.principal;
    into.addressbookHomes += from.addressbookHomes;
    into.calendarHomes += from.calendarHomes;
    if (!from.syncToken.isEmpty())
        into.syncToken = from.syncToken;
    if (!from.ctag.isEmpty())
        into.ctag = from.ctag;
}

Result<void> Parser::endResponse()
{
    if (m_hrefs.isEmpty())
        return fail(QStringLiteral("服务器的回答里有一项没有地址(href)。"));
    if (m_status)
        m_response.status = *m_status;
    else if (!m_anyOk && m_firstOtherStatus)
        m_response.status = *m_firstOtherStatus;
    // One response may stand for several hrefs that share its status.
    for (const QString &href : std::as_const(m_hrefs)) {
        m_response.href = href;
        m_result.responses.append(m_response);
    }
    return {};
}

// Writes what URLs may not hold bare as %XX, leaving escapes as they are.
QString encodeUnsafe(const QString &text)
{
    static const QByteArray unsafe = "\"<>\\^`{|}";
    QByteArray out;
    for (const char c : text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || unsafe.contains(c))
            out += '%' + QByteArray::number(byte, 16).toUpper().rightJustified(2, '0');
        else
            out += c;
    }
    return QString::fromLatin1(out);
}

// A lone surrogate would become "?" in UTF-8, and so a query.
QString withoutLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Where the authority of a full URL ("scheme://") starts, or 0.
qsizetype schemeEnd(const QString &text)
{
    const qsizetype colon = text.indexOf(QLatin1String("://"));
    if (colon < 1 || !isAsciiLetter(text.at(0)))
        return 0;
    for (qsizetype i = 1; i < colon; ++i) {
        const QChar c = text.at(i);
        if (!isAsciiLetter(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'.' && c != u'-')
            return 0;
    }
    return colon + 3;
}

// Scheme and host compare without case; the hex digits of an escape stay
// capitals, as everywhere else in a normal href.
QString lowerKeepingEscapes(const QString &text)
{
    QString lower = text.toLower();
    for (qsizetype i = lower.indexOf(u'%'); i >= 0 && i + 2 < lower.size(); i = lower.indexOf(u'%', i + 1)) {
        lower[i + 1] = lower.at(i + 1).toUpper();
        lower[i + 2] = lower.at(i + 2).toUpper();
    }
    return lower;
}

bool holdsDavElement(const QByteArray &body, const char *name)
{
    QXmlStreamReader xml(body);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && is(xml, davNs, name))
            return true;
    }
    // Some servers explain in plain text.
    return xml.hasError() && body.contains(name);
}

} // namespace

Result<Multistatus> parse(const QByteArray &xml)
{
    if (xml.size() > maxBodyBytes) {
        return fail(QStringLiteral("服务器的回答有%1 MB，超过了%2 MB，已拒绝。")
                        .arg(xml.size() / (1024 * 1024))
                        .arg(maxBodyBytes / (1024 * 1024)));
    }
    if (xml.trimmed().isEmpty())
        return fail(QStringLiteral("服务器的回答是空的，应当是 WebDAV 的多状态回答(multistatus)。"));
    return Parser(xml).run();
}

QString normalHref(const QString &href)
{
    const QString text = withoutLoneSurrogates(href.trimmed());
    qsizetype pathStart = 0;
    QString origin;
    if (const qsizetype authority = schemeEnd(text); authority > 0) {
        pathStart = text.indexOf(u'/', authority);
        if (pathStart < 0)
            pathStart = text.size();
        origin = lowerKeepingEscapes(encodeUnsafe(text.left(pathStart)));
    }
    qsizetype tailStart = pathStart;
    while (tailStart < text.size() && text.at(tailStart) != u'?' && text.at(tailStart) != u'#')
        ++tailStart;
    QStringList segments = text.mid(pathStart, tailStart - pathStart).split(u'/');
    for (QString &segment : segments) {
        const QByteArray bytes = QByteArray::fromPercentEncoding(segment.toUtf8());
        segment = QString::fromLatin1(bytes.toPercentEncoding("!$&'()*+,;=:@"));
    }
    return origin + segments.join(u'/') + encodeUnsafe(text.mid(tailStart));
}

QUrl resolve(const QUrl &base, const QString &href)
{
    return base.resolved(QUrl(normalHref(href), QUrl::TolerantMode));
}

bool isInvalidSyncToken(int status, const QByteArray &body)
{
    if (status >= 500 && status <= 599)
        return true;
    if (status != 400 && status != 403 && status != 409 && status != 410 && status != 412)
        return false;
    return holdsDavElement(body, "valid-sync-token");
}

bool isUnsupportedReport(int status, const QByteArray &body)
{
    if (status == 405 || status == 501)
        return true;
    if (status != 400 && status != 403 && status != 409 && status != 415 && status != 422)
        return false;
    return holdsDavElement(body, "supported-report");
}

} // namespace DavXml
