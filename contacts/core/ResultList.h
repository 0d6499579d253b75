#pragma once

#include "contacts/core/ContactSearch.h"

// The rows of the last search and the current one, whose contact the tabs
// show. It stays as it was found: rows added or deleted meanwhile show up
// at the next search.
class ResultList final
{
public:
    void open(ContactSearch::Kind kind, QList<ContactSearch::Hit> hits);
    void close();

    bool isOpen() const { return m_open; }
    ContactSearch::Kind kind() const { return m_kind; }
    const QList<ContactSearch::Hit> &hits() const { return m_hits; }
    int count() const { return int(m_hits.size()); }
    // 0-based; -1 while closed or empty.
    int position() const { return m_position; }
    // Empty while there is no current row.
    QString currentId() const;

    // Each returns true when the current row changed.
    bool moveTo(int position);
    bool moveFirst() { return moveTo(0); }
    bool movePrevious() { return moveTo(m_position - 1); }
    bool moveNext() { return moveTo(m_position + 1); }
    bool moveLast() { return moveTo(count() - 1); }

private:
    ContactSearch::Kind m_kind = ContactSearch::Kind::Name;
    QList<ContactSearch::Hit> m_hits;
    int m_position = -1;
    bool m_open = false;
};
