#include "schedule/core/JobRepository.h"
#include "schedule/core/ReminderWatch.h"
#include "store/FieldCodec.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace {

using Reminder = ReminderWatch::Reminder;

QDateTime at(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2024, 5, 1).addDays(day - 1), QTime(hour, minute, second));
}

QStringList texts(const QList<Reminder> &reminders)
{
    QStringList result;
    for (const Reminder &reminder : reminders)
        result << reminder.text;
    return result;
}

} // namespace

class TstReminderWatch : public QObject
{
    Q_OBJECT

    // A job as the planner stores it; returns its rowid, or fails the test
    // and returns -1, which addresses no job.
    qint64 addJob(const QString &dateId, const QString &memo = QStringLiteral("job"), bool reminder = true,
                  bool isProtected = false)
    {
        JobRecord job;
        job.dateId = dateId;
        job.memo = isProtected ? FieldCodec::encode(memo) : memo;
        job.reminder = reminder;
        job.isProtected = isProtected;
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
            for (qsizetype i = 0, due = watch.tick(now).due.size(); i < due; ++i)
                shown << now;
        }
        return shown;
    }

    // A watch as the launcher makes it at start: read, then ticked.
    static std::unique_ptr<ReminderWatch> started(const QDateTime &now)
    {
        auto watch = std::make_unique<ReminderWatch>(Store::database());
        if (const Result<void> loaded = watch->reload(now); !loaded)
            QTest::qFail(qPrintable(loaded.error()), __FILE__, __LINE__);
        return watch;
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
        addJob(QStringLiteral("20240501120000"), QStringLiteral("job"), false);
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

    // A reload comes with every save in the planner; what was shown stays shown.
    void reloadNeverShowsAReminderAgain()
    {
        TempStore store;
        VERIFY_OK(store.make());
        addJob(QStringLiteral("20240501093000"));
        ReminderWatch watch(Store::database());
        QVERIFY(watch.reload(at(1, 9, 0)));
        QCOMPARE(run(watch, at(1, 9, 30, 0), at(1, 9, 30, 10)).size(), 1);
        addJob(QStringLiteral("20240501093000"), QStringLiteral("saved in the minute"));
        QVERIFY(watch.reload(at(1, 9, 30, 20)));
        const ReminderWatch::Tick tick = watch.tick(at(1, 9, 30, 20));
        QCOMPARE(texts(tick.due), QStringList{QStringLiteral("saved in the minute")});
        QCOMPARE(run(watch, at(1, 9, 30, 21), at(1, 9, 31, 30)).size(), 0);
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

    void deletedJobIsNotReminded()
    {
        TempStore store;
        VERIFY_OK(store.make());
        const qint64 rowid = addJob(QStringLiteral("20240501093000"));
        ReminderWatch watch(Store::database());
        QVERIFY(watch.reload(at(1, 9, 0)));
        QVERIFY(JobRepository(Store::database()).remove(rowid));
        QVERIFY(run(watch, at(1, 9, 0), at(1, 9, 40)).isEmpty());
    }

    void messageAndClock()
    {
        TempStore store;
        VERIFY_OK(store.make());
        ReminderWatch watch(Store::database());
        QVERIFY(watch.reload(at(1, 9, 0)));
        // Nothing to watch today: the clock label is left alone.
        QVERIFY(!watch.tick(at(1, 9, 0, 5)).clock);

        addJob(QStringLiteral("20240501093000"), QStringLiteral("\n  给王经理回电话  \n带上报价单"));
        QVERIFY(watch.reload(at(1, 9, 0)));
        QCOMPARE(watch.tick(at(1, 9, 29, 5)).clock, QStringLiteral("09:29:05"));
        const ReminderWatch::Tick due = watch.tick(at(1, 9, 30, 7));
        QCOMPARE(due.due.size(), 1);
        QCOMPARE(ReminderWatch::message(at(1, 9, 30, 7), due.due[0]),
                 QStringLiteral("现在:2024/5/1 09:30:07有日程安排,请查看...\n给王经理回电话"));
        QVERIFY(!due.clock); // comes with the tick after the message
        QCOMPARE(watch.tick(at(1, 9, 30, 8)).clock, QStringLiteral("09:30:08"));
    }

    void jobText_data()
    {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<bool>("isProtected");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QString>("text");
        QTest::newRow("first line") << "签合同\r\n第二行" << false << false << "签合同";
        QTest::newRow("protected, no password") << "董事会\n议程" << true << false << "董事会";
        QTest::newRow("protected, behind a password") << "董事会" << true << true << "受保护的日程";
        QTest::newRow("open job behind a password") << "午餐" << false << true << "午餐";
        QTest::newRow("long line") << QString(70, u'长') << false << false << QString(59, u'长') + u'…';
    }
    void jobText()
    {
        QFETCH(QString, memo);
        QFETCH(bool, isProtected);
        QFETCH(bool, hidden);
        QFETCH(QString, text);
        TempStore store;
        VERIFY_OK(store.make());
        addJob(QStringLiteral("20240501093000"), memo, true, isProtected);
        ReminderWatch watch(Store::database());
        watch.setHideProtected(hidden);
        QVERIFY(watch.reload(at(1, 9, 0)));
        QCOMPARE(texts(watch.tick(at(1, 9, 30)).due), QStringList{text});
    }

    void skippedMinuteIsStillRemindedOnce()
    {
        TempStore store;
        VERIFY_OK(store.make());
        addJob(QStringLiteral("20240501093000"));
        ReminderWatch watch(Store::database());
        QVERIFY(watch.reload(at(1, 9, 0)));
        QVERIFY(watch.tick(at(1, 9, 29, 50)).due.isEmpty());
        // The machine was busy from 09:29:50 to 09:31:30.
        const ReminderWatch::Tick late = watch.tick(at(1, 9, 31, 30));
        QCOMPARE(late.due.size(), 1);
        QCOMPARE(late.due[0].due, at(1, 9, 30));
        QVERIFY(late.missed.isEmpty());
        QVERIFY(run(watch, at(1, 9, 31, 31), at(1, 9, 33)).isEmpty());
    }

    void sleepOverThreeRemindersListsThemAsMissed()
    {
        TempStore store;
        VERIFY_OK(store.make());
        for (const char *stamp : {"20240501093000", "20240501100000", "20240501110000", "20240501120000"})
            addJob(QString::fromLatin1(stamp), QString::fromLatin1(stamp).mid(8, 4));
        ReminderWatch watch(Store::database());
        QVERIFY(watch.reload(at(1, 9, 0)));
        QVERIFY(watch.tick(at(1, 9, 0, 1)).due.isEmpty());
        // Asleep from 09:00 to 12:00: three reminders passed, the fourth is now.
        const ReminderWatch::Tick woken = watch.tick(at(1, 12, 0, 10));
        QCOMPARE(texts(woken.missed), (QStringList{"0930", "1000", "1100"}));
        QCOMPARE(texts(woken.due), QStringList{"1200"});
        QVERIFY(run(watch, at(1, 12, 0, 11), at(1, 12, 2)).isEmpty());
    }

    // The program was killed after the 09:30 reminder and started again.
    void restartAfterAKill_data()
    {
        QTest::addColumn<QDateTime>("restartAt");
        QTest::addColumn<QStringList>("missed");
        QTest::addColumn<QStringList>("due");
        QTest::newRow("same minute") << at(1, 9, 30, 40) << QStringList{} << QStringList{};
        QTest::newRow("an hour later") << at(1, 10, 30) << QStringList{"1000"} << QStringList{};
        QTest::newRow("at a reminder") << at(1, 11, 0, 30) << QStringList{"1000"} << QStringList{"1100"};
        QTest::newRow("the next day") << at(2, 8, 0) << QStringList{"1000", "1100", "2359"} << QStringList{};
    }
    void restartAfterAKill()
    {
        QFETCH(QDateTime, restartAt);
        QFETCH(QStringList, missed);
        QFETCH(QStringList, due);
        TempStore store;
        VERIFY_OK(store.make());
        for (const char *stamp : {"20240501093000", "20240501100000", "20240501110000", "20240501235900"})
            addJob(QString::fromLatin1(stamp), QString::fromLatin1(stamp).mid(8, 4));
        {
            const auto killed = started(at(1, 9, 0));
            QVERIFY(killed->tick(at(1, 9, 0)).due.isEmpty());
            QCOMPARE(texts(killed->tick(at(1, 9, 30, 5)).due), QStringList{"0930"});
        }
        const auto watch = started(restartAt);
        const ReminderWatch::Tick first = watch->tick(restartAt);
        QCOMPARE(texts(first.missed), missed);
        QCOMPARE(texts(first.due), due);
        QVERIFY(watch->tick(restartAt.addSecs(1)).due.isEmpty());
    }

    // A store the watch never ran on has missed nothing.
    void firstRunMissesNothing()
    {
        TempStore store;
        VERIFY_OK(store.make());
        addJob(QStringLiteral("20240501080000"));
        const auto watch = started(at(1, 9, 0));
        const ReminderWatch::Tick first = watch->tick(at(1, 9, 0));
        QVERIFY(first.missed.isEmpty());
        QVERIFY(first.due.isEmpty());
    }

    void snoozeSurvivesARestart_data()
    {
        QTest::addColumn<QDateTime>("restartAt");
        QTest::addColumn<bool>("missed");
        QTest::newRow("before it ends") << at(1, 9, 35) << false;
        QTest::newRow("after it ended") << at(1, 9, 50) << true;
    }
    void snoozeSurvivesARestart()
    {
        QFETCH(QDateTime, restartAt);
        QFETCH(bool, missed);
        TempStore store;
        VERIFY_OK(store.make());
        const qint64 rowid = addJob(QStringLiteral("20240501093000"), QStringLiteral("报价"));
        {
            const auto before = started(at(1, 9, 29));
            QVERIFY(before->tick(at(1, 9, 29)).due.isEmpty());
            QCOMPARE(before->tick(at(1, 9, 30, 20)).due.size(), 1);
            QVERIFY(before->snooze(rowid, at(1, 9, 30, 25), 10));
            const auto next = before->next(at(1, 9, 31));
            QVERIFY(next && *next);
            QCOMPARE((*next)->due, at(1, 9, 40));
            QVERIFY((*next)->snoozed);
        }
        const auto watch = started(restartAt);
        QList<Reminder> came;
        for (QDateTime now = restartAt; now <= at(1, 10, 0); now = now.addSecs(20)) {
            const ReminderWatch::Tick tick = watch->tick(now);
            came << (missed ? tick.missed : tick.due);
            QVERIFY((missed ? tick.due : tick.missed).isEmpty());
        }
        QCOMPARE(came.size(), 1);
        QCOMPARE(came[0].jobRowid, rowid);
        QCOMPARE(came[0].due, at(1, 9, 40));
        QVERIFY(came[0].snoozed);
        QCOMPARE(came[0].text, QStringLiteral("报价"));
    }

    // Thirty days of jobs, a machine that is sometimes busy, sleeps for hours
    // or is killed and started again: every reminder comes exactly once, as
    // due when the watch was awake in its minute, as missed otherwise.
    void thirtyDaysRemindEveryJobOnce()
    {
        TempStore store;
        VERIFY_OK(store.make());
        QVERIFY(QSqlQuery(Store::database()).exec(QStringLiteral("PRAGMA synchronous = OFF")));
        QRandomGenerator random(20241211);
        QSet<qint64> planned;
        QVERIFY(Store::database().transaction());
        for (int i = 0; i < 120; ++i) {
            const QDateTime due = at(1, 0, 0).addSecs(60 * qint64(random.bounded(30 * 24 * 60)));
            planned.insert(addJob(due.toString(QStringLiteral("yyyyMMddhhmm00"))));
        }
        QVERIFY(Store::database().commit());

        QHash<qint64, int> came;
        QDateTime now = at(1, 0, 0);
        auto watch = started(now);
        while (now < at(31, 0, 0)) {
            const ReminderWatch::Tick tick = watch->tick(now);
            QVERIFY2(tick.error.isEmpty(), qPrintable(tick.error));
            for (const Reminder &reminder : tick.due + tick.missed)
                ++came[reminder.jobRowid];
            const int event = random.bounded(1000);
            if (event < 2) { // asleep for one to ten hours
                now = now.addSecs(3600 * qint64(1 + random.bounded(10)));
            } else if (event < 4) { // killed, started again up to three hours later
                watch.reset();
                now = now.addSecs(random.bounded(3 * 3600));
                watch = started(now);
            } else { // ticks 20 seconds to four minutes apart
                now = now.addSecs(20 + random.bounded(220));
            }
        }
        QCOMPARE(QSet<qint64>(came.keyBegin(), came.keyEnd()), planned);
        for (auto it = came.cbegin(); it != came.cend(); ++it)
            QVERIFY2(it.value() == 1, qPrintable(QStringLiteral("job %1 came %2 times").arg(it.key()).arg(it.value())));
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
