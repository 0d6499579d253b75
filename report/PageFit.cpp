#include "report/PageFit.h"

namespace report::PageFit {

namespace {

// Margins wider than the paper leave no room; the pages still get a size.
constexpr double kSmallestScale = 0.05;

struct Mapping
{
    QPointF from; // the designed content's top-left corner
    QPointF to;   // the paper's content top-left corner
    double scale;

    QPointF point(const QPointF &p) const { return to + (p - from) * scale; }
    QRectF rect(const QRectF &r) const { return {point(r.topLeft()), r.size() * scale}; }
};

PlacedItem mapped(PlacedItem item, const Mapping &m)
{
    item.box = m.rect(item.box);
    item.textOrigin = m.point(item.textOrigin);
    item.lineHeight *= m.scale;
    item.ascent *= m.scale;
    item.font.pointSize *= m.scale;
    return item;
}

} // namespace

double scale(const PageSetup &design, const PageSetup &paper)
{
    const double across = paper.contentWidth() / design.contentWidth();
    const double down = paper.contentHeight() / design.contentHeight();
    return std::clamp(std::min(across, down), kSmallestScale, 1.0);
}

RenderedReport fit(const RenderedReport &designed, const PageSetup &design, const PageSetup &paper)
{
    RenderedReport out = designed;
    out.pageSize = paper.size;
    const Mapping m{QPointF(design.marginLeft, design.marginTop), QPointF(paper.marginLeft, paper.marginTop),
                    scale(design, paper)};
    if (m.from == m.to && m.scale == 1.0)
        return out;
    for (RenderedPage &page : out.pages)
        for (PlacedItem &item : page.items)
            item = mapped(item, m);
    return out;
}

} // namespace report::PageFit
