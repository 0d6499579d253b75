#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// The text rules of vCard values, shared by the reader and the writer:
// backslash escapes, components and lists, quoted-printable, base64 and
// line folding.
namespace VCardText {

// Splits at every `separator` that no backslash escapes; the parts keep
// their escapes, so a component can be split again into list items.
QStringList split(const QString &value, QChar separator);

// Resolves the escapes of a text value. 3.0 and 4.0 know \n (or \N), \\,
// \, and \;. A 2.1 card escapes only what it must (\; in compound values,
// and some writers \\ and \,), so there a backslash before any other
// character, a Windows path's say, is kept as written.
QString unescape(const QString &value, bool version21);
// The escaped form a 3.0 or 4.0 value is written in. Line breaks of every
// kind are written as \n.
QString escape(const QString &text);

// Quoted-printable bytes: "=XX" is the byte XX; an "=" that starts no hex
// pair is kept as it is, as the writers that produce such lines meant it.
QByteArray fromQuotedPrintable(QByteArrayView encoded);

// The bytes of a base64 value, blanks and line breaks skipped; false in
// `ok` when a character lies outside the alphabet or padding stands in the
// middle.
QByteArray fromBase64(QByteArrayView encoded, bool *ok);

// One content line as written: folded so no line exceeds 75 octets, never
// inside a UTF-8 character, each line ended by CR LF.
void appendFolded(QByteArray &out, QByteArrayView line);

} // namespace VCardText
