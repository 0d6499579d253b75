#pragma once

#include <QByteArray>
#include <QString>

// Contact photos are stored as the bytes of a BMP file. A BMP, PNG or JPEG
// file is read, scaled down (aspect kept) when it is larger than the photo
// box needs, and turned into BMP bytes, so a camera picture stays small.
namespace PhotoFile {

// Twice the photo box (145 by 185), enough for a sharp printed card.
inline constexpr int kMaxWidth = 290;
inline constexpr int kMaxHeight = 370;

struct Loaded
{
    QByteArray bmp;
    QString error; // why the file gave no picture
    bool ok() const { return error.isEmpty(); }
};

Loaded load(const QString &path);

} // namespace PhotoFile
