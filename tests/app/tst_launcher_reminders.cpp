// Reminders as they reach the user from the launcher, on a session bus of the
// test's own: a box, a desktop notification whose actions open, put off or
// finish the job, the missed reminders window, and the tray icon.
#include "app/LauncherReminders.h"
#include "app/LauncherTray.h"
#include "app/Tmain.h"
#include "contacts/windows/Tpe_connect.h"
#include "diary/windows/Tnote_pad.h"
#include "FakeNotificationServer.h"
#include "platform/AppPaths.h"
#include "platform/DesktopNotifier.h"
#include "platform/ProfileFile.h"
#include "schedule/core/JobRepository.h"
#include "schedule/windows/Tjob_do.h"
#include "schedule/windows/Tmissed_reminders.h"
#include "ScriptedDialogs.h"
#include "store/Clock.h"
#include "store/Store.h"
#include "TempStore.h"
#include "tools/windows/Ttools_box.h"
#include "Widgets.h"

#include <QAction>
#include <QCalendarWidget>
#include <QMenu>
#include <QPushButton>
#include <QSqlQuery>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

namespace {

QDateTime at(int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 12, 10), QTime(hour, minute, second));
}

// A reminder job as the planner saves it; its rowid.
qint64 addJob(const QString &dateId, const QString &memo)
{
    JobRecord job;
    job.dateId = dateId;
    job.memo = memo;
    job.reminder = true;
    job.completion = JobRecord::kOpenJob;
    if (const Result<void> stored = JobRepository(Store::database()).append(job, at(8, 0)); !stored)
        QTest::qFail(qPrintable(stored.error()), __FILE__, __LINE__);
    return job.rowid;
}

void setWay(const QString &word)
{
    QVERIFY(ProfileFile(AppPaths::profileFile()).write(QStringLiteral("time"), QStringLiteral("alter_way"), word));
}

} // namespace

class TstLauncherReminders : public QObject
{
    Q_OBJECT

    // A launcher started at `now` on a fresh store holding `jobs` (date_id,
    // text), with reminders coming as `way` says.
    struct Started
    {
        TempStore store;
        std::unique_ptr<Tmain> launcher;
    };

    QList<Dialogs::Shown> m_shown;

    // Every box shown so far in this test; reading the script takes its
    // boxes, so they are kept here and the call may be repeated.
    QList<Dialogs::Shown> shown(ScriptedDialogs &dialogs)
    {
        m_shown << dialogs.shown();
        return m_shown;
    }
    QStringList plainBoxes(ScriptedDialogs &dialogs)
    {
        QStringList texts;
        for (const Dialogs::Shown &box : shown(dialogs)) {
            if (box.kind == Dialogs::Kind::Plain)
                texts << box.text;
        }
        return texts;
    }

    static void start(Started &started, const QDateTime &now, const QString &way)
    {
        VERIFY_OK(started.store.make(false));
        setWay(way);
        Clock::setNow(now);
        started.launcher = std::make_unique<Tmain>();
        started.launcher->show();
        started.launcher->refreshAppearance();
    }

    // Starts the launcher a moment before 09:30 with the reminder way `way`,
    // adds a job reminding at 09:30 and lets the clock pass it.
    static void remindAtHalfPastNine(Started &started, const QString &way, const QString &memo)
    {
        start(started, at(9, 29, 58), way);
        addJob(QStringLiteral("20261210093000"), memo);
        started.launcher->reloadReminders();
        Clock::setNow(at(9, 30, 1));
    }

    // The launcher's notifier once it holds the server's id of the first
    // reminder: a click comes only once the notification is on the screen.
    static DesktopNotifier *firstNoticeShown(const Started &started, const FakeNotificationServer &server)
    {
        auto *notifier = started.launcher->findChild<DesktopNotifier *>();
        if (!server.waitForNotify(1) || !notifier || !QTest::qWaitFor([&] { return notifier->isShown(1); }))
            return nullptr;
        return notifier;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"), "runs on a private session bus");
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    }
    void cleanup()
    {
        Clock::reset();
        m_shown.clear();
    }

