#include "interchange/core/VCardReader.h"

#include "interchange/core/VCardText.h"

#include <QFile>
#include <QFileInfo>

using VCard::Card;
using VCard::Parameter;
using VCard::Property;

namespace {

const QStringList kBinaryProperties = {QStringLiteral("PHOTO"), QStringLiteral("LOGO"), QStringLiteral("SOUND"),
                                       QStringLiteral("KEY")};
const QStringList kEncodingWords = {QStringLiteral("QUOTED-PRINTABLE"), QStringLiteral("BASE64"), QStringLiteral("B"),
                                    QStringLiteral("8BIT"), QStringLiteral("7BIT")};
// Every name of the Chinese national charsets is read as GB18030, the
// superset that decodes what GBK and GB2312 wrote byte for byte.
const QStringList kChineseCharsets = {QStringLiteral("GBK"),   QStringLiteral("GB2312"),     QStringLiteral("GB18030"),
                                      QStringLiteral("CP936"), QStringLiteral("X-GBK"),      QStringLiteral("EUC-CN"),
                                      QStringLiteral("MS936"), QStringLiteral("WINDOWS-936")};

QByteArrayView trimmedEnd(QByteArrayView line)
{
    while (!line.isEmpty() && (line.back() == ' ' || line.back() == '\t'))
        line.chop(1);
    return line;
}

bool isLine(QByteArrayView line, QByteArrayView expected)
{
    return trimmedEnd(line).compare(expected, Qt::CaseInsensitive) == 0;
}

bool isBegin(QByteArrayView line)
{
    return isLine(line, "BEGIN:VCARD");
}

bool isEnd(QByteArrayView line)
{
    return isLine(line, "END:VCARD");
}

// "AGENT:" with nothing after it: a 2.1 card that holds another card.
bool opensAgent(QByteArrayView line)
{
    line = trimmedEnd(line);
    if (!line.endsWith(':'))
        return false;
    const qsizetype dot = line.indexOf('.');
    QByteArrayView name = line.first(line.size() - 1);
    if (dot >= 0 && dot < name.size())
        name = name.sliced(dot + 1);
    const qsizetype semicolon = name.indexOf(';');
    if (semicolon >= 0)
        name = name.first(semicolon);
    return name.compare("AGENT", Qt::CaseInsensitive) == 0;
}

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Where the value starts: the first ":" outside a quoted parameter value.
qsizetype valueColon(QByteArrayView line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

// Splits at `separator` outside double quotes.
QList<QByteArrayView> splitOutsideQuotes(QByteArrayView text, char separator)
{
    QList<QByteArrayView> parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            quoted = !quoted;
        } else if (text[i] == separator && !quoted) {
            parts << text.sliced(start, i - start);
            start = i + 1;
        }
    }
    parts << text.sliced(start);
    return parts;
}

// 4.0 writes a line break, a quote and a caret in parameter values as ^n,
// ^' and ^^ (RFC 6868).
QString caretDecoded(const QString &value)
{
    if (!value.contains(u'^'))
        return value;
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar next = i + 1 < value.size() ? value.at(i + 1) : QChar();
        if (value.at(i) == u'^' && (next == u'n' || next == u'^' || next == u'\'')) {
            out += next == u'n' ? QChar(u'\n') : next == u'\'' ? QChar(u'"') : QChar(u'^');
            ++i;
        } else {
            out += value.at(i);
        }
    }
    return out;
}

Parameter parameter(QByteArrayView token, bool version40)
{
    const qsizetype equals = token.indexOf('=');
    Parameter parameter;
    if (equals < 0) {
        const QString word = QString::fromUtf8(token).trimmed().toUpper();
        parameter.name = kEncodingWords.contains(word) ? QStringLiteral("ENCODING") : QStringLiteral("TYPE");
        parameter.values << word;
        return parameter;
    }
    parameter.name = QString::fromUtf8(token.first(equals)).trimmed().toUpper();
    for (QByteArrayView part : splitOutsideQuotes(token.sliced(equals + 1), ',')) {
        QString value = QString::fromUtf8(part).trimmed();
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')) {
            value = value.mid(1, value.size() - 2);
            // TYPE="home,voice" is a list too, quoted as 4.0 allows.
            if (parameter.name == QStringLiteral("TYPE")) {
                for (const QString &item : value.split(u','))
                    parameter.values << item.trimmed();
                continue;
            }
        }
        parameter.values << (version40 ? caretDecoded(value) : value);
    }
    return parameter;
}

QByteArray utf16ToUtf8(const QByteArray &bytes, QStringConverter::Encoding encoding)
{
    QStringDecoder decoder(encoding);
    return decoder.decode(bytes).operator QString().toUtf8();
}

} // namespace

QStringList Property::parameter(const QString &wanted) const
{
    QStringList values;
    for (const Parameter &p : parameters) {
        if (p.name == wanted)
            values += p.values;
    }
    return values;
}

