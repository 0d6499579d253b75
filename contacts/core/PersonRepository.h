#pragma once

#include "contacts/core/ContactRecords.h"

#include <QDateTime>
#include <QSqlDatabase>

// The SQL of `pe_info`. Rows of one contact are all rows with its id, in the
// order they were added (older stores may hold several).
class PersonRepository final
{
public:
    explicit PersonRepository(QSqlDatabase db);

    Fetched<PersonRecord> byContact(const QString &id) const;
    // Appends `record` (in stored form) as a new contact. Its id is the stamp
    // of `now`, or of the next second that no contact holds yet; it is set
    // into `record` together with the rowid.
    Written append(PersonRecord &record, const QDateTime &now) const;
    // Writes every column but the id into the row `record.rowid`. Update and
    // remove fail as `gone` when that row is no longer there.
    Written update(const PersonRecord &record) const;
    Written remove(qint64 rowid) const;

private:
    QSqlDatabase m_db;
};
