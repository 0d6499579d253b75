#include "interchange/core/VCardText.h"

#include <algorithm>

namespace VCardText {

namespace {

constexpr qsizetype kFoldOctets = 75;

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isUtf8Continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

QStringList split(const QString &value, QChar separator)
{
    QStringList parts;
    QString part;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\\' && i + 1 < value.size()) {
            part += c;
            part += value.at(++i);
        } else if (c == separator) {
            parts << part;
            part.clear();
        } else {
            part += c;
        }
    }
    parts << part;
    return parts;
}

QString unescape(const QString &value, bool version21)
{
    if (!value.contains(u'\\'))
        return value;
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(i + 1);
        if (next == u';' || next == u',' || next == u'\\') {
            out += next;
            ++i;
        } else if (!version21 && (next == u'n' || next == u'N')) {
            out += u'\n';
            ++i;
        } else if (!version21 && next == u':') {
            out += next; // not in the standard, but written by some programs
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString escape(const QString &text)
{
    // Most values need nothing: they are given back without a copy.
    const auto special = [](QChar c) {
        return c == u'\\' || c == u';' || c == u',' || c == u'\r' || c == u'\n' || c.unicode() == 0x2028
               || c.unicode() == 0x2029;
    };
    if (std::none_of(text.cbegin(), text.cend(), special))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case ';':
            out += QStringLiteral("\\;");
            break;
        case ',':
            out += QStringLiteral("\\,");
            break;
        case '\r':
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            out += QStringLiteral("\\n");
            break;
        case '\n':
        case 0x2028:
        case 0x2029:
            out += QStringLiteral("\\n");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QByteArray fromQuotedPrintable(QByteArrayView encoded)
{
    QByteArray out;
    out.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '=' && i + 2 < encoded.size()) {
            const int high = hexDigit(encoded[i + 1]);
            const int low = hexDigit(encoded[i + 2]);
            if (high >= 0 && low >= 0) {
                out += char(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QByteArray fromBase64(QByteArrayView encoded, bool *ok)
{
    QByteArray compact;
    compact.reserve(encoded.size());
    for (const char c : encoded) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            compact += c;
    }
    auto decoded = QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
    *ok = decoded.decodingStatus == QByteArray::Base64DecodingStatus::Ok;
    return *ok ? std::move(decoded.decoded) : QByteArray();
}

void appendFolded(QByteArray &out, QByteArrayView line)
{
    qsizetype start = 0;
    qsizetype room = kFoldOctets;
    while (line.size() - start > room) {
        qsizetype cut = start + room;
        while (cut > start + 1 && isUtf8Continuation(line[cut]))
            --cut;
        out.append(line.sliced(start, cut - start));
        out.append("\r\n ");
        start = cut;
        room = kFoldOctets - 1; // the blank that marks the fold is an octet too
    }
    out.append(line.sliced(start));
    out.append("\r\n");
}

} // namespace VCardText
