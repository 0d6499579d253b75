#include "store/Clock.h"
#include "tools/core/Stopwatch.h"
#include "tools/windows/Tmim_tools.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// The stopwatch window's fields, buttons and timer, found by their names.
//
//     Tmim_tools w;
//     Controls c;
//     VERIFY_OK(c.find(w));
struct Controls
{
    Result<void> find(const Tmim_tools &w)
    {
        const Result<void> found[] = {
            Widgets::take(hours, &w, QStringLiteral("hourField")),
            Widgets::take(minutes, &w, QStringLiteral("minuteField")),
            Widgets::take(seconds, &w, QStringLiteral("secondField")),
            Widgets::take(tenths, &w, QStringLiteral("tenthField")),
            Widgets::take(startPause, &w, QStringLiteral("Button1")),
            Widgets::take(reset, &w, QStringLiteral("Button2")),
            Widgets::take(onTop, &w, QStringLiteral("CheckBox1")),
            Widgets::take(timer, &w, QStringLiteral("Timer1")),
        };
        for (const Result<void> &each : found) {
            if (!each)
                return each;
        }
        return {};
    }

    QString shown() const
    {
        return QStringList{hours->text(), minutes->text(), seconds->text(), tenths->text()}.join(u':');
    }

    // One tick of the 100 ms timer, however late it comes.
    void tickAfter(qint64 ms) const
    {
        Clock::advance(ms);
        QMetaObject::invokeMethod(timer, "timeout");
    }

    QLabel *hours = nullptr;
    QLabel *minutes = nullptr;
    QLabel *seconds = nullptr;
    QLabel *tenths = nullptr;
    QPushButton *startPause = nullptr;
    QPushButton *reset = nullptr;
    QCheckBox *onTop = nullptr;
    QTimer *timer = nullptr;
};

} // namespace

class TstStopwatch : public QObject
{
    Q_OBJECT

private slots:
    void init() { Clock::setNow(QDateTime(QDate(2026, 12, 10), QTime(9, 0))); }
    void cleanup() { Clock::reset(); }

    void fields_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("shown");
        QTest::newRow("zero") << qint64(0) << "00:00:00:00";
        QTest::newRow("part of a tenth") << qint64(99) << "00:00:00:00";
        QTest::newRow("tenths to 09") << qint64(900) << "00:00:00:09";
        QTest::newRow("one second") << qint64(1000) << "00:00:01:00";
        QTest::newRow("one minute") << qint64(60000) << "00:01:00:00";
        QTest::newRow("last tenth of the hour") << qint64(3599900) << "00:59:59:09";
        QTest::newRow("one hour") << qint64(3600000) << "01:00:00:00";
        QTest::newRow("99 hours") << qint64(359999900) << "99:59:59:09";
        QTest::newRow("past 99 hours") << qint64(360000000) << "100:00:00:00";
    }
    void fields()
    {
        QFETCH(qint64, ms);
        QFETCH(QString, shown);
        QCOMPARE(Stopwatch::fields(ms).join(u':'), shown);
    }

    void opensStoppedAtZero()
    {
        Tmim_tools w;
        Controls c;
        VERIFY_OK(c.find(w));
        QCOMPARE(w.windowTitle(), QStringLiteral("秒表功能"));
        QCOMPARE(c.shown(), QStringLiteral("00:00:00:00"));
        QCOMPARE(c.startPause->text(), QStringLiteral("开始"));
        QCOMPARE(c.reset->text(), QStringLiteral("重置"));
        QVERIFY(!c.timer->isActive());
        QCOMPARE(c.timer->interval(), 100);
        QVERIFY(!c.onTop->isChecked());
    }

    void lateTicksLoseNoTime()
    {
        Tmim_tools w;
        Controls c;
        VERIFY_OK(c.find(w));
        QTest::mouseClick(c.startPause, Qt::LeftButton);
        QCOMPARE(c.startPause->text(), QStringLiteral("暂停"));
        QVERIFY(c.timer->isActive());
        for (int i = 0; i < 10; ++i)
            c.tickAfter(100);
        QCOMPARE(c.shown(), QStringLiteral("00:00:01:00"));
        c.tickAfter(2345); // the interface was busy for more than two seconds
        QCOMPARE(c.shown(), QStringLiteral("00:00:03:03"));
        c.tickAfter(3596655);
        QCOMPARE(c.shown(), QStringLiteral("01:00:00:00"));
    }

    void pauseKeepsTheTimeShownAndResumes()
    {
        Tmim_tools w;
        Controls c;
        VERIFY_OK(c.find(w));
        QTest::mouseClick(c.startPause, Qt::LeftButton);
        c.tickAfter(5300);
        Clock::advance(50); // paused between two ticks
        QTest::mouseClick(c.startPause, Qt::LeftButton);
        QCOMPARE(c.startPause->text(), QStringLiteral("开始"));
        QVERIFY(!c.timer->isActive());
        QCOMPARE(c.shown(), QStringLiteral("00:00:05:03"));
        Clock::advance(60000);
        QTest::mouseClick(c.startPause, Qt::LeftButton);
        c.tickAfter(100);
        QCOMPARE(c.shown(), QStringLiteral("00:00:05:04"));
    }

    void resetWhileRunning()
    {
        Tmim_tools w;
        Controls c;
        VERIFY_OK(c.find(w));
        QTest::mouseClick(c.startPause, Qt::LeftButton);
        c.tickAfter(4200);
        QTest::mouseClick(c.reset, Qt::LeftButton);
        QCOMPARE(c.shown(), QStringLiteral("00:00:00:00"));
        QCOMPARE(c.startPause->text(), QStringLiteral("开始"));
        QVERIFY(!c.timer->isActive());
        QTest::mouseClick(c.startPause, Qt::LeftButton);
        c.tickAfter(700);
        QCOMPARE(c.shown(), QStringLiteral("00:00:00:07"));
    }

    void stayOnTopDoesNotInterrupt()
    {
        Tmim_tools w;
        Controls c;
        VERIFY_OK(c.find(w));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(c.startPause, Qt::LeftButton);
        c.tickAfter(1500);
        QCOMPARE(c.onTop->text(), QStringLiteral("置顶显示"));
        c.onTop->setChecked(true);
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(w.isVisible());
        QVERIFY(c.timer->isActive());
        c.tickAfter(500);
        QCOMPARE(c.shown(), QStringLiteral("00:00:02:00"));
        c.onTop->setChecked(false);
        QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(w.isVisible());
        QVERIFY(c.timer->isActive());
    }
};

QTEST_MAIN(TstStopwatch)
#include "tst_stopwatch.moc"
