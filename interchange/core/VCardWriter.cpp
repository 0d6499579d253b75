#include "interchange/core/VCardWriter.h"

#include "interchange/core/VCardText.h"

#include <QRegularExpression>
#include <QUuid>

using namespace ContactColumns;

namespace VCardWriter {

namespace {

class CardLines
{
public:
    CardLines(QByteArray &out, Version version)
        : m_out(out)
        , m_v40(version == Version::V40)
    {
    }
    bool v40() const { return m_v40; }

    // `head` is the name with its group and parameters; `value` is written
    // as it is (escape text values before).
    void raw(const QString &head, const QString &value)
    {
        QByteArray line = head.toUtf8();
        line += ':';
        line += value.toUtf8();
        VCardText::appendFolded(m_out, line);
    }
    void text(const QString &head, const QString &value)
    {
        if (!value.isEmpty())
            raw(head, VCardText::escape(value));
    }
    // A type list in the case each version's examples use.
    QString types(const QString &list) const
    {
        return QStringLiteral(";TYPE=") + (m_v40 ? list.toLower() : list.toUpper());
    }

private:
    QByteArray &m_out;
    bool m_v40;
};

// A street-only address with an optional postal code: the six separators
// of ADR put the street third and the code sixth.
QString address(const QString &street, const QString &postcode = {})
{
    return QStringLiteral(";;%1;;;%2;").arg(VCardText::escape(street), VCardText::escape(postcode));
}

QString uidValue(const QString &uid, bool v40)
{
    if (v40 && !QUuid::fromString(uid).isNull() && !uid.startsWith(u'{'))
        return QStringLiteral("urn:uuid:") + uid;
    return VCardText::escape(uid);
}

QString photoType(const QByteArray &photo)
{
    if (photo.startsWith("\x89PNG"))
        return QStringLiteral("png");
    if (photo.startsWith("\xFF\xD8"))
        return QStringLiteral("jpeg");
    if (photo.startsWith("GIF8"))
        return QStringLiteral("gif");
    return QStringLiteral("bmp");
}

void writePhoto(CardLines &lines, const QByteArray &photo)
{
    if (photo.isEmpty())
        return;
    const QString type = photoType(photo);
    const QString base64 = QString::fromLatin1(photo.toBase64());
    if (lines.v40())
        lines.raw(QStringLiteral("PHOTO"), QStringLiteral("data:image/%1;base64,%2").arg(type, base64));
    else
        lines.raw(QStringLiteral("PHOTO;ENCODING=b;TYPE=") + type.toUpper(), base64);
}

void writeProtected(CardLines &lines, const QString &group, bool isProtected)
{
    if (isProtected)
        lines.raw(group + kProtected, QStringLiteral("TRUE"));
}

void writePerson(CardLines &lines, const CardContact &contact)
{
    const QStringList &t = contact.personTexts;
    lines.raw(QStringLiteral("FN"), VCardText::escape(t.value(Name)));
    lines.raw(QStringLiteral("N"), VCardText::escape(t.value(Name)) + QStringLiteral(";;;;"));
    if (contact.male) {
        if (lines.v40())
            lines.raw(QStringLiteral("GENDER"), *contact.male ? QStringLiteral("M") : QStringLiteral("F"));
        else
            lines.raw(QStringLiteral("X-GENDER"), *contact.male ? QStringLiteral("Male") : QStringLiteral("Female"));
    }
    lines.text(QStringLiteral("TEL") + lines.types(QStringLiteral("CELL")), t.value(Mobile));
    lines.text(QStringLiteral("TEL") + lines.types(QStringLiteral("HOME,VOICE")), t.value(HomePhone));
    if (!t.value(CurrentAddress).isEmpty() || !t.value(Postcode).isEmpty())
        lines.raw(QStringLiteral("ADR") + lines.types(QStringLiteral("HOME")),
                  address(t.value(CurrentAddress), t.value(Postcode)));
    if (!t.value(RegisteredAddress).isEmpty()) {
        lines.raw(QStringLiteral("registered.ADR;TYPE=") + kRegisteredType, address(t.value(RegisteredAddress)));
        lines.raw(QStringLiteral("registered.X-ABLabel"), kRegisteredLabel);
    }
    const QString online = t.value(OnlineContact);
    if (isMailAddress(online))
        lines.text(QStringLiteral("EMAIL") + lines.types(QStringLiteral("INTERNET")), online);
    else
        lines.text(kOnline, online);
    lines.text(kOtherContact, t.value(Other));
    lines.text(kIdNumber, t.value(IdentityNumber));
    lines.text(QStringLiteral("NOTE"), t.value(Remarks));
    writeProtected(lines, {}, contact.isProtected);
    if (!contact.recordOf.isEmpty())
        lines.raw(kRecordOf, VCardText::escape(contact.recordOf) + u';' + QString::number(contact.recordNumber));
    writePhoto(lines, contact.photo);
}

void writeUnit(CardLines &lines, const CardUnit &unit, int number)
{
    const QString group = QStringLiteral("unit%1.").arg(number);
    const QStringList &t = unit.texts;
    // ORG is written even when empty: it is what makes the group a unit.
    lines.raw(group + QStringLiteral("ORG"), VCardText::escape(t.value(UnitName)));
    if (!t.value(UnitAddress).isEmpty())
        lines.raw(group + QStringLiteral("ADR") + lines.types(QStringLiteral("WORK")), address(t.value(UnitAddress)));
    lines.text(group + QStringLiteral("TEL") + lines.types(QStringLiteral("WORK,VOICE")), t.value(UnitPhone));
    lines.text(group + QStringLiteral("TEL") + lines.types(QStringLiteral("WORK,FAX")), t.value(UnitFax));
    lines.text(group + QStringLiteral("URL") + lines.types(QStringLiteral("WORK")), t.value(UnitUrl));
    lines.text(group + QStringLiteral("NOTE"), t.value(UnitNotes));
    writeProtected(lines, group, unit.isProtected);
}

void writeOther(CardLines &lines, const CardOther &other, int number)
{
    const QString group = QStringLiteral("other%1.").arg(number);
    // Written even when empty, so the record itself comes back.
    lines.raw(group + QStringLiteral("NOTE"), VCardText::escape(other.text));
    writeProtected(lines, group, other.isProtected);
}

} // namespace

bool isMailAddress(const QString &text)
{
    static const QRegularExpression mail(QStringLiteral("^[^@\\s,;:<>]+@[^@\\s,;:<>]+\\.[^@\\s,;:<>]+$"));
    return mail.match(text).hasMatch();
}

void append(QByteArray &out, const CardContact &contact, Version version)
{
    CardLines lines(out, version);
    lines.raw(QStringLiteral("BEGIN"), QStringLiteral("VCARD"));
    lines.raw(QStringLiteral("VERSION"), version == Version::V40 ? QStringLiteral("4.0") : QStringLiteral("3.0"));
    lines.raw(QStringLiteral("PRODID"), QStringLiteral("-//Velmora//Velmora商务记事本//ZH-CN"));
    if (!contact.uid.isEmpty())
        lines.raw(QStringLiteral("UID"), uidValue(contact.uid, version == Version::V40));
    writePerson(lines, contact);
    for (int i = 0; i < contact.units.size(); ++i)
        writeUnit(lines, contact.units.at(i), i + 1);
    for (int i = 0; i < contact.others.size(); ++i)
        writeOther(lines, contact.others.at(i), i + 1);
    lines.raw(QStringLiteral("END"), QStringLiteral("VCARD"));
}

} // namespace VCardWriter
