#pragma once

#include "contacts/core/ContactRecords.h"
#include "contacts/core/ContactStoreError.h"
#include "platform/ui/Dialogs.h"

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

// Shows why a write failed and returns true. A row deleted meanwhile also
// leaves the set (`reopen`), so the form keeps what it shows, typed text
// included, but no longer points at a row.
template<typename Reopen>
bool failed(const Written &written, QWidget *parent, Reopen reopen)
{
    if (written.ok)
        return false;
    Dialogs::error(parent, written.error);
    if (written.gone)
        reopen();
    return true;
}

// The form shows a record that was deleted: it can be neither saved nor deleted.
inline void reportGone(QWidget *parent)
{
    Dialogs::error(parent, ContactStoreError::kGone);
}

} // namespace RecordSet
