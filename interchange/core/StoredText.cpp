#include "interchange/core/StoredText.h"

#include "store/FieldCodec.h"

namespace StoredText {

QString readable(const QString &stored, bool encoded, bool placeholder)
{
    QString text = stored;
    if (encoded) {
        const FieldCodec::Decoded decoded = FieldCodec::decode(stored);
        if (decoded.ok)
            text = decoded.text;
    }
    return placeholder && text == kPlaceholder ? QString() : text;
}

QString toStore(const QString &text, bool encode, bool placeholder)
{
    const QString value = placeholder && text.isEmpty() ? kPlaceholder : text;
    return encode ? FieldCodec::encode(value) : value;
}

bool fits(const QString &text, int width, bool encode)
{
    return width <= 0 || toStore(text, encode).size() <= width;
}

QString fitted(const QString &text, int width, bool encode)
{
    if (fits(text, width, encode))
        return text;
    // The longest start that fits, never ending inside a surrogate pair.
    qsizetype low = 0;
    qsizetype high = text.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (fits(text.left(mid), width, encode))
            low = mid;
        else
            high = mid - 1;
    }
    if (low > 0 && text.at(low - 1).isHighSurrogate())
        --low;
    return text.left(low);
}

} // namespace StoredText
