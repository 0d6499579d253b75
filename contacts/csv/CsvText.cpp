#include "contacts/csv/CsvText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

// Reads one line starting at `pos`; leaves `pos` after its line end.
class LineReader
{
public:
    LineReader(const QString &text, int maxFields)
        : m_text(text)
        , m_max(maxFields)
    {
    }

    bool atEnd() const { return m_pos >= m_text.size(); }

    QStringList next()
    {
        QStringList fields;
        QString current;
        while (!atEnd()) {
            const QChar c = m_text.at(m_pos);
            if (c == u'\r' || c == u'\n') {
                skipLineEnd();
                break;
            }
            if (c == u'"' && current.isEmpty() && !m_inField) {
                readQuoted(current);
                m_inField = true;
                continue;
            }
            ++m_pos;
            if (c == u',') {
                keep(fields, current);
                current.clear();
                m_inField = false;
                continue;
            }
            current.append(c);
            m_inField = true;
        }
        if (m_inField)
            keep(fields, current);
        m_inField = false;
        return fields;
    }

private:
    void keep(QStringList &fields, const QString &value) const
    {
        if (fields.size() < m_max)
            fields << value;
    }
    void skipLineEnd()
    {
        if (m_text.at(m_pos) == u'\r' && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == u'\n')
            ++m_pos;
        ++m_pos;
    }
    // After the opening quote: text up to the closing quote, "" read as ".
    // A quote never closed takes the rest of the text.
    void readQuoted(QString &out)
    {
        ++m_pos;
        while (!atEnd()) {
            const qsizetype close = m_text.indexOf(u'"', m_pos);
            if (close < 0) {
                out.append(QStringView(m_text).mid(m_pos));
                m_pos = int(m_text.size());
                return;
            }
            out.append(QStringView(m_text).mid(m_pos, close - m_pos));
            m_pos = int(close) + 1;
            if (m_pos < m_text.size() && m_text.at(m_pos) == u'"') {
                out.append(u'"');
                ++m_pos;
                continue;
            }
            return;
        }
    }

    const QString &m_text;
    int m_max;
    int m_pos = 0;
    bool m_inField = false; // the current field has begun (text or quotes seen)
};

} // namespace

namespace CsvText {

QString decode(const QByteArray &bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom))
        return QString::fromUtf8(bytes.mid(bom.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb("GB18030", QStringConverter::Flag::Stateless);
    return gb.decode(bytes);
}

QList<QStringList> parse(const QString &text, int maxFields)
{
    QList<QStringList> lines;
    LineReader reader(text, maxFields);
    while (!reader.atEnd())
        lines << reader.next();
    return lines;
}

QString field(const QString &value)
{
    static const QString special = QStringLiteral(",\"\r\n");
    bool needsQuotes = false;
    for (QChar c : value)
        needsQuotes = needsQuotes || special.contains(c);
    if (!needsQuotes)
        return value;
    QString quoted = value;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QByteArray encodeGbk(const QString &text)
{
    QStringEncoder gb("GB18030");
    return gb.encode(text);
}

} // namespace CsvText
