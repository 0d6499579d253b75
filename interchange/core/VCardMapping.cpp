#include "interchange/core/VCardMapping.h"

#include "interchange/core/VCardText.h"
#include "interchange/core/VCardWriter.h"

#include <QHash>
#include <QRegularExpression>
#include <QUuid>

using namespace ContactColumns;
using VCard::Property;

namespace VCardMapping {

namespace {

// Properties that say nothing the user keeps, or that are read elsewhere.
const QStringList kIgnored = {
    QStringLiteral("BEGIN"),        QStringLiteral("END"),      QStringLiteral("VERSION"),
    QStringLiteral("PRODID"),       QStringLiteral("REV"),      QStringLiteral("SORT-STRING"),
    QStringLiteral("X-ABLABEL"),    QStringLiteral("X-ABUID"),  QStringLiteral("X-ABSHOWAS"),
    QStringLiteral("X-ABADR"),      QStringLiteral("CLASS"),    QStringLiteral("KIND"),
    QStringLiteral("MAILER"),       QStringLiteral("LABEL"),    QStringLiteral("CLIENTPIDMAP"),
    QStringLiteral("NAME"),         QStringLiteral("PROFILE"),  QStringLiteral("SOURCE"),
    QStringLiteral("X-WAB-GENDER"), QStringLiteral("X-GENDER"), QStringLiteral("GENDER"),
    QStringLiteral("X-SEX"),
};

const QHash<QString, QString> &captions()
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("BDAY"), QStringLiteral("生日")},
        {QStringLiteral("ANNIVERSARY"), QStringLiteral("纪念日")},
        {QStringLiteral("NICKNAME"), QStringLiteral("昵称")},
        {QStringLiteral("TEL"), QStringLiteral("电话")},
        {QStringLiteral("EMAIL"), QStringLiteral("电子邮件")},
        {QStringLiteral("ADR"), QStringLiteral("地址")},
        {QStringLiteral("URL"), QStringLiteral("网址")},
        {QStringLiteral("IMPP"), QStringLiteral("即时通讯")},
        {QStringLiteral("NOTE"), QStringLiteral("备注")},
        {QStringLiteral("TITLE"), QStringLiteral("职务")},
        {QStringLiteral("ROLE"), QStringLiteral("角色")},
        {QStringLiteral("ORG"), QStringLiteral("单位")},
        {QStringLiteral("CATEGORIES"), QStringLiteral("分类")},
        {QStringLiteral("GEO"), QStringLiteral("位置")},
        {QStringLiteral("TZ"), QStringLiteral("时区")},
        {QStringLiteral("LANG"), QStringLiteral("语言")},
        {QStringLiteral("RELATED"), QStringLiteral("相关的人")},
        {QStringLiteral("FN"), QStringLiteral("姓名")},
    };
    return names;
}

bool containsHan(const QString &text)
{
    for (const QChar c : text) {
        if (c.script() == QChar::Script_Han)
            return true;
    }
    return false;
}

// Single-line fields get no line breaks: the address book shows them in
// one-line boxes.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\n', u' ');
    text.replace(u'\r', u' ');
    return text;
}

QString joined(const QStringList &parts, const QString &separator)
{
    QStringList kept;
    for (const QString &part : parts) {
        if (!part.trimmed().isEmpty())
            kept << part.trimmed();
    }
    return kept.join(separator);
}

bool isTrue(const QString &value)
{
    const QString v = value.trimmed().toLower();
    return v == QStringLiteral("true") || v == QStringLiteral("1") || v == QStringLiteral("yes");
}

std::optional<bool> sexOf(const Property &p)
{
    const QString v = p.value.trimmed().toLower();
    if (p.name == QStringLiteral("X-WAB-GENDER"))
        return v == QStringLiteral("2")   ? std::optional<bool>(true)
               : v == QStringLiteral("1") ? std::optional<bool>(false)
                                          : std::nullopt;
    if (v.startsWith(u'm') || v == QStringLiteral("男"))
        return true;
    if (v.startsWith(u'f') || v == QStringLiteral("女"))
        return false;
    return std::nullopt;
}

