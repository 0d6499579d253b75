#include "contacts/core/ContactQuery.h"

#include "contacts/core/ContactStoreError.h"

#include <QSqlError>

namespace ContactQuery {

Written run(QSqlQuery &query, const QString &table, const QString &sql, const QVariantList &values)
{
    // A statement the engine cannot prepare (a table missing from a damaged
    // store, say) must report the engine's reason, not the later "parameter
    // count mismatch" of running it unprepared.
    if (!query.prepare(sql))
        return {false, ContactStoreError::describe(table, query.lastError())};
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        return {false, ContactStoreError::describe(table, query.lastError())};
    return {};
}

Written changeOne(QSqlQuery &query, const QString &table, const QString &sql, const QVariantList &values)
{
    const Written written = run(query, table, sql, values);
    if (written.ok && query.numRowsAffected() == 0)
        return {false, ContactStoreError::kGone, true};
    return written;
}

} // namespace ContactQuery
