#pragma once

#include <QDateTime>

// The one source of "now" for the whole program. Tests fix it and move it on,
// so a day of reminders or an hour of stopwatch runs in milliseconds.
class Clock final
{
public:
    // Local wall-clock time.
    static QDateTime now();
    // Milliseconds from an arbitrary origin; never goes backwards.
    static qint64 monotonicMs();

    // Test seam: from here on now() is `moment` plus whatever advance() adds.
    static void setNow(const QDateTime &moment);
    static void advance(qint64 ms);
    // Back to the real clock.
    static void reset();
    static bool isFixed();

private:
    Clock() = delete;
};
