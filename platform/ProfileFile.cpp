#include "platform/ProfileFile.h"

#include "platform/WholeFile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>

namespace {

struct Text
{
    QStringList lines;
    QString lineEnd = QStringLiteral("\r\n");
};

Text load(const QString &path)
{
    Text text;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return text;
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString decoded = utf8.decode(bytes);
    if (utf8.hasError()) {
        QStringDecoder gb("GB18030", QStringConverter::Flag::Stateless);
        decoded = gb.decode(bytes);
    }
    if (!decoded.contains(u'\r'))
        text.lineEnd = QStringLiteral("\n");
    decoded.remove(u'\r');
    text.lines = decoded.split(u'\n');
    if (!text.lines.isEmpty() && text.lines.last().isEmpty())
        text.lines.removeLast();
    return text;
}

// A line without surrounding blanks and without stray byte-order marks: an
// editor that saved the file twice may have left one at the start of a line.
QString cleaned(const QString &line)
{
    QString text = line.trimmed();
    while (text.startsWith(QChar(0xFEFF)))
        text = text.mid(1).trimmed();
    return text;
}

// The section name when `line` is a section header, a null string otherwise.
QString sectionOf(const QString &line)
{
    const QString trimmed = cleaned(line);
    if (trimmed.startsWith(u'[') && trimmed.endsWith(u']'))
        return trimmed.mid(1, trimmed.size() - 2).trimmed();
    return {};
}

bool isKeyLine(const QString &line, const QString &key, QString *value = nullptr)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0 || cleaned(line).startsWith(u';'))
        return false;
    if (cleaned(line.left(eq)).compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = line.mid(eq + 1).trimmed();
    return true;
}

// [begin, end) of the lines belonging to `section`, header excluded;
// begin is -1 when the section is absent.
std::pair<qsizetype, qsizetype> sectionRange(const QStringList &lines, const QString &section)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = sectionOf(lines.at(i));
        if (name.isNull() || name.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        qsizetype end = i + 1;
        while (end < lines.size() && sectionOf(lines.at(end)).isNull())
            ++end;
        return {i + 1, end};
    }
    return {-1, -1};
}

} // namespace

ProfileFile::ProfileFile(QString path)
    : m_path(std::move(path))
{
}

QString ProfileFile::read(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Text text = load(m_path);
    const auto [begin, end] = sectionRange(text.lines, section);
    for (qsizetype i = begin; begin >= 0 && i < end; ++i) {
        QString value;
        if (isKeyLine(text.lines.at(i), key, &value))
            return value;
    }
    return defaultValue;
}

Result<void> ProfileFile::write(const QString &section, const QString &key, const QString &value) const
{
    Text text = load(m_path);
    const QString line = key + u'=' + value;
    auto [begin, end] = sectionRange(text.lines, section);
    if (begin < 0) {
        if (!text.lines.isEmpty() && !text.lines.last().trimmed().isEmpty())
            text.lines << QString();
        text.lines << u'[' + section + u']' << line;
    } else {
        qsizetype at = -1;
        for (qsizetype i = begin; i < end && at < 0; ++i) {
            if (isKeyLine(text.lines.at(i), key))
                at = i;
        }
        if (at >= 0) {
            text.lines[at] = line;
        } else {
            // After the section's last non-blank line, so a blank separator stays last.
            qsizetype insertAt = end;
            while (insertAt > begin && text.lines.at(insertAt - 1).trimmed().isEmpty())
                --insertAt;
            text.lines.insert(insertAt, line);
        }
    }

    // Always written as UTF-8: what was written then reads back as exactly
    // this text, whatever bytes an older file held.
    const QByteArray bytes = (text.lines.join(text.lineEnd) + text.lineEnd).toUtf8();
    if (const Result<void> replaced = WholeFile::replace(m_path, bytes); !replaced)
        return fail(QStringLiteral("%1: %2").arg(m_path, replaced.error()));
    return {};
}
