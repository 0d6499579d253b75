#pragma once

#include "RenderedReport.h"

#include <optional>

class QPrinter;

// Printing the laid-out pages through Qt's print support.
namespace report::PagePrinter {

// Whether a printer is installed. A test may decide the answer, so that no
// test ever reaches a real printer.
bool printerAvailable();
void overrideAvailability(std::optional<bool> available);

// Sets the printer to the report's paper, before the user's page set-up
// (which may change it) and printing.
void prepare(QPrinter &printer, const RenderedReport &report);

// Draws every page on `printer`, each on a sheet of its own, from the
// sheet's corner. False when the printer cannot be started.
bool print(const RenderedReport &report, QPrinter &printer);

} // namespace report::PagePrinter
