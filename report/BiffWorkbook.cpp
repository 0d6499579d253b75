#include "report/BiffWorkbook.h"

#include <QtEndian>

#include <algorithm>

namespace report {

namespace {

// Record numbers.
constexpr quint16 kBof = 0x0809;
constexpr quint16 kEof = 0x000A;
constexpr quint16 kCodePage = 0x0042;
constexpr quint16 kWindow1 = 0x003D;
constexpr quint16 kFont = 0x0031;
constexpr quint16 kXf = 0x00E0;
constexpr quint16 kStyle = 0x0293;
constexpr quint16 kBoundSheet = 0x0085;
constexpr quint16 kDimensions = 0x0200;
constexpr quint16 kWindow2 = 0x023E;
constexpr quint16 kColInfo = 0x007D;
constexpr quint16 kLabel = 0x0204;

constexpr quint16 kBiff8 = 0x0600;
constexpr quint16 kGlobalsType = 0x0005;
constexpr quint16 kSheetType = 0x0010;
constexpr quint16 kUtf16CodePage = 1200;
constexpr int kStyleXfs = 15;
constexpr quint16 kCellXf = kStyleXfs; // the first cell format
// A record holds at most 8224 bytes; a text cell keeps well inside that.
constexpr int kMaxCellChars = 4000;
constexpr int kMaxRows = 65536;
constexpr int kMaxColumns = 256;

class Bytes
{
public:
    Bytes &u8(quint8 v)
    {
        m_data.append(char(v));
        return *this;
    }
    Bytes &u16(quint16 v)
    {
        char b[2];
        qToLittleEndian(v, b);
        m_data.append(b, 2);
        return *this;
    }
    Bytes &u32(quint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        m_data.append(b, 4);
        return *this;
    }
    Bytes &utf16(const QString &s)
    {
        for (const QChar ch : s)
            u16(ch.unicode());
        return *this;
    }
    // A string with a 16-bit length, stored uncompressed (UTF-16).
    Bytes &longString(const QString &s) { return u16(quint16(s.size())).u8(1).utf16(s); }
    // A string with an 8-bit length, stored uncompressed.
    Bytes &shortString(const QString &s) { return u8(quint8(s.size())).u8(1).utf16(s); }
    const QByteArray &data() const { return m_data; }

private:
    QByteArray m_data;
};

QByteArray record(quint16 type, const Bytes &body)
{
    Bytes r;
    r.u16(type).u16(quint16(body.data().size()));
    return r.data() + body.data();
}

QByteArray bof(quint16 type)
{
    return record(kBof, Bytes().u16(kBiff8).u16(type).u16(0x0DBB).u16(0x07CC).u32(0).u32(6));
}

QByteArray font(bool bold)
{
    Bytes b;
    b.u16(200).u16(0).u16(0x7FFF).u16(bold ? 700 : 400).u16(0).u8(0).u8(0).u8(134).u8(0);
    b.shortString(QStringLiteral("宋体"));
    return record(kFont, b);
}

QByteArray xf(bool style)
{
    Bytes b;
    b.u16(0).u16(0).u16(style ? 0xFFF5 : 0x0001).u8(0x20).u8(0).u8(0);
    b.u8(style ? 0x00 : 0xF8).u32(0).u32(0).u16(0x20C0);
    return record(kXf, b);
}

} // namespace

BiffWorkbook::BiffWorkbook(const QString &sheetName)
    : m_sheetName(sheetName.left(31).isEmpty() ? QStringLiteral("Sheet1") : sheetName.left(31))
{
}

void BiffWorkbook::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= kMaxRows || column < 0 || column >= kMaxColumns)
        return;
    m_cells.append({row, column, text.left(kMaxCellChars)});
}

QByteArray BiffWorkbook::globals(quint32 sheetOffset) const
{
    QByteArray out = bof(kGlobalsType);
    out += record(kCodePage, Bytes().u16(kUtf16CodePage));
    out += record(kWindow1, Bytes().u16(0).u16(0).u16(0x4000).u16(0x2000).u16(0x0038).u16(0).u16(0).u16(1).u16(0x0258));
    // Font 4 does not exist in BIFF: five records give indexes 0-3 and 5.
    for (int i = 0; i < 5; ++i)
        out += font(false);
    for (int i = 0; i < kStyleXfs; ++i)
        out += xf(true);
    out += xf(false);
    out += record(kStyle, Bytes().u16(0x8000).u8(0).u8(0xFF)); // built-in "Normal"
    out += record(kBoundSheet, Bytes().u32(sheetOffset).u8(0).u8(0).shortString(m_sheetName));
    out += record(kEof, Bytes());
    return out;
}

QByteArray BiffWorkbook::sheet() const
{
    int rows = 0;
    int columns = 0;
    for (const Cell &cell : m_cells) {
        rows = std::max(rows, cell.row + 1);
        columns = std::max(columns, cell.column + 1);
    }
    QByteArray out = bof(kSheetType);
    // Wide columns, so that captions and values can be read without resizing.
    if (columns > 0)
        out += record(kColInfo, Bytes().u16(0).u16(quint16(columns - 1)).u16(20 * 256).u16(kCellXf).u16(0).u16(0));
    out += record(kDimensions, Bytes().u32(0).u32(quint32(rows)).u16(0).u16(quint16(columns)).u16(0));
    out += record(kWindow2, Bytes().u16(0x06B6).u16(0).u16(0).u32(64).u16(0).u16(0).u32(0));
    for (const Cell &cell : m_cells)
        out +=
            record(kLabel, Bytes().u16(quint16(cell.row)).u16(quint16(cell.column)).u16(kCellXf).longString(cell.text));
    out += record(kEof, Bytes());
    return out;
}

QByteArray BiffWorkbook::stream() const
{
    // The sheet's offset is written into the globals, whose length does not
    // depend on it.
    const auto offset = quint32(globals(0).size());
    return globals(offset) + sheet();
}

} // namespace report
