#pragma once

#include "report/RenderedReport.h"
#include "store/Result.h"

#include <optional>

class QPageLayout;
class QPrinter;

// Printing the laid-out pages through Qt's print support, and the page
// set-up the user chose, which holds for the rest of the session.
namespace report::PagePrinter {

// Whether a printer is installed.
bool printerAvailable();

// Sets the printer to the session's page set-up, or to `design` until the
// user has chosen one. A printer that cannot take it keeps what it can, so
// the layout follows the printer's own page, not this request.
void prepare(QPrinter &printer, const PageSetup &design);
// Keeps `layout` for every later preview of this session.
void keepPageSetup(const QPageLayout &layout);
// Back to the designed page (for tests).
void forgetPageSetup();

// The paper, orientation and margins `printer` is set to, in millimetres.
PageSetup paperOf(const QPrinter &printer);

// Draws every page on `printer`, each on a sheet of its own, from the
// sheet's corner. Fails when the printer cannot be started.
Result<void> print(const RenderedReport &report, QPrinter &printer);

} // namespace report::PagePrinter