bool Property::hasType(const QString &type) const
{
    for (const QString &value : parameter(QStringLiteral("TYPE"))) {
        if (value.compare(type, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

VCardReader::VCardReader(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
}

Result<VCardReader> VCardReader::fromFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("无法打开文件“%1”: %2").arg(name, file.errorString()));
    const QString tooLarge = QStringLiteral("文件“%1”太大(超过%2 MB),不是可以导入的vCard文件,没有导入任何联系人.")
                                 .arg(name)
                                 .arg(kMaxBytes >> 20);
    if (file.size() > kMaxBytes)
        return fail(tooLarge);
    // Bounded even where the size is not known beforehand (a pipe, a device).
    QByteArray bytes = file.read(kMaxBytes + 1);
    if (bytes.size() > kMaxBytes)
        return fail(tooLarge);
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("无法读取文件“%1”: %2").arg(name, file.errorString()));
    return fromBytes(std::move(bytes));
}

Result<VCardReader> VCardReader::fromBytes(QByteArray bytes)
{
    if (bytes.size() > kMaxBytes)
        return fail(
            QStringLiteral("文件太大(超过%1 MB),不是可以导入的vCard文件,没有导入任何联系人.").arg(kMaxBytes >> 20));
    // Some Windows programs write UTF-16; the rest of the reader reads bytes.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith(QByteArrayView("B\0E\0", 4)))
        bytes = utf16ToUtf8(bytes, QStringConverter::Utf16LE);
    else if (bytes.startsWith("\xFE\xFF") || bytes.startsWith(QByteArrayView("\0B\0E", 4)))
        bytes = utf16ToUtf8(bytes, QStringConverter::Utf16BE);
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0) {
        const int line = int(bytes.first(nul).count('\n')) + 1;
        return fail(QStringLiteral("文件第%1行含有空字符(NUL),不是vCard文本文件,没有导入任何联系人.").arg(line));
    }
    return VCardReader(std::move(bytes));
}

bool VCardReader::readPhysical(QByteArrayView &line)
{
    if (m_pushedBack) {
        line = m_pushedBack->first;
        m_lineNumber = m_pushedBack->second;
        m_pushedBack.reset();
        return true;
    }
    if (m_pos >= m_bytes.size())
        return false;
    const char *begin = m_bytes.constData() + m_pos;
    const qsizetype left = m_bytes.size() - m_pos;
    qsizetype end = 0;
    while (end < left && begin[end] != '\n' && begin[end] != '\r')
        ++end;
    line = QByteArrayView(begin, end);
    // CR LF, LF and a lone CR all end a line.
    qsizetype next = end;
    if (next < left && begin[next] == '\r')
        ++next;
    if (next < left && begin[next] == '\n')
        ++next;
    m_pos += next;
    ++m_lineNumber;
    return true;
}

std::optional<Card> VCardReader::next()
{
    QByteArrayView line;
    while (readPhysical(line)) {
        if (isBegin(line)) {
            const int begin = m_lineNumber;
            QString structureError;
            const QList<Line> lines = collectCard(begin, structureError);
            return parse(begin, lines, structureError);
        }
        if (isEnd(line))
            m_problems << QStringLiteral("第%1行的 END:VCARD 前面没有 BEGIN:VCARD,已略过.").arg(m_lineNumber);
    }
    return std::nullopt;
}

QList<VCardReader::Line> VCardReader::collectCard(int beginLine, QString &error)
{
    QList<Line> lines;
    int depth = 0;
    QByteArrayView line;
    while (readPhysical(line)) {
        if (isBegin(line)) {
            if (!lines.isEmpty() && opensAgent(lines.constLast().bytes)) {
                ++depth;
            } else {
                // A card begins inside one that never ended: that one stops here.
                m_pushedBack.emplace(line, m_lineNumber);
                error = QStringLiteral("第%1行开始的卡片在第%2行之前没有结束(缺少 END:VCARD).")
                            .arg(beginLine)
                            .arg(m_lineNumber);
                return lines;
            }
        } else if (isEnd(line)) {
            if (depth == 0)
                return lines;
            --depth;
        }
        lines << Line{line.toByteArray(), m_lineNumber};
    }
    error = QStringLiteral("第%1行开始的卡片到文件结尾也没有结束(缺少 END:VCARD),文件可能不完整.").arg(beginLine);
    return lines;
}

QString VCardReader::decode(const QByteArray &bytes, const QString &charset, QString &error)
{
    if (charset.isEmpty()) {
        if (isAscii(bytes))
            return QString::fromLatin1(bytes);
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return text;
        // No charset and no UTF-8: the older Chinese phones wrote GBK unmarked.
        return decode(bytes, QStringLiteral("GB18030"), error);
    }
    QString name = charset.toUpper();
    if (kChineseCharsets.contains(name))
        name = QStringLiteral("GB18030");
    if (name == QStringLiteral("UTF8"))
        name = QStringLiteral("UTF-8");
    std::shared_ptr<QStringDecoder> &decoder = m_decoders[name];
    if (!decoder)
        decoder = std::make_shared<QStringDecoder>(qPrintable(name), QStringConverter::Flag::Stateless);
    if (!decoder->isValid()) {
        error = QStringLiteral("字符集“%1”无法识别").arg(charset);
        return QString::fromLatin1(bytes);
    }
    decoder->resetState();
    return decoder->decode(bytes);
}

