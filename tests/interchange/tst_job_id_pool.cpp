#include "interchange/core/JobIdPool.h"

#include <QTest>

class TstJobIdPool : public QObject
{
    Q_OBJECT

private slots:
    void ids_data()
    {
        QTest::addColumn<QStringList>("used");
        QTest::addColumn<QStringList>("wanted");
        QTest::addColumn<QStringList>("taken");
        const QStringList none;
        QTest::newRow("a free stamp is kept") << none << QStringList{"20240101080000"} << QStringList{"20240101080000"};
        QTest::newRow("a held stamp moves on")
            << QStringList{"20240101080000"} << QStringList{"20240101080000"} << QStringList{"20261210090000"};
        QTest::newRow("not a stamp") << none << QStringList{"x", "2024"}
                                     << QStringList{"20261210090000", "20261210090001"};
        QTest::newRow("held seconds are skipped")
            << QStringList{"20261210090000", "20261210090001", "20261210090003"} << QStringList{"", "", ""}
            << QStringList{"20261210090002", "20261210090004", "20261210090005"};
        // Later takes go on from the last one handed out, never back to the start.
        QTest::newRow("taken twice") << none << QStringList{"20261210090000", ""}
                                     << QStringList{"20261210090000", "20261210090001"};
    }
    void ids()
    {
        QFETCH(QStringList, used);
        QFETCH(QStringList, wanted);
        QFETCH(QStringList, taken);
        JobIdPool pool(QSet<QString>(used.cbegin(), used.cend()), QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
        QStringList got;
        for (const QString &each : wanted)
            got << pool.take(each);
        QCOMPARE(got, taken);
    }
};

QTEST_GUILESS_MAIN(TstJobIdPool)
#include "tst_job_id_pool.moc"
