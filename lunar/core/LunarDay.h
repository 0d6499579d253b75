#pragma once

#include <QDate>
#include <QString>

// What the windows show of a day beside its Gregorian date: its lunar date,
// the solar term that begins on it and the traditional festival it is.
struct LunarDay
{
    QString lunarText; // "丙午年 十一月初二"; empty when the day has no lunar date
    QString solarTerm; // "冬至", or empty
    QString festival; // "春节", "元宵", "端午", "七夕", "中秋", "重阳", "腊八", "除夕", "清明", or empty

    static LunarDay of(const QDate &day);

    // "丙午年 十一月初二 冬至": the lunar date, then the term and the festival
    // (清明 once, being both).
    QString displayText() const;
    // The name a calendar cell shows: the festival, else the term, else empty.
    QString markText() const;
};
