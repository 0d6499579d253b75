#include "interchange/core/VCardWriter.h"

#include "interchange/core/VCardText.h"

#include <QUuid>

using namespace ContactColumns;

namespace VCardWriter {

namespace {

// The heads of the lines whose parameters differ by version, made once:
// 3.0's examples write types in capitals, 4.0's in small letters.
struct Heads
{
    QByteArray cell, home, homeAddress, mail, workAddress, workPhone, workFax, workUrl;
};

const Heads &headsFor(Version version)
{
    const auto make = [](bool v40) {
        const auto typed = [v40](const char *name, const char *types) {
            const QByteArray list(types);
            return QByteArray(name) + ";TYPE=" + (v40 ? list.toLower() : list);
        };
        return Heads{typed("TEL", "CELL"),       typed("TEL", "HOME,VOICE"), typed("ADR", "HOME"),
                     typed("EMAIL", "INTERNET"), typed("ADR", "WORK"),       typed("TEL", "WORK,VOICE"),
                     typed("TEL", "WORK,FAX"),   typed("URL", "WORK")};
    };
    static const Heads v30 = make(false);
    static const Heads v40 = make(true);
    return version == Version::V40 ? v40 : v30;
}

class CardLines
{
public:
    CardLines(QByteArray &out, Version version)
        : m_out(out)
        , m_v40(version == Version::V40)
        , m_heads(headsFor(version))
    {
    }
    bool v40() const { return m_v40; }
    const Heads &heads() const { return m_heads; }

