#include "app/Tmain.h"
#include "diary/windows/Tnote_pad.h"
#include "schedule/windows/Tjob_do.h"
#include "ScriptedDialogs.h"
#include "TempStore.h"
#include "Widgets.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

// "退出记事本" ends the program with the diary editor or the planner open:
// text typed there and never saved goes only when the user agrees.
class TstExitWithTyping : public QObject
{
    Q_OBJECT

private slots:
    void exitAsksBeforeTypedTextGoes_data()
    {
        QTest::addColumn<QString>("opener");     // the launcher button that opens the window
        QTest::addColumn<QString>("window");     // its objectName
        QTest::addColumn<bool>("behindHistory"); // the editor hidden while its history shows
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("agree");
        const QList<std::tuple<const char *, const char *, const char *>> windows{{"记事本", "BitBtn1", "Tnote_pad"},
                                                                                  {"日程安排", "BitBtn2", "Tjob_do"}};
        for (const auto &[caption, opener, window] : windows) {
            const auto row = [&](const char *tag) -> QTestData & { return QTest::addRow("%s, %s", caption, tag); };
            row("nothing typed") << opener << window << false << QString() << false << false;
            row("typed, Yes") << opener << window << false << QStringLiteral("没存的字") << true << true;
            row("typed, No") << opener << window << false << QStringLiteral("没存的字") << true << false;
        }
        QTest::newRow("记事本 behind its history, typed, No")
            << "BitBtn1"
            << "Tnote_pad" << true << QStringLiteral("没存的字") << true << false;
        QTest::newRow("记事本 behind its history, typed, Yes")
            << "BitBtn1"
            << "Tnote_pad" << true << QStringLiteral("没存的字") << true << true;
    }
    void exitAsksBeforeTypedTextGoes()
    {
        QFETCH(QString, opener);
        QFETCH(QString, window);
        QFETCH(bool, behindHistory);
        QFETCH(QString, typed);
        QFETCH(bool, asked);
        QFETCH(bool, agree);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Tmain launcher;
        launcher.show();
        QVERIFY(QTest::qWaitForWindowExposed(&launcher));
        FIND_CHILD(open, QToolButton, &launcher, opener);
        open->click();
        QPointer<QWidget> opened = Widgets::find<QWidget>(&launcher, window);
        QVERIFY2(opened, Widgets::missing<QWidget>(&launcher, window).constData());
        FIND_CHILD(text, QPlainTextEdit, opened.data(), "Memo1");
        text->setPlainText(typed);
        if (behindHistory) {
            FIND_CHILD(history, QPushButton, opened.data(), "BitBtn4");
            history->click();
            QVERIFY(opened->isHidden());
        }
        QCOMPARE(dialogs.shown().size(), 0);

        if (asked)
            dialogs.answer(agree ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        FIND_CHILD(exit, QToolButton, &launcher, "BitBtn5");
        exit->click();

        const QByteArray unexpected = dialogs.unexpectedDropQuestion(asked);
        QVERIFY2(unexpected.isEmpty(), unexpected.constData());
        if (!asked || agree) {
            QVERIFY(launcher.isHidden());
            QTRY_VERIFY(!opened);
        } else {
            // The program goes on, the window as it was left.
            QVERIFY(launcher.isVisible());
            QVERIFY(opened);
            QCOMPARE(opened->isHidden(), behindHistory);
            QCOMPARE(text->toPlainText(), typed);
        }
    }
};

QTEST_MAIN(TstExitWithTyping)
#include "tst_exit_with_typing.moc"
