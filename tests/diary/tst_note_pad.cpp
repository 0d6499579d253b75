#include "diary/windows/This_note_pad.h"
#include "diary/windows/Tnote_pad.h"
#include "ScriptedDialogs.h"
#include "store/Clock.h"
#include "store/FieldCodec.h"
#include "store/Store.h"
#include "TempStore.h"
#include "Widgets.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

namespace {

struct Row
{
    QString stamp;
    QString text;
};

QList<Row> storedNotes()
{
    QList<Row> rows;
    QSqlQuery query(QStringLiteral("select date_id, note_memo from note_pad order by rowid"), Store::database());
    while (query.next())
        rows.append({query.value(0).toString(), FieldCodec::decode(query.value(1).toString()).text});
    return rows;
}

QList<This_note_pad *> browsers()
{
    QList<This_note_pad *> list;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *browser = qobject_cast<This_note_pad *>(w))
            list.append(browser);
    }
    return list;
}

// A shown editor that frees itself on close, as the launcher opens it, and
// the controls the tests use.
struct Editor
{
    QPointer<Tnote_pad> window;
    QLabel *moment = nullptr;
    QPlainTextEdit *memo = nullptr;
    QPushButton *save = nullptr;
    QPushButton *restart = nullptr;
    QPushButton *history = nullptr;
    QPushButton *cancel = nullptr;

    Result<void> open()
    {
        window = new Tnote_pad(Store::database());
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        Result<void> found = Widgets::take(moment, window.data(), QStringLiteral("Label2"));
        if (found)
            found = Widgets::take(memo, window.data(), QStringLiteral("Memo1"));
        if (found)
            found = Widgets::take(save, window.data(), QStringLiteral("BitBtn1"));
        if (found)
            found = Widgets::take(restart, window.data(), QStringLiteral("BitBtn3"));
        if (found)
            found = Widgets::take(history, window.data(), QStringLiteral("BitBtn4"));
        if (found)
            found = Widgets::take(cancel, window.data(), QStringLiteral("BitBtn2"));
        return found;
    }
    QString label() const { return moment->text(); }
};

} // namespace

class TstNotePad : public QObject
{
    Q_OBJECT

