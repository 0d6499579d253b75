#pragma once

#include <QSqlError>
#include <QString>

// The message for a write the store refused. A value too long for its column
// is named by the caption the user knows it by, with its limit; any other
// error keeps the engine's own text.
namespace ContactStoreError {

QString describe(const QString &table, const QSqlError &error);

} // namespace ContactStoreError
