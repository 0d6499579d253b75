#include "diary/windows/This_note_pad.h"
#include "diary/windows/Tnote_pad.h"
#include "FakePlannerHost.h"
#include "lunar/core/LunarDay.h"
#include "lunar/windows/LunarCalendar.h"
#include "schedule/windows/Tjob_do.h"
#include "ScriptedDialogs.h"
#include "store/Clock.h"
#include "store/FieldCodec.h"
#include "store/Store.h"
#include "TempStore.h"
#include "TextFit.h"
#include "Widgets.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QTextCharFormat>
#include <QToolButton>

#include <memory>

// The diary editor, the history browser and the planner show the lunar date
// of their day beside the solar one, and the planner's calendar marks the
// days that hold jobs.
namespace {

void storeNote(const QString &stamp, const QString &text)
{
    QSqlQuery sql(Store::database());
    QVERIFY(sql.prepare(QStringLiteral("insert into note_pad (date_id, note_memo) values (?, ?)")));
    sql.addBindValue(stamp);
    sql.addBindValue(FieldCodec::encode(text));
    QVERIFY2(sql.exec(), qPrintable(sql.lastError().text()));
}

void storeJob(const QString &id, const QString &dateId)
{
    QSqlQuery sql(Store::database());
    QVERIFY(sql.prepare(QStringLiteral("INSERT INTO job_do VALUES (?, ?, '拜访客户', 0, 0, '未完成..')")));
    sql.addBindValue(id);
    sql.addBindValue(dateId);
    QVERIFY2(sql.exec(), qPrintable(sql.lastError().text()));
}

bool isBold(const LunarCalendar *calendar, int year, int month, int day)
{
    return calendar->dateTextFormat(QDate(year, month, day)).fontWeight() == QFont::Bold;
}

// The lunar text stands on the row of the solar date, after it.
QByteArray notBeside(const QWidget *date, const QWidget *lunar)
{
    const QRect d = date->geometry().translated(date->parentWidget()->mapTo(date->window(), QPoint()));
    const QRect l = lunar->geometry().translated(lunar->parentWidget()->mapTo(lunar->window(), QPoint()));
    if (l.left() >= d.right() && l.top() < d.bottom() && l.bottom() > d.top())
        return {};
    return QStringLiteral("date at (%1,%2), lunar text at (%3,%4)")
        .arg(d.x())
        .arg(d.y())
        .arg(l.x())
        .arg(l.y())
        .toUtf8();
}

void expectReadable(QWidget &window)
{
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TextFit::saveShot(&window, window.objectName() + u' ' + QString::fromLatin1(QTest::currentDataTag()));
    const QStringList faults = TextFit::faults(&window);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

} // namespace

class TstLunarWindows : public QObject
{
    Q_OBJECT

    FakePlannerHost m_host;
    // Each test's own store, and no box that could block it.
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<TempStore> m_store;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }
    void init()
    {
        m_host = FakePlannerHost();
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_store = std::make_unique<TempStore>();
        VERIFY_OK(m_store->make());
    }
    void cleanup()
    {
        m_store.reset();
        m_dialogs.reset();
        Clock::reset();
    }

    void editorShowsThePagesLunarDate()
    {
        Clock::setNow(QDateTime(QDate(2026, 12, 10), QTime(9, 30)));
        Tnote_pad editor(Store::database());
        editor.show();
        FIND_CHILD(date, QLabel, &editor, "Label2");
        FIND_CHILD(lunar, QLabel, &editor, "lunarLabel");
        QCOMPARE(lunar->text(), QStringLiteral("丙午年 十一月初二"));
        QVERIFY2(notBeside(date, lunar).isEmpty(), notBeside(date, lunar).constData());
        // A new page takes the day of its own moment.
        Clock::setNow(QDateTime(QDate(2024, 12, 21), QTime(8, 0)));
        FIND_CHILD(restart, QPushButton, &editor, "BitBtn3");
        restart->click();
        QCOMPARE(lunar->text(), QStringLiteral("甲辰年 十一月廿一 冬至"));
    }

    void historyShowsEachNotesLunarDate()
    {
        storeNote(QStringLiteral("20250128233000"), QStringLiteral("守岁"));
        storeNote(QStringLiteral("20250129080000"), QStringLiteral("拜年"));
        This_note_pad browser(Store::database());
        browser.show();
        FIND_CHILD(time, QLabel, &browser, "Label6");
        FIND_CHILD(lunar, QLabel, &browser, "lunarLabel");
        FIND_CHILD(next, QToolButton, &browser, "sp2");
        QCOMPARE(lunar->text(), QStringLiteral("乙巳年 正月初一 春节"));
        QVERIFY2(notBeside(time, lunar).isEmpty(), notBeside(time, lunar).constData());
        next->click();
        QCOMPARE(lunar->text(), QStringLiteral("甲辰年 腊月廿九 除夕"));
        // With the last note gone nothing is dated.
        FIND_CHILD(remove, QAction, &browser, "N1");
        remove->trigger();
        remove->trigger();
        QCOMPARE(time->text(), QStringLiteral("-"));
        QVERIFY(lunar->text().isEmpty());
    }

