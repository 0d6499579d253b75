#include "app/Tmain.h"
#include "schedule/windows/Tjob_do.h"
#include "ScriptedDialogs.h"
#include "store/Clock.h"
#include "store/Store.h"
#include "TempStore.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

QDateTime at(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2024, 5, day), QTime(hour, minute, second));
}

void insertReminder(const QString &id, const QString &dateId)
{
    QSqlQuery query(Store::database());
    query.prepare(QStringLiteral("INSERT INTO job_do VALUES (?, ?, 'job', 1, 0, '未完成..')"));
    query.addBindValue(id);
    query.addBindValue(dateId);
    QVERIFY(query.exec());
}

QString reminderText(const QDateTime &moment)
{
    return QStringLiteral("现在:%1有日程安排,请查看...\njob").arg(moment.toString("yyyy/M/d HH:mm:ss"));
}

} // namespace

class TstReminderLauncher : public QObject
{
    Q_OBJECT

    static void reload(Tmain &launcher)
    {
        FIND_CHILD(button, QPushButton, &launcher, "sb4");
        button->click();
    }

    QList<Dialogs::Shown> m_reminders;

    // The reminder boxes shown so far in this test; safe to evaluate repeatedly.
    int remindersShown(ScriptedDialogs &dialogs)
    {
        for (const auto &box : dialogs.shown()) {
            if (box.kind == Dialogs::Kind::Plain)
                m_reminders << box;
        }
        return int(m_reminders.size());
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }
    void cleanup()
    {
        Clock::reset();
        m_reminders.clear();
    }

    void remindersComeOnTopOfAnOpenBox()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Clock::setNow(at(1, 9, 29, 58));
        Tmain launcher;
        launcher.show();
        insertReminder("20240501080000", "20240501093000");
        insertReminder("20240501080001", "20240501093000");
        insertReminder("20240501080002", "20240501093100");
        FIND_CHILD(clock, QLabel, &launcher, "Label2");
        reload(launcher);
        QTRY_COMPARE(clock->text(), QStringLiteral("09:29:58"));

        // The first box stays open into the next minute: the timer ticks on
        // under it, the clock runs and the later reminders come on top.
        QList<Dialogs::Shown> shownWhileFirstOpen;
        QString clockWhileFirstOpen;
        Dialogs::pushResponder([&](const Dialogs::Shown &) {
            Clock::advance(60 * 1000);
            QTest::qWait(350);
            shownWhileFirstOpen = Dialogs::takeShown();
            clockWhileFirstOpen = clock->text();
            return Dialogs::Reply{};
        });
        Clock::setNow(at(1, 9, 30, 0));
        QTRY_COMPARE(shownWhileFirstOpen.size(), 3);
        const QList<QDateTime> moments{at(1, 9, 30), at(1, 9, 30), at(1, 9, 31)};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(shownWhileFirstOpen[i].kind, Dialogs::Kind::Plain);
            QCOMPARE(shownWhileFirstOpen[i].title, QStringLiteral("Velmora商务记事本"));
            QCOMPARE(shownWhileFirstOpen[i].text, reminderText(moments[i]));
        }
        QCOMPARE(clockWhileFirstOpen, QStringLiteral("09:31:00"));
        QTest::qWait(250);
        QCOMPARE(remindersShown(dialogs), 0); // none comes twice
    }

    void savedAndDeletedJobs()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Clock::setNow(at(1, 9, 30, 20));
        Tmain launcher;
        launcher.show();
        FIND_CHILD(plannerButton, QToolButton, &launcher, "BitBtn2");
        plannerButton->click();
        FIND_CHILD(planner, Tjob_do, &launcher, "Tjob_do");
        FIND_CHILD(reminder, QCheckBox, planner, "CheckBox1");
        FIND_CHILD(time, QLineEdit, planner, "m_time");
        FIND_CHILD(memo, QPlainTextEdit, planner, "Memo1");
        FIND_CHILD(save, QPushButton, planner, "BitBtn1");
        FIND_CHILD(list, QTableView, planner, "DBGrid1");
        FIND_CHILD(deleteItem, QAction, planner, "N2");
        reminder->setChecked(true);
        time->setText("09:30");

        // Saved for a minute that has begun: reminded at the next tick.
        memo->setPlainText("now");
        save->click();
        QTRY_COMPARE(remindersShown(dialogs), 1);

        // Saved and deleted before a tick: never reminded.
        memo->setPlainText("gone");
        save->click();
        list->setCurrentIndex(list->model()->index(1, 0));
        deleteItem->trigger();
        QTest::qWait(300);
        // The save's reload does not bring the first job back; the deleted one never comes.
        QCOMPARE(remindersShown(dialogs), 1);
        QTest::qWait(200);
        QCOMPARE(remindersShown(dialogs), 1);

        // The launcher keeps one planner.
        plannerButton->click();
        QCOMPARE(launcher.findChildren<Tjob_do *>().size(), 1);
    }

    void newDayIsWatchedAfterMidnight()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Clock::setNow(at(1, 23, 59, 59));
        Tmain launcher;
        launcher.show();
        insertReminder("20240501080000", "20240502000000");
        reload(launcher);
        QTest::qWait(250);
        // Nothing for today: no reminder and no clock.
        FIND_CHILD(clock, QLabel, &launcher, "Label2");
        QVERIFY(clock->text().isEmpty());
        Clock::setNow(at(2, 0, 0, 1));
        QTRY_COMPARE(remindersShown(dialogs), 1);
    }

    void storeErrorStopsTheWatch()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Clock::setNow(at(1, 9, 0));
        Tmain launcher;
        launcher.show();
        FIND_CHILD(watch, QTimer, &launcher, "Timer2");
        QVERIFY(watch->isActive());
        QVERIFY(QSqlQuery(Store::database()).exec("DROP TABLE job_do"));
        reload(launcher);
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Error);
        QCOMPARE(shown[0].text, QStringLiteral("no such table: job_do."));
        QVERIFY(!watch->isActive());
    }
};

QTEST_MAIN(TstReminderLauncher)
#include "tst_reminder_launcher.moc"
