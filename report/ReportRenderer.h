#pragma once

#include "report/RenderedReport.h"

// Lays a report out into pages: the title band once at the top of the first
// page, then the detail band once per data row, a new page whenever the next
// band would cross the bottom margin. A report with no rows still has one
// page with its title.
namespace report::ReportRenderer {

RenderedReport render(const Report &report);
// The same, for `paper` instead of the report's own page (see PageFit.h).
RenderedReport render(const Report &report, const PageSetup &paper);

} // namespace report::ReportRenderer
