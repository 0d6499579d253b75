#include "tools/core/Calculator.h"

#include "tools/core/NumberText.h"

#include <cmath>

void Calculator::clearEntry()
{
    m_display = QStringLiteral("0");
    m_startsNewNumber = false;
    m_operator.clear();
    m_firstOperand = QStringLiteral("0");
}

void Calculator::startOrAppend(const QString &fresh, const QString &appended)
{
    if (m_startsNewNumber) {
        m_firstOperand = m_display;
        m_display = fresh;
    } else {
        m_display += appended;
    }
    m_startsNewNumber = false;
}

void Calculator::digit(int value)
{
    if (value == 0 && m_operator == u"/")
        return;
    const QString text = QString::number(value);
    startOrAppend(text, text);
}

void Calculator::point()
{
    startOrAppend(QStringLiteral("0."), QStringLiteral("."));
}

void Calculator::setOperator(QChar op)
{
    m_operator = op;
    m_startsNewNumber = true;
}

Result<void> Calculator::equals()
{
    if (m_operator.isEmpty() || m_firstOperand.isEmpty())
        return {};
    const Result<long double> right = NumberText::toNumber(m_display);
    if (!right)
        return fail(right.error());
    const Result<long double> left = NumberText::toNumber(m_firstOperand);
    if (!left)
        return fail(left.error());

    long double result = 0;
    if (m_operator == u"+") {
        result = *left + *right;
    } else if (m_operator == u"-") {
        result = *left - *right;
    } else if (m_operator == u"*") {
        result = *left * *right;
    } else {
        if (*right == 0)
            return fail(*left == 0 ? kInvalidOperation : kDivisionByZero);
        result = *left / *right;
    }
    if (std::isinf(result))
        return fail(NumberText::kOverflowMessage);

    m_display = NumberText::general(result);
    m_startsNewNumber = true;
    m_operator.clear();
    return {};
}

void Calculator::backspace()
{
    m_display.chop(1);
}

Result<void> Calculator::roundTo(int decimals)
{
    const Result<long double> value = NumberText::toNumber(m_display);
    if (!value)
        return fail(value.error());
    m_display = NumberText::fixed(*value, decimals);
    return {};
}
