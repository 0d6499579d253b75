#pragma once

#include "contacts/core/ContactRecords.h"
#include "contacts/core/LocalStamps.h"
#include "store/Result.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <optional>

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
// PersonRepository::append gives them. Made again for each batch: it knows
// the store as it was when made.
class PersonAppender final
{
public:
    static Result<PersonAppender> make(const QSqlDatabase &db);
    // Appends `record` under the stamp of `from` (seconds since the epoch),
    // or of the next second that no contact holds; returns the second used.
    Result<qint64> append(PersonRecord &record, qint64 from);

private:
    PersonAppender(QSqlQuery taken, QSqlQuery insert, std::optional<QString> highest);
    Result<QString> freeId(qint64 &moment);

    QSqlQuery m_taken;  // is a stamp held by a contact already?
    QSqlQuery m_insert; // the new row
    // No id in the store sorts after this one, so a later stamp is free
    // without asking; none when the store holds an id that is not text.
    std::optional<QString> m_highest;
    LocalStamps m_stamps;
};
