#include "UniqueStamp.h"

#include "StoreError.h"
#include "TimeStamp.h"

#include <QSqlError>
#include <QSqlQuery>

namespace UniqueStamp {

QString next(QSqlDatabase db, const QString &table, const QString &column, const QDateTime &from,
             QString *error)
{
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? LIMIT 1").arg(table, column))) {
        if (error)
            *error = StoreError::text(query.lastError());
        return {};
    }
    for (QDateTime moment = from;; moment = moment.addSecs(1)) {
        const QString stamp = TimeStamp::format(moment);
        query.addBindValue(stamp);
        if (!query.exec()) {
            if (error)
                *error = StoreError::text(query.lastError());
            return {};
        }
        const bool taken = query.next();
        query.finish();
        if (!taken)
            return stamp;
    }
}

} // namespace UniqueStamp
