#include "FakePlannerHost.h"
#include "schedule/windows/Tjob_do.h"
#include "schedule/windows/Tjob_do_sub.h"
#include "ScriptedDialogs.h"
#include "store/Clock.h"
#include "store/FieldCodec.h"
#include "TempStore.h"
#include "Widgets.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

const QDateTime kNow(QDate(2024, 5, 1), QTime(10, 15, 7));

struct StoredJob
{
    QString id, dateId, memo;
    bool reminder = false, isProtected = false;
    QString completion;
};

QList<StoredJob> storedJobs()
{
    QSqlQuery query(Store::database());
    query.exec(QStringLiteral("SELECT id, date_id, job_memo, alter_yn, e_dec_yn, complete_yn FROM "
                              "job_do ORDER BY rowid"));
    QList<StoredJob> jobs;
    while (query.next())
        jobs.append({query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
                     query.value(3).toBool(), query.value(4).toBool(), query.value(5).toString()});
    return jobs;
}

void insertJob(const QString &id, const QString &dateId, const QString &memo, bool isProtected = false)
{
    QSqlQuery query(Store::database());
    query.prepare(QStringLiteral("INSERT INTO job_do VALUES (?, ?, ?, 0, ?, '未完成..')"));
    query.addBindValue(id);
    query.addBindValue(dateId);
    query.addBindValue(memo);
    query.addBindValue(isProtected);
    QVERIFY(query.exec());
}

int entryCount(const QString &jobId)
{
    QSqlQuery query(Store::database());
    query.prepare(QStringLiteral("SELECT count(*) FROM job_do_sub WHERE id = ?"));
    query.addBindValue(jobId);
    query.exec();
    query.next();
    return query.value(0).toInt();
}

// The texts of a list, one "a|b|c" string per row.
QStringList rowsOf(const QTableView *view)
{
    QStringList rows;
    const QAbstractItemModel *model = view->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        rows << cells.join(u'|');
    }
    return rows;
}

} // namespace

class TstJobDo : public QObject
{
    Q_OBJECT

    FakePlannerHost m_host;

    void save(Tjob_do &planner, const QString &text)
    {
        FIND_CHILD(memo, QPlainTextEdit, &planner, "Memo1");
        FIND_CHILD(button, QPushButton, &planner, "BitBtn1");
        memo->setPlainText(text);
        button->click();
    }

    // Opens the popup menu over the day list; what it offers (without the
    // menu: a line naming it, which no comparison expects).
    QStringList enabledItems(Tjob_do &planner)
    {
        auto *menu = Widgets::find<QMenu>(&planner, QStringLiteral("PopupMenu1"));
        if (!menu)
            return {QString::fromUtf8(Widgets::missing<QMenu>(&planner, QStringLiteral("PopupMenu1")))};
        menu->popup(planner.mapToGlobal(QPoint(10, 10)));
        QStringList enabled;
        for (QAction *action : menu->actions()) {
            if (!action->isSeparator() && action->isEnabled())
                enabled << action->objectName();
        }
        menu->hide();
        return enabled;
    }

    void trigger(Tjob_do &planner, const char *item)
    {
        FIND_CHILD(action, QAction, &planner, QLatin1String(item));
        action->trigger();
    }

    void doubleClickRow(Tjob_do &planner, int row)
    {
        FIND_CHILD(list, QTableView, &planner, "DBGrid1");
        const QRect cell = list->visualRect(list->model()->index(row, 0));
        // A real double click starts with a press of its own.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }
    void init()
    {
        Clock::setNow(kNow);
        m_host = FakePlannerHost();
    }
    void cleanup() { Clock::reset(); }

    void opensOnToday()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        m_host.reminderTime = QStringLiteral("07:45");
        Tjob_do planner(m_host);
        planner.show();
        QCOMPARE(planner.windowTitle(), QStringLiteral("日程安排"));
        FIND_CHILD(time, QLineEdit, &planner, "m_time");
        QCOMPARE(time->text(), QStringLiteral("07:45"));
        FIND_CHILD(calendar, QCalendarWidget, &planner, "MonthCalendar1");
        QCOMPARE(calendar->selectedDate(), kNow.date());
        FIND_CHILD(dateEdit, QLineEdit, &planner, "Edit1");
        QCOMPARE(dateEdit->text(), QStringLiteral("2024/5/1"));
        FIND_CHILD(listBox, QGroupBox, &planner, "gb4");
        QCOMPARE(listBox->title(), QStringLiteral("本日已安排工作(2024-05-01)"));
        FIND_CHILD(panel, QGroupBox, &planner, "gb5");
        QVERIFY(panel->isHidden());
        FIND_CHILD(saveButton, QPushButton, &planner, "BitBtn1");
        QVERIFY(!saveButton->isEnabled());
        FIND_CHILD(memo, QPlainTextEdit, &planner, "Memo1");
        memo->setPlainText(QStringLiteral(" \n "));
        QVERIFY(!saveButton->isEnabled());
        memo->setPlainText(QStringLiteral(" x"));
        QVERIFY(saveButton->isEnabled());
    }

