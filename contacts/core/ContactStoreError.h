#pragma once

#include <QSqlError>
#include <QString>

// The message for a write the store refused. A value too long for its column
// is named by the caption the user knows it by, with its limit; any other
// error keeps the engine's own text.
namespace ContactStoreError {

// An edit or delete whose row is no longer in the store.
inline const QString kGone = QStringLiteral("本记录已不存在,请刷新所有记录");

QString describe(const QString &table, const QSqlError &error);

} // namespace ContactStoreError
