#include "store/Clock.h"
#include "tools/core/Stopwatch.h"
#include "tools/windows/Tmim_tools.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TstStopwatch : public QObject
{
    Q_OBJECT

    static QString shown(Tmim_tools &w)
    {
        QStringList texts;
        for (const char *name : {"hourField", "minuteField", "secondField", "tenthField"})
            texts << w.findChild<QLabel *>(QString::fromLatin1(name))->text();
        return texts.join(u':');
    }
    static QPushButton *startPause(Tmim_tools &w) { return w.findChild<QPushButton *>(QStringLiteral("Button1")); }
    static QTimer *timer(Tmim_tools &w) { return w.findChild<QTimer *>(QStringLiteral("Timer1")); }
    // One tick of the 100 ms timer, however late it comes.
    static void tickAfter(Tmim_tools &w, qint64 ms)
    {
        Clock::advance(ms);
        QMetaObject::invokeMethod(timer(w), "timeout");
    }

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
        QCOMPARE(w.windowTitle(), QStringLiteral("秒表功能"));
        QCOMPARE(shown(w), QStringLiteral("00:00:00:00"));
        QCOMPARE(startPause(w)->text(), QStringLiteral("开始"));
        QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("Button2"))->text(), QStringLiteral("重置"));
        QVERIFY(!timer(w)->isActive());
        QCOMPARE(timer(w)->interval(), 100);
        QVERIFY(!w.findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->isChecked());
    }

    void lateTicksLoseNoTime()
    {
        Tmim_tools w;
        QTest::mouseClick(startPause(w), Qt::LeftButton);
        QCOMPARE(startPause(w)->text(), QStringLiteral("暂停"));
        QVERIFY(timer(w)->isActive());
        for (int i = 0; i < 10; ++i)
            tickAfter(w, 100);
        QCOMPARE(shown(w), QStringLiteral("00:00:01:00"));
        tickAfter(w, 2345); // the interface was busy for more than two seconds
        QCOMPARE(shown(w), QStringLiteral("00:00:03:03"));
        tickAfter(w, 3596655);
        QCOMPARE(shown(w), QStringLiteral("01:00:00:00"));
    }

    void pauseKeepsTheTimeShownAndResumes()
    {
        Tmim_tools w;
        QTest::mouseClick(startPause(w), Qt::LeftButton);
        tickAfter(w, 5300);
        Clock::advance(50); // paused between two ticks
        QTest::mouseClick(startPause(w), Qt::LeftButton);
        QCOMPARE(startPause(w)->text(), QStringLiteral("开始"));
        QVERIFY(!timer(w)->isActive());
        QCOMPARE(shown(w), QStringLiteral("00:00:05:03"));
        Clock::advance(60000);
        QTest::mouseClick(startPause(w), Qt::LeftButton);
        tickAfter(w, 100);
        QCOMPARE(shown(w), QStringLiteral("00:00:05:04"));
    }

    void resetWhileRunning()
    {
        Tmim_tools w;
        QTest::mouseClick(startPause(w), Qt::LeftButton);
        tickAfter(w, 4200);
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("Button2")), Qt::LeftButton);
        QCOMPARE(shown(w), QStringLiteral("00:00:00:00"));
        QCOMPARE(startPause(w)->text(), QStringLiteral("开始"));
        QVERIFY(!timer(w)->isActive());
        QTest::mouseClick(startPause(w), Qt::LeftButton);
        tickAfter(w, 700);
        QCOMPARE(shown(w), QStringLiteral("00:00:00:07"));
    }

    void stayOnTopDoesNotInterrupt()
    {
        Tmim_tools w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(startPause(w), Qt::LeftButton);
        tickAfter(w, 1500);
        auto *onTop = w.findChild<QCheckBox *>(QStringLiteral("CheckBox1"));
        QCOMPARE(onTop->text(), QStringLiteral("置顶显示"));
        onTop->setChecked(true);
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(w.isVisible());
        QVERIFY(timer(w)->isActive());
        tickAfter(w, 500);
        QCOMPARE(shown(w), QStringLiteral("00:00:02:00"));
        onTop->setChecked(false);
        QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(w.isVisible());
        QVERIFY(timer(w)->isActive());
    }
};

QTEST_MAIN(TstStopwatch)
#include "tst_stopwatch.moc"
