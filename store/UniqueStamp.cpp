#include "store/UniqueStamp.h"

#include "store/Sql.h"
#include "store/TimeStamp.h"

namespace UniqueStamp {

QString takenStatement(const QString &table, const QString &column)
{
    return QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? LIMIT 1").arg(table, column);
}

Result<QString> next(const QSqlDatabase &db, const QString &table, const QString &column, const QDateTime &from)
{
    const QString statement = takenStatement(table, column);
    for (QDateTime moment = from;; moment = moment.addSecs(1)) {
        const QString stamp = TimeStamp::format(moment);
        Result<QSqlQuery> taken = Sql::read(db, statement, {stamp});
        if (!taken)
            return fail(taken.error());
        if (!taken->next())
            return stamp;
    }
}

} // namespace UniqueStamp
