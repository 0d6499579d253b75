#pragma once

#include "store/Result.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>

// Rows of (rowid, key text) read straight from the engine through the
// connection's own handle. A search may list a few hundred thousand rows;
// for them the general query layer, with a variant per value, costs several
// times what the scan itself does.
namespace KeyedRows {

using Add = std::function<void(qint64 rowid, const QString &key)>;

// Runs `sql`, whose two result columns are an integer and a text, with
// `text` bound to its one parameter, and hands each row to `add`. Equal keys
// in a row share one string. Fails with what StoreError::text gives for the
// engine's error.
Result<void> read(const QSqlDatabase &db, const QString &sql, const QString &text, const Add &add);

} // namespace KeyedRows
