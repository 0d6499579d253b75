#pragma once

#include <QString>

// The protection form of a text: Base64 (RFC 4648, padded, no line breaks)
// of the text's GBK bytes. It hides a text from a casual look and nothing more.
//
// Bytes come from GB18030, which writes exactly the GBK bytes for every
// character GBK has and four-byte sequences for the others, so nothing typed
// is ever lost.
namespace FieldCodec {

inline const QString kDecodeError = QStringLiteral("Coding table entry not found.");

struct Decoded
{
    bool ok = false;
    QString text;
    QString error; // kDecodeError when !ok
};

QString encode(const QString &text);

// CR and LF are skipped and trailing "=" is padding. Any other character
// outside the alphabet fails. A lone character after the last full group of
// four carries fewer than eight bits, so it cannot stand for a byte: it is
// ignored, as the padding rules of RFC 4648 imply.
Decoded decode(const QString &encoded);

QByteArray textToBytes(const QString &text);
QString bytesToText(const QByteArray &bytes);

} // namespace FieldCodec
