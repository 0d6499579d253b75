#pragma once

#include "contacts/core/ContactRecords.h"
#include "store/Result.h"

#include <QSqlQuery>
#include <QString>

// The message for a statement the store refused. A value too long for its
// column is named by the caption the user knows it by, with its limit; any
// other error keeps the store's own text.
namespace ContactStoreError {

// An edit or delete whose row is no longer in the store.
inline const QString kGone = QStringLiteral("本记录已不存在,请刷新所有记录");

// `error` is the text of a failed statement on `table`.
QString describe(const QString &table, const QString &error);

// `query` unchanged when it ran; otherwise its failure described for `table`.
Result<QSqlQuery> named(const QString &table, Result<QSqlQuery> query);

// What an UPDATE or DELETE of one row by its rowid did: Gone when it touched no row.
Result<RowChange> rowChange(const QString &table, Result<QSqlQuery> query);

} // namespace ContactStoreError