// "--0415", "--04-15", "19900415", "1990-04-15T..." read as dates; the rest
// as written.
QString birthday(const QString &value)
{
    static const QRegularExpression date(QStringLiteral("^(\\d{4}|--)-?(\\d{2})-?(\\d{2})"));
    const QRegularExpressionMatch m = date.match(value.trimmed());
    if (!m.hasMatch())
        return value;
    const QString monthDay = m.captured(2) + u'-' + m.captured(3);
    return m.captured(1) == QStringLiteral("--") ? monthDay : m.captured(1) + u'-' + monthDay;
}

class CardMapper
{
public:
    explicit CardMapper(const VCard::Card &card)
        : m_card(card)
        , m_v21(card.is21())
    {
    }
    Mapped run();

private:
    QString text(const Property &p) const { return VCardText::unescape(p.value, m_v21); }
    QStringList components(const Property &p) const;
    QString address(const Property &p, bool withPostcode) const;
    enum class Group { None, Unit, Other, Registered };
    Group groupKind(const QString &group) const;
    void collectLabels();
    void take(const Property &p);
    void takeUnitProperty(CardUnit &unit, const Property &p);
    QString telNumber(const Property &p) const;
    void takeTel(const Property &p);
    void takeAdr(const Property &p);
    void takePhoto(const Property &p);
    void takeLoose(const Property &p);
    void keepAside(const Property &p, const QString &value = {});
    CardUnit &implicitUnit();
    void setIfEmpty(int field, const QString &value, const Property &p);
    void finish();

    const VCard::Card &m_card;
    const bool m_v21;
    Mapped m_out;
    QHash<QString, QString> m_labels;
    QHash<QString, int> m_unitOf;  // group -> index in contact.units
    QHash<QString, int> m_otherOf; // group -> index in contact.others
    QStringList m_names;           // FN values
    QString m_nameFromN;
    QList<const Property *> m_looseTels;
    QList<const Property *> m_looseAdrs;
    int m_implicitUnit = -1;
    bool m_photoTaken = false;
    QStringList m_aside; // lines for the other information
};

QStringList CardMapper::components(const Property &p) const
{
    QStringList parts = VCardText::split(p.value, u';');
    for (QString &part : parts)
        part = VCardText::unescape(part, m_v21);
    return parts;
}

// ADR is pobox;extended;street;locality;region;postal code;country. Our own
// cards fill the street (and the postal code of the home address) only.
QString CardMapper::address(const Property &p, bool withPostcode) const
{
    const QStringList c = components(p) + QStringList(7);
    const QString postcode = withPostcode ? c.at(5) : QString();
    if (containsHan(c.join(QString())))
        return oneLine(joined({c.at(6), c.at(4), c.at(3), c.at(2), c.at(1), c.at(0), postcode}, QStringLiteral(" ")));
    return oneLine(
        joined({c.at(0), c.at(1), c.at(2), c.at(3), joined({c.at(4), postcode}, QStringLiteral(" ")), c.at(6)},
               QStringLiteral(", ")));
}

CardMapper::Group CardMapper::groupKind(const QString &group) const
{
    static const QRegularExpression unit(QStringLiteral("^unit\\d+$"));
    static const QRegularExpression other(QStringLiteral("^other\\d+$"));
    if (group.isEmpty())
        return Group::None;
    if (unit.match(group).hasMatch())
        return Group::Unit;
    if (other.match(group).hasMatch())
        return Group::Other;
    if (group == QStringLiteral("registered") || m_labels.value(group) == VCardWriter::kRegisteredLabel)
        return Group::Registered;
    return Group::None;
}

void CardMapper::collectLabels()
{
    for (const Property &p : m_card.properties) {
        if (p.name == QStringLiteral("X-ABLABEL") && !p.group.isEmpty())
            m_labels.insert(p.group, text(p));
    }
}

Mapped CardMapper::run()
{
    m_out.error = m_card.error;
    m_out.notes = m_card.notes;
    collectLabels();
    for (const Property &p : m_card.properties)
        take(p);
    finish();
    return m_out;
}

