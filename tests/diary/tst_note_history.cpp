#include "diary/windows/This_note_pad.h"
#include "ScriptedDialogs.h"
#include "store/FieldCodec.h"
#include "store/Store.h"
#include "TempStore.h"
#include "Widgets.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QToolButton>

namespace {

// Notes as stored: the stamp and the stored (protection) form.
void store(const QList<std::pair<QString, QString>> &rows)
{
    QSqlQuery sql(Store::database());
    QVERIFY(sql.prepare(QStringLiteral("insert into note_pad (date_id, note_memo) values (?, ?)")));
    for (const auto &[stamp, memo] : rows) {
        sql.addBindValue(stamp);
        sql.addBindValue(memo);
        QVERIFY(sql.exec());
    }
}

void storeTexts(const QList<std::pair<QString, QString>> &rows)
{
    for (const auto &[stamp, text] : rows)
        store({{stamp, FieldCodec::encode(text)}});
}

QStringList storedForms()
{
    QStringList forms;
    QSqlQuery query(QStringLiteral("select note_memo from note_pad order by rowid"), Store::database());
    while (query.next())
        forms << query.value(0).toString();
    return forms;
}

const QList<std::pair<QString, QString>> kThree{
    {"20240101080000", "一月"}, {"20240301080000", "三月"}, {"20240201080000", "二月"}};

} // namespace

class TstNoteHistory : public QObject
{
    Q_OBJECT

    // Fails with the first of `names` the browser lacks.
    template <typename T> Result<void> expect(std::initializer_list<const char *> names) const
    {
        for (const char *name : names) {
            if (!Widgets::find<T>(m_browser, QString::fromLatin1(name)))
                return fail(QString::fromUtf8(Widgets::missing<T>(m_browser, QString::fromLatin1(name))));
        }
        return {};
    }

    // Opens the browser; fails with the first control the tests use that it
    // lacks, so the helpers below can count on finding them.
    Result<void> openBrowser()
    {
        m_browser = new This_note_pad(Store::database());
        m_browser->setAttribute(Qt::WA_DeleteOnClose);
        m_browser->show();
        Result<void> found = expect<QLabel>({"Label1", "Label2", "Label3", "Label4", "Label5", "Label6"});
        if (found)
            found = expect<QToolButton>({"sp1", "sp2", "sp3", "sp4"});
        if (found)
            found = expect<QAction>({"N1", "N3", "N5"});
        if (found)
            found = expect<QPlainTextEdit>({"Memo1"});
        return found;
    }
    QString text(const char *label) const
    {
        return Widgets::find<QLabel>(m_browser, QString::fromLatin1(label))->text();
    }
    QString memo() const { return Widgets::find<QPlainTextEdit>(m_browser, QStringLiteral("Memo1"))->toPlainText(); }
    // Counter line and time as one value: "total/position time".
    QString display() const { return text("Label3") + u'/' + text("Label5") + u' ' + text("Label6"); }
    void press(const char *name) { Widgets::find<QToolButton>(m_browser, QString::fromLatin1(name))->click(); }
    void menu(const char *name) { Widgets::find<QAction>(m_browser, QString::fromLatin1(name))->trigger(); }

    TempStore *m_store = nullptr;
    QPointer<This_note_pad> m_browser;

private slots:
    void init()
    {
        m_store = new TempStore;
        VERIFY_OK(m_store->make());
    }
    void cleanup()
    {
        delete m_browser;
        delete m_store;
    }

