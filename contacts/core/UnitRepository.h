#pragma once

#include "contacts/core/ContactRecords.h"

#include <QSqlDatabase>

// The SQL of `pe_dw_info`: a contact's work units in the order they were added.
class UnitRepository final
{
public:
    explicit UnitRepository(QSqlDatabase db);

    Fetched<UnitRecord> byContact(const QString &id) const;
    // Appends `record` (stored form, its id set); sets its rowid.
    Written append(UnitRecord &record) const;
    // Update and remove fail as `gone` when the row is no longer there.
    Written update(const UnitRecord &record) const;
    Written remove(qint64 rowid) const;

private:
    QSqlDatabase m_db;
};
