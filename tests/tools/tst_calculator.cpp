#include "tools/core/Calculator.h"

#include <QTest>

namespace {

// One character per key: digits . + - * / = as on the keypad, C for "CE",
// B for "BackSpace", r and R for the options "0.0" and "0.00", and E for the
// user typing "E4000" at the end of the display.
Result<void> press(Calculator &calculator, QChar key)
{
    if (key.isDigit()) {
        calculator.digit(key.digitValue());
        return {};
    }
    switch (key.unicode()) {
    case u'.':
        calculator.point();
        return {};
    case u'=':
        return calculator.equals();
    case u'C':
        calculator.clearEntry();
        return {};
    case u'B':
        calculator.backspace();
        return {};
    case u'r':
        return calculator.roundTo(1);
    case u'R':
        return calculator.roundTo(2);
    case u'E':
        calculator.setDisplay(calculator.display() + QStringLiteral("E4000"));
        return {};
    default:
        calculator.setOperator(key);
        return {};
    }
}

struct State
{
    QString display;
    QString op;
    QString first;
    bool fresh;
    bool operator==(const State &) const = default;
};

State stateOf(const Calculator &c)
{
    return {c.display(), c.pendingOperator(), c.firstOperand(), c.startsNewNumber()};
}

QString notANumber(const QString &text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}

} // namespace

class TstCalculator : public QObject
{
    Q_OBJECT

private slots:
    void keys_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("error");
        QTest::newRow("opening") << ""
                                 << "0"
                                 << "";
        QTest::newRow("digits append to the zero") << "5"
                                                   << "05"
                                                   << "";
        QTest::newRow("05 + 3") << "5+3="
                                << "8"
                                << "";
        QTest::newRow("operators never evaluate") << "2+3+4="
                                                  << "7"
                                                  << "";
        QTest::newRow("first operand still the CE zero") << "5*="
                                                         << "0"
                                                         << "";
        QTest::newRow("0 + 5") << "5+="
                               << "5"
                               << "";
        QTest::newRow("negative result") << "2-5="
                                         << "-3"
                                         << "";
        QTest::newRow("15 significant digits") << "1/3="
                                               << "0.333333333333333"
                                               << "";
        QTest::newRow("exponent form") << "99999999*99999999="
                                       << "9.9999998E15"
                                       << "";
        QTest::newRow("zeros ignored under /") << "1/100000="
                                               << "1"
                                               << "";
        QTest::newRow("zero allowed under -") << "2-0="
                                              << "2"
                                              << "";
        QTest::newRow("small result") << "1*.00001="
                                      << "1E-5"
                                      << "";
        QTest::newRow("result becomes first operand") << "2+3=*4="
                                                      << "20"
                                                      << "";
        QTest::newRow("new number after =") << "2+3=2"
                                            << "2"
                                            << "";
        QTest::newRow("= without operator") << "2+3=2="
                                            << "2"
                                            << "";
        QTest::newRow("point starts 0.") << "1+.5="
                                         << "1.5"
                                         << "";
        QTest::newRow("CE clears the operator") << "5+C3="
                                                << "03"
                                                << "";
        QTest::newRow("BackSpace") << "12B"
                                   << "01"
                                   << "";
        QTest::newRow("BackSpace past empty") << "12BBBBB"
                                              << ""
                                              << "";
        QTest::newRow("division by zero") << "1/.="
                                          << "0."
                                          << "Floating point division by zero";
        QTest::newRow("zero by zero") << "/.="
                                      << "0."
                                      << "Invalid floating point operation";
        QTest::newRow("overflow") << "1E*1E="
                                  << "1E4000"
                                  << "Floating point overflow";
        QTest::newRow("first operand not a number") << "1.2.+3="
                                                    << "3" << notANumber("01.2.");
        QTest::newRow("display read first") << "1..+2..="
                                            << "2.." << notANumber("2..");
        QTest::newRow("empty display") << "1+BB="
                                       << "" << notANumber("");
        QTest::newRow("0.00") << "2R"
                              << "2.00"
                              << "";
        QTest::newRow("0.00 rounds half up") << ".125R"
                                             << "0.13"
                                             << "";
        QTest::newRow("0.0 after 0.00") << "2Rr"
                                        << "2.0"
                                        << "";
        QTest::newRow("rounding acts once") << "2R+1="
                                            << "3"
                                            << "";
        QTest::newRow("rounding an unreadable display") << "1..r"
                                                        << "01.." << notANumber("01..");
    }
    // The last key fails or succeeds; a failure changes nothing at all.
    void keys()
    {
        QFETCH(QString, keys);
        QFETCH(QString, display);
        QFETCH(QString, error);
        Calculator calculator;
        Result<void> outcome;
        State before = stateOf(calculator);
        for (qsizetype i = 0; i < keys.size(); ++i) {
            before = stateOf(calculator);
            outcome = press(calculator, keys[i]);
            if (!outcome && i + 1 < keys.size())
                QFAIL(qPrintable(outcome.error()));
        }
        QCOMPARE(calculator.display(), display);
        QCOMPARE(outcome.error(), error);
        if (!outcome)
            QVERIFY(stateOf(calculator) == before);
    }

    void stateAfterEquals()
    {
        Calculator calculator;
        for (const QChar key : QStringLiteral("7-2="))
            QVERIFY(press(calculator, key).ok());
        QVERIFY(calculator.pendingOperator().isEmpty());
        QVERIFY(calculator.startsNewNumber());
        QCOMPARE(calculator.firstOperand(), QStringLiteral("07"));
    }

    void roundingLeavesOperatorAndOperand()
    {
        Calculator calculator;
        for (const QChar key : QStringLiteral("4*1.5R"))
            QVERIFY(press(calculator, key).ok());
        QCOMPARE(calculator.display(), QStringLiteral("1.50"));
        QCOMPARE(calculator.pendingOperator(), QStringLiteral("*"));
        QCOMPARE(calculator.firstOperand(), QStringLiteral("04"));
        QVERIFY(press(calculator, u'=').ok());
        QCOMPARE(calculator.display(), QStringLiteral("6"));
    }
};

QTEST_GUILESS_MAIN(TstCalculator)
#include "tst_calculator.moc"