    // `head` is the name with its group and parameters; `value` is written
    // as it is (escape text values before).
    void raw(QByteArrayView group, QByteArrayView head, QByteArrayView value)
    {
        m_line.resize(0); // keeps its buffer for the next line
        m_line.append(group);
        m_line.append(head);
        m_line.append(':');
        m_line.append(value);
        VCardText::appendFolded(m_out, m_line);
    }
    void raw(QByteArrayView head, const QString &value) { raw({}, head, value.toUtf8()); }
    void text(QByteArrayView group, QByteArrayView head, const QString &value)
    {
        if (!value.isEmpty())
            raw(group, head, VCardText::escape(value).toUtf8());
    }
    void text(QByteArrayView head, const QString &value) { text({}, head, value); }

private:
    QByteArray &m_out;
    bool m_v40;
    const Heads &m_heads;
    QByteArray m_line;
};

// A street-only address with an optional postal code: the six separators
// of ADR put the street third and the code sixth.
QString address(const QString &street, const QString &postcode = {})
{
    return QStringLiteral(";;") + VCardText::escape(street) + QStringLiteral(";;;") + VCardText::escape(postcode)
           + u';';
}

QString uidValue(const QString &uid, bool v40)
{
    // QUuid reads a UUID at the start of a longer text too: only a UID that
    // is a UUID and nothing else is written as its URN.
    if (v40 && uid.size() == 36 && !QUuid::fromString(uid).isNull())
        return QStringLiteral("urn:uuid:") + uid;
    return VCardText::escape(uid);
}

QByteArray photoType(const QByteArray &photo)
{
    if (photo.startsWith("\x89PNG"))
        return "png";
    if (photo.startsWith("\xFF\xD8"))
        return "jpeg";
    if (photo.startsWith("GIF8"))
        return "gif";
    return "bmp";
}

void writePhoto(CardLines &lines, const QByteArray &photo)
{
    if (photo.isEmpty())
        return;
    const QByteArray type = photoType(photo);
    if (lines.v40())
        lines.raw({}, "PHOTO", "data:image/" + type + ";base64," + photo.toBase64());
    else
        lines.raw({}, "PHOTO;ENCODING=b;TYPE=" + type.toUpper(), photo.toBase64());
}

void writeProtected(CardLines &lines, QByteArrayView group, bool isProtected)
{
    if (isProtected)
        lines.raw(group, kProtected.toLatin1(), "TRUE");
}

void writePerson(CardLines &lines, const CardContact &contact)
{
    const QStringList &t = contact.personTexts;
    const Heads &h = lines.heads();
    const QString name = VCardText::escape(t.value(Name));
    lines.raw("FN", name);
    lines.raw("N", name + QStringLiteral(";;;;"));
    if (contact.male) {
        if (lines.v40())
            lines.raw({}, "GENDER", *contact.male ? "M" : "F");
        else
            lines.raw({}, "X-GENDER", *contact.male ? "Male" : "Female");
    }
    lines.text(h.cell, t.value(Mobile));
    lines.text(h.home, t.value(HomePhone));
    if (!t.value(CurrentAddress).isEmpty() || !t.value(Postcode).isEmpty())
        lines.raw(h.homeAddress, address(t.value(CurrentAddress), t.value(Postcode)));
    if (!t.value(RegisteredAddress).isEmpty()) {
        lines.raw("registered.ADR;TYPE=" + kRegisteredType.toLatin1(), address(t.value(RegisteredAddress)));
        lines.raw("registered.X-ABLabel", kRegisteredLabel);
    }
    const QString &online = t.at(OnlineContact);
    if (isMailAddress(online))
        lines.text(h.mail, online);
    else
        lines.text(kOnline.toLatin1(), online);
    lines.text(kOtherContact.toLatin1(), t.value(Other));
    lines.text(kIdNumber.toLatin1(), t.value(IdentityNumber));
    lines.text("NOTE", t.value(Remarks));
    writeProtected(lines, {}, contact.isProtected);
    if (!contact.recordOf.isEmpty())
        lines.raw(kRecordOf.toLatin1(),
                  VCardText::escape(contact.recordOf) + u';' + QString::number(contact.recordNumber));
    writePhoto(lines, contact.photo);
}

void writeUnit(CardLines &lines, const CardUnit &unit, int number)
{
    const QByteArray group = "unit" + QByteArray::number(number) + '.';
    const QStringList &t = unit.texts;
    const Heads &h = lines.heads();
    // ORG is written even when empty: it is what makes the group a unit.
    lines.raw(group, "ORG", VCardText::escape(t.value(UnitName)).toUtf8());
    if (!t.value(UnitAddress).isEmpty())
        lines.raw(group, h.workAddress, address(t.value(UnitAddress)).toUtf8());
    lines.text(group, h.workPhone, t.value(UnitPhone));
    lines.text(group, h.workFax, t.value(UnitFax));
    lines.text(group, h.workUrl, t.value(UnitUrl));
    lines.text(group, "NOTE", t.value(UnitNotes));
    writeProtected(lines, group, unit.isProtected);
}

void writeOther(CardLines &lines, const CardOther &other, int number)
{
    const QByteArray group = "other" + QByteArray::number(number) + '.';
    // Written even when empty, so the record itself comes back.
    lines.raw(group, "NOTE", VCardText::escape(other.text).toUtf8());
    writeProtected(lines, group, other.isProtected);
}

bool isAddressCharacter(QChar c)
{
    return !c.isSpace() && c != u'@' && c != u',' && c != u';' && c != u':' && c != u'<' && c != u'>';
}

} // namespace

// One "@" with text before it, and a domain with a dot inside after it.
bool isMailAddress(const QString &text)
{
    const qsizetype at = text.indexOf(u'@');
    if (at <= 0)
        return false;
    const qsizetype dot = text.indexOf(u'.', at + 2);
    if (dot < 0 || dot == text.size() - 1)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i != at && !isAddressCharacter(text.at(i)))
            return false;
    }
    return true;
}

void append(QByteArray &out, const CardContact &contact, Version version)
{
    CardLines lines(out, version);
    lines.raw({}, "BEGIN", "VCARD");
    lines.raw({}, "VERSION", version == Version::V40 ? "4.0" : "3.0");
    lines.raw("PRODID", QStringLiteral("-//Velmora//Velmora商务记事本//ZH-CN"));
    if (!contact.uid.isEmpty())
        lines.raw("UID", uidValue(contact.uid, version == Version::V40));
    writePerson(lines, contact);
    for (int i = 0; i < contact.units.size(); ++i)
        writeUnit(lines, contact.units.at(i), i + 1);
    for (int i = 0; i < contact.others.size(); ++i)
        writeOther(lines, contact.others.at(i), i + 1);
    lines.raw({}, "END", "VCARD");
}

} // namespace VCardWriter
