#include "ScriptedDialogs.h"
#include "tools/windows/Ttools_sub.h"
#include "Widgets.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

constexpr int kRows = 37;

// The converter's rows, found by their names. Row n (1 to 37, across the
// tabs) has input Edit(2n-1), output Edit(2n) and button SpeedButton(n).
//
//     Ttools_sub w;
//     Rows rows;
//     VERIFY_OK(rows.find(w));
struct Rows
{
    Result<void> find(const Ttools_sub &w)
    {
        if (Result<void> found = Widgets::take(tabs, &w, QStringLiteral("pc1")); !found)
            return found;
        fields.fill(nullptr, 2 * kRows + 1); // numbered from 1
        buttons.fill(nullptr, kRows + 1);
        for (int n = 1; n <= 2 * kRows; ++n) {
            if (Result<void> found = Widgets::take(fields[n], &w, QStringLiteral("Edit%1").arg(n)); !found)
                return found;
        }
        for (int row = 1; row <= kRows; ++row) {
            if (Result<void> found = Widgets::take(buttons[row], &w, QStringLiteral("SpeedButton%1").arg(row)); !found)
                return found;
        }
        return {};
    }

    QLineEdit *field(int n) const { return fields.at(n); }
    QLineEdit *input(int row) const { return field(2 * row - 1); }
    QLineEdit *output(int row) const { return field(2 * row); }
    QToolButton *button(int row) const { return buttons.at(row); }

    // Shows the row's tab and presses its button.
    void convert(int row) const
    {
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(button(row)))
                tabs->setCurrentIndex(i);
        QTest::mouseClick(button(row), Qt::LeftButton);
    }

    QTabWidget *tabs = nullptr;
    QList<QLineEdit *> fields;
    QList<QToolButton *> buttons;
};

} // namespace

class TstUnitConverter : public QObject
{
    Q_OBJECT

private slots:
    void opensWithEveryFieldAtZero()
    {
        Ttools_sub w;
        QCOMPARE(w.windowTitle(), QStringLiteral("百宝箱工具"));
        const auto fields = w.findChildren<QLineEdit *>(QRegularExpression(QStringLiteral("^Edit\\d+$")));
        QCOMPARE(fields.size(), 74);
        for (const QLineEdit *f : fields)
            QCOMPARE(f->text(), QStringLiteral("0"));
        FIND_CHILD(tabs, QTabWidget, &w, "pc1");
        FIND_CHILD(formulas, QPlainTextEdit, &w, "Memo1");
        FIND_CHILD(notes, QPlainTextEdit, &w, "Memo2");
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(tabs->tabPosition(), QTabWidget::South);
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions << tabs->tabText(i);
        QCOMPARE(captions, (QStringList{"长度/Length   ", "重量/Mass  ", "面积/Area   ", "温度/Temperature  ",
                                        "容积 /Volume ", "其它计算公式"}));
        QCOMPARE(formulas->document()->blockCount(), 29);
        QCOMPARE(notes->document()->blockCount(), 82);
        QVERIFY(notes->isReadOnly());
    }

    void everyButtonOnOpening()
    {
        ScriptedDialogs dialogs;
        Ttools_sub w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Rows rows;
        VERIFY_OK(rows.find(w));
        for (int row = 1; row <= kRows; ++row) {
            rows.output(row)->setText(QStringLiteral("x"));
            rows.convert(row);
            const QString expected = row == 27   ? QStringLiteral("32")
                                     : row == 28 ? QStringLiteral("-17.7777777777778")
                                                 : QStringLiteral("0");
            QCOMPARE(rows.output(row)->text(), expected);
            QCOMPARE(rows.button(row)->toolTip(), QStringLiteral("开始转换"));
        }
        QVERIFY(dialogs.shown().isEmpty());
    }

    void rowConvertsItsOwnFieldsOnly()
    {
        Ttools_sub w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Rows rows;
        VERIFY_OK(rows.find(w));
        rows.input(5)->setText(QStringLiteral("12"));
        rows.input(6)->setText(QStringLiteral("7"));
        rows.convert(5);
        QCOMPARE(rows.output(5)->text(), QStringLiteral("304.8"));
        QCOMPARE(rows.output(6)->text(), QStringLiteral("0"));
    }

    // Typed characters other than digits never reach a field.
    void keyFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits") << "125"
                                << "0125";
        QTest::newRow("letters") << "ab"
                                 << "0";
        QTest::newRow("point") << "."
                               << "0";
        QTest::newRow("minus") << "-"
                               << "0";
        QTest::newRow("space") << " "
                               << "0";
        QTest::newRow("exponent") << "1e5"
                                  << "015";
        QTest::newRow("Chinese") << "米"
                                 << "0";
    }
    void keyFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Ttools_sub w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Rows rows;
        VERIFY_OK(rows.find(w));
        for (int n : {1, 54}) { // a length field and a temperature field
            QLineEdit *f = rows.field(n);
            f->setFocus();
            f->end(false);
            for (const QChar c : typed) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(f, &press);
            }
            QCOMPARE(f->text(), shown);
        }
    }

    void backspaceAndPasteStillEdit()
    {
        ScriptedDialogs dialogs;
        Ttools_sub w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Rows rows;
        VERIFY_OK(rows.find(w));
        QLineEdit *in = rows.input(1);
        in->setFocus();
        in->end(false);
        QTest::keyClick(in, Qt::Key_Backspace);
        QCOMPARE(in->text(), QString());
        QTest::keyClick(in, Qt::Key_Return); // passes, and converts nothing
        QCOMPARE(rows.output(1)->text(), QStringLiteral("0"));

        rows.convert(1);
        QCOMPARE(dialogs.texts(), QStringList{"'' is not a valid floating point value."});
        QCOMPARE(rows.output(1)->text(), QStringLiteral("0"));

        QApplication::clipboard()->setText(QStringLiteral("2.5"));
        in->paste();
        QCOMPARE(in->text(), QStringLiteral("2.5"));
        rows.convert(1);
        QCOMPARE(rows.output(1)->text(), QStringLiteral("250"));
        QVERIFY(dialogs.shown().isEmpty());
    }

    void editedOutputIsOverwritten()
    {
        Ttools_sub w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        Rows rows;
        VERIFY_OK(rows.find(w));
        rows.input(29)->setText(QStringLiteral("2"));
        rows.output(29)->setText(QStringLiteral("999"));
        rows.convert(29);
        QCOMPARE(rows.output(29)->text(), QStringLiteral("2000"));
    }

    void escapeClosesFromAnyTab()
    {
        for (int tab = 0; tab < 6; ++tab) {
            QPointer<Ttools_sub> w = new Ttools_sub;
            w->setAttribute(Qt::WA_DeleteOnClose);
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
            FIND_CHILD(tabs, QTabWidget, w.data(), "pc1");
            tabs->setCurrentIndex(tab);
            QWidget *focus = tab == 5 ? tabs->currentWidget() : tabs->currentWidget()->findChild<QLineEdit *>();
            QVERIFY2(focus, "no field on the tab");
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key_Escape);
            QTRY_VERIFY(w.isNull());
        }
    }
};

QTEST_MAIN(TstUnitConverter)
#include "tst_unit_converter.moc"