    // Auto is a box and a notification where a server runs; a notification
    // alone is asked for only by name.
    void waysWithAServer_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<int>("notices");
        QTest::newRow("auto") << "auto" << 1 << 1;
        QTest::newRow("box") << "box" << 1 << 0;
        QTest::newRow("notice") << "notice" << 0 << 1;
        QTest::newRow("both") << "both" << 1 << 1;
    }
    void waysWithAServer()
    {
        QFETCH(QString, way);
        QFETCH(int, boxes);
        QFETCH(int, notices);
        FakeNotificationServer server;
        VERIFY_OK(server.start());
        ScriptedDialogs dialogs;
        Started started;
        remindAtHalfPastNine(started, way, QStringLiteral("给王经理回电话\n带上报价单"));
        if (notices)
            QVERIFY(server.waitForNotify(notices));
        QTRY_COMPARE(plainBoxes(dialogs).size(), boxes);
        QTest::qWait(300);
        QCOMPARE(int(server.notifications().size()), notices);
        if (notices) {
            const FakeNotificationServer::Notification sent = server.notifications().constFirst();
            QCOMPARE(sent.appName, AppPaths::kApplicationTitle);
            QCOMPARE(sent.summary, LauncherReminders::kSummary);
            QVERIFY2(sent.body.contains(QStringLiteral("09:30"))
                         && sent.body.contains(QStringLiteral("给王经理回电话")),
                     qPrintable(sent.body));
            QCOMPARE(sent.actions, (QStringList{"open", "打开日程", "snooze", "稍后提醒", "done", "完成"}));
        }
        if (boxes)
            QVERIFY(plainBoxes(dialogs).constFirst().endsWith(QStringLiteral("\n给王经理回电话")));
    }

    // With no server on the bus every way ends in the box, and nothing
    // complains.
    void noServerGivesTheBoxAlone_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("auto") << "auto";
        QTest::newRow("notice") << "notice";
        QTest::newRow("both") << "both";
    }
    void noServerGivesTheBoxAlone()
    {
        QFETCH(QString, way);
        ScriptedDialogs dialogs;
        Started started;
        remindAtHalfPastNine(started, way, QStringLiteral("签合同"));
        QTRY_COMPARE(shown(dialogs).size(), 1);
        QTest::qWait(300);
        const QList<Dialogs::Shown> boxes = shown(dialogs);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].kind, Dialogs::Kind::Plain);
        QVERIFY(boxes[0].text.endsWith(QStringLiteral("签合同")));
    }

    // Each action does its work and the notification is closed.
    void notificationActions_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("open") << "open";
        QTest::newRow("snooze") << "snooze";
        QTest::newRow("done") << "done";
    }
    void notificationActions()
    {
        QFETCH(QString, action);
        FakeNotificationServer server;
        VERIFY_OK(server.start());
        ScriptedDialogs dialogs;
        Started started;
        start(started, at(9, 29, 58), QStringLiteral("notice"));
        QVERIFY(ProfileFile(AppPaths::profileFile()).write(QStringLiteral("time"), QStringLiteral("alter_later"), "5"));
        started.launcher->refreshAppearance();
        addJob(QStringLiteral("20261210080000"), QStringLiteral("早会"));
        const qint64 rowid = addJob(QStringLiteral("20261210093000"), QStringLiteral("签合同"));
        started.launcher->reloadReminders();
        Clock::setNow(at(9, 30, 1));
        QVERIFY(firstNoticeShown(started, server));
        const uint id = server.notifications().constFirst().id;
        server.invokeAction(id, action);
        QVERIFY(server.waitForClose(1));
        QCOMPARE(server.closeCalls(), QList<uint>{id});

        const auto job = JobRepository(Store::database()).findByRowid(rowid);
        QVERIFY(job && *job);
        if (action == u"open") {
            FIND_CHILD(planner, Tjob_do, started.launcher.get(), "Tjob_do");
            QTRY_VERIFY(planner->isVisible());
            FIND_CHILD(calendar, QCalendarWidget, planner, "MonthCalendar1");
            QCOMPARE(calendar->selectedDate(), QDate(2026, 12, 10));
            FIND_CHILD(list, QTableView, planner, "DBGrid1");
            QCOMPARE(list->currentIndex().row(), 1); // the second job of the day
        } else if (action == u"snooze") {
            QCOMPARE((*job)->completion, JobRecord::kOpenJob);
            Clock::setNow(at(9, 34, 50));
            QTest::qWait(250);
            QCOMPARE(int(server.notifications().size()), 1);
            Clock::setNow(at(9, 35, 1));
            QVERIFY(server.waitForNotify(2));
            QVERIFY(server.notifications().constLast().body.contains(QStringLiteral("签合同")));
        } else {
            QVERIFY2((*job)->completion != JobRecord::kOpenJob, qPrintable((*job)->completion));
        }
        QCOMPARE(shown(dialogs).size(), 0);
    }

    // "退出记事本" takes the reminders still on the desktop away with the
    // program: their buttons would answer no one.
    void exitTakesNotificationsAway()
    {
        FakeNotificationServer server;
        VERIFY_OK(server.start());
        ScriptedDialogs dialogs;
        Started started;
        remindAtHalfPastNine(started, QStringLiteral("notice"), QStringLiteral("签合同"));
        QVERIFY(firstNoticeShown(started, server));
        QVERIFY(started.launcher->close());
        QVERIFY(server.waitForClose(1));
        QCOMPARE(server.closeCalls(), QList<uint>{server.notifications().constFirst().id});
    }

    // The program was closed over a reminder: the next start lists it, and
    // its button opens the job.
    void missedAtStartAreListed()
    {
        ScriptedDialogs dialogs;
        Started first;
        start(first, at(9, 0), QStringLiteral("box"));
        QTest::qWait(250); // the watch has looked at 09:00
        const qint64 rowid = addJob(QStringLiteral("20261210100000"), QStringLiteral("见客户"));
        first.launcher.reset();

        Clock::setNow(at(11, 0));
        auto launcher = std::make_unique<Tmain>();
        launcher->show();
        QTRY_VERIFY(launcher->reminders()->missedWindow());
        Tmissed_reminders *missed = launcher->reminders()->missedWindow();
        QCOMPARE(missed->windowTitle(), QStringLiteral("错过的提醒"));
        FIND_CHILD(list, QTableWidget, missed, "missedList");
        QCOMPARE(list->rowCount(), 1);
        QCOMPARE(list->item(0, 1)->text(), QStringLiteral("10:00"));
        QCOMPARE(list->item(0, 2)->text(), QStringLiteral("见客户"));
        QCOMPARE(plainBoxes(dialogs), QStringList());

        FIND_CHILD(open, QPushButton, missed, "openMissed0");
        open->click();
        FIND_CHILD(planner, Tjob_do, launcher.get(), "Tjob_do");
        FIND_CHILD(jobs, QTableView, planner, "DBGrid1");
        QCOMPARE(jobs->currentIndex().row(), 0);
        QCOMPARE(rowid > 0, true);
    }

    // A clock that jumps forward while the program runs (a wake from sleep)
    // lists what passed; the reminder of the present minute still comes.
    void wakeFromSleepListsWhatPassed()
    {
        ScriptedDialogs dialogs;
        Started started;
        start(started, at(9, 0), QStringLiteral("box"));
        for (const char *stamp : {"20261210093000", "20261210100000", "20261210110000", "20261210120000"})
            addJob(QString::fromLatin1(stamp), QString::fromLatin1(stamp).mid(8, 4));
        started.launcher->reloadReminders();
        QTest::qWait(250);
        Clock::setNow(at(12, 0, 5));
        QTRY_VERIFY(started.launcher->reminders()->missedWindow());
        QCOMPARE(started.launcher->reminders()->missedWindow()->count(), 3);
        QTRY_COMPARE(plainBoxes(dialogs).size(), 1);
        QVERIFY(plainBoxes(dialogs).constFirst().endsWith(QStringLiteral("1200")));
    }

    // A backup closes the store while it copies: the watch waits without a
    // word and reminds once the store is back.
    void closedStoreDuringABackupDelaysTheReminder()
    {
        ScriptedDialogs dialogs;
        Started started;
        start(started, at(9, 29, 58), QStringLiteral("box"));
        addJob(QStringLiteral("20261210093000"), QStringLiteral("签合同"));
        started.launcher->reloadReminders();
        QTest::qWait(250);
        Store::close();
        Clock::setNow(at(9, 30, 1));
        QTest::qWait(300);
        QCOMPARE(shown(dialogs).size(), 0);
        VERIFY_OK(Store::reopen());
        QTRY_COMPARE(plainBoxes(dialogs).size(), 1);
        QCOMPARE(shown(dialogs).size(), 1);
    }

    void trayNamesTheNextReminderAndOpensEveryPart()
    {
        ScriptedDialogs dialogs;
        Started started;
        start(started, at(9, 0), QStringLiteral("box"));
        Tmain *launcher = started.launcher.get();
        QTRY_VERIFY(launcher->tray()->toolTip().contains(QStringLiteral("没有待提醒的日程")));
        addJob(QStringLiteral("20261210143000"), QStringLiteral("交报表"));
        launcher->reloadReminders();
        QVERIFY2(launcher->tray()->toolTip().contains(QStringLiteral("14:30 交报表")),
                 qPrintable(launcher->tray()->toolTip()));

        QMenu *menu = launcher->tray()->menu();
        const auto trigger = [menu](const char *name) {
            QAction *action = menu->findChild<QAction *>(QString::fromLatin1(name));
            QVERIFY2(action, name);
            action->trigger();
        };
        trigger("trayDiary");
        QTRY_VERIFY(launcher->findChild<Tnote_pad *>());
        trigger("traySchedule");
        QTRY_VERIFY(launcher->findChild<Tjob_do *>());
        trigger("trayContacts");
        QTRY_VERIFY(launcher->findChild<Tpe_connect *>());
        trigger("trayToolbox");
        QTRY_VERIFY(launcher->findChild<Ttools_box *>());

        launcher->hide();
        emit launcher->tray()->icon()->activated(QSystemTrayIcon::Trigger);
        QVERIFY(launcher->isVisible());
        trigger("trayQuit");
        QTRY_VERIFY(!launcher->isVisible());
    }
};

QTEST_MAIN(TstLauncherReminders)
#include "tst_launcher_reminders.moc"