void CardMapper::setIfEmpty(int field, const QString &value, const Property &p)
{
    QString &slot = m_out.contact.personTexts[field];
    if (slot.isEmpty() && !value.isEmpty())
        slot = value;
    else if (!value.isEmpty())
        keepAside(p, value);
}

void CardMapper::take(const Property &p)
{
    CardContact &c = m_out.contact;
    const Group group = groupKind(p.group);
    if (group == Group::Unit) {
        if (!m_unitOf.contains(p.group)) {
            m_unitOf.insert(p.group, int(c.units.size()));
            c.units << CardUnit();
        }
        takeUnitProperty(c.units[m_unitOf.value(p.group)], p);
        return;
    }
    if (group == Group::Other) {
        if (!m_otherOf.contains(p.group)) {
            m_otherOf.insert(p.group, int(c.others.size()));
            c.others << CardOther();
        }
        CardOther &other = c.others[m_otherOf.value(p.group)];
        if (p.name == QStringLiteral("NOTE"))
            other.text = other.text.isEmpty() ? text(p) : other.text + u'\n' + text(p);
        else if (p.name == VCardWriter::kProtected)
            other.isProtected = isTrue(p.value);
        else
            takeLoose(p);
        return;
    }
    if (group == Group::Registered && p.name == QStringLiteral("ADR")) {
        setIfEmpty(RegisteredAddress, address(p, true), p);
        return;
    }
    takeLoose(p);
}

void CardMapper::takeUnitProperty(CardUnit &unit, const Property &p)
{
    const auto set = [&](int field, const QString &value) {
        if (unit.texts[field].isEmpty())
            unit.texts[field] = value;
        else if (!value.isEmpty())
            keepAside(p, value);
    };
    if (p.name == QStringLiteral("ORG"))
        set(UnitName, oneLine(joined(components(p), QStringLiteral(" "))));
    else if (p.name == QStringLiteral("ADR"))
        set(UnitAddress, address(p, true));
    else if (p.name == QStringLiteral("TEL"))
        set(p.hasType(QStringLiteral("FAX")) ? UnitFax : UnitPhone, oneLine(text(p)));
    else if (p.name == QStringLiteral("URL"))
        set(UnitUrl, oneLine(text(p)));
    else if (p.name == QStringLiteral("NOTE"))
        set(UnitNotes, text(p));
    else if (p.name == VCardWriter::kProtected)
        unit.isProtected = isTrue(p.value);
    else
        takeLoose(p);
}

CardUnit &CardMapper::implicitUnit()
{
    if (m_implicitUnit < 0) {
        m_implicitUnit = int(m_out.contact.units.size());
        m_out.contact.units << CardUnit();
    }
    return m_out.contact.units[m_implicitUnit];
}

// A 4.0 number may be written as a tel: URI.
QString CardMapper::telNumber(const Property &p) const
{
    const QString number = oneLine(text(p));
    return number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive) ? number.mid(4) : number;
}

void CardMapper::takeTel(const Property &p)
{
    const QString number = telNumber(p);
    if (p.hasType(QStringLiteral("WORK"))) {
        CardUnit &unit = implicitUnit();
        QString &slot = unit.texts[p.hasType(QStringLiteral("FAX")) ? UnitFax : UnitPhone];
        if (slot.isEmpty())
            slot = number;
        else
            keepAside(p, number);
    } else if (p.hasType(QStringLiteral("FAX"))) {
        keepAside(p, number);
    } else if (p.hasType(QStringLiteral("CELL")) || p.hasType(QStringLiteral("MOBILE"))) {
        setIfEmpty(Mobile, number, p);
    } else if (p.hasType(QStringLiteral("HOME"))) {
        setIfEmpty(HomePhone, number, p);
    } else {
        m_looseTels << &p; // placed once every typed number has its field
    }
}

void CardMapper::takeAdr(const Property &p)
{
    if (p.hasType(VCardWriter::kRegisteredType)) {
        setIfEmpty(RegisteredAddress, address(p, true), p);
    } else if (p.hasType(QStringLiteral("WORK"))) {
        QString &slot = implicitUnit().texts[UnitAddress];
        if (slot.isEmpty())
            slot = address(p, true);
        else
            keepAside(p, address(p, true));
    } else if (p.hasType(QStringLiteral("HOME"))) {
        m_looseAdrs.prepend(&p);
    } else {
        m_looseAdrs << &p;
    }
}

