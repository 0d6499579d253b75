#include "contacts/core/ContactStoreError.h"

#include "contacts/core/ContactColumns.h"
#include "store/StoreError.h"

namespace ContactStoreError {

QString describe(const QString &table, const QString &error)
{
    if (const auto tooLong = StoreError::tooLong(error)) {
        return QStringLiteral("“%1”的内容太长,保存时最多%2个字符(选择加密处理时按加密后的长度计算),本记录没有保存.")
            .arg(ContactColumns::caption(table, tooLong->column))
            .arg(tooLong->limit);
    }
    return error;
}

Result<QSqlQuery> named(const QString &table, Result<QSqlQuery> query)
{
    if (!query)
        return fail(describe(table, query.error()));
    return query;
}

Result<RowChange> rowChange(const QString &table, Result<QSqlQuery> query)
{
    if (!query)
        return fail(describe(table, query.error()));
    return query->numRowsAffected() == 0 ? RowChange::Gone : RowChange::Done;
}

} // namespace ContactStoreError