    void controlsAndMenu()
    {
        VERIFY_OK(openBrowser());
        QCOMPARE(m_browser->windowTitle(), QStringLiteral("以前记事本记录"));
        const QList<std::pair<const char *, QString>> labels{
            {"Label2", "共计记录:"}, {"Label4", "/"}, {"Label1", "记录时间:"}};
        for (const auto &[name, caption] : labels)
            QCOMPARE(text(name), caption);
        const QList<std::pair<const char *, QString>> buttons{
            {"sp3", "首个"}, {"sp1", "前一条"}, {"sp2", "后一条"}, {"sp4", "未尾"}};
        for (const auto &[name, caption] : buttons)
            QCOMPARE(Widgets::find<QToolButton>(m_browser, QString::fromLatin1(name))->text(), caption);
        FIND_CHILD(back, QPushButton, m_browser.data(), "BitBtn3");
        QCOMPARE(back->text(), QStringLiteral("写新记录"));
        FIND_CHILD(cancel, QPushButton, m_browser.data(), "BitBtn2");
        QCOMPARE(cancel->text(), QStringLiteral("取消"));
        FIND_CHILD(text, QPlainTextEdit, m_browser.data(), "Memo1");
        QVERIFY(text->isReadOnly());
        FIND_CHILD(popup, QMenu, m_browser.data(), "PopupMenu1");
        QStringList items;
        for (QAction *action : popup->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->objectName() + u' ' + action->text());
        QCOMPARE(items,
                 (QStringList{"N3 刷新所有记录", "-", "N1 删除本记录", "-", "N5 保存本记录", "-",
                              "icalExportAction 导出日记到iCalendar文件...", "icalImportAction 从iCalendar文件导入...",
                              "-", "findTextAction 查找日记和日程..."}));
    }

    void emptyStoreShowsPlaceholdersAndChangesNothing()
    {
        ScriptedDialogs dialogs;
        VERIFY_OK(openBrowser());
        QCOMPARE(display(), QStringLiteral("0/0 -"));
        QCOMPARE(memo(), QStringLiteral("空"));
        for (const char *name : {"sp3", "sp1", "sp2", "sp4"})
            press(name);
        menu("N1");
        menu("N5");
        QCOMPARE(display(), QStringLiteral("0/0 -"));
        QVERIFY(storedForms().isEmpty());
        QVERIFY(dialogs.texts().isEmpty());
    }

    void pagesNewestFirstAndStopsAtTheEnds()
    {
        storeTexts(kThree);
        VERIFY_OK(openBrowser());
        QCOMPARE(display(), QStringLiteral("3/1 2024年03月01日  08:00:00"));
        QCOMPARE(memo(), QStringLiteral("三月"));
        const QList<std::pair<const char *, QString>> steps{{"sp1", "3/1 三月"}, {"sp2", "3/2 二月"},
                                                            {"sp4", "3/3 一月"}, {"sp2", "3/3 一月"},
                                                            {"sp1", "3/2 二月"}, {"sp3", "3/1 三月"}};
        for (const auto &[button, expected] : steps) {
            press(button);
            QCOMPARE(text("Label3") + u'/' + text("Label5") + u' ' + memo(), expected);
        }
    }

    void deleteMakesTheNeighbourCurrent_data()
    {
        QTest::addColumn<int>("notes");
        QTest::addColumn<int>("steps"); // presses of "后一条" before deleting
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("text");
        QTest::newRow("the only note") << 1 << 0 << "0/0 -"
                                       << "空";
        QTest::newRow("the second of three") << 3 << 1 << "2/2 2024年01月01日  08:00:00"
                                             << "一月";
        QTest::newRow("the oldest") << 3 << 2 << "2/2 2024年02月01日  08:00:00"
                                    << "二月";
    }
    void deleteMakesTheNeighbourCurrent()
    {
        QFETCH(int, notes);
        QFETCH(int, steps);
        QFETCH(QString, after);
        QFETCH(QString, text);
        ScriptedDialogs dialogs;
        storeTexts(kThree.mid(3 - notes));
        VERIFY_OK(openBrowser());
        for (int i = 0; i < steps; ++i)
            press("sp2");
        dialogs.answer(Dialogs::Answer::No);
        menu("N1");
        QCOMPARE(storedForms().size(), notes);
        dialogs.answer(Dialogs::Answer::Yes);
        menu("N1");
        QCOMPARE(dialogs.texts(), QStringList(2, QStringLiteral("确定 [ 删除 ] 本记录吗? (Yes/No)")));
        QCOMPARE(display(), after);
        QCOMPARE(memo(), text);
        QCOMPARE(storedForms().size(), notes - 1);
    }

