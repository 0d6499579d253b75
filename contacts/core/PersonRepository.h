#pragma once

#include "contacts/core/ContactRecords.h"
#include "store/Result.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>

// The SQL of `pe_info`. Rows of one contact are all rows with its id, in the
// order they were added (older stores may hold several).
class PersonRepository final
{
public:
    explicit PersonRepository(QSqlDatabase db);

    Result<QList<PersonRecord>> byContact(const QString &id) const;
    // Appends `record` (in stored form) as a new contact. Its id is the stamp
    // of `now`, or of the next second that no contact holds yet; it is set
    // into `record` together with the rowid.
    Result<void> append(PersonRecord &record, const QDateTime &now) const;
    // Writes every column but the id into the row `record.rowid`. Update and
    // remove give RowChange::Gone when that row is no longer there.
    Result<RowChange> update(const PersonRecord &record) const;
    Result<RowChange> remove(qint64 rowid) const;

private:
    QSqlDatabase m_db;
};

// Appends many new contacts through statements prepared once, as an import
// does, so a row costs what the engine's own insert costs. Ids are given as
// PersonRepository::append gives them.
class PersonAppender final
{
public:
    static Result<PersonAppender> make(const QSqlDatabase &db);
    Result<void> append(PersonRecord &record, const QDateTime &now);

private:
    PersonAppender(QSqlQuery taken, QSqlQuery insert);
    Result<QString> freeId(const QDateTime &from);

    QSqlQuery m_taken;  // is a stamp held by a contact already?
    QSqlQuery m_insert; // the new row
};
