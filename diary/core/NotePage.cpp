#include "diary/core/NotePage.h"

#include "store/Clock.h"
#include "store/TimeStamp.h"

#include <QLocale>

namespace {

// The user's short date form, widened to a four-digit year so the label
// never leaves the century to guesswork.
QString dateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

} // namespace

void NotePage::start()
{
    const QDateTime now = Clock::now();
    m_moment = now.addMSecs(-now.time().msec());
    m_saved.clear();
}

QString NotePage::label() const
{
    return QLocale().toString(m_moment, labelFormat(m_moment));
}

QString NotePage::stamp() const
{
    return TimeStamp::format(m_moment);
}

QString NotePage::labelFormat(const QDateTime &moment)
{
    if (moment.time() == QTime(0, 0))
        return dateFormat();
    return dateFormat() + QStringLiteral(" HH:mm:ss");
}

bool NotePage::canSave(const QString &text)
{
    return !text.trimmed().isEmpty();
}
