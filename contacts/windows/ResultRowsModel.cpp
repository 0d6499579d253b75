#include "contacts/windows/ResultRowsModel.h"

#include "contacts/csv/ContactExport.h"

ResultRowsModel::ResultRowsModel(const QSqlDatabase &db, const ResultList &results, QObject *parent)
    : QAbstractTableModel(parent)
    , m_db(db)
    , m_results(results)
{
}

void ResultRowsModel::reload()
{
    beginResetModel();
    m_pages.clear();
    m_rows = m_results.isOpen() ? m_results.count() : 0;
    endResetModel();
}

int ResultRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int ResultRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

// A page the store cannot give shows its rows empty; the export says why.
const QList<QStringList> &ResultRowsModel::pageOf(int row) const
{
    const int page = row / m_results.pageRows();
    auto kept = m_pages.find(page);
    if (kept == m_pages.end()) {
        const Result<QList<ContactSearch::Hit>> hits = m_results.page(page);
        Result<QList<QStringList>> listed =
            hits ? ContactExport::list(m_db, m_results.kind(), *hits) : Result<QList<QStringList>>(fail(hits.error()));
        kept = m_pages.insert(page, listed ? std::move(listed).value() : QList<QStringList>());
    }
    return *kept;
}

QVariant ResultRowsModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows)
        return {};
    return pageOf(index.row()).value(index.row() % m_results.pageRows()).value(index.column());
}
