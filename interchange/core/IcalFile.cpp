#include "interchange/core/IcalFile.h"

#include <QFile>
#include <QStringDecoder>

namespace {

const QString kNothing = QStringLiteral(",没有导入任何记录.");
// Components inside components go no deeper than a calendar's alarms and
// time zone rules; a file nesting further is no calendar.
constexpr int kMaxDepth = 8;

struct Open
{
    QByteArray name;
    int line = 0;
    qsizetype start = 0;
};

bool isItem(const QByteArray &name)
{
    return name == "VEVENT" || name == "VTODO" || name == "VJOURNAL";
}

// Where a component may stand: a calendar at the top, items and zones in a
// calendar, alarms in events and tasks, observances in zones. Components of
// other programs (X-...) may stand anywhere but hold none of ours.
bool mayHold(const QByteArray &outer, const QByteArray &inner)
{
    if (inner == "VCALENDAR")
        return outer.isEmpty();
    if (outer.isEmpty())
        return false;
    if (isItem(inner) || inner == "VTIMEZONE" || inner == "VFREEBUSY" || inner == "VAVAILABILITY")
        return outer == "VCALENDAR";
    if (inner == "VALARM")
        return outer == "VEVENT" || outer == "VTODO";
    if (inner == "STANDARD" || inner == "DAYLIGHT")
        return outer == "VTIMEZONE";
    return true;
}

QByteArray unfolded(const QByteArray &bytes)
{
    QByteArray text = bytes;
    text.replace("\r\n ", "").replace("\r\n\t", "").replace("\n ", "").replace("\n\t", "");
    return text;
}

// UTF-16 (with its byte-order mark) and GB18030 text becomes UTF-8, which
// is what the standard asks for and libical reads. Fails on text in no
// encoding.
Result<QByteArray> asUtf8(QByteArray bytes, QStringList &notes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        const QString text = utf16.decode(bytes.mid(2));
        if (utf16.hasError() || bytes.size() % 2 != 0)
            return fail(QStringLiteral("文件不是完整的UTF-16文本") + kNothing);
        return text.toUtf8();
    }
    // A fold may split a character, so the text is judged unfolded.
    const QByteArray whole = unfolded(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString probe = utf8.decode(whole);
    if (!utf8.hasError())
        return bytes;
    QStringDecoder gb18030("GB18030", QStringDecoder::Flag::Stateless);
    const QString text = gb18030.decode(whole);
    if (gb18030.hasError())
        return fail(QStringLiteral("文件既不是UTF-8也不是GB18030文本") + kNothing);
    notes << QStringLiteral("文件不是UTF-8编码,已按GB18030读取.");
    return text.toUtf8();
}

Result<void> refuseNul(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul < 0)
        return {};
    const int line = int(bytes.left(nul).count('\n')) + 1;
    return fail(QStringLiteral("文件第%1行含有空字符(NUL),不是iCalendar文本文件").arg(line) + kNothing);
}

QString unclosed(const Open &component)
{
    return QStringLiteral("文件第%1行的BEGIN:%2没有结束(缺少END:%2),文件不完整")
               .arg(component.line)
               .arg(QString::fromUtf8(component.name))
           + kNothing;
}

QByteArray upperTrimmed(const QByteArray &text)
{
    return text.trimmed().toUpper();
}

} // namespace

Result<IcalFile> IcalFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("无法打开文件 %1: %2").arg(path, file.errorString()));
    if (file.size() > kMaxBytes)
        return fail(QStringLiteral("文件太大(超过%1 MB),不是可以导入的日历文件").arg(kMaxBytes >> 20) + kNothing);
    QByteArray bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("无法读取文件 %1: %2").arg(path, file.errorString()));
    return fromBytes(std::move(bytes));
}

Result<IcalFile> IcalFile::fromBytes(QByteArray bytes)
{
    if (bytes.size() > kMaxBytes)
        return fail(QStringLiteral("文件太大(超过%1 MB),不是可以导入的日历文件").arg(kMaxBytes >> 20) + kNothing);
    IcalFile file;
    file.m_size = bytes.size();
    Result<QByteArray> text = asUtf8(std::move(bytes), file.m_notes);
    if (!text)
        return fail(text.error());
    if (Result<void> clean = refuseNul(*text); !clean)
        return fail(clean.error());
    if (Result<void> scanned = file.scan(*text); !scanned)
        return fail(scanned.error());
    return file;
}

