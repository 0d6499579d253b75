#include "tools/core/Stopwatch.h"

#include "store/Clock.h"

void Stopwatch::start()
{
    if (m_running)
        return;
    m_running = true;
    m_startedAt = Clock::monotonicMs();
}

void Stopwatch::pause()
{
    if (!m_running)
        return;
    m_banked = elapsedMs();
    m_running = false;
}

void Stopwatch::reset()
{
    m_running = false;
    m_banked = 0;
}

qint64 Stopwatch::elapsedMs() const
{
    return m_banked + (m_running ? Clock::monotonicMs() - m_startedAt : 0);
}

QStringList Stopwatch::fields(qint64 ms)
{
    const qint64 tenths = ms / 100;
    const auto twoDigits = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0')); };
    return {twoDigits(tenths / 36000), twoDigits(tenths / 600 % 60), twoDigits(tenths / 10 % 60),
            twoDigits(tenths % 10)};
}
