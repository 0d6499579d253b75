#include "contacts/core/ResultList.h"

void ResultList::open(ContactSearch::Kind kind, QList<ContactSearch::Hit> hits)
{
    m_kind = kind;
    m_hits = std::move(hits);
    m_position = m_hits.isEmpty() ? -1 : 0;
    m_open = true;
}

void ResultList::close()
{
    m_hits.clear();
    m_position = -1;
    m_open = false;
}

QString ResultList::currentId() const
{
    return m_position >= 0 ? m_hits.at(m_position).contactId : QString();
}

bool ResultList::moveTo(int position)
{
    if (!m_open || m_hits.isEmpty())
        return false;
    position = std::clamp(position, 0, count() - 1);
    if (position == m_position)
        return false;
    m_position = position;
    return true;
}
