#include "contacts/core/StoredForm.h"

#include "store/FieldCodec.h"

namespace StoredForm {

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= 0x20 || c.isSpace() || c.category() == QChar::Other_Control;
}

} // namespace

QString trimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QStringList withPlaceholders(QStringList texts)
{
    for (qsizetype i = 1; i < texts.size(); ++i) {
        if (texts[i].isEmpty())
            texts[i] = kPlaceholder;
    }
    return texts;
}

QStringList encodedAll(const QStringList &texts)
{
    QStringList out;
    out.reserve(texts.size());
    for (const QString &text : texts)
        out << FieldCodec::encode(text);
    return out;
}

QStringList toStore(const QStringList &typed, bool encode, bool keepLast)
{
    QStringList texts;
    for (qsizetype i = 0; i < typed.size(); ++i)
        texts << (keepLast && i == typed.size() - 1 ? typed.at(i) : trimmed(typed.at(i)));
    if (texts.value(0).isEmpty())
        return texts;
    texts = withPlaceholders(texts);
    return encode ? encodedAll(texts) : texts;
}

Decoded shown(const QStringList &stored, bool encoded)
{
    if (!encoded)
        return {stored, {}};
    Decoded result;
    for (const QString &text : stored) {
        const auto decoded = FieldCodec::decode(text);
        if (decoded.ok) {
            result.texts << decoded.text;
        } else {
            result.texts << text;
            result.error = decoded.error;
        }
    }
    return result;
}

} // namespace StoredForm
