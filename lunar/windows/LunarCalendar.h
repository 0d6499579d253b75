#pragma once

#include "lunar/core/LunarDay.h"

#include <QCalendarWidget>
#include <QHash>
#include <QSet>

// A month calendar that knows the lunar calendar: each day's tooltip gives its
// lunar date, term and festival; a festival or term day is drawn in red and,
// where the cell has room, named under its number; days the owner marks
// (those that hold jobs, say) are drawn in bold.
class LunarCalendar final : public QCalendarWidget
{
    Q_OBJECT

public:
    explicit LunarCalendar(QWidget *parent = nullptr);

    // Draws `days` in bold instead of the days marked before.
    void setMarkedDays(const QSet<QDate> &days);
    const QSet<QDate> &markedDays() const { return m_marked; }
    // What the calendar shows of `date`, a day of the page in sight.
    LunarDay lunarDay(QDate date) const { return m_days.value(date); }

protected:
    void paintCell(QPainter *painter, const QRect &rect, QDate date) const override;

private:
    void readPage(int year, int month);
    void applyFormats();

    QHash<QDate, LunarDay> m_days; // the days of the page in sight
    QSet<QDate> m_marked;
};
