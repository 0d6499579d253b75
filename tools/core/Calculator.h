#pragma once

#include "store/Result.h"

#include <QString>

// The four-function calculator. Numbers are kept as the text of the display
// and read only by "=" and the rounding options, so an operator never
// evaluates anything and the first operand is whatever the display held when
// the next number was started.
class Calculator final
{
public:
    static inline const QString kDivisionByZero = QStringLiteral("Floating point division by zero");
    static inline const QString kInvalidOperation = QStringLiteral("Invalid floating point operation");

    Calculator() { clearEntry(); }

    // "CE": display "0", no operator, first operand "0", typing continues.
    void clearEntry();
    // A digit button; "0" is ignored while "/" is pending.
    void digit(int value);
    // The "." button: appends without looking for a point already there.
    void point();
    // "+", "-", "*" or "/": only remembered.
    void setOperator(QChar op);
    // A failed action gives its message and leaves the state as before it.
    Result<void> equals();
    // Removes the display's last character.
    void backspace();
    // The rounding options "0.0" (1) and "0.00" (2).
    Result<void> roundTo(int decimals);

    QString display() const { return m_display; }
    // The user edited the display field.
    void setDisplay(const QString &text) { m_display = text; }
    QString pendingOperator() const { return m_operator; }
    QString firstOperand() const { return m_firstOperand; }
    bool startsNewNumber() const { return m_startsNewNumber; }

private:
    void startOrAppend(const QString &fresh, const QString &appended);

    QString m_display;
    QString m_operator;
    QString m_firstOperand;
    bool m_startsNewNumber = false;
};
