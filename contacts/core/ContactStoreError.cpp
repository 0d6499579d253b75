#include "contacts/core/ContactStoreError.h"

#include "contacts/core/ContactColumns.h"
#include "store/StoreError.h"

namespace ContactStoreError {

QString describe(const QString &table, const QSqlError &error)
{
    if (const auto tooLong = StoreError::tooLong(error)) {
        return QStringLiteral("“%1”的内容太长,保存时最多%2个字符(选择加密处理时按加密后的长度计算),本记录没有保存.")
            .arg(ContactColumns::caption(table, tooLong->column))
            .arg(tooLong->limit);
    }
    return StoreError::text(error);
}

} // namespace ContactStoreError
