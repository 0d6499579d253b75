#include "store/Clock.h"

#include <QElapsedTimer>

namespace {

struct FixedClock
{
    bool active = false;
    QDateTime moment;
    qint64 monotonic = 0;
};

FixedClock &fixed()
{
    static FixedClock clock;
    return clock;
}

const QElapsedTimer &realTimer()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}

} // namespace

QDateTime Clock::now()
{
    return fixed().active ? fixed().moment : QDateTime::currentDateTime();
}

qint64 Clock::monotonicMs()
{
    return fixed().active ? fixed().monotonic : realTimer().elapsed();
}

void Clock::setNow(const QDateTime &moment)
{
    fixed().active = true;
    fixed().moment = moment;
}

void Clock::advance(qint64 ms)
{
    if (!fixed().active)
        setNow(QDateTime::currentDateTime());
    fixed().moment = fixed().moment.addMSecs(ms);
    fixed().monotonic += ms;
}

void Clock::reset()
{
    fixed() = FixedClock{};
}

bool Clock::isFixed()
{
    return fixed().active;
}
