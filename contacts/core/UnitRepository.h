#pragma once

#include "contacts/core/ContactRecords.h"
#include "store/Result.h"

#include <QSqlDatabase>

// The SQL of `pe_dw_info`: a contact's work units in the order they were added.
class UnitRepository final
{
public:
    explicit UnitRepository(QSqlDatabase db);

    Result<QList<UnitRecord>> byContact(const QString &id) const;
    // Appends `record` (stored form, its id set); sets its rowid.
    Result<void> append(UnitRecord &record) const;
    // Update and remove give RowChange::Gone when the row is no longer there.
    Result<RowChange> update(const UnitRecord &record) const;
    Result<RowChange> remove(qint64 rowid) const;

private:
    QSqlDatabase m_db;
};
