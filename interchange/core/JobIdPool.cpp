#include "interchange/core/JobIdPool.h"

namespace {

const QString kStampFormat = QStringLiteral("yyyyMMddHHmmss");

bool isStamp(const QString &text)
{
    return text.size() == 14 && QDateTime::fromString(text, kStampFormat).isValid();
}

} // namespace

JobIdPool::JobIdPool(QSet<QString> used, const QDateTime &from)
    : m_used(std::move(used))
    , m_next(from)
{
}

QString JobIdPool::take(const QString &wanted)
{
    QString id = wanted;
    while (!isStamp(id) || m_used.contains(id)) {
        id = m_next.toString(kStampFormat);
        m_next = m_next.addSecs(1);
    }
    m_used.insert(id);
    return id;
}
