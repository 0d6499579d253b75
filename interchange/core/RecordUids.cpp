#include "interchange/core/RecordUids.h"

#include "store/Sql.h"

#include <QUuid>

#include <algorithm>

namespace RecordUids {

namespace {

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Contact:
        return QStringLiteral("contact");
    case Kind::Job:
        return QStringLiteral("job");
    case Kind::Note:
        return QStringLiteral("note");
    }
    return {};
}

Result<std::optional<QString>> storedUid(const QSqlDatabase &db, Kind kind, const QString &recordKey)
{
    Result<QVariant> uid =
        Sql::scalar(db, QStringLiteral("SELECT uid FROM record_uid WHERE kind = ? AND record_key = ?"),
                    {kindName(kind), recordKey});
    if (!uid)
        return fail(uid.error());
    if (!uid->isValid())
        return std::optional<QString>();
    return std::optional<QString>(uid->toString());
}

} // namespace

Result<QString> uidFor(const QSqlDatabase &db, Kind kind, const QString &recordKey)
{
    Result<std::optional<QString>> stored = storedUid(db, kind, recordKey);
    if (!stored)
        return fail(stored.error());
    if (*stored)
        return **stored;
    const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (Result<void> kept = keep(db, kind, recordKey, made); !kept)
        return fail(kept.error());
    return made;
}

Result<QHash<QString, QString>> uidsFor(const QSqlDatabase &db, Kind kind, const QStringList &keys)
{
    Result<QSqlQuery> read =
        Sql::read(db, QStringLiteral("SELECT record_key, uid FROM record_uid WHERE kind = ?"), {kindName(kind)});
    if (!read)
        return fail(read.error());
    QHash<QString, QString> uids;
    while (read->next())
        uids.insert(read->value(0).toString(), read->value(1).toString());
    read->finish();
    Result<QSqlQuery> insert =
        Sql::prepare(db, QStringLiteral("INSERT INTO record_uid (kind, record_key, uid) VALUES (?, ?, ?)"));
    if (!insert)
        return fail(insert.error());
    QList<std::pair<QString, QString>> made; // (uid, key)
    for (const QString &key : keys) {
        if (!uids.contains(key))
            made.append({QUuid::createUuid().toString(QUuid::WithoutBraces), key});
    }
    // Kept in the order of their UIDs, so the index by UID grows at its end
    // instead of at random places.
    std::sort(made.begin(), made.end());
    for (const auto &[uid, key] : std::as_const(made)) {
        if (Result<void> kept = Sql::exec(*insert, {kindName(kind), key, uid}); !kept)
            return fail(kept.error());
        uids.insert(key, uid);
    }
    return uids;
}

Result<std::optional<QString>> keyFor(const QSqlDatabase &db, Kind kind, const QString &uid)
{
    Result<QVariant> key = Sql::scalar(
        db, QStringLiteral("SELECT record_key FROM record_uid WHERE kind = ? AND uid = ?"), {kindName(kind), uid});
    if (!key)
        return fail(key.error());
    if (!key->isValid())
        return std::optional<QString>();
    return std::optional<QString>(key->toString());
}

Result<void> keep(const QSqlDatabase &db, Kind kind, const QString &recordKey, const QString &uid)
{
    // A UID names one record: whichever record held it before lets it go.
    if (Result<QSqlQuery> freed =
            Sql::run(db, QStringLiteral("DELETE FROM record_uid WHERE kind = ? AND uid = ?"), {kindName(kind), uid});
        !freed)
        return fail(freed.error());
    Result<QSqlQuery> kept =
        Sql::run(db, QStringLiteral("INSERT OR REPLACE INTO record_uid (kind, record_key, uid) VALUES (?, ?, ?)"),
                 {kindName(kind), recordKey, uid});
    return kept ? Result<void>() : fail(kept.error());
}

Result<void> forget(const QSqlDatabase &db, Kind kind, const QString &recordKey)
{
    Result<QSqlQuery> dropped = Sql::run(db, QStringLiteral("DELETE FROM record_uid WHERE kind = ? AND record_key = ?"),
                                         {kindName(kind), recordKey});
    return dropped ? Result<void>() : fail(dropped.error());
}

Batch::Batch(Kind kind)
    : m_kind(kindName(kind))
{
}

Result<Batch> Batch::make(const QSqlDatabase &db, Kind kind)
{
    Batch batch(kind);
    const QList<std::pair<QSqlQuery *, QString>> statements = {
        {&batch.m_key, QStringLiteral("SELECT record_key FROM record_uid WHERE kind = ? AND uid = ?")},
        {&batch.m_free, QStringLiteral("DELETE FROM record_uid WHERE kind = ? AND uid = ?")},
        {&batch.m_keep, QStringLiteral("INSERT OR REPLACE INTO record_uid (kind, record_key, uid) VALUES (?, ?, ?)")},
    };
    for (const auto &[query, statement] : statements) {
        Result<QSqlQuery> prepared = Sql::prepare(db, statement);
        if (!prepared)
            return fail(prepared.error());
        *query = std::move(prepared).value();
    }
    return batch;
}

Result<std::optional<QString>> Batch::keyFor(const QString &uid)
{
    if (Result<void> asked = Sql::exec(m_key, {m_kind, uid}); !asked)
        return fail(asked.error());
    std::optional<QString> key;
    if (m_key.next())
        key = m_key.value(0).toString();
    m_key.finish();
    return key;
}

Result<void> Batch::keep(const QString &recordKey, const QString &uid)
{
    // A UID names one record: whichever record held it before lets it go.
    if (Result<void> freed = Sql::exec(m_free, {m_kind, uid}); !freed)
        return freed;
    return Sql::exec(m_keep, {m_kind, recordKey, uid});
}

} // namespace RecordUids
