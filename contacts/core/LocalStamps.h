#pragma once

#include <QString>

#include <limits>

// Local time stamps of seconds counted from the epoch, as an import gives
// them to row after row. Asking the system for the local time costs more
// than writing a row, so the offset from UTC is asked once a minute:
// offsets change only on whole minutes.
class LocalStamps final
{
public:
    QString format(qint64 secsSinceEpoch);

private:
    qint64 m_minute = std::numeric_limits<qint64>::min();
    int m_offset = 0; // seconds east of UTC during m_minute
};
