#include "PagePrinter.h"

#include "PagePainter.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace report::PagePrinter {

namespace {

std::optional<bool> &availabilityOverride()
{
    static std::optional<bool> value;
    return value;
}

} // namespace

void prepare(QPrinter &printer, const RenderedReport &report)
{
    printer.setPageSize(QPageSize(report.pageSize, QPageSize::Millimeter));
    printer.setPageOrientation(QPageLayout::Portrait);
}

bool printerAvailable()
{
    if (availabilityOverride())
        return *availabilityOverride();
    return !QPrinterInfo::availablePrinters().isEmpty();
}

void overrideAvailability(std::optional<bool> available)
{
    availabilityOverride() = available;
}

bool print(const RenderedReport &report, QPrinter &printer)
{
    printer.setFullPage(true);
    printer.setDocName(report.title);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const double pixelsPerMm = printer.resolution() / 25.4;
    for (qsizetype i = 0; i < report.pages.size(); ++i) {
        if (i > 0 && !printer.newPage())
            return false;
        PagePainter::paint(painter, report.pages[i], report.pageSize, pixelsPerMm);
    }
    return painter.end();
}

} // namespace report::PagePrinter
