#include "app/AutoHide.h"

#include <QTest>

// Launcher at saved left 874, saved top 2, width 145.
class TstAutoHide : public QObject
{
    Q_OBJECT

private slots:
    void tick_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<int>("launcherLeft");
        QTest::addColumn<int>("savedLeft");
        QTest::addColumn<int>("expectedSavedLeft");
        QTest::addColumn<int>("expectedTop"); // -1: no move

        QTest::newRow("inside column") << QPoint(900, 300) << 874 << 874 << 874 << -1;
        QTest::newRow("on left edge") << QPoint(874, 300) << 874 << 874 << 874 << -1;
        QTest::newRow("one left of edge") << QPoint(873, 300) << 874 << 874 << 874 << 10000;
        QTest::newRow("on right edge") << QPoint(874 + 145, 300) << 874 << 874 << 874 << -1;
        QTest::newRow("one right of edge") << QPoint(874 + 146, 300) << 874 << 874 << 874 << 10000;
        QTest::newRow("top band inside") << QPoint(900, 19) << 874 << 874 << 874 << 2;
        QTest::newRow("top band beyond") << QPoint(1200, 19) << 874 << 874 << 874 << 2;
        QTest::newRow("y 20 beyond hides") << QPoint(1200, 20) << 874 << 874 << 874 << 10000;
        QTest::newRow("y 20 inside stays") << QPoint(900, 20) << 874 << 874 << 874 << -1;
        QTest::newRow("top band at left edge") << QPoint(874, 0) << 874 << 874 << 874 << -1;
        QTest::newRow("top band left of column") << QPoint(100, 5) << 874 << 874 << 874 << 10000;
        QTest::newRow("moved launcher") << QPoint(520, 300) << 500 << 874 << 500 << -1;
        QTest::newRow("moved, pointer at old place") << QPoint(900, 300) << 500 << 874 << 500 << 10000;
    }

    void tick()
    {
        QFETCH(QPoint, pointer);
        QFETCH(int, launcherLeft);
        QFETCH(int, savedLeft);
        QFETCH(int, expectedSavedLeft);
        QFETCH(int, expectedTop);
        const AutoHide::Step step = AutoHide::tick(pointer, launcherLeft, savedLeft, 2, 145);
        QCOMPARE(step.savedLeft, expectedSavedLeft);
        QCOMPARE(step.newTop.value_or(-1), expectedTop);
    }
};

QTEST_GUILESS_MAIN(TstAutoHide)
#include "tst_auto_hide.moc"
