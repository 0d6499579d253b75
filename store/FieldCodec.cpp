#include "store/FieldCodec.h"

#include <QStringDecoder>

#include <optional>
#include <QStringEncoder>

namespace FieldCodec {

namespace {

bool isAlphabet(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '+' || u == '/';
}

// The characters that carry data, or an empty optional when a foreign
// character stands anywhere but in the trailing padding.
std::optional<QByteArray> dataCharacters(const QString &encoded)
{
    QByteArray data;
    data.reserve(encoded.size());
    int end = encoded.size();
    while (end > 0) {
        const QChar c = encoded.at(end - 1);
        if (c == u'=' || c == u'\r' || c == u'\n')
            --end;
        else
            break;
    }
    for (int i = 0; i < end; ++i) {
        const QChar c = encoded.at(i);
        if (c == u'\r' || c == u'\n')
            continue;
        if (!isAlphabet(c))
            return std::nullopt;
        data.append(char(c.unicode()));
    }
    return data;
}

} // namespace

QByteArray textToBytes(const QString &text)
{
    QStringEncoder encoder("GB18030");
    QByteArray bytes = encoder.encode(text);
    return bytes;
}

QString bytesToText(const QByteArray &bytes)
{
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    return text;
}

QString encode(const QString &text)
{
    return QString::fromLatin1(textToBytes(text).toBase64());
}

Decoded decode(const QString &encoded)
{
    auto data = dataCharacters(encoded);
    if (!data)
        return {false, {}, kDecodeError};
    // A lone last character holds six bits only: drop it rather than invent a byte.
    if (data->size() % 4 == 1)
        data->chop(1);
    while (data->size() % 4 != 0)
        data->append('=');
    const auto result = QByteArray::fromBase64Encoding(*data, QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return {false, {}, kDecodeError};
    return {true, bytesToText(*result), {}};
}

} // namespace FieldCodec
