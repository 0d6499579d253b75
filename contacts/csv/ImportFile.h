#pragma once
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
struct Read
{
    QList<QStringList> lines;
    QString error; // for the user; empty when read
    bool ok() const { return error.isEmpty(); }
};
Read read(const QString &path);
Read fromBytes(const QByteArray &bytes);
} // namespace ImportFile
