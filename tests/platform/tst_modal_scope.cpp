#include "platform/ui/ModalScope.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace {

// A top-level window with a field, a button and a window-wide shortcut.
struct Window
{
    Window()
    {
        auto *layout = new QVBoxLayout(&widget);
        layout->addWidget(field);
        layout->addWidget(button);
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
        action->setShortcutContext(Qt::WindowShortcut);
        widget.addAction(action);
        widget.show();
    }
    QWidget widget;
    QLineEdit *field = new QLineEdit(&widget);
    QPushButton *button = new QPushButton(QStringLiteral("保存"), &widget);
    QAction *action = new QAction(&widget);
};

// A close as the window manager sends it.
void closeFromWindowManager(QWidget &widget)
{
    QCloseEvent close;
    QSpontaneKeyEvent::setSpontaneous(&close);
    QApplication::sendEvent(widget.windowHandle(), &close);
}

} // namespace

class TstModalScope : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheScopesWindowTakesInput()
    {
        Window scoped;
        Window other;
        QSignalSpy clicked(other.button, &QPushButton::clicked);
        QSignalSpy triggered(other.action, &QAction::triggered);
        {
            ModalScope scope(&scoped.widget);
            QTest::keyClicks(other.field, QStringLiteral("abc"));
            QTest::mouseClick(other.button, Qt::LeftButton);
            other.widget.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other.widget));
            QTest::keySequence(&other.widget, QKeySequence(Qt::CTRL | Qt::Key_S));
            closeFromWindowManager(other.widget);
            QVERIFY(other.field->text().isEmpty());
            QCOMPARE(clicked.size(), 0);
            QCOMPARE(triggered.size(), 0);
            QVERIFY(other.widget.isVisible());

            QTest::keyClicks(scoped.field, QStringLiteral("abc"));
            QCOMPARE(scoped.field->text(), QStringLiteral("abc"));
            // The program's own closes are not input.
            QVERIFY(other.widget.close());
            other.widget.show();
        }
        QTest::keyClicks(other.field, QStringLiteral("xy"));
        QTest::mouseClick(other.button, Qt::LeftButton);
        QCOMPARE(other.field->text(), QStringLiteral("xy"));
        QCOMPARE(clicked.size(), 1);
        other.widget.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other.widget));
        QTest::keySequence(&other.widget, QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(triggered.size(), 1);
        closeFromWindowManager(other.widget);
        QVERIFY(!other.widget.isVisible());
    }

    // A box shown meanwhile (a reminder, say) can still be answered.
    void modalBoxStaysUsable()
    {
        Window scoped;
        Window other;
        ModalScope scope(&scoped.widget);
        bool answered = false;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QTest::keyClick(box, Qt::Key_Return);
            answered = true;
        });
        QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), QStringLiteral("现在"),
                        QMessageBox::Ok, &other.widget);
        QCOMPARE(box.exec(), int(QMessageBox::Ok));
        QVERIFY(answered);
    }
};

QTEST_MAIN(TstModalScope)
#include "tst_modal_scope.moc"