    // A store that fails is reported once as the planner opens on a day,
    // not once for the list and again for the calendar's marks.
    void aFailingStoreIsReportedOnce()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        QSqlQuery drop(Store::database());
        QVERIFY(drop.exec(QStringLiteral("DROP TABLE job_do")));
        Tjob_do planner(m_host);
        planner.show();
        const auto kinds = [&dialogs] {
            QList<Dialogs::Kind> kinds;
            for (const Dialogs::Shown &box : dialogs.shown())
                kinds << box.kind;
            return kinds;
        };
        QCOMPARE(kinds(), QList<Dialogs::Kind>{Dialogs::Kind::Error});
        planner.showJob(kNow.date().addMonths(-3), -1);
        QCOMPARE(kinds(), QList<Dialogs::Kind>{Dialogs::Kind::Error});
    }

    // Esc and the title bar close the planner; a job typed and never saved
    // goes only when the user agrees; an empty one, or one just saved, goes
    // without a question.
    void closingDropsATypedJobOnlyWhenAgreed_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("saveFirst");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("agree");
        for (const QString &action : {QStringLiteral("Esc"), QStringLiteral("title bar")}) {
            QTest::addRow("%s, nothing typed", qPrintable(action)) << action << QString() << false << false << false;
            QTest::addRow("%s, white space", qPrintable(action))
                << action << QStringLiteral(" \n") << false << false << false;
            QTest::addRow("%s, typed, Yes", qPrintable(action))
                << action << QStringLiteral("开会") << false << true << true;
            QTest::addRow("%s, typed, No", qPrintable(action))
                << action << QStringLiteral("开会") << false << true << false;
            QTest::addRow("%s, saved", qPrintable(action))
                << action << QStringLiteral("开会") << true << false << false;
        }
    }
    void closingDropsATypedJobOnlyWhenAgreed()
    {
        QFETCH(QString, action);
        QFETCH(QString, typed);
        QFETCH(bool, saveFirst);
        QFETCH(bool, asked);
        QFETCH(bool, agree);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        QPointer<Tjob_do> planner = new Tjob_do(m_host);
        planner->setAttribute(Qt::WA_DeleteOnClose);
        planner->show();
        QVERIFY(QTest::qWaitForWindowExposed(planner));
        FIND_CHILD(memo, QPlainTextEdit, planner.data(), "Memo1");
        if (saveFirst) {
            save(*planner, typed);
            QCOMPARE(dialogs.texts(), QStringList{Tjob_do::kSaved});
        } else {
            memo->setPlainText(typed);
        }
        if (asked)
            dialogs.answer(agree ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        if (action == QStringLiteral("Esc"))
            QTest::keyClick(memo, Qt::Key_Escape);
        else
            planner->close();

        const QByteArray unexpected = dialogs.unexpectedDropQuestion(asked);
        QVERIFY2(unexpected.isEmpty(), unexpected.constData());
        QCOMPARE(storedJobs().size(), saveFirst ? 1 : 0);
        if (!asked || agree) {
            QTRY_VERIFY(planner.isNull());
        } else {
            QVERIFY(planner && planner->isVisible());
            QCOMPARE(memo->toPlainText(), typed);
            delete planner;
        }
    }

    // Another day is listed under the job being typed: nothing is dropped,
    // so nothing is asked.
    void choosingAnotherDayKeepsTheTypedJob()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Tjob_do planner(m_host);
        planner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&planner));
        FIND_CHILD(memo, QPlainTextEdit, &planner, "Memo1");
        FIND_CHILD(calendar, QCalendarWidget, &planner, "MonthCalendar1");
        memo->setPlainText(QStringLiteral("开会"));
        calendar->setSelectedDate(kNow.date().addDays(3));
        emit calendar->clicked(calendar->selectedDate());
        FIND_CHILD(listBox, QGroupBox, &planner, "gb4");
        QCOMPARE(listBox->title(), QStringLiteral("(2024-05-04)工作记录"));
        QCOMPARE(memo->toPlainText(), QStringLiteral("开会"));
        QCOMPARE(dialogs.shown().size(), 0);
    }

    void savedRow_data()
    {
        QTest::addColumn<bool>("reminder");
        QTest::addColumn<bool>("protect");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("dateId");
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("listRow");
        QTest::addColumn<QString>("panelRow");
        const QString twelve = QStringLiteral("一二三四五六七八九十百千");
        QTest::newRow("reminder") << true << false << "A"
                                  << "20240501093000"
                                  << "A"
                                  << "A|2024-05-01|提醒于  09:30"
                                  << "A|提醒于  09:30";
        QTest::newRow("no reminder") << false << false << "A"
                                     << "20240501000000"
                                     << "A"
                                     << "A|2024-05-01|不提醒"
                                     << "A|不提醒";
        QTest::newRow("twelve characters") << false << false << twelve << "20240501000000" << twelve
                                           << twelve.left(10) + "|2024-05-01|不提醒" << twelve.left(10) + "|不提醒";
        const QString secret = twelve + twelve;
        QTest::newRow("protected") << false << true << secret << "20240501000000" << FieldCodec::encode(secret)
                                   << FieldCodec::encode(secret).left(20) + "|2024-05-01|不提醒"
                                   << FieldCodec::encode(secret).left(20) + "|不提醒";
    }
    void savedRow()
    {
        QFETCH(bool, reminder);
        QFETCH(bool, protect);
        QFETCH(QString, text);
        QFETCH(QString, dateId);
        QFETCH(QString, memo);
        QFETCH(QString, listRow);
        QFETCH(QString, panelRow);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Tjob_do planner(m_host);
        planner.show();
        FIND_CHILD(reminderBox, QCheckBox, &planner, "CheckBox1");
        reminderBox->setChecked(reminder);
        FIND_CHILD(time, QLineEdit, &planner, "m_time");
        time->setText(QStringLiteral("09:30"));
        FIND_CHILD(protectBox, QCheckBox, &planner, "CheckBox2");
        protectBox->setChecked(protect);
        save(planner, text);

        const QList<StoredJob> jobs = storedJobs();
        QCOMPARE(jobs.size(), 1);
        QCOMPARE(jobs[0].id, QStringLiteral("20240501101507"));
        QCOMPARE(jobs[0].dateId, dateId);
        QCOMPARE(jobs[0].memo, memo);
        QCOMPARE(jobs[0].reminder, reminder);
        QCOMPARE(jobs[0].isProtected, protect);
        QCOMPARE(jobs[0].completion, QStringLiteral("未完成.."));
        FIND_CHILD(list, QTableView, &planner, "DBGrid1");
        QCOMPARE(rowsOf(list), QStringList{listRow});
        FIND_CHILD(panel, QGroupBox, &planner, "gb5");
        QVERIFY(panel->isVisible());
        FIND_CHILD(panelList, QTableView, &planner, "DBGrid2");
        QCOMPARE(rowsOf(panelList), QStringList{panelRow});
        QCOMPARE(dialogs.texts(), QStringList{Tjob_do::kSaved});
        QCOMPARE(m_host.reloads, 1);
        // Ready for the next job: the text goes, the choices stay.
        FIND_CHILD(memoEdit, QPlainTextEdit, &planner, "Memo1");
        QVERIFY(memoEdit->toPlainText().isEmpty());
        QCOMPARE(reminderBox->isChecked(), reminder);
        QCOMPARE(protectBox->isChecked(), protect);
    }

    void invalidReminderTimeStoresNothing_data()
    {
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("message");
        QTest::newRow("blank box") << ""
                                   << "':' is not a valid date and time.";
        QTest::newRow("hour 25") << "25:00"
                                 << "'25:00' is not a valid date and time.";
    }
    void invalidReminderTimeStoresNothing()
    {
        QFETCH(QString, time);
        QFETCH(QString, message);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Tjob_do planner(m_host);
        planner.show();
        FIND_CHILD(reminderBox, QCheckBox, &planner, "CheckBox1");
        reminderBox->setChecked(true);
        FIND_CHILD(timeLineEdit, QLineEdit, &planner, "m_time");
        timeLineEdit->setText(time);
        save(planner, QStringLiteral("keep me"));
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Error);
        QCOMPARE(shown[0].text, message);
        QVERIFY(storedJobs().isEmpty());
        FIND_CHILD(memo, QPlainTextEdit, &planner, "Memo1");
        QCOMPARE(memo->toPlainText(), QStringLiteral("keep me"));
        QCOMPARE(m_host.reloads, 0);
    }

    void jobsOfOneSecondGetTheirOwnIds()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Tjob_do planner(m_host);
        planner.show();
        save(planner, QStringLiteral("first"));
        save(planner, QStringLiteral("second"));
        const QList<StoredJob> jobs = storedJobs();
        QCOMPARE(jobs.size(), 2);
        QCOMPARE(jobs[0].id, QStringLiteral("20240501101507"));
        QCOMPARE(jobs[1].id, QStringLiteral("20240501101508"));
        // The panel lists the day's jobs with the newest last.
        FIND_CHILD(panelList, QTableView, &planner, "DBGrid2");
        QCOMPARE(rowsOf(panelList), (QStringList{"first|不提醒", "second|不提醒"}));
    }

    void panelHidesOnTheSixthTick()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Tjob_do planner(m_host);
        planner.show();
        FIND_CHILD(timer, QTimer, &planner, "Timer1");
        QVERIFY(!timer->isActive());
        save(planner, QStringLiteral("A"));
        QCOMPARE(timer->interval(), 1000);
        QVERIFY(timer->isActive());
        FIND_CHILD(panel, QGroupBox, &planner, "gb5");
        QList<bool> visibleAfterTick;
        connect(timer, &QTimer::timeout, this, [&] { visibleAfterTick << panel->isVisible(); });
        timer->setInterval(5);
        QTRY_VERIFY(!timer->isActive());
        QCOMPARE(visibleAfterTick, (QList<bool>{true, true, true, true, true, false}));
    }

    void monthListIsTodaysMonth()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        insertJob("20240420000000", "20240430000000", "april");
        insertJob("20240501000000", "20240531000000", "may 31");
        insertJob("20240502000000", "20240503000000", "may 3");
        insertJob("20240503000000", "20240603000000", "june");
        Tjob_do planner(m_host);
        planner.show();
        FIND_CHILD(calendar, QCalendarWidget, &planner, "MonthCalendar1");
        calendar->setSelectedDate(QDate(2024, 6, 3));
        emit calendar->clicked(QDate(2024, 6, 3));
        FIND_CHILD(list, QTableView, &planner, "DBGrid1");
        QCOMPARE(rowsOf(list), QStringList{"june|2024-06-03|不提醒"});
        FIND_CHILD(listBox, QGroupBox, &planner, "gb4");
        QCOMPARE(listBox->title(), QStringLiteral("(2024-06-03)工作记录"));
        trigger(planner, "N7");
        QCOMPARE(rowsOf(list), (QStringList{"may 3|2024-05-03|不提醒", "may 31|2024-05-31|不提醒"}));
        QCOMPARE(listBox->title(), QStringLiteral("本月(5月)工作记录"));
        // A save re-runs the month list and files the job under the chosen day.
        save(planner, QStringLiteral("june 2"));
        QCOMPARE(rowsOf(list).size(), 2);
        QCOMPARE(storedJobs().last().dateId, QStringLiteral("20240603000000"));
    }

    void emptyDayListOffersNoDoneOrDelete()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Tjob_do planner(m_host);
        planner.show();
        FIND_CHILD(list, QTableView, &planner, "DBGrid1");
        QCOMPARE(rowsOf(list), QStringList{});
        // The iCalendar commands and the search act on the whole planner,
        // never on the row.
        QCOMPARE(enabledItems(planner),
                 (QStringList{"N5", "N7", "icalExportAction", "icalImportAction", "findTextAction"}));
        save(planner, QStringLiteral("A"));
        QCOMPARE(enabledItems(planner),
                 (QStringList{"N1", "N2", "N5", "N7", "icalExportAction", "icalImportAction", "findTextAction"}));
        // An empty stored text shows the placeholder.
        insertJob("20240501090000", "20240501000000", "");
        trigger(planner, "N5");
        QVERIFY(rowsOf(list).contains("本日没有工作安排 .....|2024-05-01|不提醒"));
    }

    void doneTwiceKeepsTheLaterMoment()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        insertJob("20240501080000", "20240501000000", "A");
        Tjob_do planner(m_host);
        planner.show();
        trigger(planner, "N1");
        QCOMPARE(storedJobs()[0].completion, QStringLiteral("20240501101507"));
        Clock::advance(3600 * 1000);
        dialogs.answer(Dialogs::Answer::No);
        trigger(planner, "N1");
        QCOMPARE(storedJobs()[0].completion, QStringLiteral("20240501101507"));
        trigger(planner, "N1");
        QCOMPARE(storedJobs()[0].completion, QStringLiteral("20240501111507"));
        QCOMPARE(dialogs.texts(), QStringList(3, Tjob_do::kConfirmDone));
    }

    void deleteLeavesTheEntries()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        insertJob("20240501080000", "20240501000000", "first");
        insertJob("20240501080001", "20240501000000", "second");
        QVERIFY(QSqlQuery(Store::database())
                    .exec("INSERT INTO job_do_sub VALUES ('20240501080000', '20240501090000', 'x', 0)"));
        Tjob_do planner(m_host);
        planner.show();
        dialogs.answer(Dialogs::Answer::No);
        trigger(planner, "N2");
        QCOMPARE(storedJobs().size(), 2);
        QCOMPARE(m_host.reloads, 0);
        trigger(planner, "N2");
        QCOMPARE(dialogs.texts(), QStringList(2, Tjob_do::kConfirmDelete));
        QCOMPARE(storedJobs().size(), 1);
        QCOMPARE(storedJobs()[0].memo, QStringLiteral("second"));
        QCOMPARE(entryCount("20240501080000"), 1);
        FIND_CHILD(list, QTableView, &planner, "DBGrid1");
        QCOMPARE(rowsOf(list), QStringList{"second|2024-05-01|不提醒"});
        QCOMPARE(m_host.reloads, 1);
    }

    void protectedJobAsksForThePassword()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        insertJob("20240501080000", "20240501000000", FieldCodec::encode("机密"), true);
        m_host.password = QStringLiteral("pw");
        Tjob_do planner(m_host);
        planner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&planner));
        FIND_CHILD(area, QGroupBox, &planner, "pass_box");
        FIND_CHILD(entry, QLineEdit, &planner, "Edit3");
        doubleClickRow(planner, 0);
        QVERIFY(area->isVisible());
        QVERIFY(planner.findChildren<Tjob_do_sub *>().isEmpty());

        entry->setText(QStringLiteral("PW"));
        FIND_CHILD(ok, QPushButton, &planner, "Button1");
        ok->click();
        QVERIFY(area->isVisible());
        QCOMPARE(entry->text(), QStringLiteral("PW"));
        QVERIFY(planner.findChildren<Tjob_do_sub *>().isEmpty());

        FIND_CHILD(cancel, QPushButton, &planner, "Button2");
        cancel->click();
        QVERIFY(area->isHidden());
        doubleClickRow(planner, 0);
        QVERIFY(entry->text().isEmpty());
        entry->setText(QStringLiteral("pw"));
        ok->click();
        QVERIFY(area->isHidden());
        FIND_CHILD(log, Tjob_do_sub, &planner, "Tjob_do_sub");
        QVERIFY(log->isModal());
        FIND_CHILD(memo, QPlainTextEdit, log, "Memo1");
        QCOMPARE(memo->toPlainText(), QStringLiteral("机密"));
        QCOMPARE(dialogs.shown().size(), 0);
    }

    void withoutPasswordAProtectedJobOpensAtOnce()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        insertJob("20240501080000", "20240501000000", FieldCodec::encode("机密"), true);
        Tjob_do planner(m_host);
        planner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&planner));
        doubleClickRow(planner, 0);
        FIND_CHILD(area, QGroupBox, &planner, "pass_box");
        QVERIFY(area->isHidden());
        FIND_CHILD(log, Tjob_do_sub, &planner, "Tjob_do_sub");
        QVERIFY(log->isVisible());
    }

    // "no" is a password like any other, not the absence of one.
    void passwordNoStillGuardsAProtectedJob()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        insertJob("20240501080000", "20240501000000", FieldCodec::encode("机密"), true);
        m_host.password = QStringLiteral("no");
        Tjob_do planner(m_host);
        planner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&planner));
        doubleClickRow(planner, 0);
        FIND_CHILD(area, QGroupBox, &planner, "pass_box");
        QVERIFY(area->isVisible());
        QVERIFY(planner.findChildren<Tjob_do_sub *>().isEmpty());
        FIND_CHILD(entry, QLineEdit, &planner, "Edit3");
        entry->setText(QStringLiteral("no"));
        FIND_CHILD(ok, QPushButton, &planner, "Button1");
        ok->click();
        FIND_CHILD(log, Tjob_do_sub, &planner, "Tjob_do_sub");
        QVERIFY(log->isVisible());
    }

    // An old store holds two jobs under one id: each row opens the log of
    // its own job, which says that the entries are shared.
    void eachRowOpensItsOwnJobWhenIdsRepeat_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("state");
        QTest::newRow("first") << 0 << QStringLiteral("先写的") << QStringLiteral("未完成..");
        QTest::newRow("second") << 1 << QStringLiteral("后写的") << QStringLiteral("于2024-05-03结束");
    }
    void eachRowOpensItsOwnJobWhenIdsRepeat()
    {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(QString, state);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        const QString id = QStringLiteral("20240501080000");
        insertJob(id, QStringLiteral("20240501080000"), QStringLiteral("先写的"));
        insertJob(id, QStringLiteral("20240501090000"), QStringLiteral("后写的"));
        QSqlQuery sql(Store::database());
        QVERIFY(sql.prepare(QStringLiteral("UPDATE job_do SET complete_yn = ? WHERE rowid = 2")));
        sql.addBindValue(QStringLiteral("20240503174501"));
        QVERIFY(sql.exec());
        QVERIFY(sql.prepare(QStringLiteral("INSERT INTO job_do_sub VALUES (?, ?, ?, 0)")));
        sql.addBindValue(id);
        sql.addBindValue(QStringLiteral("20240502100000"));
        sql.addBindValue(QStringLiteral("共有的记录"));
        QVERIFY(sql.exec());
        Tjob_do planner(m_host);
        planner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&planner));
        doubleClickRow(planner, row);

        QPointer<Tjob_do_sub> log = Widgets::find<Tjob_do_sub>(&planner, QStringLiteral("Tjob_do_sub"));
        QVERIFY2(log, Widgets::missing<Tjob_do_sub>(&planner, QStringLiteral("Tjob_do_sub")).constData());
        FIND_CHILD(memo, QPlainTextEdit, log.data(), "Memo1");
        FIND_CHILD(completion, QLabel, log.data(), "Label7");
        FIND_CHILD(shared, QLabel, log.data(), "sharedIdNote");
        FIND_CHILD(entry, QPlainTextEdit, log.data(), "Memo3");
        QCOMPARE(memo->toPlainText(), text);
        QCOMPARE(completion->text(), state);
        QVERIFY(shared->isVisibleTo(log));
        QCOMPARE(shared->text(),
                 QStringLiteral("另有1条工作安排与本条共用编号,右边的完成记录(包括新增的)为它们共有。"));
        QCOMPARE(entry->toPlainText(), QStringLiteral("共有的记录"));
        QCOMPARE(dialogs.shown().size(), 0);
        delete log;
    }

    void escapeCloses()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        QPointer<Tjob_do> planner = new Tjob_do(m_host);
        planner->setAttribute(Qt::WA_DeleteOnClose);
        planner->show();
        QVERIFY(QTest::qWaitForWindowExposed(planner));
        planner->activateWindow();
        FIND_CHILD(memo, QPlainTextEdit, planner, "Memo1");
        QTest::keyClick(memo, Qt::Key_Escape);
        QTRY_VERIFY(planner.isNull());
    }
};

QTEST_MAIN(TstJobDo)
#include "tst_job_do.moc"
