#pragma once

#include <optional>
#include <QDate>
#include <QString>

// A day of the Chinese lunisolar calendar, as ICU's Chinese calendar reckons
// it for a Gregorian day.
struct LunarDate
{
    int cycleYear = 0; // the year's place in the sexagenary cycle, 1 (甲子) to 60 (癸亥)
    int month = 0;     // 1 (正月) to 12 (腊月)
    bool leapMonth = false;
    int day = 0; // 1 (初一) to 30 (三十)

    // The lunar date of `day`; nullopt for an invalid day or when ICU
    // cannot reckon it.
    static std::optional<LunarDate> of(const QDate &day);

    // "丙午年": the stem and branch of the lunar year, which begins at the
    // lunar new year, not on 1 January.
    QString yearText() const;
    // "正月", "二月", ..., "十一月", "腊月"; "闰四月" for a leap month.
    QString monthText() const;
    // "初一" ... "初十", "十一" ... "十九", "二十", "廿一" ... "廿九", "三十".
    QString dayText() const;
    // "丙午年 十一月初二".
    QString text() const;

    bool operator==(const LunarDate &) const = default;
};
