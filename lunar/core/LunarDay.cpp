#include "lunar/core/LunarDay.h"

#include "lunar/core/LunarDate.h"
#include "lunar/core/SolarTerms.h"

namespace {

struct Festival
{
    int month, day;
    const char16_t *name;
};

// Festivals kept on a lunar day; a leap month has none, its days repeat a
// month whose festival has passed.
constexpr Festival kFestivals[] = {
    {1, 1, u"春节"},  {1, 15, u"元宵"}, {5, 5, u"端午"},  {7, 7, u"七夕"},
    {8, 15, u"中秋"}, {9, 9, u"重阳"},  {12, 8, u"腊八"},
};

constexpr int kQingming = 6;

// 除夕 is the last day of the lunar year, 腊月廿九 or 三十: the day before 春节.
bool isNewYearsEve(const QDate &day)
{
    const auto next = LunarDate::of(day.addDays(1));
    return next && next->month == 1 && !next->leapMonth && next->day == 1;
}

QString festivalOf(const QDate &day, const LunarDate &lunar, int term)
{
    if (!lunar.leapMonth) {
        for (const Festival &festival : kFestivals) {
            if (festival.month == lunar.month && festival.day == lunar.day)
                return QString::fromUtf16(festival.name);
        }
    }
    if (lunar.month == 12 && lunar.day >= 29 && isNewYearsEve(day))
        return QStringLiteral("除夕");
    if (term == kQingming)
        return SolarTerms::name(kQingming);
    return {};
}

} // namespace

LunarDay LunarDay::of(const QDate &day)
{
    const auto lunar = LunarDate::of(day);
    if (!lunar)
        return {};
    const int term = SolarTerms::on(day);
    return {lunar->text(), SolarTerms::name(term), festivalOf(day, *lunar, term)};
}

QString LunarDay::displayText() const
{
    QString text = lunarText;
    for (const QString &name : {solarTerm, festival}) {
        if (!name.isEmpty() && !text.endsWith(name))
            text += u' ' + name;
    }
    return text;
}

QString LunarDay::markText() const
{
    return festival.isEmpty() ? solarTerm : festival;
}
