#include "ScriptedDialogs.h"
#include "tools/windows/Ttools_sub.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

class TstUnitConverter : public QObject
{
    Q_OBJECT

    // Row n (1 to 37, across the tabs) has input Edit(2n-1), output Edit(2n)
    // and button SpeedButton(n).
    static QLineEdit *input(QWidget &w, int row) { return field(w, 2 * row - 1); }
    static QLineEdit *output(QWidget &w, int row) { return field(w, 2 * row); }
    static QLineEdit *field(QWidget &w, int n) { return w.findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(n)); }
    static void convert(QWidget &w, int row)
    {
        auto *tabs = w.findChild<QTabWidget *>(QStringLiteral("pc1"));
        auto *button = w.findChild<QToolButton *>(QStringLiteral("SpeedButton%1").arg(row));
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(button))
                tabs->setCurrentIndex(i);
        QTest::mouseClick(button, Qt::LeftButton);
    }

private slots:
    void opensWithEveryFieldAtZero()
    {
        Ttools_sub w;
        QCOMPARE(w.windowTitle(), QStringLiteral("百宝箱工具"));
        const auto fields = w.findChildren<QLineEdit *>(QRegularExpression(QStringLiteral("^Edit\\d+$")));
        QCOMPARE(fields.size(), 74);
        for (const QLineEdit *f : fields)
            QCOMPARE(f->text(), QStringLiteral("0"));
        auto *tabs = w.findChild<QTabWidget *>(QStringLiteral("pc1"));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(tabs->tabPosition(), QTabWidget::South);
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions << tabs->tabText(i);
        QCOMPARE(captions, (QStringList{"长度/Length   ", "重量/Mass  ", "面积/Area   ", "温度/Temperature  ",
                                        "容积 /Volume ", "其它计算公式"}));
        QCOMPARE(w.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))->document()->blockCount(), 29);
        QCOMPARE(w.findChild<QPlainTextEdit *>(QStringLiteral("Memo2"))->document()->blockCount(), 82);
        QVERIFY(w.findChild<QPlainTextEdit *>(QStringLiteral("Memo2"))->isReadOnly());
    }

    void everyButtonOnOpening()
    {
        ScriptedDialogs dialogs;
        Ttools_sub w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int row = 1; row <= 37; ++row) {
            output(w, row)->setText(QStringLiteral("x"));
            convert(w, row);
            const QString expected = row == 27   ? QStringLiteral("32")
                                     : row == 28 ? QStringLiteral("-17.7777777777778")
                                                 : QStringLiteral("0");
            QCOMPARE(output(w, row)->text(), expected);
            QCOMPARE(w.findChild<QToolButton *>(QStringLiteral("SpeedButton%1").arg(row))->toolTip(),
                     QStringLiteral("开始转换"));
        }
        QVERIFY(dialogs.shown().isEmpty());
    }

    void rowConvertsItsOwnFieldsOnly()
    {
        Ttools_sub w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        input(w, 5)->setText(QStringLiteral("12"));
        input(w, 6)->setText(QStringLiteral("7"));
        convert(w, 5);
        QCOMPARE(output(w, 5)->text(), QStringLiteral("304.8"));
        QCOMPARE(output(w, 6)->text(), QStringLiteral("0"));
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
        for (int n : {1, 54}) { // a length field and a temperature field
            QLineEdit *f = field(w, n);
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
        QLineEdit *in = input(w, 1);
        in->setFocus();
        in->end(false);
        QTest::keyClick(in, Qt::Key_Backspace);
        QCOMPARE(in->text(), QString());
        QTest::keyClick(in, Qt::Key_Return); // passes, and converts nothing
        QCOMPARE(output(w, 1)->text(), QStringLiteral("0"));

        convert(w, 1);
        QCOMPARE(dialogs.texts(), QStringList{"'' is not a valid floating point value."});
        QCOMPARE(output(w, 1)->text(), QStringLiteral("0"));

        QApplication::clipboard()->setText(QStringLiteral("2.5"));
        in->paste();
        QCOMPARE(in->text(), QStringLiteral("2.5"));
        convert(w, 1);
        QCOMPARE(output(w, 1)->text(), QStringLiteral("250"));
        QVERIFY(dialogs.shown().isEmpty());
    }

    void editedOutputIsOverwritten()
    {
        Ttools_sub w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        input(w, 29)->setText(QStringLiteral("2"));
        output(w, 29)->setText(QStringLiteral("999"));
        convert(w, 29);
        QCOMPARE(output(w, 29)->text(), QStringLiteral("2000"));
    }

    void escapeClosesFromAnyTab()
    {
        for (int tab = 0; tab < 6; ++tab) {
            QPointer<Ttools_sub> w = new Ttools_sub;
            w->setAttribute(Qt::WA_DeleteOnClose);
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
            auto *tabs = w->findChild<QTabWidget *>(QStringLiteral("pc1"));
            tabs->setCurrentIndex(tab);
            QWidget *focus = tab == 5 ? tabs->currentWidget() : tabs->currentWidget()->findChild<QLineEdit *>();
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key_Escape);
            QTRY_VERIFY(w.isNull());
        }
    }
};

QTEST_MAIN(TstUnitConverter)
#include "tst_unit_converter.moc"
