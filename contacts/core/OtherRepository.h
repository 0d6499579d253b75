#pragma once

#include "contacts/core/ContactRecords.h"
#include "store/Result.h"

#include <QSqlDatabase>

// The SQL of `pe_other_info`: a contact's free text (normally one row).
class OtherRepository final
{
public:
    explicit OtherRepository(QSqlDatabase db);

    Result<QList<OtherRecord>> byContact(const QString &id) const;
    Result<void> append(OtherRecord &record) const;
    // Update and remove give RowChange::Gone when the row is no longer there.
    Result<RowChange> update(const OtherRecord &record) const;
    Result<RowChange> remove(qint64 rowid) const;

private:
    QSqlDatabase m_db;
};
