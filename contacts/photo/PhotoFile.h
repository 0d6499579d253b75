#pragma once

#include "store/Result.h"

#include <QByteArray>
#include <QString>

// Contact photos are stored as the bytes of a BMP file. A BMP, PNG or JPEG
// file is read, scaled down (aspect kept) when it is larger than the photo
// box needs, and turned into BMP bytes, so a camera picture stays small.
namespace PhotoFile {

// Twice the photo box (145 by 185), enough for a sharp printed card.
inline constexpr int kMaxWidth = 290;
inline constexpr int kMaxHeight = 370;

// A larger file is refused before it is read: no photo needs it, and reading
// a film or disk image chosen by mistake would hold the window for long.
inline constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
// A fitting BMP is kept as it is only up to the size of a full 32-bit photo
// with its headers; anything beyond is trailing bytes, and the picture is
// written afresh.
inline constexpr qint64 kMaxKeptBmpBytes = qint64(kMaxWidth) * kMaxHeight * 4 + 2048;

// The BMP bytes, or why the file gave no picture.

Result<QByteArray> load(const QString &path);
// The same for bytes already read; `name` names the file in messages.
Result<QByteArray> fromBytes(const QByteArray &bytes, const QString &name);

} // namespace PhotoFile
