#pragma once

#include "store/Result.h"

#include <QDate>
#include <QSet>
#include <QSqlDatabase>

// Which days of a month hold jobs, for the planner's calendar to mark.
class JobDays final
{
public:
    explicit JobDays(QSqlDatabase db);

    // The days of `year`-`month` that at least one job is planned for.
    Result<QSet<QDate>> inMonth(int year, int month) const;

private:
    QSqlDatabase m_db;
};