    TempStore *m_store = nullptr;

private slots:
    void init()
    {
        m_store = new TempStore;
        VERIFY_OK(m_store->make());
        Clock::setNow(QDateTime(QDate(2024, 5, 1), QTime(9, 30, 5)));
    }
    void cleanup()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QPointer<QWidget> w : QList<QPointer<QWidget>>(windows.begin(), windows.end()))
            delete w;
        delete m_store;
        Clock::reset();
    }

    void controlsCarryTheirNamesAndTexts()
    {
        Editor e;
        VERIFY_OK(e.open());
        QPointer<Tnote_pad> editor = e.window;
        QCOMPARE(editor->windowTitle(), QStringLiteral("记事本"));
        FIND_CHILD(caption, QLabel, editor.data(), "Label1");
        QCOMPARE(caption->text(), QStringLiteral("记录日期:"));
        QCOMPARE(e.memo->toolTip(),
                 QStringLiteral("每日心情一记,没事看看以前心情故事!       (所有内容均128位加密运算,以防偷窥)"));
        QCOMPARE(e.memo->font().pixelSize(), 16);
        const QList<std::pair<QPushButton *, QString>> captions{
            {e.save, "保存"}, {e.restart, "重写"}, {e.history, "查看以前记录"}, {e.cancel, "取消"}};
        for (const auto &[button, text] : captions)
            QCOMPARE(button->text(), text);
        QCOMPARE(e.history->toolTip(), QStringLiteral("看看以前心情故事! "));
        QVERIFY(!(editor->windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(e.label().contains(QStringLiteral("09:30:05")));
        QVERIFY(e.memo->toPlainText().isEmpty());
        QVERIFY(!e.save->isEnabled());
    }

    void saveFollowsTheTrimmedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("blanks and line breaks") << "  \n \n  " << false;
        QTest::newRow("text among blanks") << " a\n" << true;
    }
    void saveFollowsTheTrimmedText()
    {
        QFETCH(QString, text);
        QFETCH(bool, enabled);
        ScriptedDialogs dialogs;
        Editor e;
        VERIFY_OK(e.open());
        QPointer<Tnote_pad> editor = e.window;
        e.memo->setPlainText(text);
        QCOMPARE(e.save->isEnabled(), enabled);
        // A page started afresh is empty again and cannot be saved; text
        // worth saving goes only when the user agrees.
        if (enabled)
            dialogs.answer(Dialogs::Answer::Yes);
        e.restart->click();
        QVERIFY(e.memo->toPlainText().isEmpty());
        QVERIFY(!e.save->isEnabled());
    }

    void savedNoteIsUntrimmedAndStampedAsShown()
    {
        ScriptedDialogs dialogs;
        Editor e;
        VERIFY_OK(e.open());
        QPointer<Tnote_pad> editor = e.window;
        const QString shown = e.label();
        Clock::advance(42'000); // typing takes a while; the page keeps its moment
        e.memo->setPlainText(QStringLiteral("  今天晴 \n"));
        dialogs.answer(Dialogs::Answer::No);
        e.save->click();
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("成功保存!  是否继续写呢?")});
        const QList<Row> rows = storedNotes();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].stamp, QStringLiteral("20240501093005"));
        QCOMPARE(rows[0].text, QStringLiteral("  今天晴 \n"));
        QVERIFY(shown.contains(QStringLiteral("09:30:05")));
        QTRY_VERIFY(!editor); // "No" closes the editor
    }

    void continuingStartsAPageAtTheAnswer_data()
    {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QStringList>("stamps");
        QTest::newRow("same day") << QDateTime(QDate(2024, 5, 1), QTime(9, 30, 5))
                                  << QStringList{"20240501093005", "20240501093025"};
        // A page started before midnight keeps its day when saved after it.
        QTest::newRow("across midnight") << QDateTime(QDate(2024, 4, 30), QTime(23, 59, 50))
                                         << QStringList{"20240430235950", "20240501000010"};
    }
    void continuingStartsAPageAtTheAnswer()
    {
        QFETCH(QDateTime, start);
        QFETCH(QStringList, stamps);
        ScriptedDialogs dialogs;
        Clock::setNow(start);
        Editor e;
        VERIFY_OK(e.open());
        QPointer<Tnote_pad> editor = e.window;
        e.memo->setPlainText(QStringLiteral("一"));
        Clock::advance(20'000);
        dialogs.answer(Dialogs::Answer::Yes);
        e.save->click(); // Yes starts the next page now
        QVERIFY(e.memo->toPlainText().isEmpty());
        const QString second = e.label();
        Clock::advance(10'000);
        e.memo->setPlainText(QStringLiteral("二"));
        dialogs.answer(Dialogs::Answer::No);
        e.save->click();
        const QList<Row> rows = storedNotes();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].stamp, stamps[0]);
        QCOMPARE(rows[1].stamp, stamps[1]);
        QVERIFY(second.contains(stamps[1].right(6).insert(4, u':').insert(2, u':')));
    }

    void storeErrorKeepsThePageForAnotherTry()
    {
        ScriptedDialogs dialogs;
        QSqlQuery sql(Store::database());
        QVERIFY(sql.exec(QStringLiteral("create trigger refuse before insert on note_pad begin "
                                        "select raise(abort, '磁盘已满'); end")));
        Editor e;
        VERIFY_OK(e.open());
        QPointer<Tnote_pad> editor = e.window;
        const QString shown = e.label();
        e.memo->setPlainText(QStringLiteral("别丢了"));
        Clock::advance(5'000);
        e.save->click();
        const auto boxes = dialogs.shown();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].kind, Dialogs::Kind::Error);
        QCOMPARE(boxes[0].text, QStringLiteral("磁盘已满."));
        QVERIFY(storedNotes().isEmpty());
        QCOMPARE(e.memo->toPlainText(), QStringLiteral("别丢了"));
        QCOMPARE(e.label(), shown);

        QVERIFY(sql.exec(QStringLiteral("drop trigger refuse")));
        dialogs.answer(Dialogs::Answer::No);
        e.save->click();
        const QList<Row> rows = storedNotes();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].stamp, QStringLiteral("20240501093005"));
        QCOMPARE(rows[0].text, QStringLiteral("别丢了"));
    }

    // "取消", Esc and "重写" drop typed text only when the user agrees; a
    // page with nothing worth saving goes without a question.
    void typedTextIsDroppedOnlyWhenAgreed_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("agree");
        for (const QString &action : {QStringLiteral("取消"), QStringLiteral("Esc"), QStringLiteral("重写")}) {
            QTest::addRow("%s, nothing typed", qPrintable(action)) << action << QString() << false << false;
            QTest::addRow("%s, white space", qPrintable(action)) << action << QStringLiteral(" \n ") << false << false;
            QTest::addRow("%s, typed, Yes", qPrintable(action)) << action << QStringLiteral("不存") << true << true;
            QTest::addRow("%s, typed, No", qPrintable(action)) << action << QStringLiteral("不存") << true << false;
        }
    }
    void typedTextIsDroppedOnlyWhenAgreed()
    {
        QFETCH(QString, action);
        QFETCH(QString, typed);
        QFETCH(bool, asked);
        QFETCH(bool, agree);
        ScriptedDialogs dialogs;
        Editor e;
        VERIFY_OK(e.open());
        QPointer<Tnote_pad> editor = e.window;
        QPlainTextEdit *text = e.memo;
        text->setPlainText(typed);
        if (asked)
            dialogs.answer(agree ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        if (action == QStringLiteral("Esc"))
            QTest::keyClick(text, Qt::Key_Escape);
        else
            (action == QStringLiteral("取消") ? e.cancel : e.restart)->click();

        const QByteArray unexpected = dialogs.unexpectedDropQuestion(asked);
        QVERIFY2(unexpected.isEmpty(), unexpected.constData());
        const bool dropped = !asked || agree;
        if (action == QStringLiteral("重写") || !dropped) {
            QVERIFY(editor && editor->isVisible());
            QCOMPARE(text->toPlainText(), dropped ? QString() : typed);
        } else {
            QTRY_VERIFY(!editor);
        }
        QVERIFY(storedNotes().isEmpty());
    }

    // A note saved as it stands closes on "取消" without a question.
    void savedTextClosesWithoutAsking()
    {
        ScriptedDialogs dialogs;
        Editor e;
        VERIFY_OK(e.open());
        QPointer<Tnote_pad> editor = e.window;
        e.memo->setPlainText(QStringLiteral("存了"));
        dialogs.answer(Dialogs::Answer::No); // "是否继续写呢?" No closes
        e.save->click();
        QTRY_VERIFY(!editor);
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(storedNotes().size(), 1);
    }

    // Each way back from the history shows the editor as it was left.
    void historyVisitKeepsThePage_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("写新记录") << "BitBtn3";
        QTest::newRow("取消") << "BitBtn2";
        QTest::newRow("Esc") << "";
    }
    void historyVisitKeepsThePage()
    {
        QFETCH(QString, way);
        Editor e;
        VERIFY_OK(e.open());
        QPointer<Tnote_pad> editor = e.window;
        const QString shown = e.label();
        e.memo->setPlainText(QStringLiteral("写了一半"));
        Clock::advance(60'000);
        e.history->click();
        QVERIFY(editor->isHidden());
        QCOMPARE(browsers().size(), 1);
        QPointer<This_note_pad> browser = browsers().first();
        QVERIFY(browser->isVisible());
        if (way.isEmpty()) {
            FIND_CHILD(text, QPlainTextEdit, browser.data(), "Memo1");
            QTest::keyClick(text, Qt::Key_Escape);
        } else {
            FIND_CHILD(back, QPushButton, browser.data(), way);
            back->click();
        }
        QTRY_VERIFY(!browser);
        QVERIFY(editor->isVisible());
        QCOMPARE(e.memo->toPlainText(), QStringLiteral("写了一半"));
        QCOMPARE(e.label(), shown);
        QVERIFY(e.save->isEnabled());
    }

    void onlyOneBrowserAtATime()
    {
        Editor e;
        VERIFY_OK(e.open());
        QPointer<Tnote_pad> editor = e.window;
        e.history->click();
        QCOMPARE(browsers().size(), 1);
        FIND_CHILD(back, QPushButton, browsers().first(), "BitBtn3");
        back->click();
        QTRY_COMPARE(browsers().size(), 0);
        e.history->click();
        QCOMPARE(browsers().size(), 1);

        // The launcher may bring the editor back while a browser is open; a
        // second press replaces that browser, and its late close must not
        // show the editor over the new one.
        editor->show();
        QPointer<This_note_pad> first = browsers().first();
        e.history->click();
        QTRY_VERIFY(!first);
        QCOMPARE(browsers().size(), 1);
        QVERIFY(browsers().first()->isVisible());
        QVERIFY(editor->isHidden());

        // Closing the editor takes its browser with it.
        QPointer<This_note_pad> second = browsers().first();
        editor->close();
        QTRY_VERIFY(!second);
    }
};

QTEST_MAIN(TstNotePad)
#include "tst_note_pad.moc"
