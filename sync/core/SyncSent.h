#pragma once

#include "store/Result.h"
#include "sync/core/SyncKind.h"

#include <QSqlDatabase>
#include <QString>

#include <optional>

// What a sync is sending, kept before the request goes out (table
// sync_sent): the digest of what the record said. When the answer is lost,
// the next sync recognises the version it finds on the server as its own
// and sends the record again instead of making a conflict copy of it.
namespace SyncSent {

QString digest(const QString &meaning);
Result<void> keep(const QSqlDatabase &db, SyncKind kind, const QString &key, const QString &digest);
Result<std::optional<QString>> find(const QSqlDatabase &db, SyncKind kind, const QString &key);
Result<void> forget(const QSqlDatabase &db, SyncKind kind, const QString &key);

} // namespace SyncSent
