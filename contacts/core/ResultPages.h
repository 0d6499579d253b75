#pragma once

#include "contacts/core/ContactSearch.h"

#include <QHash>
#include <QMap>

// The hits of a search in the order of the contact id, read from the engine
// a page at a time as they are asked for; the engine counts them. A search
// that lists a hundred thousand rows thus costs about what the engine's own
// count of them does, and no more memory than the pages looked at.
//
// The list stays as it was found: rows added since are left out (they come
// after the last row the store held). A row deleted or changed since leaves a
// page that was not yet read one row short; its place then holds a gone hit.
class ResultPages final
{
public:
    static constexpr int kPageRows = 200;

    // Counts the hits and reads the first page. `text` is already trimmed.
    static Result<ResultPages> open(const QSqlDatabase &db, ContactSearch::Kind kind, const QString &text,
                                    int pageRows = kPageRows);

    int count() const { return m_count; }
    int pageRows() const { return m_pageRows; }
    // The hits of page `page` (0-based), read when first asked for.
    Result<QList<ContactSearch::Hit>> page(int page);
    // Where the row `rowid` of the searched table stands; -1 when the list
    // does not hold it. The engine counts the rows before it.
    Result<int> positionOf(qint64 rowid) const;

private:
    // A row's place in the order: contact id, searched text, rowid.
    struct Place
    {
        QString id;
        QString text;
        qint64 rowid = -1;
    };
    struct Row
    {
        ContactSearch::Hit hit;
        Place place;
    };
    // Where to start reading: after (or, backwards, before) a known row, or
    // at an end of the list, skipping `skip` rows.
    struct Start
    {
        const Place *from = nullptr;
        bool backwards = false;
        int skip = 0;
    };

    // The rows a read looks at: those found, held by the store at the
    // search, and after (or before) a known row.
    struct Where
    {
        QString sql;
        QVariantList values;
    };

    ResultPages(QSqlDatabase db, ContactSearch::Kind kind, ContactSearch::Filter filter, int pageRows);
    Where where(const Place *from, bool backwards) const;
    Result<void> readFirstThenCount();
    Result<void> readFirstCountingAll();
    Result<int> countAfter(const Place &place) const;
    Result<int> countBefore(const Place &place) const;
    Result<QList<Row>> read(const Start &start, int take) const;
    Start nearestStart(int first, int end) const;
    void keep(int page, int first, int size, const QList<Row> &rows, bool backwards);

    QSqlDatabase m_db;
    ContactSearch::Kind m_kind;
    ContactSearch::Filter m_filter;
    int m_pageRows;
    int m_count = 0;
    qint64 m_lastRowid = 0; // the greatest rowid at the search
    QHash<int, QList<ContactSearch::Hit>> m_pages;
    QMap<int, Place> m_known; // places of the rows read, by position
};
