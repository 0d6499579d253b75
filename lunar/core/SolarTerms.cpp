#include "lunar/core/SolarTerms.h"

#include <array>

namespace {

// Each entry is DDHHMM: the day of the term's month, the hour and the minute.
constexpr int kTable[SolarTerms::kLastYear - SolarTerms::kFirstYear + 1][SolarTerms::kCount] = {
#include "lunar/core/SolarTermTable.inc"
};

constexpr std::array<const char16_t *, SolarTerms::kCount> kNames = {
    u"小寒", u"大寒", u"立春", u"雨水", u"惊蛰", u"春分", u"清明", u"谷雨", u"立夏", u"小满", u"芒种", u"夏至",
    u"小暑", u"大暑", u"立秋", u"处暑", u"白露", u"秋分", u"寒露", u"霜降", u"立冬", u"小雪", u"大雪", u"冬至",
};

bool inTable(int year, int index)
{
    return year >= SolarTerms::kFirstYear && year <= SolarTerms::kLastYear && index >= 0 && index < SolarTerms::kCount;
}

int entry(int year, int index)
{
    return kTable[year - SolarTerms::kFirstYear][index];
}

} // namespace

QString SolarTerms::name(int index)
{
    if (index < 0 || index >= kCount)
        return {};
    return QString::fromUtf16(kNames[index]);
}

QDate SolarTerms::date(int year, int index)
{
    if (!inTable(year, index))
        return {};
    return QDate(year, index / 2 + 1, entry(year, index) / 10000);
}

QTime SolarTerms::time(int year, int index)
{
    if (!inTable(year, index))
        return {};
    return QTime(entry(year, index) / 100 % 100, entry(year, index) % 100);
}

// Two terms fall in each month, the first before the 10th and the second
// after the 17th, so one comparison picks the only candidate.
int SolarTerms::on(const QDate &day)
{
    if (!day.isValid() || day.year() < kFirstYear || day.year() > kLastYear)
        return -1;
    const int index = (day.month() - 1) * 2 + (day.day() > 15 ? 1 : 0);
    return date(day.year(), index) == day ? index : -1;
}
