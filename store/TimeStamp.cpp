#include "store/TimeStamp.h"

#include "store/Clock.h"

namespace TimeStamp {

namespace {
const QString kFormat = QStringLiteral("yyyyMMddHHmmss");
}

QString format(const QDateTime &moment)
{
    return moment.toString(kFormat);
}

QString now()
{
    return format(Clock::now());
}

QString dayKey(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyyMMdd"));
}

QString todayKey()
{
    return dayKey(Clock::now());
}

QDateTime parse(const QString &stamp)
{
    if (stamp.size() != kLength)
        return {};
    for (QChar c : stamp) {
        if (!c.isDigit() || c.unicode() > '9')
            return {};
    }
    return QDateTime::fromString(stamp, kFormat);
}

bool isValid(const QString &stamp)
{
    return parse(stamp).isValid();
}

} // namespace TimeStamp
