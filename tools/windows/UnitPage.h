#pragma once

#include "tools/core/UnitTable.h"

#include <QWidget>

class QGridLayout;
class QKeyEvent;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

// One tab of the unit converter: its conversion rows, each converting only
// from its own input field to its own output field.
class UnitPage final : public QWidget
{
    Q_OBJECT

public:
    // `firstRow` numbers the rows across all tabs, which names their fields.
    UnitPage(int tab, int firstRow, QWidget *parent = nullptr);

    // The shared key filter of every field: digits, Backspace and Enter only.
    static bool rejectsKey(QKeyEvent *event);
    // A read-only reference text, one stored line per shown line.
    static QPlainTextEdit *makeMemo(const QStringList &lines, QWidget *parent);

private:
    struct Fields
    {
        QLineEdit *input = nullptr;
        QLineEdit *output = nullptr;
    };

    Fields addRow(QGridLayout *grid, const UnitTable::Row &row, int index, int gridRow);
    Fields addTemperatureRow(QGridLayout *grid, const UnitTable::Row &row, int index, int gridRow);
    void addHeatFormulas(QGridLayout *grid, int gridRow);
    QLineEdit *addField(const QString &name);
    QToolButton *addButton(const UnitTable::Row &row, int index, const Fields &fields);
};
