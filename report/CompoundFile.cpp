#include "report/CompoundFile.h"

#include <QtEndian>

namespace report::CompoundFile {

namespace {

constexpr int kSector = 512;
constexpr quint32 kMiniCutoff = 4096;
constexpr quint32 kFree = 0xFFFFFFFF;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFatSector = 0xFFFFFFFD;
constexpr quint32 kNoStream = 0xFFFFFFFF;
constexpr int kHeaderFatSlots = 109;
constexpr int kEntriesPerFatSector = kSector / 4;

void put16(QByteArray &b, qsizetype at, quint16 v)
{
    qToLittleEndian(v, b.data() + at);
}

void put32(QByteArray &b, qsizetype at, quint32 v)
{
    qToLittleEndian(v, b.data() + at);
}

QByteArray directoryEntry(const QString &name, quint8 type, quint32 child, quint32 start, quint32 size)
{
    QByteArray e(128, '\0');
    if (!name.isEmpty()) {
        const QString n = name.left(31);
        for (qsizetype i = 0; i < n.size(); ++i)
            put16(e, i * 2, n[i].unicode());
        put16(e, 64, quint16((n.size() + 1) * 2));
    }
    e[66] = char(type);
    e[67] = 1; // black
    put32(e, 68, kNoStream);
    put32(e, 72, kNoStream);
    put32(e, 76, child);
    put32(e, 116, start);
    put32(e, 120, size);
    return e;
}

QByteArray header(quint32 fatSectors, quint32 firstFat, quint32 directorySector)
{
    QByteArray h(kSector, '\0');
    static const unsigned char signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    for (int i = 0; i < 8; ++i)
        h[i] = char(signature[i]);
    put16(h, 24, 0x003E); // minor version
    put16(h, 26, 0x0003); // major version 3: 512-byte sectors
    put16(h, 28, 0xFFFE); // little endian
    put16(h, 30, 9);      // sector shift
    put16(h, 32, 6);      // mini sector shift
    put32(h, 44, fatSectors);
    put32(h, 48, directorySector);
    put32(h, 56, kMiniCutoff);
    put32(h, 60, kEndOfChain); // no mini FAT
    put32(h, 68, kEndOfChain); // no extra DIFAT sectors
    for (int i = 0; i < kHeaderFatSlots; ++i)
        put32(h, 76 + i * 4, i < int(fatSectors) ? firstFat + quint32(i) : kFree);
    return h;
}

} // namespace

QByteArray withSingleStream(const QString &streamName, const QByteArray &stream)
{
    QByteArray data = stream;
    if (data.size() < qsizetype(kMiniCutoff))
        data.append(QByteArray(kMiniCutoff - data.size(), '\0'));
    const quint32 streamSize = quint32(data.size());
    if (data.size() % kSector)
        data.append(QByteArray(kSector - data.size() % kSector, '\0'));

    const auto streamSectors = quint32(data.size() / kSector);
    const quint32 directorySector = streamSectors;
    quint32 fatSectors = 1;
    while ((streamSectors + 1 + fatSectors) > fatSectors * kEntriesPerFatSector)
        ++fatSectors;
    // Larger files would need DIFAT sectors; a report never comes near 7 MB.
    Q_ASSERT(fatSectors <= quint32(kHeaderFatSlots));
    const quint32 firstFat = directorySector + 1;

    QByteArray fat(fatSectors * kSector, '\xFF');
    for (quint32 i = 0; i < streamSectors; ++i)
        put32(fat, i * 4, i + 1 < streamSectors ? i + 1 : kEndOfChain);
    put32(fat, directorySector * 4, kEndOfChain);
    for (quint32 i = 0; i < fatSectors; ++i)
        put32(fat, (firstFat + i) * 4, kFatSector);

    QByteArray directory;
    directory += directoryEntry(QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
    directory += directoryEntry(streamName, 2, kNoStream, 0, streamSize);
    directory += directoryEntry({}, 0, kNoStream, 0, 0);
    directory += directoryEntry({}, 0, kNoStream, 0, 0);
    // Unused entries have no children; the root's child is the stream.
    for (int unused = 2; unused < 4; ++unused)
        directory[unused * 128 + 67] = 0;

    return header(fatSectors, firstFat, directorySector) + data + directory + fat;
}

} // namespace report::CompoundFile
