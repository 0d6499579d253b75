#include "schedule/windows/Tmissed_reminders.h"
#include "TextFit.h"
#include "Widgets.h"

#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

ReminderWatch::Reminder missed(qint64 rowid, const QDateTime &due, const QString &text)
{
    return {rowid, due, text, false};
}

const QDateTime kMorning(QDate(2026, 12, 10), QTime(9, 30));
const QDateTime kNoon(QDate(2026, 12, 10), QTime(12, 0));

} // namespace

class TstMissedReminders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }

    // Each row names its day, minute and job; its button opens that job.
    void rowsOpenTheirJobs()
    {
        QList<std::pair<QDate, qint64>> opened;
        Tmissed_reminders window([&](const QDate &day, qint64 rowid) { opened.append({day, rowid}); });
        window.add({missed(7, kMorning, QStringLiteral("给王经理回电话")), missed(9, kNoon, QStringLiteral("午餐"))});
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("错过的提醒"));
        FIND_CHILD(list, QTableWidget, &window, "missedList");
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->item(0, 0)->text(), QStringLiteral("2026/12/10"));
        QCOMPARE(list->item(0, 1)->text(), QStringLiteral("09:30"));
        QCOMPARE(list->item(0, 2)->text(), QStringLiteral("给王经理回电话"));
        QCOMPARE(list->item(1, 2)->text(), QStringLiteral("午餐"));

        FIND_CHILD(second, QPushButton, &window, "openMissed1");
        second->click();
        QCOMPARE(opened, (QList<std::pair<QDate, qint64>>{{kNoon.date(), 9}}));
        QVERIFY(window.isVisible()); // the others stay listed
    }

    // A later wake adds its misses to the open window.
    void laterMissesAreAdded()
    {
        Tmissed_reminders window([](const QDate &, qint64) {});
        window.add({missed(1, kMorning, QStringLiteral("一"))});
        window.show();
        window.add({missed(2, kNoon, QStringLiteral("二")), missed(3, kNoon, QStringLiteral("三"))});
        QCOMPARE(window.count(), 3);
        FIND_CHILD(third, QPushButton, &window, "openMissed2");
        QCOMPARE(third->text(), QStringLiteral("打开"));
    }

    void textFits_data()
    {
        QTest::addColumn<qreal>("fontScale");
        QTest::newRow("desktop font") << 1.0;
        QTest::newRow("larger text") << 1.5;
    }
    void textFits()
    {
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        Tmissed_reminders window([](const QDate &, qint64) {});
        window.add({missed(1, kMorning, QStringLiteral("与客户洽谈明年的供货合同并确认交货日期和付款方式")),
                    missed(2, kNoon, QStringLiteral("午餐"))});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        TextFit::saveShot(&window, QStringLiteral("missed-reminders"));
        const QStringList faults = TextFit::faults(&window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }
};

QTEST_MAIN(TstMissedReminders)
#include "tst_missed_reminders.moc"
