#include "report/ExportFilters.h"
#include "report/ReadingOrder.h"

namespace report::ExportFilters {

QByteArray text(const RenderedReport &report)
{
    QStringList pages;
    for (const RenderedPage &page : report.pages) {
        QStringList lines;
        for (const ReadingOrder::Row &row : ReadingOrder::rows(page)) {
            QStringList pieces;
            for (const ReadingOrder::Piece &piece : row)
                pieces << piece.text;
            lines << pieces.join(u' ');
        }
        pages << lines.join(u'\n') + u'\n';
    }
    return pages.join(u'\f').toUtf8();
}

} // namespace report::ExportFilters
