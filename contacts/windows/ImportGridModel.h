#pragma once
#include "contacts/csv/ImportGrid.h"

#include <QAbstractTableModel>

// Shows an ImportGrid cell for cell: row 0 and column 0 are the fixed header
// and line numbers, drawn greyed like fixed cells.
class ImportGridModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ImportGridModel(QObject *parent = nullptr);
    ImportGrid &grid() { return m_grid; }
    const ImportGrid &grid() const { return m_grid; }
    // Call after changing the grid.
    void refresh();
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    ImportGrid m_grid;
};
