#pragma once

#include "store/Result.h"
#include "sync/core/SyncKind.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

// What a sync remembers between runs, kept in the store beside the records:
// the collection each kind syncs with and its sync token, every record the
// server holds, and the records changed here since they were last synced.
// Saves, deletes and imports mark their records by triggers in the store;
// the sync engine reads and clears the marks. Every call joins the caller's
// transaction when there is one.
namespace SyncState {

// A record the server holds: its resource's address, the ETag last seen
// (none when the server gave none) and the UID it carries.
struct Item
{
    SyncKind kind = SyncKind::Contact;
    QString key; // the record's key, as record_uid keeps it
    QString href;
    QString etag;
    QString uid;

    bool operator==(const Item &) const = default;
};

// The collection a kind syncs with; none before it is chosen.
Result<std::optional<QString>> collectionUrl(const QSqlDatabase &db, SyncKind kind);
// The token of the last sync of that collection; none before the first, or
// after the collection changed.
Result<std::optional<QString>> token(const QSqlDatabase &db, SyncKind kind);
// Another address than before forgets the kind's token and every item, which
// belonged to the old collection; the change marks stay.
Result<void> setCollection(const QSqlDatabase &db, SyncKind kind, const QString &url);
// An empty token clears it, as when the server no longer takes it. Refused
// while the kind has no collection.
Result<void> setToken(const QSqlDatabase &db, SyncKind kind, const QString &token);
// The kind syncs no more: collection, token and items are forgotten.
Result<void> forget(const QSqlDatabase &db, SyncKind kind);

Result<std::optional<Item>> itemByKey(const QSqlDatabase &db, SyncKind kind, const QString &key);
Result<std::optional<Item>> itemByHref(const QSqlDatabase &db, SyncKind kind, const QString &href);
// In key order.
Result<QList<Item>> items(const QSqlDatabase &db, SyncKind kind);
// Inserts the item or replaces what its key, or its address, had before.
Result<void> keep(const QSqlDatabase &db, const Item &item);
Result<void> drop(const QSqlDatabase &db, SyncKind kind, const QString &key);

// Keys of the records changed here since their last sync, in key order.
Result<QStringList> changedKeys(const QSqlDatabase &db, SyncKind kind);
Result<void> clearChange(const QSqlDatabase &db, SyncKind kind, const QString &key);
// Marks a record the sync itself wrote but the server does not have yet,
// such as a conflict copy written while the store is quiet.
Result<void> markChanged(const QSqlDatabase &db, SyncKind kind, const QString &key);

// While a Quiet is held, saves mark nothing: the sync writes what the server
// sent inside its own transaction. Begin it after that transaction began;
// end it before the commit, so it never outlives the transaction, and a
// crash rolls it back with the writes. Not nested.
class Quiet final
{
public:
    static Result<Quiet> begin(const QSqlDatabase &db);
    Quiet(Quiet &&other) noexcept;
    Quiet &operator=(Quiet &&other) noexcept;
    Quiet(const Quiet &) = delete;
    Quiet &operator=(const Quiet &) = delete;
    // Ends it if end() was not called, giving up on any error.
    ~Quiet();

    Result<void> end();

private:
    explicit Quiet(QSqlDatabase db);

    QSqlDatabase m_db;
    bool m_active = false;
};

} // namespace SyncState
