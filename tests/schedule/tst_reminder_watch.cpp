#include "schedule/core/JobRepository.h"
#include "schedule/core/ReminderWatch.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QLocale>
#include <QSqlQuery>
#include <QTest>

namespace {

QDateTime at(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2024, 5, day), QTime(hour, minute, second));
}

} // namespace

class TstReminderWatch : public QObject
{
    Q_OBJECT

    // A job as the planner stores it; returns its rowid, or fails the test
    // and returns -1, which addresses no job.
    qint64 addJob(const QString &dateId, bool reminder = true)
    {
        JobRecord job;
        job.dateId = dateId;
        job.memo = QStringLiteral("job");
        job.reminder = reminder;
        job.completion = JobRecord::kOpenJob;
        JobRepository jobs(Store::database());
        const Result<void> stored = jobs.append(job, at(1, 8, 0));
        if (!stored) {
            QTest::qFail(qPrintable(QStringLiteral("job not stored: ") + stored.error()), __FILE__, __LINE__);
            return -1;
        }
        return job.rowid;
    }

    // Ticks once a second from `from` to `to`; the moments a reminder came.
    static QList<QDateTime> run(ReminderWatch &watch, const QDateTime &from, const QDateTime &to)
    {
        QList<QDateTime> shown;
        for (QDateTime now = from; now <= to; now = now.addSecs(1)) {
            while (watch.tick(now).message)
                shown << now;
        }
        return shown;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }

    void wholeDayShowsEachReminderOnceInItsMinute()
    {
        TempStore store;
        VERIFY_OK(store.make());
        Store::database().transaction();
        addJob(QStringLiteral("20240501000000"));
        addJob(QStringLiteral("20240501093000"));
        addJob(QStringLiteral("20240501093000")); // two jobs, one minute: two messages
        addJob(QStringLiteral("20240501235900"));
        addJob(QStringLiteral("20240501120000"), false);
        addJob(QStringLiteral("20240502093000")); // another day
        const qint64 done = addJob(QStringLiteral("20240501170000"));
        QVERIFY(JobRepository(Store::database()).markDone(done, QStringLiteral("20240501080000")));
        QVERIFY(Store::database().commit());

        ReminderWatch watch(Store::database());
        QVERIFY(watch.reload(at(1, 0, 0)));
        QCOMPARE(watch.count(), 5);
        const QList<QDateTime> shown = run(watch, at(1, 0, 0), at(1, 23, 59, 59));
        QCOMPARE(shown, (QList<QDateTime>{at(1, 0, 0), at(1, 9, 30), at(1, 9, 30), at(1, 17, 0), at(1, 23, 59)}));
    }

    void minuteAlreadyBegun_data()
    {
        QTest::addColumn<QDateTime>("reloadAt");
        QTest::addColumn<int>("shown");
        QTest::newRow("last second of the minute") << at(1, 9, 30, 59) << 1;
        QTest::newRow("minute over") << at(1, 9, 31, 0) << 0;
    }
    void minuteAlreadyBegun()
    {
        QFETCH(QDateTime, reloadAt);
        QFETCH(int, shown);
        TempStore store;
        VERIFY_OK(store.make());
        addJob(QStringLiteral("20240501093000"));
        ReminderWatch watch(Store::database());
        QVERIFY(watch.reload(reloadAt));
        QCOMPARE(run(watch, reloadAt, reloadAt.addSecs(120)).size(), shown);
    }

    void reloadShowsAShownReminderAgain()
    {
        TempStore store;
        VERIFY_OK(store.make());
        addJob(QStringLiteral("20240501093000"));
        ReminderWatch watch(Store::database());
        QVERIFY(watch.reload(at(1, 9, 0)));
        QCOMPARE(run(watch, at(1, 9, 30, 0), at(1, 9, 30, 10)).size(), 1);
        QVERIFY(watch.reload(at(1, 9, 30, 20)));
        QCOMPARE(run(watch, at(1, 9, 30, 20), at(1, 9, 31, 30)).size(), 1);
    }

    void newDayIsWatchedAfterMidnight()
    {
        TempStore store;
        VERIFY_OK(store.make());
        addJob(QStringLiteral("20240502000000"));
        addJob(QStringLiteral("20240502070000"));
        ReminderWatch watch(Store::database());
        QVERIFY(watch.reload(at(1, 23, 0)));
        QVERIFY(!watch.isWatching()); // nothing for the first day
        const QList<QDateTime> shown = run(watch, at(1, 23, 59, 30), at(2, 7, 0, 30));
        QCOMPARE(shown, (QList<QDateTime>{at(2, 0, 0), at(2, 7, 0)}));
        QCOMPARE(watch.day(), QDate(2024, 5, 2));
    }

    void jobRemovedBeforeReloadIsNotReminded()
    {
        TempStore store;
        VERIFY_OK(store.make());
        const qint64 rowid = addJob(QStringLiteral("20240501093000"));
        ReminderWatch watch(Store::database());
        QVERIFY(watch.reload(at(1, 9, 0)));
        QVERIFY(JobRepository(Store::database()).remove(rowid));
        QVERIFY(watch.reload(at(1, 9, 10)));
        QVERIFY(run(watch, at(1, 9, 10), at(1, 9, 40)).isEmpty());
    }

    void messageAndClock()
    {
        TempStore store;
        VERIFY_OK(store.make());
        ReminderWatch watch(Store::database());
        QVERIFY(watch.reload(at(1, 9, 0)));
        // Nothing to watch today: the clock label is left alone.
        QVERIFY(!watch.tick(at(1, 9, 0, 5)).clock);

        addJob(QStringLiteral("20240501093000"));
        QVERIFY(watch.reload(at(1, 9, 0)));
        QCOMPARE(watch.tick(at(1, 9, 29, 5)).clock, QStringLiteral("09:29:05"));
        const ReminderWatch::Tick due = watch.tick(at(1, 9, 30, 7));
        QCOMPARE(due.message, QStringLiteral("现在:2024/5/1 09:30:07有日程安排,请查看..."));
        QVERIFY(!due.clock); // comes with the tick after the message
        QCOMPARE(watch.tick(at(1, 9, 30, 8)).clock, QStringLiteral("09:30:08"));
    }

    void storeErrorLeavesTheWatchIdle()
    {
        TempStore store;
        VERIFY_OK(store.make());
        addJob(QStringLiteral("20240501093000"));
        ReminderWatch watch(Store::database());
        QVERIFY(watch.reload(at(1, 9, 0)));
        QVERIFY(QSqlQuery(Store::database()).exec(QStringLiteral("DROP TABLE job_do")));
        const QString error = watch.reload(at(1, 9, 1)).error();
        QVERIFY(!error.isEmpty());
        QVERIFY2(error.contains(QStringLiteral("no such table")), qPrintable(error));
        QVERIFY(!watch.isWatching());
        QVERIFY(run(watch, at(1, 9, 29), at(1, 9, 31)).isEmpty());
        // The next day's reload reports the same error once.
        QVERIFY(watch.tick(at(2, 0, 0)).error.contains(QStringLiteral("no such table")));
        QVERIFY(watch.tick(at(2, 0, 1)).error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstReminderWatch)
#include "tst_reminder_watch.moc"
