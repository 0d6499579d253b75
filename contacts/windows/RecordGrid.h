#pragma once

#include <QAbstractTableModel>
#include <QTableView>

class QAction;

// Cell texts of a record grid, one list per row.
class RecordRowsModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    RecordRowsModel(int columns, QObject *parent);
    void setRows(QList<QStringList> rows);
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    QList<QStringList> m_rows;
    int m_columns = 0;
};

// A record grid as every grid of the address book is: no title row, a row
// indicator at the left, whole rows selected, nothing editable. Each column
// is as wide as its cells need (never less than its given width); a grid
// wider than its room scrolls sideways. Its context
// menu offers "刷新..." and "删除本记录" (the latter only while it has rows).
// It holds its rows itself (setRows), or shows a model it is given.
class RecordGrid final : public QTableView
{
    Q_OBJECT

public:
    RecordGrid(const QList<int> &columnWidths, QWidget *parent = nullptr);
    RecordGrid(const QList<int> &columnWidths, QAbstractItemModel *rows, QWidget *parent = nullptr);

    // Only for a grid that holds its rows itself.
    void setRows(QList<QStringList> rows);
    // Widens the columns to the cells in sight, after the rows changed.
    void fitColumns();
    int rows() const;
    // 0-based current row; -1 while no row is current.
    int currentRow() const;
    // A row outside the grid (-1) leaves no row current or selected.
    void setCurrentRow(int row);

    QAction *refreshAction() const { return m_refresh; }
    QAction *deleteAction() const { return m_delete; }

signals:
    void refreshRequested();
    void deleteRequested();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QList<int> m_widths;              // the least width of each column
    RecordRowsModel *m_own = nullptr; // null for a model given
    QAbstractItemModel *m_model = nullptr;
    QAction *m_refresh = nullptr;
    QAction *m_delete = nullptr;
};
