#include "contacts/photo/PhotoFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>

namespace PhotoFile {

namespace {

QString notAPicture(const QString &name)
{
    return QStringLiteral("文件“%1”不是可以读取的照片(BMP, PNG或JPEG格式),照片没有改变.").arg(name);
}

} // namespace

Result<QByteArray> load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("无法打开文件“%1”: %2").arg(QFileInfo(path).fileName(), file.errorString()));
    const QString name = QFileInfo(path).fileName();
    const QString tooLarge = QStringLiteral("文件“%1”太大(超过%2 MB),不能作为照片,照片没有改变.")
                                 .arg(name)
                                 .arg(kMaxFileBytes / (1024 * 1024));
    if (file.size() > kMaxFileBytes)
        return fail(tooLarge);
    // Bounded even where the size is not known beforehand (a device or a pipe).
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (bytes.size() > kMaxFileBytes)
        return fail(tooLarge);
    return fromBytes(bytes, name);
}

Result<QByteArray> fromBytes(const QByteArray &bytes, const QString &name)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    if (format != "bmp" && format != "png" && format != "jpeg")
        return fail(notAPicture(name));
    QImage image = reader.read();
    if (image.isNull())
        return fail(notAPicture(name));
    const bool fits = image.width() <= kMaxWidth && image.height() <= kMaxHeight;
    if (format == "bmp" && fits && bytes.size() <= kMaxKeptBmpBytes)
        return bytes; // already what the store keeps
    if (!fits)
        image = image.scaled(kMaxWidth, kMaxHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (image.hasAlphaChannel()) {
        // BMP keeps no transparency: lay the picture on white paper.
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
        painter.end();
        image = flat;
    }
    QByteArray bmp;
    QBuffer out(&bmp);
    out.open(QIODevice::WriteOnly);
    if (!image.save(&out, "BMP"))
        return fail(notAPicture(name));
    return bmp;
}

} // namespace PhotoFile
