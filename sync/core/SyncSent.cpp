#include "sync/core/SyncSent.h"

#include "store/Sql.h"

#include <QCryptographicHash>

namespace SyncSent {

QString digest(const QString &meaning)
{
    return QString::fromLatin1(QCryptographicHash::hash(meaning.toUtf8(), QCryptographicHash::Sha256).toHex());
}

Result<void> keep(const QSqlDatabase &db, SyncKind kind, const QString &key, const QString &digest)
{
    Result<QSqlQuery> kept =
        Sql::run(db, QStringLiteral("INSERT OR REPLACE INTO sync_sent (kind, record_key, meaning) VALUES (?, ?, ?)"),
                 {SyncKinds::name(kind), key, digest});
    return kept ? Result<void>() : fail(kept.error());
}

Result<std::optional<QString>> find(const QSqlDatabase &db, SyncKind kind, const QString &key)
{
    Result<QSqlQuery> found =
        Sql::read(db, QStringLiteral("SELECT meaning FROM sync_sent WHERE kind = ? AND record_key = ?"),
                  {SyncKinds::name(kind), key});
    if (!found)
        return fail(found.error());
    if (!found->next())
        return std::optional<QString>();
    return std::optional<QString>(found->value(0).toString());
}

Result<void> forget(const QSqlDatabase &db, SyncKind kind, const QString &key)
{
    Result<QSqlQuery> gone = Sql::run(db, QStringLiteral("DELETE FROM sync_sent WHERE kind = ? AND record_key = ?"),
                                      {SyncKinds::name(kind), key});
    return gone ? Result<void>() : fail(gone.error());
}

} // namespace SyncSent
