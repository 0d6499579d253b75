#include "lunar/core/LunarDate.h"
#include "lunar/core/LunarDay.h"

#include <QTest>

// The lunar date of a Gregorian day as the windows show it, and the
// festivals that fall on it.
class TstLunarDay : public QObject
{
    Q_OBJECT

private slots:
    void text_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("text");
        QTest::newRow("a winter day") << QDate(2026, 12, 10) << "丙午年 十一月初二";
        QTest::newRow("new year's day 1900") << QDate(1900, 1, 31) << "庚子年 正月初一";
        QTest::newRow("founding day 1949") << QDate(1949, 10, 1) << "己丑年 八月初十";
        QTest::newRow("1 January 2000, still the old lunar year") << QDate(2000, 1, 1) << "己卯年 十一月廿五";
        QTest::newRow("last day of 甲辰, in solar 2025") << QDate(2025, 1, 28) << "甲辰年 腊月廿九";
        QTest::newRow("first day of 乙巳") << QDate(2025, 1, 29) << "乙巳年 正月初一";
        QTest::newRow("last day of 癸卯, thirty days") << QDate(2024, 2, 9) << "癸卯年 腊月三十";
        QTest::newRow("first day of 甲辰") << QDate(2024, 2, 10) << "甲辰年 正月初一";
        QTest::newRow("last day of 乙巳, in solar 2026") << QDate(2026, 2, 16) << "乙巳年 腊月廿九";
        QTest::newRow("first day of 丙午") << QDate(2026, 2, 17) << "丙午年 正月初一";
        QTest::newRow("2020 leap fourth month") << QDate(2020, 5, 23) << "庚子年 闰四月初一";
        QTest::newRow("2023 leap second month begins") << QDate(2023, 3, 22) << "癸卯年 闰二月初一";
        QTest::newRow("2023 leap second month ends") << QDate(2023, 4, 19) << "癸卯年 闰二月廿九";
        QTest::newRow("2023 third month after the leap") << QDate(2023, 4, 20) << "癸卯年 三月初一";
        QTest::newRow("2025 leap sixth month") << QDate(2025, 7, 25) << "乙巳年 闰六月初一";
        QTest::newRow("mid-autumn 2024") << QDate(2024, 9, 17) << "甲辰年 八月十五";
        QTest::newRow("last table year") << QDate(2100, 12, 31) << "庚申年 腊月初一";
    }
    void text()
    {
        QFETCH(QDate, day);
        QFETCH(QString, text);
        const auto lunar = LunarDate::of(day);
        QVERIFY(lunar);
        QCOMPARE(lunar->text(), text);
        QCOMPARE(LunarDay::of(day).lunarText, text);
    }

    void dayTexts()
    {
        const QStringList expected = {
            "初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八", "初九", "初十",
            "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八", "十九", "二十",
            "廿一", "廿二", "廿三", "廿四", "廿五", "廿六", "廿七", "廿八", "廿九", "三十",
        };
        for (int day = 1; day <= 30; ++day)
            QCOMPARE(LunarDate({1, 1, false, day}).dayText(), expected[day - 1]);
    }

    void monthTexts()
    {
        const QStringList expected = {"正月", "二月", "三月", "四月", "五月",   "六月",
                                      "七月", "八月", "九月", "十月", "十一月", "腊月"};
        for (int month = 1; month <= 12; ++month) {
            QCOMPARE(LunarDate({1, month, false, 1}).monthText(), expected[month - 1]);
            QCOMPARE(LunarDate({1, month, true, 1}).monthText(), u'闰' + expected[month - 1]);
        }
    }

    // The sexagenary cycle: 甲子 first, 癸亥 last, stems and branches
    // turning together.
    void yearTexts_data()
    {
        QTest::addColumn<int>("cycleYear");
        QTest::addColumn<QString>("text");
        QTest::newRow("first") << 1 << "甲子年";
        QTest::newRow("second") << 2 << "乙丑年";
        QTest::newRow("eleventh") << 11 << "甲戌年";
        QTest::newRow("thirteenth") << 13 << "丙子年";
        QTest::newRow("forty-third") << 43 << "丙午年";
        QTest::newRow("last") << 60 << "癸亥年";
    }
    void yearTexts()
    {
        QFETCH(int, cycleYear);
        QFETCH(QString, text);
        QCOMPARE(LunarDate({cycleYear, 1, false, 1}).yearText(), text);
    }

    // Over the whole range the year changes exactly on 正月初一, one step
    // along the cycle, whatever the Gregorian year does meanwhile.
    void yearTurnsAtTheLunarNewYear()
    {
        auto previous = LunarDate::of(QDate(1900, 1, 1));
        QVERIFY(previous);
        int newYears = 0;
        for (QDate day(1900, 1, 2); day <= QDate(2100, 12, 31); day = day.addDays(1)) {
            const auto lunar = LunarDate::of(day);
            QVERIFY2(lunar, qPrintable(day.toString(Qt::ISODate)));
            const bool newYear = lunar->month == 1 && !lunar->leapMonth && lunar->day == 1;
            if (newYear) {
                ++newYears;
                QCOMPARE(lunar->cycleYear, previous->cycleYear % 60 + 1);
            } else {
                QVERIFY2(lunar->cycleYear == previous->cycleYear, qPrintable(day.toString(Qt::ISODate)));
            }
            previous = lunar;
        }
        QCOMPARE(newYears, 201);
    }

    void invalidDay()
    {
        QVERIFY(!LunarDate::of(QDate()));
        const LunarDay none = LunarDay::of(QDate());
        QVERIFY(none.lunarText.isEmpty());
        QVERIFY(none.displayText().isEmpty());
    }

    void festivals_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("festival");
        QTest::newRow("春节") << QDate(2025, 1, 29) << "春节";
        QTest::newRow("元宵") << QDate(2025, 2, 12) << "元宵";
        QTest::newRow("端午") << QDate(2025, 5, 31) << "端午";
        QTest::newRow("七夕") << QDate(2025, 8, 29) << "七夕";
        QTest::newRow("中秋") << QDate(2025, 10, 6) << "中秋";
        QTest::newRow("重阳") << QDate(2025, 10, 29) << "重阳";
        QTest::newRow("腊八") << QDate(2026, 1, 26) << "腊八";
        QTest::newRow("除夕 of a 腊月 of 29 days") << QDate(2025, 1, 28) << "除夕";
        QTest::newRow("除夕 of a 腊月 of 30 days") << QDate(2024, 2, 9) << "除夕";
        QTest::newRow("腊月廿九 of a 腊月 of 30 days") << QDate(2024, 2, 8) << "";
        QTest::newRow("清明, a solar term") << QDate(2025, 4, 4) << "清明";
        QTest::newRow("the day after 清明") << QDate(2025, 4, 5) << "";
        QTest::newRow("端午 2009") << QDate(2009, 5, 28) << "端午";
        QTest::newRow("闰五月初五 2009") << QDate(2009, 6, 27) << "";
        QTest::newRow("闰七月初七 2006") << QDate(2006, 8, 30) << "";
        QTest::newRow("闰九月初九 2014") << QDate(2014, 11, 1) << "";
        QTest::newRow("a plain day") << QDate(2025, 3, 3) << "";
    }
    void festivals()
    {
        QFETCH(QDate, day);
        QFETCH(QString, festival);
        QCOMPARE(LunarDay::of(day).festival, festival);
    }

    // Each lunar year of the range holds every festival once, in the order
    // of the year: a leap month repeats none, and no 除夕 is missed.
    void festivalsOncePerLunarYear()
    {
        const QStringList expected = {"春节", "元宵", "清明", "端午", "七夕", "中秋", "重阳", "腊八", "除夕"};
        QStringList year;
        int years = 0;
        for (QDate day(1900, 1, 31); day <= QDate(2100, 12, 31); day = day.addDays(1)) {
            const QString festival = LunarDay::of(day).festival;
            if (festival == QStringLiteral("春节") && !year.isEmpty()) {
                QVERIFY2(year == expected, qPrintable(day.toString(Qt::ISODate) + u' ' + year.join(u',')));
                ++years;
                year.clear();
            }
            if (!festival.isEmpty())
                year << festival;
        }
        QCOMPARE(years, 200);
    }

    void displayText_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("text");
        QTest::newRow("a plain day") << QDate(2026, 12, 10) << "丙午年 十一月初二";
        QTest::newRow("a term") << QDate(2024, 12, 21) << "甲辰年 十一月廿一 冬至";
        QTest::newRow("a festival") << QDate(2024, 9, 17) << "甲辰年 八月十五 中秋";
        QTest::newRow("除夕") << QDate(2025, 1, 28) << "甲辰年 腊月廿九 除夕";
    }
    void displayText()
    {
        QFETCH(QDate, day);
        QFETCH(QString, text);
        QCOMPARE(LunarDay::of(day).displayText(), text);
    }

    // 清明 is a term and a festival, and is named once.
    void qingmingNamedOnce()
    {
        const LunarDay day = LunarDay::of(QDate(2025, 4, 4));
        QCOMPARE(day.solarTerm, QStringLiteral("清明"));
        QCOMPARE(day.festival, QStringLiteral("清明"));
        QCOMPARE(day.displayText(), day.lunarText + QStringLiteral(" 清明"));
        QCOMPARE(day.markText(), QStringLiteral("清明"));
    }

    void markText()
    {
        QCOMPARE(LunarDay::of(QDate(2024, 12, 21)).markText(), QStringLiteral("冬至"));
        QCOMPARE(LunarDay::of(QDate(2025, 1, 29)).markText(), QStringLiteral("春节"));
        QVERIFY(LunarDay::of(QDate(2025, 3, 3)).markText().isEmpty());
    }
};

QTEST_APPLESS_MAIN(TstLunarDay)
#include "tst_lunar_day.moc"
