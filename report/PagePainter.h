#pragma once

#include "report/RenderedReport.h"

class QPainter;

// Draws one laid-out page. The same code draws the preview, the printed
// sheet and the PDF; only the scale differs.
namespace report::PagePainter {

// `pixelsPerMm`: device pixels per millimetre of the page. The painter's
// origin is the page's top-left corner.
void paint(QPainter &painter, const RenderedPage &page, const QSizeF &pageSize, double pixelsPerMm);

} // namespace report::PagePainter
