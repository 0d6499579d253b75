#include "report/BiffWorkbook.h"
#include "report/CompoundFile.h"
#include "report/ExportFilters.h"
#include "report/ReadingOrder.h"

namespace report::ExportFilters {

QByteArray xls(const RenderedReport &report)
{
    BiffWorkbook book(report.title);
    int row = 0;
    for (const RenderedPage &page : report.pages) {
        for (const ReadingOrder::Row &pieces : ReadingOrder::rows(page)) {
            int column = 0;
            for (const ReadingOrder::Piece &piece : pieces)
                book.setCell(row, column++, piece.text);
            ++row;
        }
        ++row; // a blank row between pages
    }
    return CompoundFile::withSingleStream(QStringLiteral("Workbook"), book.stream());
}

} // namespace report::ExportFilters
