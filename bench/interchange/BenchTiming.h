#pragma once

// Wall and processor time of one timed run, as the interchange benchmarks
// print them.
#include <QElapsedTimer>

#include <cstdio>
#include <ctime>

namespace BenchTiming {

// Wall time is what the user waits; processor time is the work itself, the
// same on a busy machine, where other programs take turns on the cores.
struct Timing
{
    qint64 wallMs = 0;
    qint64 cpuMs = 0;
};

class Stopwatch
{
public:
    Stopwatch()
        : m_cpu(std::clock())
    {
        m_wall.start();
    }
    Timing elapsed() const { return {m_wall.elapsed(), qint64(std::clock() - m_cpu) * 1000 / CLOCKS_PER_SEC}; }

private:
    QElapsedTimer m_wall;
    std::clock_t m_cpu;
};

inline void report(const char *what, Timing t, qint64 limit)
{
    std::printf("%-40s %6lld ms, processor %6lld ms (target <= %lld ms) %s\n", what, static_cast<long long>(t.wallMs),
                static_cast<long long>(t.cpuMs), static_cast<long long>(limit), t.wallMs <= limit ? "ok" : "OVER");
}

} // namespace BenchTiming
