#pragma once

#include "tools/core/Calculator.h"

#include <QHash>
#include <QWidget>

class QGridLayout;
class QKeyEvent;
class QLineEdit;
class QPushButton;

// The calculator window: a thin face over Calculator. Typed characters that
// name a button press it, whichever control has the focus.
class Tcala_tools final : public QWidget
{
    Q_OBJECT

public:
    explicit Tcala_tools(QWidget *parent = nullptr);

private:
    void buildOptions(QGridLayout *grid);
    void buildKeypad(QGridLayout *grid);
    QPushButton *addKey(QGridLayout *grid, const QString &name, const QString &text, int row, int column);
    bool previewKey(QKeyEvent *event);
    void clearEntry();
    void showDisplay();
    void showOutcome(const Result<void> &outcome);
    void roundingChosen(int decimals, bool checked);

    Calculator m_calculator;
    QLineEdit *m_display = nullptr;
    QHash<QChar, QPushButton *> m_keys;
};
