// The picture loaders on any bytes: a contact photo as the address book
// reads it (format check, scaling, BMP bytes) and a skin as the launcher
// reads it (any format the image reader knows).
#include "contacts/photo/PhotoFile.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    QImageReader::setAllocationLimit(64);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const Result<QByteArray> photo = PhotoFile::fromBytes(bytes, QStringLiteral("fuzz"));
    // A photo that was taken reads back as a picture within the photo box.
    if (photo.ok()) {
        const QImage stored = QImage::fromData(*photo, "BMP");
        if (stored.isNull() || stored.width() > PhotoFile::kMaxWidth || stored.height() > PhotoFile::kMaxHeight)
            __builtin_trap();
    } else if (photo.error().isEmpty()) {
        __builtin_trap();
    }

    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader skin(&buffer);
    const QImage image = skin.read();
    if (!image.isNull())
        (void)image.scaled(145, 482, Qt::KeepAspectRatio).convertToFormat(QImage::Format_RGB32);
    return 0;
}
