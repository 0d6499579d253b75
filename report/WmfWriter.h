#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

// A placeable Windows metafile built record by record. Coordinates are
// logical units; `unitsPerInch` tells readers how large they are.
namespace report {

class WmfWriter final
{
public:
    WmfWriter(const QSize &extent, int unitsPerInch);

    void rectangle(const QRect &rect, const QColor &fill, const QColor &outline, int penWidth);
    // Text with its top-left at `topLeft`; the font height is in units.
    void text(const QPoint &topLeft, const QString &text, const QString &face, int height, bool bold, bool italic,
              int charset);
    void picture(const QRect &rect, const QImage &image);

    QByteArray finish();

private:
    int create(quint16 function, const QByteArray &params);
    void select(int &current, int created);
    void add(quint16 function, const QByteArray &params);

    QSize m_extent;
    int m_unitsPerInch;
    QByteArray m_records;
    quint32 m_maxRecordWords = 0;
    QList<bool> m_slots; // object table: true while a slot holds an object
    int m_pen = -1;
    int m_brush = -1;
    int m_font = -1;
};

} // namespace report
