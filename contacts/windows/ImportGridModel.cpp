#include "contacts/windows/ImportGridModel.h"

#include <QBrush>
#include <QPalette>

ImportGridModel::ImportGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void ImportGridModel::refresh()
{
    beginResetModel();
    endResetModel();
}

int ImportGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_grid.rowCount();
}

int ImportGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_grid.columnCount();
}

QVariant ImportGridModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::DisplayRole)
        return m_grid.cell(index.row(), index.column());
    if (role == Qt::BackgroundRole && (index.row() == 0 || index.column() == 0))
        return QBrush(QPalette().color(QPalette::Button));
    return {};
}

Qt::ItemFlags ImportGridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
