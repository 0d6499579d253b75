#pragma once

#include "contacts/core/ContactSearch.h"
#include "contacts/core/ResultPages.h"

#include <optional>

// The rows of the last search and the current one, whose contact the tabs
// show. In the order of the contact id the rows are read a page at a time as
// they are looked at; in the order of names all are read and sorted at once.
// It stays as it was found: rows added meanwhile show up at the next search.
class ResultList final
{
public:
    // Runs the search; the list is open afterwards, with or without rows.
    // `text` is already trimmed and not empty.
    Result<void> open(const QSqlDatabase &db, ContactSearch::Kind kind, const QString &text, ContactSearch::Order order,
                      int pageRows = ResultPages::kPageRows);
    void close();

    bool isOpen() const { return m_open; }
    ContactSearch::Kind kind() const { return m_kind; }
    ContactSearch::Order order() const { return m_order; }
    QString text() const { return m_text; }
    int count() const;
    // 0-based; -1 while closed or empty.
    int position() const { return m_position; }
    // Empty while there is no current row, or its row is gone from the store.
    QString currentId() const { return m_current.contactId; }
    const ContactSearch::Hit &current() const { return m_current; }

    int pageRows() const;
    // The hits of a page of the list (0-based), read when first asked for.
    // Reading pages changes nothing that the list shows.
    Result<QList<ContactSearch::Hit>> page(int page) const;
    Result<ContactSearch::Hit> hitAt(int position) const;
    // Every hit, in order.
    Result<QList<ContactSearch::Hit>> all() const;
    // Where the row `rowid` of the searched table stands; -1 when not listed.
    Result<int> positionOf(qint64 rowid) const;

    // Each gives true when the current row changed.
    Result<bool> moveTo(int position);
    Result<bool> moveFirst() { return moveTo(0); }
    Result<bool> movePrevious() { return moveTo(m_position - 1); }
    Result<bool> moveNext() { return moveTo(m_position + 1); }
    Result<bool> moveLast() { return moveTo(count() - 1); }

private:
    ContactSearch::Kind m_kind = ContactSearch::Kind::Name;
    ContactSearch::Order m_order = ContactSearch::Order::ById;
    QString m_text;
    mutable std::optional<ResultPages> m_pages; // by contact id; keeps the pages read
    QList<ContactSearch::Hit> m_sorted;         // by name
    ContactSearch::Hit m_current;
    int m_position = -1;
    bool m_open = false;
};
