#pragma once

#include "store/Result.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

// The first rows of a statement and how many rows it gives in all, read
// straight from the engine through the connection's own handle. A search may
// list a few hundred thousand rows; the general query layer, which reads a
// variant per cell of every row, costs several times what stepping over them
// does.
namespace KeyedRows {

struct FirstRows
{
    QList<QStringList> rows; // every column as text; a NULL as a null text
    qint64 count = 0;
};

// Runs `sql` with `values` (texts and integers) bound in order to its "?"
// placeholders, reads its first `keep` rows and steps over the rest. Fails
// with what StoreError::text gives for the engine's error.
Result<FirstRows> firstRows(const QSqlDatabase &db, const QString &sql, const QVariantList &values, int keep);

} // namespace KeyedRows
