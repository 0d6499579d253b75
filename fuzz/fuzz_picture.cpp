// The picture loader used for skins and contact photos, on any bytes.
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
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const char *format : {"bmp", "jpeg", "png"}) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, format);
        const QImage image = reader.read();
        if (!image.isNull())
            (void)image.scaled(145, 185, Qt::KeepAspectRatio).convertToFormat(QImage::Format_RGB32);
    }
    return 0;
}
