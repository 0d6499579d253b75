#include "contacts/windows/RecordGrid.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QStyle>

RecordRowsModel::RecordRowsModel(int columns, QObject *parent)
    : QAbstractTableModel(parent)
    , m_columns(columns)
{
}

void RecordRowsModel::setRows(QList<QStringList> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int RecordRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RecordRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant RecordRowsModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return m_rows.at(index.row()).value(index.column());
}

RecordGrid::RecordGrid(const QList<int> &columnWidths, QWidget *parent)
    : RecordGrid(columnWidths, nullptr, parent)
{
}

RecordGrid::RecordGrid(const QList<int> &columnWidths, QAbstractItemModel *rows, QWidget *parent)
    : QTableView(parent)
    , m_widths(columnWidths)
    , m_own(rows ? nullptr : new RecordRowsModel(int(columnWidths.size()), this))
    , m_model(rows ? rows : m_own)
{
    setModel(m_model);
    horizontalHeader()->hide();
    // Rows of 20 pixels, or taller for a larger font; at least three in sight.
    const int rowHeight = std::max(20, fontMetrics().height() + 4);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setMinimumHeight(3 * rowHeight + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * frameWidth());
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    for (int i = 0; i < columnWidths.size(); ++i)
        setColumnWidth(i, columnWidths.at(i));

    m_refresh = new QAction(QStringLiteral("刷新..."), this);
    m_refresh->setObjectName(QStringLiteral("refreshRecords"));
    m_delete = new QAction(QStringLiteral("删除本记录"), this);
    m_delete->setObjectName(QStringLiteral("deleteRecord"));
    connect(m_refresh, &QAction::triggered, this, &RecordGrid::refreshRequested);
    connect(m_delete, &QAction::triggered, this, &RecordGrid::deleteRequested);
}

void RecordGrid::setRows(QList<QStringList> rows)
{
    Q_ASSERT(m_own);
    m_own->setRows(std::move(rows));
    fitColumns();
    if (m_model->rowCount() > 0)
        setCurrentRow(0);
}

void RecordGrid::fitColumns()
{
    for (int i = 0; i < m_widths.size(); ++i)
        setColumnWidth(i, std::max(m_widths.at(i), sizeHintForColumn(i)));
    m_delete->setEnabled(m_model->rowCount() > 0);
}

int RecordGrid::rows() const
{
    return m_model->rowCount();
}

int RecordGrid::currentRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void RecordGrid::setCurrentRow(int row)
{
    if (row < 0 || row >= rows()) {
        selectionModel()->clear();
        return;
    }
    setCurrentIndex(m_model->index(row, 0));
}

void RecordGrid::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    menu.addAction(m_refresh);
    menu.addSeparator();
    menu.addAction(m_delete);
    menu.exec(event->globalPos());
}
