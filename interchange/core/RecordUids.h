#pragma once

#include "store/Result.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <optional>

// The UID another program knows a record by. A record is found by its own
// stored key (a contact's pe_id, a job's id, a note's date_id); reading a
// file again finds the record by the UID in it and updates it instead of
// adding a copy. Calls run inside the caller's transaction when there is one.
namespace RecordUids {

enum class Kind { Contact, Job, Note };

// The record's UID, made and kept the first time it is asked for.
Result<QString> uidFor(const QSqlDatabase &db, Kind kind, const QString &recordKey);

// The UIDs of many records at once, by key, as an export of a whole
// address book needs them: each of `keys` that has none is given one, kept
// through one prepared statement.
Result<QHash<QString, QString>> uidsFor(const QSqlDatabase &db, Kind kind, const QStringList &keys);

// The key of the record that has `uid`; none when no record has it.
Result<std::optional<QString>> keyFor(const QSqlDatabase &db, Kind kind, const QString &uid);

// Ties `uid` to the record, replacing what either had before.
Result<void> keep(const QSqlDatabase &db, Kind kind, const QString &recordKey, const QString &uid);

// Drops the record's UID, as when the record is deleted.
Result<void> forget(const QSqlDatabase &db, Kind kind, const QString &recordKey);

// keyFor and keep through statements prepared once, for an import that asks
// for thousands of records.
class Batch final
{
public:
    static Result<Batch> make(const QSqlDatabase &db, Kind kind);
    Result<std::optional<QString>> keyFor(const QString &uid);
    Result<void> keep(const QString &recordKey, const QString &uid);

private:
    explicit Batch(Kind kind);

    QString m_kind;
    QSqlQuery m_key, m_free, m_keep;
};

} // namespace RecordUids
