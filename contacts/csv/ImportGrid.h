#pragma once
#include <QList>
#include <QStringList>

// The import grid: row 0 is the header ("1" to "10" once a file is open),
// column 0 the line numbers, the other cells the fields of each line. Column
// k of a data row is imported into position k, whatever its header says.
class ImportGrid final
{
public:
    static constexpr int kColumns = 11;
    static constexpr int kDefaultRows = 5;
    enum class Swap { None, Columns, Rows };

    ImportGrid();
    // Replaces the content with `lines` (fields per line, as read).
    void open(const QList<QStringList> &lines);
    int rowCount() const { return int(m_cells.size()); }
    int columnCount() const { return m_columns; }
    QString cell(int row, int column) const;
    // Cells 1.. of a data row (index 0 is column 1).
    QStringList fields(int row) const;

    // Pressing a swap button: starts that mode, or ends the one running.
    void toggleSwap(Swap mode);
    Swap swapMode() const { return m_swap; }
    bool hasPick() const { return m_picked >= 0; }
    // A click on a cell while swapping; returns true when it exchanged.
    bool click(int row, int column);

    void deleteColumn(int column);
    void deleteRow(int row);

private:
    void swapColumns(int a, int b);
    void swapRows(int a, int b);

    QList<QStringList> m_cells; // [row][column], every row m_columns long
    int m_columns = kColumns;
    Swap m_swap = Swap::None;
    int m_picked = -1;
};
