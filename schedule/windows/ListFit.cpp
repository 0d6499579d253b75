#include "schedule/windows/ListFit.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>

namespace ListFit {
namespace {

int titleWidth(const QTableView *view, const QAbstractItemModel &samples, int column)
{
    const QHeaderView *header = view->horizontalHeader();
    if (header->isHidden())
        return 0;
    // The title of a column with a selected row is drawn bold.
    QFont font = header->font();
    font.setBold(true);
    const int margin = view->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    return QFontMetrics(font).horizontalAdvance(samples.headerData(column, Qt::Horizontal).toString()) + 2 * margin;
}

int widestCell(const QTableView *view, const QAbstractItemModel &samples, int column)
{
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const QFontMetrics metrics(view->font());
    int widest = 0;
    for (int row = 0; row < samples.rowCount(); ++row)
        widest = std::max(widest, metrics.horizontalAdvance(samples.index(row, column).data().toString()) + 2 * margin);
    return widest;
}

} // namespace

int fitColumns(QTableView *view, const QList<int> &widths, const QAbstractItemModel &samples)
{
    int total = 0;
    for (int column = 0; column < samples.columnCount(); ++column) {
        const int width =
            std::max({int(widths.value(column)), titleWidth(view, samples, column), widestCell(view, samples, column)});
        view->setColumnWidth(column, width);
        total += width;
    }
    const int scrollBar = view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    const int header = view->verticalHeader()->isHidden() ? 0 : view->verticalHeader()->width();
    return total + header + scrollBar + 2 * view->frameWidth();
}

} // namespace ListFit
