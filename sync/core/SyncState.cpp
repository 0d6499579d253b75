#include "sync/core/SyncState.h"

#include "store/Sql.h"

#include <utility>

namespace SyncState {

namespace {

const QString kItemColumns = QStringLiteral("record_key, href, etag, uid");

// An empty text is kept as NULL, so "none" reads back the same way.
QVariant orNull(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

Result<void> done(const Result<QSqlQuery> &ran)
{
    return ran ? Result<void>() : fail(ran.error());
}

Result<std::optional<QString>> collectionColumn(const QSqlDatabase &db, SyncKind kind, const QString &column)
{
    Result<QSqlQuery> read = Sql::read(db, QStringLiteral("SELECT %1 FROM sync_collection WHERE kind = ?").arg(column),
                                       {SyncKinds::name(kind)});
    if (!read)
        return fail(read.error());
    if (!read->next() || read->value(0).isNull())
        return std::optional<QString>();
    return std::optional<QString>(read->value(0).toString());
}

Item readItem(SyncKind kind, const QSqlQuery &query)
{
    return Item{kind, query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
                query.value(3).toString()};
}

Result<std::optional<Item>> oneItem(const QSqlDatabase &db, SyncKind kind, const QString &column, const QString &value)
{
    Result<QSqlQuery> read =
        Sql::read(db, QStringLiteral("SELECT %1 FROM sync_item WHERE kind = ? AND %2 = ?").arg(kItemColumns, column),
                  {SyncKinds::name(kind), value});
    if (!read)
        return fail(read.error());
    if (!read->next())
        return std::optional<Item>();
    return std::optional<Item>(readItem(kind, *read));
}

Result<void> dropItems(const QSqlDatabase &db, SyncKind kind)
{
    return done(Sql::run(db, QStringLiteral("DELETE FROM sync_item WHERE kind = ?"), {SyncKinds::name(kind)}));
}

} // namespace

Result<std::optional<QString>> collectionUrl(const QSqlDatabase &db, SyncKind kind)
{
    return collectionColumn(db, kind, QStringLiteral("url"));
}

Result<std::optional<QString>> token(const QSqlDatabase &db, SyncKind kind)
{
    return collectionColumn(db, kind, QStringLiteral("sync_token"));
}

Result<void> setCollection(const QSqlDatabase &db, SyncKind kind, const QString &url)
{
    Result<std::optional<QString>> before = collectionUrl(db, kind);
    if (!before)
        return fail(before.error());
    if (*before == url)
        return {};
    if (Result<void> dropped = dropItems(db, kind); !dropped)
        return dropped;
    return done(Sql::run(
        db, QStringLiteral("INSERT OR REPLACE INTO sync_collection (kind, url, sync_token) VALUES (?, ?, NULL)"),
        {SyncKinds::name(kind), url}));
}

Result<void> setToken(const QSqlDatabase &db, SyncKind kind, const QString &token)
{
    Result<QSqlQuery> set = Sql::run(db, QStringLiteral("UPDATE sync_collection SET sync_token = ? WHERE kind = ?"),
                                     {orNull(token), SyncKinds::name(kind)});
    if (!set)
        return fail(set.error());
    if (set->numRowsAffected() != 1)
        return fail(QStringLiteral("尚未选定同步的集合,无法记下同步进度。"));
    return {};
}

Result<void> forget(const QSqlDatabase &db, SyncKind kind)
{
    if (Result<void> dropped = dropItems(db, kind); !dropped)
        return dropped;
    return done(Sql::run(db, QStringLiteral("DELETE FROM sync_collection WHERE kind = ?"), {SyncKinds::name(kind)}));
}

Result<std::optional<Item>> itemByKey(const QSqlDatabase &db, SyncKind kind, const QString &key)
{
    return oneItem(db, kind, QStringLiteral("record_key"), key);
}

Result<std::optional<Item>> itemByHref(const QSqlDatabase &db, SyncKind kind, const QString &href)
{
    return oneItem(db, kind, QStringLiteral("href"), href);
}

Result<QList<Item>> items(const QSqlDatabase &db, SyncKind kind)
{
    Result<QSqlQuery> read =
        Sql::read(db, QStringLiteral("SELECT %1 FROM sync_item WHERE kind = ? ORDER BY record_key").arg(kItemColumns),
                  {SyncKinds::name(kind)});
    if (!read)
        return fail(read.error());
    QList<Item> all;
    while (read->next())
        all.append(readItem(kind, *read));
    return all;
}

Result<void> keep(const QSqlDatabase &db, const Item &item)
{
    return done(Sql::run(
        db,
        QStringLiteral("INSERT OR REPLACE INTO sync_item (kind, record_key, href, etag, uid) VALUES (?, ?, ?, ?, ?)"),
        {SyncKinds::name(item.kind), item.key, item.href, orNull(item.etag), item.uid}));
}

Result<void> drop(const QSqlDatabase &db, SyncKind kind, const QString &key)
{
    return done(Sql::run(db, QStringLiteral("DELETE FROM sync_item WHERE kind = ? AND record_key = ?"),
                         {SyncKinds::name(kind), key}));
}

Result<QStringList> changedKeys(const QSqlDatabase &db, SyncKind kind)
{
    Result<QSqlQuery> read =
        Sql::read(db, QStringLiteral("SELECT record_key FROM sync_change WHERE kind = ? ORDER BY record_key"),
                  {SyncKinds::name(kind)});
    if (!read)
        return fail(read.error());
    QStringList keys;
    while (read->next())
        keys.append(read->value(0).toString());
    return keys;
}

Result<void> clearChange(const QSqlDatabase &db, SyncKind kind, const QString &key)
{
    return done(Sql::run(db, QStringLiteral("DELETE FROM sync_change WHERE kind = ? AND record_key = ?"),
                         {SyncKinds::name(kind), key}));
}

Result<void> markChanged(const QSqlDatabase &db, SyncKind kind, const QString &key)
{
    return done(Sql::run(db, QStringLiteral("INSERT OR IGNORE INTO sync_change (kind, record_key) VALUES (?, ?)"),
                         {SyncKinds::name(kind), key}));
}

Quiet::Quiet(QSqlDatabase db)
    : m_db(std::move(db))
    , m_active(true)
{
}

Result<Quiet> Quiet::begin(const QSqlDatabase &db)
{
    if (Result<QSqlQuery> set = Sql::run(db, QStringLiteral("INSERT INTO sync_quiet (one) VALUES (1)")); !set)
        return fail(set.error());
    return Quiet(db);
}

Quiet::Quiet(Quiet &&other) noexcept
    : m_db(std::move(other.m_db))
    , m_active(std::exchange(other.m_active, false))
{
}

Quiet &Quiet::operator=(Quiet &&other) noexcept
{
    if (this != &other) {
        (void)end();
        m_db = std::move(other.m_db);
        m_active = std::exchange(other.m_active, false);
    }
    return *this;
}

Quiet::~Quiet()
{
    (void)end();
}

Result<void> Quiet::end()
{
    if (!m_active)
        return {};
    m_active = false;
    return done(Sql::run(m_db, QStringLiteral("DELETE FROM sync_quiet")));
}

} // namespace SyncState
