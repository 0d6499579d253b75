#include "interchange/core/CardPhoto.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

namespace CardPhoto {

namespace {

const QString kNotAPicture = QStringLiteral("照片不是可以读取的图片");
// PNG at a low compression level: an export of many photos stays quick, and
// the files are still a fraction of the BMP.
constexpr int kPngQuality = 80;

// The format a picture's first bytes name. Naming it to the reader spares it
// asking every image plugin in turn, which costs more than decoding a
// phone's contact picture.
QByteArray formatOf(const QByteArray &picture)
{
    if (picture.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (picture.startsWith("\xFF\xD8\xFF"))
        return "jpeg";
    if (picture.startsWith("GIF87a") || picture.startsWith("GIF89a"))
        return "gif";
    if (picture.startsWith("BM"))
        return "bmp";
    return {};
}

QImage flattened(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image;
    // BMP keeps no transparency: lay the picture on white paper.
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat;
}

} // namespace

Result<QByteArray> toPng(const QByteArray &stored)
{
    const QImage image = QImage::fromData(stored);
    if (image.isNull())
        return fail(kNotAPicture);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(kPngQuality);
    if (!writer.write(image))
        return fail(kNotAPicture);
    return png;
}

Result<QByteArray> toStored(const QByteArray &picture)
{
    const QByteArray format = formatOf(picture);
    if (format.isEmpty())
        return fail(kNotAPicture);
    QBuffer buffer;
    buffer.setData(picture);
    QImageReader reader(&buffer, format);
    QImage image = reader.read();
    if (image.isNull())
        return fail(kNotAPicture);
    const bool fits = image.width() <= kMaxWidth && image.height() <= kMaxHeight;
    // A fitting BMP is kept only up to the size of a full 32-bit photo with
    // its headers; beyond that it carries trailing bytes.
    if (format == "bmp" && fits && picture.size() <= qint64(kMaxWidth) * kMaxHeight * 4 + 2048)
        return picture; // already what the store keeps
    if (!fits)
        image = image.scaled(kMaxWidth, kMaxHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QByteArray bmp;
    QBuffer out(&bmp);
    out.open(QIODevice::WriteOnly);
    if (!flattened(image).save(&out, "BMP"))
        return fail(kNotAPicture);
    return bmp;
}

bool looksReadable(const QByteArray &picture)
{
    return !formatOf(picture).isEmpty();
}

} // namespace CardPhoto
