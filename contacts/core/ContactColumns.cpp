#include "contacts/core/ContactColumns.h"

namespace ContactColumns {

QString caption(const QString &table, const QString &column)
{
    const QStringList &columns = table == kUnitTable ? kUnitTexts : kPersonTexts;
    const QStringList &captions = table == kUnitTable ? kUnitCaptions : kPersonCaptions;
    const qsizetype at = columns.indexOf(column);
    if (at >= 0)
        return captions.at(at);
    if (column == kOtherMemo)
        return QStringLiteral("其他信息");
    return column;
}

} // namespace ContactColumns