    void writeBackThenRefreshShowsTheSameNote()
    {
        ScriptedDialogs dialogs;
        // Stored split into lines, as another writer might leave it.
        const QString encoded = FieldCodec::encode(QStringLiteral("旧的心情,写得很长很长的一段话"));
        store({{"20240501093005", encoded.left(8) + "\r\n" + encoded.mid(8)}});
        VERIFY_OK(openBrowser());
        menu("N5");
        QCOMPARE(dialogs.texts(), (QStringList{"确定 [ 保存 ] 本记录吗? (Yes/No)", "成功保存记录..."}));
        QCOMPARE(storedForms(), QStringList{encoded});
        menu("N3");
        QCOMPARE(display(), QStringLiteral("1/1 2024年05月01日  09:30:05"));
        QCOMPARE(memo(), QStringLiteral("旧的心情,写得很长很长的一段话"));
    }

    void refreshShowsNotesSavedMeanwhile()
    {
        storeTexts({{"20240101080000", "一月"}});
        VERIFY_OK(openBrowser());
        storeTexts({{"20240601080000", "六月"}});
        QCOMPARE(text("Label3"), QStringLiteral("1"));
        menu("N3");
        QCOMPARE(display(), QStringLiteral("2/1 2024年06月01日  08:00:00"));
        QCOMPARE(memo(), QStringLiteral("六月"));
    }

    // The broken note is named by its position and time, so a delete or a
    // write back never hits a note other than the one shown.
    void undecodableNoteIsReportedAndSkippable()
    {
        ScriptedDialogs dialogs;
        store({{"20240301080000", FieldCodec::encode(QStringLiteral("三月"))},
               {"20240201080000", QStringLiteral("1tA= 1tA=")},
               {"20240101080000", FieldCodec::encode(QStringLiteral("一月"))}});
        VERIFY_OK(openBrowser());
        press("sp2");
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Error);
        QCOMPARE(shown[0].text, QStringLiteral("Coding table entry not found."));
        QCOMPARE(display(), QStringLiteral("3/2 2024年02月01日  08:00:00"));
        QVERIFY(memo().isEmpty());

        menu("N5"); // confirmed, then refused: the stored form stays
        QCOMPARE(dialogs.texts().last(), QStringLiteral("Coding table entry not found."));
        QCOMPARE(storedForms()[1], QStringLiteral("1tA= 1tA="));

        press("sp2");
        QCOMPARE(memo(), QStringLiteral("一月"));
        press("sp1");
        dialogs.texts();
        menu("N1");
        QCOMPARE(display(), QStringLiteral("2/2 2024年01月01日  08:00:00"));
        QCOMPARE(storedForms().size(), 2);
        QVERIFY(!storedForms().contains(QStringLiteral("1tA= 1tA=")));
    }

    void storeErrorOnDeleteKeepsTheList()
    {
        ScriptedDialogs dialogs;
        storeTexts(kThree);
        QSqlQuery sql(Store::database());
        QVERIFY(sql.exec(QStringLiteral("create trigger keep before delete on note_pad begin "
                                        "select raise(abort, '记录被锁定'); end")));
        VERIFY_OK(openBrowser());
        menu("N1");
        QCOMPARE(dialogs.texts().last(), QStringLiteral("记录被锁定."));
        QCOMPARE(display(), QStringLiteral("3/1 2024年03月01日  08:00:00"));
        press("sp2");
        QCOMPARE(memo(), QStringLiteral("二月"));
    }
};

QTEST_MAIN(TstNoteHistory)
#include "tst_note_history.moc"
