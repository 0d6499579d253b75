#include "contacts/csv/ImportGrid.h"

#include <utility>

ImportGrid::ImportGrid()
{
    m_cells = QList<QStringList>(kDefaultRows, QStringList(kColumns));
}

void ImportGrid::open(const QList<QStringList> &lines)
{
    m_columns = kColumns;
    m_swap = Swap::None;
    m_picked = -1;
    m_cells = QList<QStringList>(lines.size() + 1, QStringList(kColumns));
    for (int c = 1; c < kColumns; ++c)
        m_cells[0][c] = QString::number(c);
    for (int n = 1; n <= lines.size(); ++n) {
        QStringList &row = m_cells[n];
        row[0] = QString::number(n);
        const QStringList &line = lines.at(n - 1);
        for (int i = 0; i < line.size() && i + 1 < kColumns; ++i)
            row[i + 1] = line.at(i);
    }
}

QString ImportGrid::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns)
        return {};
    return m_cells.at(row).at(column);
}

QStringList ImportGrid::fields(int row) const
{
    if (row < 1 || row >= rowCount())
        return {};
    return m_cells.at(row).mid(1);
}

void ImportGrid::toggleSwap(Swap mode)
{
    m_picked = -1;
    m_swap = m_swap == Swap::None ? mode : Swap::None;
}

bool ImportGrid::click(int row, int column)
{
    if (m_swap == Swap::None || row < 0 || row >= rowCount() || column < 0 || column >= m_columns)
        return false;
    const int place = m_swap == Swap::Columns ? column : row;
    if (m_picked < 0) {
        m_picked = place;
        return false;
    }
    if (m_swap == Swap::Columns)
        swapColumns(m_picked, place);
    else
        swapRows(m_picked, place);
    m_swap = Swap::None;
    m_picked = -1;
    return true;
}

void ImportGrid::swapColumns(int a, int b)
{
    for (int r = 1; r < rowCount(); ++r)
        std::swap(m_cells[r][a], m_cells[r][b]);
}

void ImportGrid::swapRows(int a, int b)
{
    // Only the data cells move; the header row and the line numbers stay.
    if (a < 1 || b < 1)
        return;
    for (int c = 1; c < m_columns; ++c)
        std::swap(m_cells[a][c], m_cells[b][c]);
}

void ImportGrid::deleteColumn(int column)
{
    if (column < 1 || column >= m_columns)
        return;
    for (QStringList &row : m_cells)
        row.removeAt(column);
    --m_columns;
}

void ImportGrid::deleteRow(int row)
{
    if (row < 1 || row >= rowCount())
        return;
    m_cells.removeAt(row);
}
