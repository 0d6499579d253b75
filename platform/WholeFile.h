#pragma once

#include "store/Result.h"

#include <QByteArray>
#include <QString>

// Replaces a file with new content, all or nothing: the bytes go to a
// temporary file beside it, which is synced and renamed over the old one
// only when every byte was written. A full disk or a file size limit leaves
// the old file as it was.
namespace WholeFile {

// Fails with the system's reason when the file could not be written.
Result<void> replace(const QString &path, const QByteArray &bytes);

} // namespace WholeFile
