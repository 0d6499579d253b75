#include "contacts/core/LocalStamps.h"

#include "store/TimeStamp.h"

#include <QDateTime>

QString LocalStamps::format(qint64 secsSinceEpoch)
{
    // Floor division: the minute of a second before 1970 starts earlier.
    const qint64 minute = secsSinceEpoch >= 0 ? secsSinceEpoch / 60 : (secsSinceEpoch - 59) / 60;
    if (minute != m_minute) {
        m_minute = minute;
        m_offset = QDateTime::fromSecsSinceEpoch(minute * 60).offsetFromUtc();
    }
    return TimeStamp::format(QDateTime::fromSecsSinceEpoch(secsSinceEpoch, Qt::OffsetFromUTC, m_offset));
}
