#include "schedule/core/JobEntryListModel.h"

#include "schedule/core/JobCells.h"

void JobEntryListModel::setEntries(const QList<JobEntry> &entries)
{
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

void JobEntryListModel::append(const JobEntry &entry)
{
    beginInsertRows({}, int(m_entries.size()), int(m_entries.size()));
    m_entries.append(entry);
    endInsertRows();
}

int JobEntryListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant JobEntryListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_entries.size())
        return {};
    return JobCells::day(m_entries.at(index.row()).dateId);
}

QVariant JobEntryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section == 0)
        return QStringLiteral("日期");
    return QAbstractListModel::headerData(section, orientation, role);
}
