#include "contacts/core/LocalStamps.h"
#include "store/TimeStamp.h"

#include <QDateTime>
#include <QTest>

#include <ctime>

// Stamps of consecutive seconds, asked of the system once a minute, against
// the system's own local time asked for every second: the same across the
// local clock's changes.
class TstLocalStamps : public QObject
{
    Q_OBJECT

    QByteArray m_zone = qgetenv("TZ");
    bool m_hadZone = qEnvironmentVariableIsSet("TZ");

    static void useZone(const QByteArray &zone)
    {
        qputenv("TZ", zone);
        tzset();
    }

private slots:
    void cleanupTestCase()
    {
        if (m_hadZone)
            useZone(m_zone);
        else {
            qunsetenv("TZ");
            tzset();
        }
    }

    void followsTheLocalClock_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("around");
        QTest::addColumn<bool>("clockChanges");
        const auto utc = [](int y, int mo, int d, int h, int mi) {
            return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC);
        };
        QTest::newRow("hour skipped in spring") << QByteArray("Europe/Berlin") << utc(2026, 3, 29, 1, 0) << true;
        QTest::newRow("hour repeated in autumn") << QByteArray("Europe/Berlin") << utc(2026, 10, 25, 1, 0) << true;
        QTest::newRow("half hour back") << QByteArray("Australia/Lord_Howe") << utc(2026, 4, 4, 15, 0) << true;
        QTest::newRow("no clock change") << QByteArray("Asia/Shanghai") << utc(2026, 5, 1, 0, 0) << false;
    }
    void followsTheLocalClock()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QDateTime, around);
        QFETCH(bool, clockChanges);
        useZone(zone);
        const qint64 middle = around.toSecsSinceEpoch();
        // The row is about what it says only if the system knows the zone.
        QCOMPARE(QDateTime::fromSecsSinceEpoch(middle - 1).offsetFromUtc()
                     != QDateTime::fromSecsSinceEpoch(middle + 1).offsetFromUtc(),
                 clockChanges);
        LocalStamps stamps;
        for (qint64 second = middle - 150; second <= middle + 150; ++second)
            QCOMPARE(stamps.format(second), TimeStamp::format(QDateTime::fromSecsSinceEpoch(second)));
    }
};

QTEST_APPLESS_MAIN(TstLocalStamps)
#include "tst_local_stamps.moc"
