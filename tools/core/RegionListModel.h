#pragma once

#include "tools/core/RegionRepository.h"

#include <QAbstractTableModel>

// One read-only column of region names; the keys stay behind the rows.
class RegionListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRegions(const QList<RegionRepository::Region> &regions);
    QString keyAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QList<RegionRepository::Region> m_regions;
};
