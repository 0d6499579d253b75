#include "schedule/core/JobDays.h"

#include "store/Sql.h"
#include "store/TimeStamp.h"

#include <QSqlQuery>

JobDays::JobDays(QSqlDatabase db)
    : m_db(std::move(db))
{
}

// A range on date_id, as the day list reads it, lets the store use its index.
Result<QSet<QDate>> JobDays::inMonth(int year, int month) const
{
    QSet<QDate> days;
    const QDate first(year, month, 1);
    if (!first.isValid())
        return days;
    auto query =
        Sql::read(m_db,
                  QStringLiteral("SELECT DISTINCT substr(date_id, 1, %1) FROM job_do "
                                 "WHERE date_id >= ? AND date_id < ?")
                      .arg(TimeStamp::kDayKeyLength),
                  {first.toString(QStringLiteral("yyyyMM")), first.addMonths(1).toString(QStringLiteral("yyyyMM"))});
    if (!query)
        return fail(query.error());
    while (query->next()) {
        const QDate day = QDate::fromString(query->value(0).toString(), QStringLiteral("yyyyMMdd"));
        if (day.isValid())
            days.insert(day);
    }
    return days;
}
