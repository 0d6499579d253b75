#include "report/ReportRenderer.h"

#include "report/FontMap.h"
#include "report/LabelFit.h"
#include "report/PageFit.h"

namespace report::ReportRenderer {

namespace {

// Inner space between a box's outline and its text.
constexpr double kPadding = 0.5;

PlacedItem textItem(const Element &element, const QRectF &box, const QStringList &lines, const ReportFont &font)
{
    PlacedItem item;
    item.kind = element.kind;
    item.box = box;
    item.lines = lines;
    item.font = font;
    item.fill = element.fill;
    item.border = element.border;
    const FontMap::Metrics m = FontMap::metrics(font);
    item.lineHeight = m.lineHeight;
    item.ascent = m.ascent;
    item.textOrigin = box.topLeft();
    return item;
}

PlacedItem placeLabel(const Element &element, const QPointF &origin, const QSizeF &room)
{
    const LabelFit::Fitted fitted = LabelFit::fit(element.font, element.text, room);
    double width = 0;
    for (const QString &line : fitted.lines)
        width = std::max(width, FontMap::textWidth(fitted.font, line));
    const double height = FontMap::metrics(fitted.font).lineHeight * double(fitted.lines.size());
    const QRectF box(origin + element.box.topLeft(), QSizeF(std::min(width, room.width()), height));
    return textItem(element, box, fitted.lines, fitted.font);
}

PlacedItem placeMemo(const Element &element, const QPointF &origin)
{
    const QRectF box = element.box.translated(origin);
    const double inner = box.width() - 2 * kPadding;
    QStringList lines;
    for (const QString &line : element.lines)
        lines += FontMap::wrap(element.font, line, inner);
    // A memo is a fixed box: lines that fall below it are not printed.
    const double lineHeight = FontMap::metrics(element.font).lineHeight;
    const auto fits = qsizetype((box.height() - 2 * kPadding) / lineHeight + 1e-6);
    if (lines.size() > fits)
        lines = lines.first(std::max<qsizetype>(0, fits));
    PlacedItem item = textItem(element, box, lines, element.font);
    item.textOrigin = box.topLeft() + QPointF(kPadding, kPadding);
    return item;
}

PlacedItem placeFrame(const Element &element, const QPointF &origin)
{
    const QRectF box = element.box.translated(origin);
    QStringList lines;
    if (!element.text.isEmpty())
        lines << element.text;
    PlacedItem item = textItem(element, box, lines, element.font);
    // A frame's title sits at its left, centred in its height.
    item.textOrigin = QPointF(box.left() + 2 * kPadding, box.top() + (box.height() - item.lineHeight) / 2);
    return item;
}

PlacedItem placePicture(const Element &element, const QPointF &origin)
{
    PlacedItem item;
    item.kind = ElementKind::Picture;
    item.box = element.box.translated(origin);
    item.picture = element.picture;
    return item;
}

// Later elements paint over earlier ones; a label wholly under a picture is
// invisible on paper, so it is left out of the page and of every export.
void dropCoveredLabels(QList<PlacedItem> &items)
{
    for (qsizetype i = items.size() - 1; i >= 0; --i) {
        if (items[i].kind != ElementKind::Label)
            continue;
        for (qsizetype j = i + 1; j < items.size(); ++j) {
            const PlacedItem &over = items[j];
            if (over.kind == ElementKind::Picture && !over.picture.isNull() && over.box.contains(items[i].box)) {
                items.removeAt(i);
                break;
            }
        }
    }
}

QList<PlacedItem> placeBand(const Band &band, const QPointF &origin, const PageSetup &page)
{
    QList<PlacedItem> items;
    if (band.background.isValid() && band.background != Qt::white) {
        PlacedItem background;
        background.kind = ElementKind::Frame;
        background.box = QRectF(origin, QSizeF(page.contentWidth(), band.height));
        background.fill = band.background;
        items << background;
    }
    const QList<QSizeF> rooms = LabelFit::rooms(band, page.contentWidth());
    for (qsizetype i = 0; i < band.elements.size(); ++i) {
        const Element &element = band.elements[i];
        switch (element.kind) {
        case ElementKind::Label:
            items << placeLabel(element, origin, rooms[i]);
            break;
        case ElementKind::Memo:
            items << placeMemo(element, origin);
            break;
        case ElementKind::Frame:
            items << placeFrame(element, origin);
            break;
        case ElementKind::Picture:
            items << placePicture(element, origin);
            break;
        }
    }
    dropCoveredLabels(items);
    return items;
}

} // namespace

RenderedReport render(const Report &report)
{
    RenderedReport out;
    out.title = report.title;
    out.pageSize = report.page.size;
    const PageSetup &page = report.page;

    out.pages.append(RenderedPage{});
    double y = page.marginTop;
    out.pages.last().items += placeBand(report.titleBand, QPointF(page.marginLeft, y), page);
    y += report.titleBand.height;

    for (int row = 0; row < report.rowCount; ++row) {
        Band band = report.detailBand;
        if (report.bindRow)
            report.bindRow(row, band);
        const bool pageHasBand = y > page.marginTop;
        if (pageHasBand && y + band.height > page.contentBottom() + 1e-6) {
            out.pages.append(RenderedPage{});
            y = page.marginTop;
        }
        out.pages.last().items += placeBand(band, QPointF(page.marginLeft, y), page);
        y += band.height;
    }
    return out;
}

RenderedReport render(const Report &report, const PageSetup &paper)
{
    return PageFit::fit(render(report), report.page, paper);
}

} // namespace report::ReportRenderer
