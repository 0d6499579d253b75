#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated text as address books exchange it. Reading follows
// RFC 4180: a field that starts with a double quote runs to the closing
// quote and may hold commas, doubled quotes and line breaks. Lines without
// quotes split at every comma, exactly as the plain form always did.
namespace CsvText {
// The fields kept of one line; later ones are dropped on reading.
inline constexpr int kMaxFields = 10;
// UTF-8 when the bytes start with its byte-order mark or are valid UTF-8,
// otherwise GB18030 (a superset of GBK).
QString decode(const QByteArray &bytes);
// One entry per line (CR LF, LF or CR ends a line outside quotes). An empty
// line has no fields; a comma at the very end of a line adds no field.
QList<QStringList> parse(const QString &text, int maxFields = kMaxFields);
// `value` as a field: quoted only when it holds a comma, quote or line break.
QString field(const QString &value);
// GBK bytes for the export file (through GB18030, as the field codec does).
QByteArray encodeGbk(const QString &text);
} // namespace CsvText
