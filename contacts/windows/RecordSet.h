#pragma once

#include "Dialogs.h"
#include "RecordGrid.h"

#include <QList>
#include <QString>
#include <QStringList>

// The rows one contact has in a record table, as a tab opens them.
namespace RecordSet {

// Every row of `contactId` ("" has none); a store error is shown over
// `parent` and leaves what could be read.
template<typename Repository>
auto fetch(const Repository &repository, const QString &contactId, QWidget *parent)
{
    if (contactId.isEmpty())
        return decltype(repository.byContact(contactId).rows)();
    auto fetched = repository.byContact(contactId);
    if (!fetched.ok())
        Dialogs::error(parent, fetched.error);
    return fetched.rows;
}

// The list of the rows appears only for two or more of them; the memo box
// below takes its room otherwise.
inline void show(RecordGrid *grid, QWidget *gridBox, QWidget *memo, const QList<QStringList> &cells,
                 int memoWithList, int memoAlone)
{
    grid->setRows(cells);
    const bool several = cells.size() >= 2;
    gridBox->setVisible(several);
    memo->setFixedHeight(several ? memoWithList : memoAlone);
}

} // namespace RecordSet
