#include "contacts/core/ResultList.h"

#include "contacts/core/PinyinOrder.h"

#include <algorithm>

using ContactSearch::Hit;

Result<void> ResultList::open(const QSqlDatabase &db, ContactSearch::Kind kind, const QString &text,
                              ContactSearch::Order order, int pageRows)
{
    close();
    if (order == ContactSearch::Order::Pinyin) {
        Result<QList<Hit>> sorted = PinyinOrder::sorted(db, kind, text);
        if (!sorted)
            return fail(sorted.error());
        m_sorted = std::move(sorted).value();
    } else {
        Result<ResultPages> pages = ResultPages::open(db, kind, text, pageRows);
        if (!pages)
            return fail(pages.error());
        m_pages.emplace(std::move(pages).value());
    }
    m_kind = kind;
    m_order = order;
    m_text = text;
    m_open = true;
    if (count() > 0) {
        Result<Hit> first = hitAt(0);
        m_current = first.valueOr({});
        m_position = 0;
    }
    return {};
}

void ResultList::close()
{
    m_pages.reset();
    m_sorted.clear();
    m_current = {};
    m_position = -1;
    m_open = false;
}

int ResultList::count() const
{
    return m_pages ? m_pages->count() : int(m_sorted.size());
}

int ResultList::pageRows() const
{
    return m_pages ? m_pages->pageRows() : ResultPages::kPageRows;
}

Result<QList<Hit>> ResultList::page(int page) const
{
    if (m_pages)
        return m_pages->page(page);
    if (page < 0)
        return QList<Hit>();
    return m_sorted.mid(qsizetype(page) * pageRows(), pageRows());
}

Result<Hit> ResultList::hitAt(int position) const
{
    if (position < 0 || position >= count())
        return Hit{};
    const Result<QList<Hit>> hits = page(position / pageRows());
    if (!hits)
        return fail(hits.error());
    return hits->value(position % pageRows());
}

Result<QList<Hit>> ResultList::all() const
{
    if (!m_pages)
        return m_sorted;
    QList<Hit> all;
    all.reserve(count());
    // Page after page, each read on from the last row of the one before.
    for (int page = 0; qsizetype(page) * pageRows() < count(); ++page) {
        const Result<QList<Hit>> hits = m_pages->page(page);
        if (!hits)
            return fail(hits.error());
        all += *hits;
    }
    return all;
}

Result<int> ResultList::positionOf(qint64 rowid) const
{
    if (m_pages)
        return m_pages->positionOf(rowid);
    const auto found =
        std::find_if(m_sorted.cbegin(), m_sorted.cend(), [rowid](const Hit &hit) { return hit.rowid == rowid; });
    return found == m_sorted.cend() ? -1 : int(found - m_sorted.cbegin());
}

Result<bool> ResultList::moveTo(int position)
{
    if (!m_open || count() == 0)
        return false;
    position = std::clamp(position, 0, count() - 1);
    if (position == m_position)
        return false;
    Result<Hit> hit = hitAt(position);
    if (!hit)
        return fail(hit.error());
    m_current = std::move(hit).value();
    m_position = position;
    return true;
}
