#pragma once

#include "report/RenderedReport.h"

// A report is designed for one paper. Printed on another (a different size,
// landscape, wider margins), each designed page is scaled down evenly until
// its content fits inside the new margins, and starts at their top-left
// corner. Nothing is ever enlarged, so on the designed paper with the
// designed margins the pages stay exactly as designed.
namespace report::PageFit {

// The factor applied to every length and font size, at most 1.
double scale(const PageSetup &design, const PageSetup &paper);

RenderedReport fit(const RenderedReport &designed, const PageSetup &design, const PageSetup &paper);

} // namespace report::PageFit