Result<void> IcalFile::scan(const QByteArray &bytes)
{
    QList<Open> open;
    int calendars = 0;
    int line = 0;
    int strayLines = 0;
    int strayFrom = 0;
    int otherComponents = 0;
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            end = bytes.size();
        ++line;
        const qsizetype lineStart = at;
        const int lineNumber = line;
        QByteArray content = bytes.mid(at, end - at);
        at = end + 1;
        if (content.endsWith('\r'))
            content.chop(1);
        // A folded line goes on after a line break and one blank.
        while (at < bytes.size() && (bytes[at] == ' ' || bytes[at] == '\t')) {
            qsizetype next = bytes.indexOf('\n', at);
            if (next < 0)
                next = bytes.size();
            QByteArray more = bytes.mid(at + 1, next - at - 1);
            if (more.endsWith('\r'))
                more.chop(1);
            content += more;
            at = next + 1;
            ++line;
        }
        const qsizetype colon = content.indexOf(':');
        const QByteArray name = upperTrimmed(content.left(colon < 0 ? 0 : colon));
        const QByteArray value = colon < 0 ? QByteArray() : upperTrimmed(content.mid(colon + 1));
        const QByteArray outer = open.isEmpty() ? QByteArray() : open.constLast().name;

        if (name == "BEGIN") {
            if (value.isEmpty())
                return fail(QStringLiteral("文件第%1行的BEGIN没有写明组件名称").arg(lineNumber) + kNothing);
            if (!mayHold(outer, value) || open.size() >= kMaxDepth) {
                const QString where =
                    outer.isEmpty()
                        ? QStringLiteral("VCALENDAR之外")
                        : QStringLiteral("第%1行开始的%2之中").arg(open.constLast().line).arg(QString::fromUtf8(outer));
                return fail(
                    QStringLiteral("文件第%1行: %2不能放在%3").arg(lineNumber).arg(QString::fromUtf8(value), where)
                    + kNothing);
            }
            open.append({value, lineNumber, lineStart});
            continue;
        }
        if (name == "END") {
            const auto named = std::find_if(open.crbegin(), open.crend(),
                                            [&value](const Open &component) { return component.name == value; });
            if (named == open.crend() && open.size() > 1)
                return fail(QStringLiteral("文件第%1行的END:%2与第%3行的BEGIN:%4不配对")
                                .arg(lineNumber)
                                .arg(QString::fromUtf8(value))
                                .arg(open.constLast().line)
                                .arg(QString::fromUtf8(open.constLast().name))
                            + kNothing);
            if (named == open.crend())
                return fail(QStringLiteral("文件第%1行的END:%2之前没有对应的BEGIN")
                                .arg(lineNumber)
                                .arg(QString::fromUtf8(value))
                            + kNothing);
            if (named != open.crbegin())
                return fail(unclosed(open.constLast()));
            const Open closing = open.takeLast();
            if (closing.name == "VCALENDAR") {
                ++calendars;
            } else if (open.size() == 1) {
                Part part{calendars, closing.line, closing.name, bytes.mid(closing.start, at - closing.start)};
                if (closing.name == "VTIMEZONE")
                    m_timezones.append(part);
                else if (isItem(closing.name))
                    m_items.append(part);
                else
                    ++otherComponents;
            }
            continue;
        }
        if (open.isEmpty()) {
            if (!content.trimmed().isEmpty() && strayLines++ == 0)
                strayFrom = lineNumber;
            continue;
        }
        if (open.size() == 1 && name == "VERSION" && value == "1.0")
            return fail(QStringLiteral("这是vCalendar 1.0文件,只能导入iCalendar(2.0)文件") + kNothing);
    }
    if (!open.isEmpty())
        return fail(unclosed(open.constLast()));
    if (calendars == 0)
        return fail(QStringLiteral("文件中没有VCALENDAR,不是iCalendar文件") + kNothing);
    if (strayLines > 0)
        m_notes << QStringLiteral("文件第%1行起有%2行不在VCALENDAR之中,已略过.").arg(strayFrom).arg(strayLines);
    if (otherComponents > 0)
        m_notes << QStringLiteral("%1个组件不是工作或日记(如空闲时间),已略过.").arg(otherComponents);
    return {};
}
