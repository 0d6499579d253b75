#include "lunar/core/SolarTerms.h"

#include <QTest>

// The table of solar terms against the days almanacs published, and the
// shape every year of it must have.
namespace {

const QStringList kNames = {"小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨",
                            "立夏", "小满", "芒种", "夏至", "小暑", "大暑", "立秋", "处暑",
                            "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"};

void addYear(int year, const QList<int> &days)
{
    for (int index = 0; index < SolarTerms::kCount; ++index) {
        const QDate day(year, index / 2 + 1, days[index]);
        QTest::addRow("%d %s", year, qPrintable(kNames[index])) << index << day;
    }
}

void addTerm(const char *name, const QDate &day)
{
    QTest::addRow("%d %s", day.year(), name) << int(kNames.indexOf(QString::fromUtf8(name))) << day;
}

} // namespace

class TstSolarTerms : public QObject
{
    Q_OBJECT

private slots:
    void names()
    {
        for (int index = 0; index < SolarTerms::kCount; ++index)
            QCOMPARE(SolarTerms::name(index), kNames[index]);
        QVERIFY(SolarTerms::name(-1).isEmpty());
        QVERIFY(SolarTerms::name(24).isEmpty());
    }

    // Days in China Standard Time as the almanacs and the public holiday
    // calendars gave them. 2021 冬至 came at 23:59 and 1984 冬至 at 00:23,
    // where a slip of the time scale would move the day.
    void publishedDays_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QDate>("day");
        addYear(2024, {6, 20, 4, 19, 5, 20, 4, 19, 5, 20, 5, 21, 6, 22, 7, 22, 7, 22, 8, 23, 7, 22, 6, 21});
        addYear(2025, {5, 20, 3, 18, 5, 20, 4, 20, 5, 21, 5, 21, 7, 22, 7, 23, 7, 23, 8, 23, 7, 22, 7, 21});
        for (const QDate &day :
             {QDate(2008, 4, 4), QDate(2009, 4, 4), QDate(2010, 4, 5), QDate(2011, 4, 5), QDate(2012, 4, 4),
              QDate(2013, 4, 4), QDate(2014, 4, 5), QDate(2015, 4, 5), QDate(2016, 4, 4), QDate(2017, 4, 4),
              QDate(2018, 4, 5), QDate(2019, 4, 5), QDate(2020, 4, 4), QDate(2021, 4, 4), QDate(2022, 4, 5),
              QDate(2023, 4, 5), QDate(2026, 4, 5)})
            addTerm("清明", day);
        addTerm("立春", QDate(2026, 2, 4));
        addTerm("冬至", QDate(2026, 12, 22));
        addTerm("立春", QDate(2017, 2, 3));
        addTerm("立春", QDate(2021, 2, 3));
        addTerm("冬至", QDate(2021, 12, 21));
        addTerm("冬至", QDate(2022, 12, 22));
        addTerm("冬至", QDate(2023, 12, 22));
        addTerm("立春", QDate(2008, 2, 4));
        addTerm("夏至", QDate(2008, 6, 21));
        addTerm("春分", QDate(2000, 3, 20));
        addTerm("夏至", QDate(2000, 6, 21));
        addTerm("冬至", QDate(2000, 12, 21));
        addTerm("夏至", QDate(1999, 6, 22));
        addTerm("冬至", QDate(1999, 12, 22));
        addTerm("冬至", QDate(1984, 12, 22));
        addTerm("夏至", QDate(1962, 6, 22));
    }
    void publishedDays()
    {
        QFETCH(int, index);
        QFETCH(QDate, day);
        QCOMPARE(SolarTerms::date(day.year(), index), day);
        QCOMPARE(SolarTerms::on(day), index);
        QCOMPARE(SolarTerms::on(day.addDays(-1)), -1);
        QCOMPARE(SolarTerms::on(day.addDays(1)), -1);
    }

    // Minutes the almanacs gave, far enough from a minute's edge to hold.
    void publishedMinutes_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("index");
        QTest::addColumn<QTime>("time");
        QTest::newRow("2024 小寒") << 2024 << 0 << QTime(4, 49);
        QTest::newRow("2024 立春") << 2024 << 2 << QTime(16, 27);
        QTest::newRow("2025 立春") << 2025 << 2 << QTime(22, 10);
        QTest::newRow("2025 冬至") << 2025 << 23 << QTime(23, 3);
        QTest::newRow("2021 冬至") << 2021 << 23 << QTime(23, 59);
        QTest::newRow("1962 夏至") << 1962 << 11 << QTime(5, 24);
    }
    void publishedMinutes()
    {
        QFETCH(int, year);
        QFETCH(int, index);
        QFETCH(QTime, time);
        QCOMPARE(SolarTerms::time(year, index), time);
    }

    // Every year of the table: 24 terms in order, two a month, 14 to 17
    // days apart, each found again by its day.
    void everyYearInOrder()
    {
        QDate previous;
        for (int year = SolarTerms::kFirstYear; year <= SolarTerms::kLastYear; ++year) {
            int found = 0;
            for (QDate day(year, 1, 1); day.year() == year; day = day.addDays(1))
                found += SolarTerms::on(day) >= 0 ? 1 : 0;
            QCOMPARE(found, SolarTerms::kCount);
            for (int index = 0; index < SolarTerms::kCount; ++index) {
                const QDate day = SolarTerms::date(year, index);
                QVERIFY2(day.isValid() && day.month() == index / 2 + 1, qPrintable(QString::number(year)));
                QCOMPARE(SolarTerms::on(day), index);
                QVERIFY(SolarTerms::time(year, index).isValid());
                if (previous.isValid()) {
                    const qint64 gap = previous.daysTo(day);
                    QVERIFY2(gap >= 14 && gap <= 17, qPrintable(day.toString(Qt::ISODate)));
                }
                previous = day;
            }
        }
    }

    void outsideTheTable()
    {
        QVERIFY(!SolarTerms::date(1899, 0).isValid());
        QVERIFY(!SolarTerms::date(2101, 23).isValid());
        QVERIFY(!SolarTerms::date(2000, 24).isValid());
        QVERIFY(!SolarTerms::time(2000, -1).isValid());
        QCOMPARE(SolarTerms::on(QDate(1899, 12, 22)), -1);
        QCOMPARE(SolarTerms::on(QDate(2101, 1, 5)), -1);
        QCOMPARE(SolarTerms::on(QDate()), -1);
    }
};

QTEST_APPLESS_MAIN(TstSolarTerms)
#include "tst_solar_terms.moc"
