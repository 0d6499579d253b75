#include "report/WmfWriter.h"

#include "report/ReportModel.h"

#include <QStringEncoder>
#include <QtEndian>

namespace report {

namespace {

constexpr quint16 kSetMapMode = 0x0103;
constexpr quint16 kSetWindowOrg = 0x020B;
constexpr quint16 kSetWindowExt = 0x020C;
constexpr quint16 kSetBkMode = 0x0102;
constexpr quint16 kSetTextAlign = 0x012E;
constexpr quint16 kSetTextColor = 0x0209;
constexpr quint16 kSelectObject = 0x012D;
constexpr quint16 kDeleteObject = 0x01F0;
constexpr quint16 kCreatePen = 0x02FA;
constexpr quint16 kCreateBrush = 0x02FC;
constexpr quint16 kCreateFont = 0x02FB;
constexpr quint16 kRectangle = 0x041B;
constexpr quint16 kExtTextOut = 0x0A32;
constexpr quint16 kStretchDib = 0x0F43;
constexpr quint16 kAnisotropic = 8;
constexpr quint16 kTransparent = 1;
constexpr quint16 kAlignTopLeft = 0;
constexpr quint16 kPenSolid = 0;
constexpr quint16 kPenNull = 5;
constexpr quint16 kBrushSolid = 0;
constexpr quint16 kBrushNull = 1;
constexpr quint32 kSrcCopy = 0x00CC0020;

void put16(QByteArray &b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}

void put32(QByteArray &b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

void putColor(QByteArray &b, const QColor &c)
{
    b.append(char(c.red())).append(char(c.green())).append(char(c.blue())).append('\0');
}

// Text in a metafile is 8-bit in the font's character set.
QByteArray encodeFor(int charset, const QString &text)
{
    if (charset == report::kCharsetGb2312) {
        QStringEncoder gbk("GBK");
        if (gbk.isValid())
            return QByteArray(gbk.encode(text));
    }
    return text.toLatin1();
}

// A face name holds at most 31 bytes before its terminating zero; it is cut
// between characters, never inside a two-byte one.
QByteArray faceName(int charset, const QString &face)
{
    constexpr qsizetype kLongest = 31;
    QByteArray name;
    for (qsizetype i = 0; i < face.size();) {
        const qsizetype length = face[i].isHighSurrogate() && i + 1 < face.size() ? 2 : 1;
        const QByteArray character = encodeFor(charset, face.mid(i, length));
        if (name.size() + character.size() > kLongest)
            break;
        name += character;
        i += length;
    }
    return name;
}

QByteArray dib(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int stride = (image.width() * 3 + 3) & ~3;
    QByteArray b;
    put32(b, 40);
    put32(b, quint32(image.width()));
    put32(b, quint32(image.height()));
    put16(b, 1);
    put16(b, 24);
    put32(b, 0); // no compression
    put32(b, quint32(stride * image.height()));
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    put32(b, 0);
    for (int y = image.height() - 1; y >= 0; --y) { // bottom-up
        const uchar *line = image.constScanLine(y);
        QByteArray row(stride, '\0');
        for (int x = 0; x < image.width(); ++x) {
            row[x * 3] = char(line[x * 3 + 2]); // BGR
            row[x * 3 + 1] = char(line[x * 3 + 1]);
            row[x * 3 + 2] = char(line[x * 3]);
        }
        b += row;
    }
    return b;
}

} // namespace

WmfWriter::WmfWriter(const QSize &extent, int unitsPerInch)
    : m_extent(extent)
    , m_unitsPerInch(unitsPerInch)
{
    QByteArray p;
    put16(p, kAnisotropic);
    add(kSetMapMode, p);
    p.clear();
    put16(p, 0);
    put16(p, 0);
    add(kSetWindowOrg, p);
    p.clear();
    put16(p, quint16(extent.height()));
    put16(p, quint16(extent.width()));
    add(kSetWindowExt, p);
    p.clear();
    put16(p, kTransparent);
    add(kSetBkMode, p);
    p.clear();
    put16(p, kAlignTopLeft);
    add(kSetTextAlign, p);
    p.clear();
    putColor(p, Qt::black);
    add(kSetTextColor, p);
}

void WmfWriter::add(quint16 function, const QByteArray &params)
{
    const auto words = quint32(3 + params.size() / 2);
    put32(m_records, words);
    put16(m_records, function);
    m_records += params;
    m_maxRecordWords = std::max(m_maxRecordWords, words);
}

int WmfWriter::create(quint16 function, const QByteArray &params)
{
    add(function, params);
    // A new object takes the lowest free slot of the object table.
    int slot = int(m_slots.indexOf(false));
    if (slot < 0) {
        slot = int(m_slots.size());
        m_slots.append(true);
    } else {
        m_slots[slot] = true;
    }
    return slot;
}

// Selects the new object first and only then deletes the one it replaces,
// so a selected object is never deleted.
void WmfWriter::select(int &current, int created)
{
    QByteArray p;
    put16(p, quint16(created));
    add(kSelectObject, p);
    if (current >= 0) {
        p.clear();
        put16(p, quint16(current));
        add(kDeleteObject, p);
        m_slots[current] = false;
    }
    current = created;
}

void WmfWriter::rectangle(const QRect &rect, const QColor &fill, const QColor &outline, int penWidth)
{
    QByteArray pen;
    put16(pen, outline.isValid() ? kPenSolid : kPenNull);
    put16(pen, quint16(std::max(1, penWidth)));
    put16(pen, 0);
    putColor(pen, outline.isValid() ? outline : QColor(Qt::black));
    select(m_pen, create(kCreatePen, pen));

    QByteArray brush;
    put16(brush, fill.isValid() ? kBrushSolid : kBrushNull);
    putColor(brush, fill.isValid() ? fill : QColor(Qt::white));
    put16(brush, 0);
    select(m_brush, create(kCreateBrush, brush));

    QByteArray p;
    put16(p, quint16(rect.bottom() + 1));
    put16(p, quint16(rect.right() + 1));
    put16(p, quint16(rect.top()));
    put16(p, quint16(rect.left()));
    add(kRectangle, p);
}

void WmfWriter::text(const QPoint &topLeft, const QString &text, const QString &face, int height, bool bold,
                     bool italic, int charset)
{
    QByteArray font;
    put16(font, quint16(-height)); // negative: character height without leading
    put16(font, 0);
    put16(font, 0);
    put16(font, 0);
    put16(font, bold ? 700 : 400);
    font.append(char(italic ? 1 : 0)).append('\0').append('\0').append(char(charset));
    font.append('\0').append('\0').append('\0').append('\0');
    QByteArray name = faceName(charset, face);
    name.append('\0');
    if (name.size() % 2)
        name.append('\0');
    font += name;
    select(m_font, create(kCreateFont, font));

    QByteArray bytes = encodeFor(charset, text);
    QByteArray p;
    put16(p, quint16(topLeft.y()));
    put16(p, quint16(topLeft.x()));
    put16(p, quint16(bytes.size()));
    put16(p, 0);
    if (bytes.size() % 2)
        bytes.append('\0');
    p += bytes;
    add(kExtTextOut, p);
}

void WmfWriter::picture(const QRect &rect, const QImage &image)
{
    if (image.isNull())
        return;
    QByteArray p;
    put32(p, kSrcCopy);
    put16(p, 0); // colours are RGB values
    put16(p, quint16(image.height()));
    put16(p, quint16(image.width()));
    put16(p, 0);
    put16(p, 0);
    put16(p, quint16(rect.height()));
    put16(p, quint16(rect.width()));
    put16(p, quint16(rect.top()));
    put16(p, quint16(rect.left()));
    p += dib(image);
    add(kStretchDib, p);
}

QByteArray WmfWriter::finish()
{
    for (int *object : {&m_pen, &m_brush, &m_font}) {
        if (*object >= 0) {
            QByteArray p;
            put16(p, quint16(*object));
            add(kDeleteObject, p);
            *object = -1;
        }
    }
    add(0x0000, {}); // end of file

    QByteArray placeable;
    put32(placeable, 0x9AC6CDD7);
    put16(placeable, 0);
    put16(placeable, 0);
    put16(placeable, 0);
    put16(placeable, quint16(m_extent.width()));
    put16(placeable, quint16(m_extent.height()));
    put16(placeable, quint16(m_unitsPerInch));
    put32(placeable, 0);
    quint16 checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= qFromLittleEndian<quint16>(placeable.constData() + i * 2);
    put16(placeable, checksum);

    QByteArray header;
    put16(header, 1);      // in memory
    put16(header, 9);      // header words
    put16(header, 0x0300); // version
    put32(header, quint32(9 + m_records.size() / 2));
    put16(header, quint16(m_slots.size()));
    put32(header, m_maxRecordWords);
    put16(header, 0);
    return placeable + header + m_records;
}

} // namespace report