void CardMapper::takePhoto(const Property &p)
{
    if (m_photoTaken) {
        m_out.notes << QStringLiteral("第%1行的第二张照片没有导入.").arg(p.line);
        return;
    }
    m_photoTaken = true;
    if (p.binary) {
        m_out.contact.photo = p.data;
        return;
    }
    const QString value = p.value.trimmed();
    if (value.startsWith(QStringLiteral("data:"), Qt::CaseInsensitive)) {
        const qsizetype comma = value.indexOf(u',');
        const QString header = value.left(comma);
        bool ok = comma > 0 && header.endsWith(QStringLiteral(";base64"), Qt::CaseInsensitive);
        if (ok)
            m_out.contact.photo = VCardText::fromBase64(value.mid(comma + 1).toLatin1(), &ok);
        if (!ok && m_out.error.isEmpty())
            m_out.error = QStringLiteral("第%1行的照片数据不是有效的BASE64编码.").arg(p.line);
        return;
    }
    if (!value.isEmpty())
        m_out.notes << QStringLiteral("照片是一个网址(%1),没有导入.").arg(value.left(80));
}

void CardMapper::takeLoose(const Property &p)
{
    CardContact &c = m_out.contact;
    const QString &name = p.name;
    if (name == QStringLiteral("FN")) {
        if (!text(p).trimmed().isEmpty())
            m_names << oneLine(text(p));
    } else if (name == QStringLiteral("N")) {
        const QStringList n = components(p) + QStringList(5);
        m_nameFromN = oneLine(containsHan(n.join(QString()))
                                  ? joined({n.at(3), n.at(0), n.at(1), n.at(2), n.at(4)}, QString())
                                  : joined({n.at(3), n.at(1), n.at(2), n.at(0), n.at(4)}, QStringLiteral(" ")));
    } else if (name == QStringLiteral("GENDER") || name == QStringLiteral("X-GENDER")
               || name == QStringLiteral("X-WAB-GENDER") || name == QStringLiteral("X-SEX")) {
        if (!c.male)
            c.male = sexOf(p);
    } else if (name == QStringLiteral("UID")) {
        c.uid = storedUid(text(p));
    } else if (name == QStringLiteral("TEL")) {
        takeTel(p);
    } else if (name == QStringLiteral("ADR")) {
        takeAdr(p);
    } else if (name == QStringLiteral("EMAIL") || name == VCardWriter::kOnline) {
        setIfEmpty(OnlineContact, oneLine(text(p)), p);
    } else if (name == VCardWriter::kOtherContact) {
        setIfEmpty(Other, oneLine(text(p)), p);
    } else if (name == VCardWriter::kIdNumber) {
        setIfEmpty(IdentityNumber, oneLine(text(p)), p);
    } else if (name == QStringLiteral("NOTE")) {
        setIfEmpty(Remarks, text(p), p);
    } else if (name == QStringLiteral("ORG")) {
        // Each ungrouped ORG is a unit; the first takes the work numbers.
        const QString org = oneLine(joined(components(p), QStringLiteral(" ")));
        if (m_implicitUnit < 0 || implicitUnit().texts[UnitName].isEmpty()) {
            implicitUnit().texts[UnitName] = org;
        } else {
            c.units << CardUnit();
            c.units.last().texts[UnitName] = org;
        }
    } else if (name == QStringLiteral("TITLE") || name == QStringLiteral("ROLE")) {
        QString &notes = implicitUnit().texts[UnitNotes];
        const QString line = captions().value(name) + QStringLiteral(": ") + text(p);
        notes = notes.isEmpty() ? line : notes + u'\n' + line;
    } else if (name == QStringLiteral("URL") && p.hasType(QStringLiteral("WORK"))) {
        QString &slot = implicitUnit().texts[UnitUrl];
        if (slot.isEmpty())
            slot = oneLine(text(p));
        else
            keepAside(p);
    } else if (name == QStringLiteral("PHOTO")) {
        takePhoto(p);
    } else if (name == VCardWriter::kProtected) {
        c.isProtected = isTrue(p.value);
    } else if (name == VCardWriter::kRecordOf) {
        const QStringList parts = components(p);
        c.recordOf = storedUid(parts.value(0));
        c.recordNumber = qMax(1, parts.value(1).toInt());
    } else if (!kIgnored.contains(name)) {
        keepAside(p);
    }
}

