#include "contacts/core/ResultPages.h"

#include "contacts/core/ContactColumns.h"
#include "store/KeyedRows.h"
#include "store/Sql.h"

#include <algorithm>

using ContactSearch::Hit;

ResultPages::ResultPages(QSqlDatabase db, ContactSearch::Kind kind, ContactSearch::Filter filter, int pageRows)
    : m_db(std::move(db))
    , m_kind(kind)
    , m_filter(std::move(filter))
    , m_pageRows(std::max(1, pageRows))
{
}

Result<ResultPages> ResultPages::open(const QSqlDatabase &db, ContactSearch::Kind kind, const QString &text,
                                      int pageRows)
{
    ResultPages pages(db, kind, ContactSearch::filter(kind, text), pageRows);
    const Result<QVariant> last =
        Sql::scalar(db, QStringLiteral("SELECT max(rowid) FROM %1").arg(ContactSearch::table(kind)));
    if (!last)
        return fail(last.error());
    pages.m_lastRowid = last->toLongLong();
    const Result<void> first = pages.m_filter.readsPinyin ? pages.readFirstCountingAll() : pages.readFirstThenCount();
    if (!first)
        return fail(first.error());
    return pages;
}

// One row more than a page tells whether the first page is all there is;
// only then does the engine count the rest, after that page.
Result<void> ResultPages::readFirstThenCount()
{
    const Result<QList<Row>> first = read({}, m_pageRows + 1);
    if (!first)
        return fail(first.error());
    m_count = int(first->size());
    if (m_count > m_pageRows) {
        const Result<int> rest = countAfter(first->at(m_pageRows - 1).place);
        if (!rest)
            return fail(rest.error());
        m_count = m_pageRows + *rest;
    }
    keep(0, 0, std::min(m_count, m_pageRows), first->mid(0, m_pageRows), false);
    return {};
}

// Matching the readings is done once per statement, before the scan: the
// one statement that reads the first page also counts the rest.
Result<void> ResultPages::readFirstCountingAll()
{
    const Where all = where(nullptr, false);
    const QString sql = QStringLiteral("SELECT rowid, %1, %2 FROM %3 WHERE %4 ORDER BY %5")
                            .arg(ContactColumns::kId, ContactSearch::column(m_kind), ContactSearch::table(m_kind),
                                 all.sql, ContactSearch::orderBy(m_kind));
    const Result<KeyedRows::FirstRows> first = KeyedRows::firstRows(m_db, sql, all.values, m_pageRows);
    if (!first)
        return fail(first.error());
    m_count = int(first->count);
    QList<Row> rows;
    for (const QStringList &row : first->rows)
        rows.append(Row{{row.at(0).toLongLong(), row.at(1)}, {row.at(1), row.at(2), row.at(0).toLongLong()}});
    keep(0, 0, std::min(m_count, m_pageRows), rows, false);
    return {};
}

// The rows after `place` in two plain scans of the index, the first from
// the next contact id on, the second over the rest of its own: a compare of
// the whole place on every row would cost a good part of the scan again.
Result<int> ResultPages::countAfter(const Place &place) const
{
    const QString table = ContactSearch::table(m_kind);
    const QString sql = QStringLiteral("SELECT (SELECT count(*) FROM %1 WHERE %2 AND %3 > ?)"
                                       " + (SELECT count(*) FROM %1 WHERE %2 AND %3 = ? AND (%4, rowid) > (?, ?))")
                            .arg(table, QStringLiteral("(%1)").arg(m_filter.condition), ContactColumns::kId,
                                 ContactSearch::column(m_kind));
    const QVariantList values =
        m_filter.values + QVariantList{place.id} + m_filter.values + QVariantList{place.id, place.text, place.rowid};
    const Result<QVariant> counted = Sql::scalar(m_db, sql, values);
    if (!counted)
        return fail(counted.error());
    return counted->toInt();
}

ResultPages::Where ResultPages::where(const Place *from, bool backwards) const
{
    Where where{QStringLiteral("(%1) AND rowid <= ?").arg(m_filter.condition), m_filter.values};
    where.values << m_lastRowid;
    if (from) {
        where.sql += QStringLiteral(" AND (%1, %2, rowid) %3 (?, ?, ?)")
                         .arg(ContactColumns::kId, ContactSearch::column(m_kind),
                              backwards ? QStringLiteral("<") : QStringLiteral(">"));
        where.values << from->id << from->text << from->rowid;
    }
    return where;
}

