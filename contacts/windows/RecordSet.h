#pragma once

#include "Dialogs.h"

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

} // namespace RecordSet