// A line of the other information: "caption(types): value".
void CardMapper::keepAside(const Property &p, const QString &value)
{
    if (p.binary) {
        m_out.notes << QStringLiteral("第%1行的%2数据没有导入.").arg(p.line).arg(p.name);
        return;
    }
    QString shown = value;
    if (shown.isEmpty()) {
        if (p.name == QStringLiteral("ADR"))
            shown = address(p, true);
        else if (p.name == QStringLiteral("BDAY") || p.name == QStringLiteral("ANNIVERSARY"))
            shown = birthday(text(p));
        else
            shown = joined(components(p), QStringLiteral(" "));
    }
    if (shown.trimmed().isEmpty())
        return;
    QString caption = captions().value(p.name, p.name);
    QStringList types;
    for (const QString &type : p.parameter(QStringLiteral("TYPE"))) {
        if (type.compare(QStringLiteral("PREF"), Qt::CaseInsensitive) != 0
            && type.compare(QStringLiteral("VOICE"), Qt::CaseInsensitive) != 0
            && type.compare(QStringLiteral("INTERNET"), Qt::CaseInsensitive) != 0)
            types << type.toLower();
    }
    if (!types.isEmpty())
        caption += u'(' + types.join(u',') + u')';
    m_aside << caption + QStringLiteral(": ") + shown;
}

void CardMapper::finish()
{
    CardContact &c = m_out.contact;
    for (const Property *p : std::as_const(m_looseTels)) {
        const QString number = telNumber(*p);
        if (c.personTexts[Mobile].isEmpty())
            c.personTexts[Mobile] = number;
        else if (c.personTexts[HomePhone].isEmpty())
            c.personTexts[HomePhone] = number;
        else
            keepAside(*p, number);
    }
    for (const Property *p : std::as_const(m_looseAdrs)) {
        if (c.personTexts[CurrentAddress].isEmpty() && c.personTexts[Postcode].isEmpty()) {
            const QStringList parts = components(*p) + QStringList(7);
            c.personTexts[CurrentAddress] = address(*p, false);
            c.personTexts[Postcode] = oneLine(parts.at(5).trimmed());
        } else {
            keepAside(*p);
        }
    }
    QString name = m_names.value(0);
    if (name.isEmpty())
        name = m_nameFromN;
    if (name.isEmpty() && !c.units.isEmpty())
        name = c.units.first().texts[UnitName];
    c.personTexts[Name] = name;
    for (qsizetype i = 1; i < m_names.size(); ++i)
        m_aside << captions().value(QStringLiteral("FN")) + QStringLiteral(": ") + m_names.at(i);
    if (!m_aside.isEmpty()) {
        if (c.others.isEmpty())
            c.others << CardOther();
        QString &other = c.others.first().text;
        other = other.isEmpty() ? m_aside.join(u'\n') : other + u'\n' + m_aside.join(u'\n');
    }
    if (name.trimmed().isEmpty() && m_out.error.isEmpty())
        m_out.error = QStringLiteral("卡片没有姓名(FN或N),不能导入.");
}

} // namespace

Mapped toContact(const VCard::Card &card)
{
    return CardMapper(card).run();
}

QString storedUid(const QString &uid)
{
    const QString trimmed = uid.trimmed();
    static const QString urn = QStringLiteral("urn:uuid:");
    if (trimmed.startsWith(urn, Qt::CaseInsensitive) && !QUuid::fromString(trimmed.mid(urn.size())).isNull())
        return trimmed.mid(urn.size());
    return trimmed;
}

} // namespace VCardMapping