Result<int> ResultPages::countBefore(const Place &place) const
{
    const Where rows = where(&place, true);
    const Result<QVariant> counted = Sql::scalar(
        m_db, QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(ContactSearch::table(m_kind), rows.sql),
        rows.values);
    if (!counted)
        return fail(counted.error());
    return counted->toInt();
}

Result<int> ResultPages::positionOf(qint64 rowid) const
{
    Where listed = where(nullptr, false);
    listed.values << rowid;
    Result<QSqlQuery> query = Sql::read(
        m_db,
        QStringLiteral("SELECT %1, %2 FROM %3 WHERE %4 AND rowid = ?")
            .arg(ContactColumns::kId, ContactSearch::column(m_kind), ContactSearch::table(m_kind), listed.sql),
        listed.values);
    if (!query)
        return fail(query.error());
    if (!query->next())
        return -1;
    return countBefore({query->value(0).toString(), query->value(1).toString(), rowid});
}

Result<QList<ResultPages::Row>> ResultPages::read(const Start &start, int take) const
{
    Where rows = where(start.from, start.backwards);
    rows.values << take << start.skip;
    const QString sql = QStringLiteral("SELECT rowid, %1, %2 FROM %3 WHERE %4 ORDER BY %5 LIMIT ? OFFSET ?")
                            .arg(ContactColumns::kId, ContactSearch::column(m_kind), ContactSearch::table(m_kind),
                                 rows.sql, ContactSearch::orderBy(m_kind, start.backwards));
    Result<QSqlQuery> query = Sql::read(m_db, sql, rows.values);
    if (!query)
        return fail(query.error());
    QList<Row> read;
    while (query->next()) {
        const qint64 rowid = query->value(0).toLongLong();
        const QString id = query->value(1).toString();
        read.append({{rowid, id}, {id, query->value(2).toString(), rowid}});
    }
    if (start.backwards)
        std::reverse(read.begin(), read.end());
    return read;
}

// Reads from the known row nearest to the page, or from an end of the list:
// the engine steps over the rows skipped, so the fewer the better.
ResultPages::Start ResultPages::nearestStart(int first, int end) const
{
    Start best{nullptr, false, first};
    const auto consider = [&best](const Start &start) {
        if (start.skip < best.skip)
            best = start;
    };
    consider({nullptr, true, m_count - end});
    auto after = m_known.lowerBound(end);
    if (after != m_known.cend())
        consider({&after.value(), true, after.key() - end});
    auto before = m_known.lowerBound(first);
    if (before != m_known.cbegin()) {
        --before;
        consider({&before.value(), false, first - before.key() - 1});
    }
    return best;
}

void ResultPages::keep(int page, int first, int size, const QList<Row> &rows, bool backwards)
{
    QList<Hit> hits;
    hits.reserve(size);
    // Rows gone since the search leave the page short at its far end.
    const int gone = size - int(rows.size());
    if (backwards)
        hits.insert(0, std::max(0, gone), Hit{});
    for (const Row &row : rows)
        hits.append(row.hit);
    if (!backwards)
        hits.insert(hits.size(), std::max(0, gone), Hit{});
    if (!rows.isEmpty()) {
        const int firstRead = backwards ? first + std::max(0, gone) : first;
        m_known.insert(firstRead, rows.constFirst().place);
        m_known.insert(firstRead + int(rows.size()) - 1, rows.constLast().place);
    }
    m_pages.insert(page, std::move(hits));
}

Result<QList<Hit>> ResultPages::page(int page)
{
    if (const auto kept = m_pages.constFind(page); kept != m_pages.cend())
        return *kept;
    const int first = page * m_pageRows;
    if (page < 0 || first >= m_count)
        return QList<Hit>();
    const int end = std::min(first + m_pageRows, m_count);
    const Start start = nearestStart(first, end);
    const Result<QList<Row>> rows = read(start, end - first);
    if (!rows)
        return fail(rows.error());
    keep(page, first, end - first, *rows, start.backwards);
    return m_pages.value(page);
}