namespace {

// Joins folded lines: a line that starts with a blank continues the one
// before. 3.0 and 4.0 drop that one blank; 2.1 folds only at blanks, which
// stay. A blank line ends a 2.1 base64 value, so nothing joins across it.
QList<VCardReader::Line> unfolded(const QList<VCardReader::Line> &physical, bool version21)
{
    QList<VCardReader::Line> out;
    bool joinable = false;
    for (const VCardReader::Line &line : physical) {
        if (line.bytes.isEmpty()) {
            joinable = false;
            continue;
        }
        const char first = line.bytes.at(0);
        if ((first == ' ' || first == '\t') && joinable) {
            out.last().bytes += version21 ? QByteArrayView(line.bytes) : QByteArrayView(line.bytes).sliced(1);
            continue;
        }
        out << line;
        joinable = true;
    }
    return out;
}

QString versionOf(const QList<VCardReader::Line> &physical)
{
    for (const VCardReader::Line &line : physical) {
        const QByteArrayView text = trimmedEnd(line.bytes);
        if (text.size() > 8 && text.first(8).compare("VERSION:", Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(text.sliced(8)).trimmed();
    }
    return {};
}

void keepFirst(QString &error, const QString &text)
{
    if (error.isEmpty())
        error = text;
}

} // namespace

Card VCardReader::parse(int beginLine, const QList<Line> &physical, const QString &structureError)
{
    Card card;
    card.line = beginLine;
    card.error = structureError;
    card.version = versionOf(physical);
    const bool v21 = card.is21();
    const bool v40 = card.version.startsWith(QStringLiteral("4"));
    const QList<Line> lines = unfolded(physical, v21);
    int nested = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView text = lines.at(i).bytes;
        const int number = lines.at(i).number;
        if (isBegin(text)) {
            if (nested++ == 0)
                card.notes << QStringLiteral("第%1行嵌在卡片里的另一张卡片(AGENT)没有导入.").arg(number);
            continue;
        }
        if (isEnd(text)) {
            nested = qMax(0, nested - 1);
            continue;
        }
        if (nested > 0)
            continue;
        const qsizetype colon = valueColon(text);
        if (colon < 0) {
            if (!trimmedEnd(text).trimmed().isEmpty())
                card.notes << QStringLiteral("第%1行不是vCard内容行,已略过.").arg(number);
            continue;
        }
        Property property;
        property.line = number;
        const QByteArrayView head = text.first(colon);
        const qsizetype semicolon = head.indexOf(';');
        const QByteArrayView fullName = semicolon < 0 ? head : head.first(semicolon);
        const qsizetype dot = fullName.lastIndexOf('.');
        property.group = QString::fromUtf8(fullName.first(qMax<qsizetype>(dot, 0))).trimmed().toLower();
        property.name = QString::fromUtf8(fullName.sliced(dot + 1)).trimmed().toUpper();
        if (semicolon >= 0) {
            for (QByteArrayView token : splitOutsideQuotes(head.sliced(semicolon + 1), ';')) {
                if (!token.trimmed().isEmpty())
                    property.parameters << parameter(token, v40);
            }
        }
        const QString encoding = property.parameter(QStringLiteral("ENCODING")).value(0).toUpper();
        QByteArray raw = text.sliced(colon + 1).toByteArray();
        QByteArray bytes;
        if (encoding == QStringLiteral("QUOTED-PRINTABLE")) {
            // A soft line break: the value goes on in the next line.
            while (raw.endsWith('=') && i + 1 < lines.size()) {
                raw.chop(1);
                raw += lines.at(++i).bytes;
            }
            bytes = VCardText::fromQuotedPrintable(raw);
        } else if (encoding == QStringLiteral("B") || encoding == QStringLiteral("BASE64")) {
            // Some 2.1 writers put base64 lines unindented: they have no colon.
            while (i + 1 < lines.size() && valueColon(lines.at(i + 1).bytes) < 0 && !isEnd(lines.at(i + 1).bytes))
                raw += lines.at(++i).bytes;
            bool ok = false;
            bytes = VCardText::fromBase64(raw, &ok);
            if (!ok)
                keepFirst(card.error,
                          QStringLiteral("第%1行的%2数据不是有效的BASE64编码.").arg(number).arg(property.name));
        } else {
            bytes = std::move(raw);
        }
        const bool base64 = encoding == QStringLiteral("B") || encoding == QStringLiteral("BASE64");
        if (base64 && kBinaryProperties.contains(property.name)) {
            property.binary = true;
            property.data = std::move(bytes);
        } else {
            QString charsetError;
            property.value = decode(bytes, property.parameter(QStringLiteral("CHARSET")).value(0), charsetError);
            // "=00" or base64 can smuggle NUL into a text: no field keeps it.
            property.value.remove(QChar(u'\0'));
            if (!charsetError.isEmpty())
                keepFirst(card.error, QStringLiteral("第%1行的%2.").arg(number).arg(charsetError));
        }
        card.properties << std::move(property);
    }
    return card;
}
