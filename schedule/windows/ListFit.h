#pragma once

#include <QList>

class QAbstractItemModel;
class QTableView;

// Column widths of the schedule's lists. The widths the lists were drawn
// with suit a smaller font than this desktop's, so a column is widened
// where its title, or a cell text it can hold, needs more room.
namespace ListFit {

// Sets each column of `view` to at least `widths` and to what its title
// and the cells of `samples` (the same kind of model, holding the widest
// rows the list can meet) need; returns the width the view needs to show
// every column beside its vertical scroll bar.
int fitColumns(QTableView *view, const QList<int> &widths, const QAbstractItemModel &samples);

} // namespace ListFit
