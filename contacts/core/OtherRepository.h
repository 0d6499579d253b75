#pragma once

#include "contacts/core/ContactRecords.h"

#include <QSqlDatabase>

// The SQL of `pe_other_info`: a contact's free text (normally one row).
class OtherRepository final
{
public:
    explicit OtherRepository(QSqlDatabase db);

    Fetched<OtherRecord> byContact(const QString &id) const;
    Written append(OtherRecord &record) const;
    // Update and remove fail as `gone` when the row is no longer there.
    Written update(const OtherRecord &record) const;
    Written remove(qint64 rowid) const;

private:
    QSqlDatabase m_db;
};
