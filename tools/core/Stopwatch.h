#pragma once

#include <QStringList>
#include <QtGlobal>

// Elapsed time of the stopwatch, summed over its running periods and read
// from the monotonic clock, so a late or lost timer tick never costs time:
// ticks only bring the display up to date.
class Stopwatch final
{
public:
    void start();
    void pause();
    void reset();
    bool isRunning() const { return m_running; }
    qint64 elapsedMs() const;

    // Hours, minutes, seconds and tenths of `ms`, each with at least two
    // digits; the hours have no upper limit.
    static QStringList fields(qint64 ms);

private:
    bool m_running = false;
    qint64 m_banked = 0;    // time of the finished running periods
    qint64 m_startedAt = 0; // clock reading when the current period began
};
