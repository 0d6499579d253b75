#include "lunar/core/LunarDate.h"

#include <memory>
#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

namespace {

const QString kStems = QStringLiteral("甲乙丙丁戊己庚辛壬癸");
const QString kBranches = QStringLiteral("子丑寅卯辰巳午未申酉戌亥");
const QString kDigits = QStringLiteral("一二三四五六七八九十");

// One calendar per thread, made once: making one costs far more than
// reckoning a day. Its zone is GMT so the Julian day set is the day read.
icu::Calendar *chineseCalendar()
{
    thread_local std::unique_ptr<icu::Calendar> calendar = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Calendar> made(icu::Calendar::createInstance(
            icu::TimeZone::getGMT()->clone(), icu::Locale("zh_CN@calendar=chinese"), status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    return calendar.get();
}

QString digit(int n)
{
    return QString(kDigits.at(n - 1));
}

} // namespace

std::optional<LunarDate> LunarDate::of(const QDate &day)
{
    icu::Calendar *calendar = chineseCalendar();
    if (!day.isValid() || !calendar)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    calendar->clear();
    // ICU numbers Julian days as QDate does (2440588 is 1970-01-01).
    calendar->set(UCAL_JULIAN_DAY, static_cast<int32_t>(day.toJulianDay()));
    LunarDate lunar;
    lunar.cycleYear = calendar->get(UCAL_YEAR, status);
    lunar.month = calendar->get(UCAL_MONTH, status) + 1;
    lunar.leapMonth = calendar->get(UCAL_IS_LEAP_MONTH, status) != 0;
    lunar.day = calendar->get(UCAL_DATE, status);
    if (U_FAILURE(status) || lunar.cycleYear < 1 || lunar.cycleYear > 60)
        return std::nullopt;
    return lunar;
}

QString LunarDate::yearText() const
{
    const int index = cycleYear - 1;
    return QString(kStems.at(index % 10)) + kBranches.at(index % 12) + QStringLiteral("年");
}

QString LunarDate::monthText() const
{
    QString name;
    if (month == 1)
        name = QStringLiteral("正");
    else if (month == 12)
        name = QStringLiteral("腊");
    else if (month == 11)
        name = QStringLiteral("十一");
    else
        name = digit(month);
    return (leapMonth ? QStringLiteral("闰") : QString()) + name + QStringLiteral("月");
}

QString LunarDate::dayText() const
{
    if (day <= 10)
        return QStringLiteral("初") + digit(day);
    if (day < 20)
        return QStringLiteral("十") + digit(day - 10);
    if (day == 20)
        return QStringLiteral("二十");
    if (day < 30)
        return QStringLiteral("廿") + digit(day - 20);
    return QStringLiteral("三十");
}

QString LunarDate::text() const
{
    return yearText() + u' ' + monthText() + dayText();
}
