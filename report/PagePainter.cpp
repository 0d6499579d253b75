#include "report/PagePainter.h"

#include "report/FontMap.h"

#include <QPaintDevice>
#include <QPainter>

namespace report::PagePainter {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kOutlineMm = 0.25;

struct Scale
{
    double px; // device pixels per mm

    QRectF rect(const QRectF &mm) const { return {mm.x() * px, mm.y() * px, mm.width() * px, mm.height() * px}; }
    QPointF point(const QPointF &mm) const { return mm * px; }
};

// Text is set at the resolution the layout measured it at and scaled to the
// device: glyph advances rounded to a screen's few pixels would make a line
// longer than the room the layout gave it.
void paintText(QPainter &painter, const PlacedItem &item, const Scale &scale, double dpi)
{
    if (!item.hasText())
        return;
    const double measurePx = FontMap::kMeasureDpi / kMmPerInch;
    painter.save();
    painter.scale(scale.px / measurePx, scale.px / measurePx);
    painter.setFont(FontMap::qtFont(item.font, FontMap::kMeasureDpi / dpi));
    painter.setPen(Qt::black);
    for (qsizetype i = 0; i < item.lines.size(); ++i) {
        const QPointF baseline = item.textOrigin + QPointF(0, item.lineHeight * double(i) + item.ascent);
        painter.drawText(baseline * measurePx, item.lines[i]);
    }
    painter.restore();
}

void paintBox(QPainter &painter, const PlacedItem &item, const Scale &scale)
{
    const QRectF rect = scale.rect(item.box);
    if (item.fill.isValid())
        painter.fillRect(rect, item.fill);
    if (item.border) {
        painter.setPen(QPen(Qt::black, std::max(1.0, kOutlineMm * scale.px)));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect);
    }
}

} // namespace

void paint(QPainter &painter, const RenderedPage &page, const QSizeF &pageSize, double pixelsPerMm)
{
    const double dpi = painter.device() ? painter.device()->logicalDpiY() : 72.0;
    const Scale scale{pixelsPerMm};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(scale.rect(QRectF(QPointF(0, 0), pageSize)), Qt::white);
    for (const PlacedItem &item : page.items) {
        if (item.kind == ElementKind::Picture) {
            if (!item.picture.isNull())
                painter.drawImage(scale.rect(item.box), item.picture);
            continue;
        }
        paintBox(painter, item, scale);
        paintText(painter, item, scale, dpi);
    }
    painter.restore();
}

} // namespace report::PagePainter
