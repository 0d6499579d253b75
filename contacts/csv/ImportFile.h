#pragma once
#include "store/Result.h"

#include <QList>
#include <QString>
#include <QStringList>

// Reads a file chosen for import into lines of fields, ten at most a line.
// A file the address book's own "导出" wrote (each line a contact id of 14
// digits, then ten fields) loses its id column, so that its ten fields stand
// where the import takes them. Files that are not text or are far larger
// than any address book are refused with a message.
namespace ImportFile {
inline constexpr qint64 kMaxBytes = 32 * 1024 * 1024;
// Each line's fields.
using Lines = QList<QStringList>;
Result<Lines> read(const QString &path);
Result<Lines> fromBytes(const QByteArray &bytes);
} // namespace ImportFile
