#include "store/Clock.h"
#include "store/Store.h"
#include "store/TimeStamp.h"
#include "store/UniqueStamp.h"
#include "TempStore.h"

#include <QSqlQuery>
#include <QTest>

class TstTimeStamp : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Clock::reset(); }

    void formatsFourteenDigits()
    {
        Clock::setNow(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
        QCOMPARE(TimeStamp::now(), QStringLiteral("20260304050607"));
        QCOMPARE(TimeStamp::todayKey(), QStringLiteral("20260304"));
    }

    void clockAdvancesWallAndMonotonicTogether()
    {
        Clock::setNow(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
        const qint64 before = Clock::monotonicMs();
        Clock::advance(1500);
        QCOMPARE(Clock::monotonicMs() - before, 1500);
        QCOMPARE(TimeStamp::now(), QStringLiteral("20270101000000"));
    }

    void parses_data()
    {
        QTest::addColumn<QString>("stamp");
        QTest::addColumn<bool>("valid");
        QTest::newRow("good") << QStringLiteral("20261210235959") << true;
        QTest::newRow("short") << QStringLiteral("2026121023595") << false;
        QTest::newRow("month 13") << QStringLiteral("20261310000000") << false;
        QTest::newRow("letters") << QStringLiteral("2026121023595x") << false;
        QTest::newRow("arabic-indic digits") << QStringLiteral("٢٠٢٦١٢١٠٠٠٠٠٠٠") << false;
    }
    void parses()
    {
        QFETCH(QString, stamp);
        QFETCH(bool, valid);
        QCOMPARE(TimeStamp::isValid(stamp), valid);
    }

    void uniqueStampReportsTheEnginesText()
    {
        TempStore store;
        VERIFY_OK(store.make());
        QSqlQuery(Store::database()).exec(QStringLiteral("DROP TABLE job_do"));
        const Result<QString> stamp =
            UniqueStamp::next(Store::database(), QStringLiteral("job_do"), QStringLiteral("id"),
                              QDateTime(QDate(2026, 12, 10), QTime(8, 0)));
        QVERIFY(!stamp);
        QVERIFY2(stamp.error().contains(QStringLiteral("no such table")), qPrintable(stamp.error()));
    }

    void uniqueStampSkipsTakenSeconds()
    {
        TempStore store;
        VERIFY_OK(store.make());
        QSqlQuery insert(Store::database());
        insert.prepare(QStringLiteral("INSERT INTO pe_info (pe_id, pe_name) VALUES (?, 'x')"));
        for (const char *id : {"20261210080000", "20261210080001"}) {
            insert.addBindValue(QString::fromLatin1(id));
            QVERIFY(insert.exec());
        }
        const QDateTime from(QDate(2026, 12, 10), QTime(8, 0, 0));
        QCOMPARE(
            UniqueStamp::next(Store::database(), QStringLiteral("pe_info"), QStringLiteral("pe_id"), from).valueOr({}),
            QStringLiteral("20261210080002"));
        QCOMPARE(
            UniqueStamp::next(Store::database(), QStringLiteral("pe_info"), QStringLiteral("pe_id"), from.addSecs(5))
                .valueOr({}),
            QStringLiteral("20261210080005"));
    }
};

QTEST_GUILESS_MAIN(TstTimeStamp)
#include "tst_time_stamp.moc"
