#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// The 24 solar terms of 1900 to 2100, from a table made by an astronomical
// computation (lunar/tools/solar_terms.cpp, described in lunar/README.md).
// A term's day is its day in China Standard Time, as Chinese almanacs give it.
class SolarTerms final
{
public:
    static constexpr int kFirstYear = 1900;
    static constexpr int kLastYear = 2100;
    static constexpr int kCount = 24;

    // Terms are numbered in the order of the Gregorian year: 0 小寒, 1 大寒,
    // 2 立春, ..., 6 清明, ..., 23 冬至. Term `index` falls in month index / 2 + 1.
    static QString name(int index);
    // The day term `index` of `year` begins; invalid outside the table.
    static QDate date(int year, int index);
    // Its minute in China Standard Time; invalid outside the table.
    static QTime time(int year, int index);
    // The term that begins on `day`, or -1.
    static int on(const QDate &day);

private:
    SolarTerms() = delete;
};
