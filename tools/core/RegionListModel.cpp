#include "tools/core/RegionListModel.h"

void RegionListModel::setRegions(const QList<RegionRepository::Region> &regions)
{
    beginResetModel();
    m_regions = regions;
    endResetModel();
}

QString RegionListModel::keyAt(int row) const
{
    return row >= 0 && row < m_regions.size() ? m_regions[row].key : QString();
}

int RegionListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_regions.size());
}

int RegionListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant RegionListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return m_regions[index.row()].name;
}

Qt::ItemFlags RegionListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
