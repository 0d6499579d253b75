#include "report/PagePrinter.h"

#include "report/PagePainter.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace report::PagePrinter {

namespace {

std::optional<QPageLayout> &sessionLayout()
{
    static std::optional<QPageLayout> layout;
    return layout;
}

QPageLayout designedLayout(const PageSetup &design)
{
    return QPageLayout(QPageSize(design.size, QPageSize::Millimeter), QPageLayout::Portrait,
                       QMarginsF(design.marginLeft, design.marginTop, design.marginRight, design.marginBottom),
                       QPageLayout::Millimeter);
}

} // namespace

bool printerAvailable()
{
    return !QPrinterInfo::availablePrinters().isEmpty();
}

void prepare(QPrinter &printer, const PageSetup &design)
{
    if (!printer.setPageLayout(sessionLayout().value_or(designedLayout(design)))) {
        // Margins narrower than the printer allows: the paper and the
        // orientation still count.
        const QPageLayout wanted = sessionLayout().value_or(designedLayout(design));
        printer.setPageSize(wanted.pageSize());
        printer.setPageOrientation(wanted.orientation());
    }
}

void keepPageSetup(const QPageLayout &layout)
{
    QPageLayout kept = layout;
    kept.setMode(QPageLayout::StandardMode);
    sessionLayout() = kept;
}

void forgetPageSetup()
{
    sessionLayout().reset();
}

PageSetup paperOf(const QPrinter &printer)
{
    const QPageLayout layout = printer.pageLayout();
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    PageSetup paper;
    paper.size = layout.fullRect(QPageLayout::Millimeter).size();
    paper.marginLeft = margins.left();
    paper.marginTop = margins.top();
    paper.marginRight = margins.right();
    paper.marginBottom = margins.bottom();
    return paper;
}

Result<void> print(const RenderedReport &report, QPrinter &printer)
{
    // The pages carry their margins: draw from the sheet's corner, and give
    // the printer its margins back for the next page set-up.
    printer.setFullPage(true);
    printer.setDocName(report.title);
    QPainter painter;
    bool printed = painter.begin(&printer);
    const double pixelsPerMm = printer.resolution() / 25.4;
    for (qsizetype i = 0; printed && i < report.pages.size(); ++i) {
        if (i > 0 && !printer.newPage())
            printed = false;
        else
            PagePainter::paint(painter, report.pages[i], report.pageSize, pixelsPerMm);
    }
    if (painter.isActive())
        printed = painter.end() && printed;
    printer.setFullPage(false);
    if (!printed)
        return fail(QStringLiteral("打印机无法开始打印"));
    return {};
}

} // namespace report::PagePrinter
