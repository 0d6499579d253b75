#include "ScriptedDialogs.h"
#include "tools/windows/Tcala_tools.h"
#include "Widgets.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class TstCalculatorWindow : public QObject
{
    Q_OBJECT

    static void click(Tcala_tools &w, const char *name)
    {
        FIND_CHILD(button, QAbstractButton, &w, QLatin1String(name));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // A typed character, as the keyboard delivers it to the focused control.
    static void type(QWidget *target, QChar c)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
    }

private slots:
    void opensCleared()
    {
        Tcala_tools w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        FIND_CHILD(display, QLineEdit, &w, "edit1");
        FIND_CHILD(oneDecimal, QRadioButton, &w, "rb1");
        FIND_CHILD(twoDecimals, QRadioButton, &w, "rb2");
        QCOMPARE(w.windowTitle(), QStringLiteral("计算器"));
        QCOMPARE(display->text(), QStringLiteral("0"));
        QCOMPARE(QApplication::focusWidget(), display);
        QVERIFY(!oneDecimal->isChecked());
        QVERIFY(!twoDecimals->isChecked());
        const QStringList captions{"CE", "BackSpace", "*", "/", "-", "+", ".", "="};
        const char *names[] = {"Button15", "Button14", "bx", "bc", "bj", "bjj", "bd", "bdd"};
        for (int i = 0; i < captions.size(); ++i) {
            FIND_CHILD(button, QPushButton, &w, QLatin1String(names[i]));
            QCOMPARE(button->text(), captions[i]);
        }
    }

    void buttonsDriveTheDisplay()
    {
        Tcala_tools w;
        FIND_CHILD(display, QLineEdit, &w, "edit1");
        for (const char *name : {"b5", "bjj", "b3", "bdd"})
            click(w, name);
        QCOMPARE(display->text(), QStringLiteral("8"));
        click(w, "Button15");
        QCOMPARE(display->text(), QStringLiteral("0"));
    }

    // Whatever has the focus, a mapped character presses its button once and
    // goes no further; other characters reach the field as typed.
    void keyPreview_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digit in the display") << "edit1"
                                              << "7"
                                              << "07";
        QTest::newRow("sum from the keyboard") << "edit1"
                                               << "12+3="
                                               << "15";
        QTest::newRow("keys on a button") << "bx"
                                          << "2*4="
                                          << "8";
        QTest::newRow("keys on an option") << "rb1"
                                           << "9-.5="
                                           << "8.5";
        QTest::newRow("letter goes to the display") << "edit1"
                                                    << "a"
                                                    << "0a";
    }
    void keyPreview()
    {
        QFETCH(QString, focus);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Tcala_tools w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        FIND_CHILD(display, QLineEdit, &w, "edit1");
        FIND_CHILD(target, QWidget, &w, focus);
        target->setFocus();
        for (const QChar c : typed)
            type(target, c);
        QCOMPARE(display->text(), shown);
    }

    void editedDisplayIsTheOperand()
    {
        ScriptedDialogs dialogs;
        Tcala_tools w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        FIND_CHILD(display, QLineEdit, &w, "edit1");
        for (const char *name : {"b1", "b2"})
            click(w, name);
        display->setFocus();
        display->end(false);
        QTest::keyClick(display, Qt::Key_Backspace); // the field's own key, not the button
        QCOMPARE(display->text(), QStringLiteral("01"));
        for (const char *name : {"bjj", "b3", "bdd"})
            click(w, name);
        QCOMPARE(display->text(), QStringLiteral("4"));
        QVERIFY(dialogs.shown().isEmpty());
    }

    void roundingOptionsActOnceWhenSelected()
    {
        ScriptedDialogs dialogs;
        Tcala_tools w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        FIND_CHILD(display, QLineEdit, &w, "edit1");
        FIND_CHILD(oneDecimal, QRadioButton, &w, "rb1");
        FIND_CHILD(twoDecimals, QRadioButton, &w, "rb2");
        click(w, "b2");
        QTest::mouseClick(twoDecimals, Qt::LeftButton);
        QCOMPARE(display->text(), QStringLiteral("2.00"));
        click(w, "b5");
        QTest::mouseClick(twoDecimals, Qt::LeftButton);
        QCOMPARE(display->text(), QStringLiteral("2.005"));
        QTest::mouseClick(oneDecimal, Qt::LeftButton);
        QCOMPARE(display->text(), QStringLiteral("2.0"));
        QVERIFY(dialogs.shown().isEmpty());
    }

    void failureShowsTheErrorAndKeepsTheState()
    {
        ScriptedDialogs dialogs;
        Tcala_tools w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        FIND_CHILD(display, QLineEdit, &w, "edit1");
        FIND_CHILD(twoDecimals, QRadioButton, &w, "rb2");
        for (const char *name : {"b1", "bd", "bd", "rb2"})
            click(w, name);
        QCOMPARE(dialogs.texts(), QStringList{"'01..' is not a valid floating point value."});
        QVERIFY(twoDecimals->isChecked());
        QCOMPARE(display->text(), QStringLiteral("01.."));

        for (const char *name : {"Button15", "b1", "bc", "bd", "bdd"})
            click(w, name);
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Error);
        QCOMPARE(shown[0].text, QStringLiteral("Floating point division by zero."));
        QCOMPARE(display->text(), QStringLiteral("0."));
        click(w, "b5"); // "/" is still pending, and "0." is still the number being typed
        click(w, "bdd");
        QCOMPARE(display->text(), QStringLiteral("2")); // 01 / 0.5
    }
};

QTEST_MAIN(TstCalculatorWindow)
#include "tst_calculator_window.moc"
