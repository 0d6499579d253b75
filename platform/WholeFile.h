#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file with new content, all or nothing: the bytes go to a
// temporary file beside it, which is synced and renamed over the old one
// only when every byte was written. A full disk or a file size limit leaves
// the old file as it was.
namespace WholeFile {

// False with `why` (the system's reason) when the file could not be written.
bool replace(const QString &path, const QByteArray &bytes, QString *why);

} // namespace WholeFile
