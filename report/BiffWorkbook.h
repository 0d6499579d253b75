#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The "Workbook" stream of an Excel 97-2003 (BIFF8) file with one sheet of
// text cells. Put it in a compound file to get an .xls.
namespace report {

class BiffWorkbook final
{
public:
    explicit BiffWorkbook(const QString &sheetName);

    void setCell(int row, int column, const QString &text);
    QByteArray stream() const;

private:
    struct Cell
    {
        int row;
        int column;
        QString text;
    };

    QByteArray globals(quint32 sheetOffset) const;
    QByteArray sheet() const;

    QString m_sheetName;
    QList<Cell> m_cells;
};

} // namespace report