    void plannerShowsTheChosenDaysLunarDate()
    {
        Clock::setNow(QDateTime(QDate(2025, 1, 28), QTime(10, 0)));
        Tjob_do planner(m_host);
        planner.show();
        FIND_CHILD(day, QWidget, &planner, "Edit1");
        FIND_CHILD(lunar, QLabel, &planner, "lunarLabel");
        FIND_CHILD(calendar, LunarCalendar, &planner, "MonthCalendar1");
        QCOMPARE(lunar->text(), QStringLiteral("甲辰年 腊月廿九 除夕"));
        QVERIFY2(notBeside(day, lunar).isEmpty(), notBeside(day, lunar).constData());
        calendar->setSelectedDate(QDate(2025, 1, 29));
        emit calendar->clicked(QDate(2025, 1, 29));
        QCOMPARE(lunar->text(), QStringLiteral("乙巳年 正月初一 春节"));
        planner.showJob(QDate(2025, 2, 3), -1);
        QCOMPARE(lunar->text(), QStringLiteral("乙巳年 正月初六 立春"));
    }

    // Each day of the page names its lunar date in its tooltip; term and
    // festival days stand out in colour.
    void calendarNamesTheLunarDays()
    {
        Clock::setNow(QDateTime(QDate(2025, 1, 28), QTime(10, 0)));
        Tjob_do planner(m_host);
        planner.show();
        FIND_CHILD(calendar, LunarCalendar, &planner, "MonthCalendar1");
        const QTextCharFormat term = calendar->dateTextFormat(QDate(2025, 1, 20));
        QCOMPARE(term.toolTip(), QStringLiteral("甲辰年 腊月廿一 大寒"));
        QVERIFY(term.hasProperty(QTextFormat::ForegroundBrush));
        const QTextCharFormat plain = calendar->dateTextFormat(QDate(2025, 1, 21));
        QCOMPARE(plain.toolTip(), QStringLiteral("甲辰年 腊月廿二"));
        QVERIFY(!plain.hasProperty(QTextFormat::ForegroundBrush));
        calendar->showNextMonth();
        QCOMPARE(calendar->dateTextFormat(QDate(2025, 2, 12)).toolTip(), QStringLiteral("乙巳年 正月十五 元宵"));
    }

    void calendarMarksTheDaysWithJobs()
    {
        storeJob(QStringLiteral("20250101080000"), QStringLiteral("20250105000000"));
        storeJob(QStringLiteral("20250101080001"), QStringLiteral("20250120093000"));
        storeJob(QStringLiteral("20250101080002"), QStringLiteral("20250120000000"));
        storeJob(QStringLiteral("20250101080003"), QStringLiteral("20250203000000"));
        Clock::setNow(QDateTime(QDate(2025, 1, 28), QTime(10, 0)));
        Tjob_do planner(m_host);
        planner.show();
        FIND_CHILD(calendar, LunarCalendar, &planner, "MonthCalendar1");
        QCOMPARE(calendar->markedDays(), (QSet<QDate>{QDate(2025, 1, 5), QDate(2025, 1, 20)}));
        QVERIFY(isBold(calendar, 2025, 1, 5));
        QVERIFY(!isBold(calendar, 2025, 1, 6));
        QVERIFY(!isBold(calendar, 2025, 1, 28));

        // A save marks its day, a delete of the day's last job unmarks it.
        FIND_CHILD(memo, QPlainTextEdit, &planner, "Memo1");
        FIND_CHILD(save, QPushButton, &planner, "BitBtn1");
        memo->setPlainText(QStringLiteral("年夜饭"));
        save->click();
        QVERIFY(isBold(calendar, 2025, 1, 28));
        FIND_CHILD(remove, QAction, &planner, "N2");
        remove->trigger();
        QVERIFY(!isBold(calendar, 2025, 1, 28));
        QVERIFY(isBold(calendar, 2025, 1, 20));

        // Another month's page reads that month's jobs.
        calendar->showNextMonth();
        QCOMPARE(calendar->markedDays(), QSet<QDate>{QDate(2025, 2, 3)});
        QVERIFY(isBold(calendar, 2025, 2, 3));
        calendar->showPreviousMonth();
        QVERIFY(isBold(calendar, 2025, 1, 5));
    }

    // The longest lunar text, a leap month with a term, fits at larger text.
    void longestTextsFit_data()
    {
        QTest::addColumn<qreal>("fontScale");
        QTest::newRow("desktop font") << 1.0;
        QTest::newRow("larger font") << 1.5;
    }
    void longestTextsFit()
    {
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        Clock::setNow(QDateTime(QDate(2023, 4, 5), QTime(23, 59, 59)));
        QCOMPARE(LunarDay::of(QDate(2023, 4, 5)).displayText(), QStringLiteral("癸卯年 闰二月十五 清明"));
        storeNote(QStringLiteral("20230405235959"), QStringLiteral("扫墓"));
        Tnote_pad editor(Store::database());
        editor.show();
        expectReadable(editor);
        This_note_pad browser(Store::database());
        browser.show();
        expectReadable(browser);
        Tjob_do planner(m_host);
        planner.show();
        expectReadable(planner);
    }
};

QTEST_MAIN(TstLunarWindows)
#include "tst_lunar_windows.moc"
