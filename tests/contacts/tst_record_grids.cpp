#include "contacts/core/ContactStoreError.h"
#include "ContactsFixture.h"

#include <QAction>
#include <QSqlRecord>
#include <QTableView>

// The record grids of the address book, clicked and keyed as a user does:
// the form always shows the row the grid points at, the tab's buttons act on
// that row alone, and while a tab edits or adds its grid stays where it is.
// A record that is gone is never written in silence.
class TstRecordGrids : public QObject
{
    Q_OBJECT

    static constexpr const char *kId = "20260101000001";
    // As the error box shows it.
    inline static const QString kGoneShown = Dialogs::withFullStop(ContactStoreError::kGone);

    // Where a tab keeps the three records a test gives it, and the boxes
    // that show a record's name and the value the test changes.
    struct TabCase
    {
        Tpe_connect::Tab tab;
        QString prefix; // of the tab's buttons and grid
        QString table;
        QString nameColumn;
        QString changedColumn;
        QString nameBox;
        QString changedBox;
        QStringList names;

        QString grid() const { return prefix + QStringLiteral("Grid"); }
    };

    static TabCase tabCase(const QString &name)
    {
        if (name == u"personal") {
            return {Tpe_connect::PersonalTab, "p", "pe_info", "pe_name", "n_add", "pe_name", "n_add",
                    {"甲一", "甲二", "甲三"}};
        }
        if (name == u"unit") {
            return {Tpe_connect::UnitTab,          "d", "pe_dw_info", "dw_name", "dw_add", "dw_name", "dw_add",
                    {"一公司", "二公司", "三公司"}};
        }
        return {Tpe_connect::OtherTab, "o",
                "pe_other_info",       "pe_other_memo",
                "pe_other_memo",       "pe_other_memo",
                "pe_other_memo",       {"其他一", "其他二", "其他三"}};
    }

    // One contact whose tab `c` holds three records (rowids 1 to 3), shown on that tab.
    static void openThree(ContactsFixture &f, const TabCase &c)
    {
        if (c.tab != Tpe_connect::PersonalTab)
            QVERIFY(f.exec("INSERT INTO pe_info (pe_id, pe_name) VALUES (?, '甲')", {kId}));
        for (int i = 0; i < 3; ++i) {
            const QString address = QStringLiteral("地址%1").arg(i + 1);
            if (c.tab == Tpe_connect::OtherTab) {
                QVERIFY(f.exec("INSERT INTO pe_other_info (pe_id, pe_other_memo) VALUES (?, ?)", {kId, c.names[i]}));
            } else {
                QVERIFY(f.exec(QStringLiteral("INSERT INTO %1 (pe_id, %2, %3) VALUES (?, ?, ?)")
                                   .arg(c.table, c.nameColumn, c.changedColumn),
                               {kId, c.names[i], address}));
            }
        }
        VERIFY_OK(f.search(QStringLiteral("kindName"),
                           c.tab == Tpe_connect::PersonalTab ? c.names[0] : QStringLiteral("甲")));
        QVERIFY(f.window->results().isOpen());
        f.tabs()->setCurrentIndex(c.tab);
        FIND_CHILD(view, QTableView, f.window, c.grid());
        QVERIFY(view->isVisible());
        QCOMPARE(view->model()->rowCount(), 3);
    }

    // What a one-line or a many-line box shows.
    static QString shown(const QWidget *box)
    {
        if (auto *line = qobject_cast<const QLineEdit *>(box))
            return line->text();
        if (auto *lines = qobject_cast<const QPlainTextEdit *>(box))
            return lines->toPlainText();
        return QStringLiteral("<%1 is no text box>").arg(box->objectName());
    }

    static void type(QWidget *box, const QString &text)
    {
        if (auto *line = qobject_cast<QLineEdit *>(box))
            line->setText(text);
        else if (auto *lines = qobject_cast<QPlainTextEdit *>(box))
            lines->setPlainText(text);
        else
            QFAIL(qPrintable(box->objectName() + QStringLiteral(" is no text box")));
    }

    static void click(QTableView *view, int row)
    {
        const QRect cell = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }

    // Moves from the first row to `row` by a click or by arrow keys.
    static void moveTo(QTableView *view, int row, const QString &how)
    {
        if (how == u"click") {
            click(view, row);
            return;
        }
        for (int i = 0; i < row; ++i)
            QTest::keyClick(view, Qt::Key_Down);
    }

    static QVariantList rowValues(const QString &table, int rowid)
    {
        QSqlQuery query(Store::database());
        query.prepare(QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(table));
        query.addBindValue(rowid);
        QVariantList values;
        if (query.exec() && query.next()) {
            for (int i = 0; i < query.record().count(); ++i)
                values << query.value(i);
        }
        return values;
    }

    static QVariant value(const QString &table, const QString &column, int rowid)
    {
        return ContactsFixture::scalar(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(column, table), {rowid});
    }

    static int count(const QString &table)
    {
        return ContactsFixture::scalar(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt();
    }

    static void tabs()
    {
        QTest::addColumn<QString>("tab");
        for (const char *tab : {"personal", "unit", "other"})
            QTest::newRow(tab) << QString::fromLatin1(tab);
    }

    static void tabsAndMoves()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QString>("how");
        for (const char *tab : {"personal", "unit", "other"}) {
            for (const char *how : {"click", "arrow key"})
                QTest::addRow("%s, %s", tab, how) << QString::fromLatin1(tab) << QString::fromLatin1(how);
        }
    }

private slots:
    void editAfterAMoveChangesTheShownRecord_data() { tabsAndMoves(); }
    // Three records, the second chosen with one click (or one arrow key),
    // "修改", a new value, "保存": the second changes, the others stay whole.
    void editAfterAMoveChangesTheShownRecord()
    {
        QFETCH(QString, tab);
        QFETCH(QString, how);
        ContactsFixture f;
        VERIFY_OK(f.make());
        const TabCase c = tabCase(tab);
        FIND_CHILD(view, QTableView, f.window, c.grid());
        FIND_CHILD(nameBox, QWidget, f.window, c.nameBox);
        FIND_CHILD(changedBox, QWidget, f.window, c.changedBox);
        openThree(f, c);
        const QVariantList first = rowValues(c.table, 1);
        const QVariantList third = rowValues(c.table, 3);

        moveTo(view, 1, how);
        QCOMPARE(shown(nameBox), c.names[1]);
        QCOMPARE(view->currentIndex().row(), 1);
        VERIFY_OK(f.press(c.prefix + QStringLiteral("Modify")));
        type(changedBox, QStringLiteral("新地址"));
        VERIFY_OK(f.press(c.prefix + QStringLiteral("Save")));

        QCOMPARE(value(c.table, c.changedColumn, 2).toString(), QStringLiteral("新地址"));
        if (c.nameColumn != c.changedColumn)
            QCOMPARE(value(c.table, c.nameColumn, 2).toString(), c.names[1]);
        QCOMPARE(rowValues(c.table, 1), first);
        QCOMPARE(rowValues(c.table, 3), third);
        QCOMPARE(ContactsFixture::scalar(QStringLiteral("SELECT count(*) FROM %1").arg(c.table)).toInt(), 3);
    }

    void deleteAfterAClickDeletesTheShownRecord_data()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<bool>("fromMenu");
        for (const char *tab : {"personal", "unit", "other"}) {
            QTest::addRow("%s, button", tab) << QString::fromLatin1(tab) << false;
            QTest::addRow("%s, grid menu", tab) << QString::fromLatin1(tab) << true;
        }
    }
    void deleteAfterAClickDeletesTheShownRecord()
    {
        QFETCH(QString, tab);
        QFETCH(bool, fromMenu);
        ContactsFixture f;
        VERIFY_OK(f.make());
        const TabCase c = tabCase(tab);
        FIND_CHILD(view, QTableView, f.window, c.grid());
        FIND_CHILD(nameBox, QWidget, f.window, c.nameBox);
        openThree(f, c);
        click(view, 2);
        QCOMPARE(shown(nameBox), c.names[2]);
        if (fromMenu) {
            FIND_CHILD(remove, QAction, view, "deleteRecord");
            remove->trigger();
        } else {
            VERIFY_OK(f.press(c.prefix + QStringLiteral("Delete")));
        }
        QCOMPARE(f.dialogs.texts().value(0), QStringLiteral("是否确定删除本记录 (Yes/No)..."));
        const QString names = QStringLiteral("SELECT group_concat(%1, '|') FROM (SELECT %1 FROM %2 ORDER BY rowid)")
                                  .arg(c.nameColumn, c.table);
        QCOMPARE(ContactsFixture::scalar(names).toString(), c.names[0] + u'|' + c.names[1]);
    }

    void gridStaysWhileTheTabEdits_data()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QString>("start"); // the button that starts the input
        QTest::addColumn<QString>("leave"); // the button that ends it unsaved
        QTest::newRow("personal, 修改") << "personal"
                                        << "Modify"
                                        << "Undo";
        QTest::newRow("unit, 修改") << "unit"
                                    << "Modify"
                                    << "Undo";
        QTest::newRow("other, 修改") << "other"
                                     << "Modify"
                                     << "Undo";
        QTest::newRow("personal, 新建") << "personal"
                                        << "New"
                                        << "Cancel";
        QTest::newRow("unit, 新建") << "unit"
                                    << "New"
                                    << "Cancel";
    }
    // Neither a click nor a key moves the grid under typed text; once the
    // input is given up, the grid follows clicks again.
    void gridStaysWhileTheTabEdits()
    {
        QFETCH(QString, tab);
        QFETCH(QString, start);
        QFETCH(QString, leave);
        ContactsFixture f;
        VERIFY_OK(f.make());
        const TabCase c = tabCase(tab);
        FIND_CHILD(view, QTableView, f.window, c.grid());
        FIND_CHILD(nameBox, QWidget, f.window, c.nameBox);
        FIND_CHILD(changedBox, QWidget, f.window, c.changedBox);
        openThree(f, c);
        VERIFY_OK(f.press(c.prefix + start));
        type(changedBox, QStringLiteral("输入中"));
        click(view, 2);
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(shown(changedBox), QStringLiteral("输入中"));
        QCOMPARE(view->currentIndex().row(), 0);
        QVERIFY(!view->isEnabled());

        VERIFY_OK(f.press(c.prefix + leave));
        QVERIFY(view->isEnabled());
        // "撤消" on the other tab leaves the typed text on screen, unsaved.
        QCOMPARE(shown(nameBox), c.tab == Tpe_connect::OtherTab ? QStringLiteral("输入中") : c.names[0]);
        click(view, 2);
        QCOMPARE(shown(nameBox), c.names[2]);
    }

    void savedEditStaysOnTheRecordItStarted()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        const TabCase c = tabCase(QStringLiteral("unit"));
        FIND_CHILD(view, QTableView, f.window, c.grid());
        FIND_CHILD(changedBox, QWidget, f.window, c.changedBox);
        openThree(f, c);
        const QVariantList second = rowValues(c.table, 2);
        VERIFY_OK(f.press(QStringLiteral("dModify")));
        type(changedBox, QStringLiteral("新地址"));
        click(view, 1);
        VERIFY_OK(f.press(QStringLiteral("dSave")));
        QCOMPARE(value(c.table, c.changedColumn, 1).toString(), QStringLiteral("新地址"));
        QCOMPARE(value(c.table, c.nameColumn, 1).toString(), c.names[0]);
        QCOMPARE(rowValues(c.table, 2), second);
    }

    void editAfterDeleteSaysTheContactIsGone_data()
    {
        QTest::addColumn<int>("records"); // sharing the contact's id
        QTest::newRow("one record") << 1;
        QTest::newRow("two records, the second deleted") << 2;
    }
    // "删除" leaves the deleted values on screen; "修改" and "保存" then say
    // the record is gone, keep the typed text and stay in edit state, and
    // never write over another record of the contact.
    void editAfterDeleteSaysTheContactIsGone()
    {
        QFETCH(int, records);
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(grid, QTableView, f.window, "pGrid");
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        for (int i = 1; i <= records; ++i)
            QVERIFY(f.exec("INSERT INTO pe_info (pe_id, pe_name) VALUES (?, ?)", {kId, QStringLiteral("甲%1").arg(i)}));
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("甲1")));
        if (records == 2)
            click(grid, 1);
        const QVariantList first = rowValues(QStringLiteral("pe_info"), 1);
        VERIFY_OK(f.press(QStringLiteral("pDelete")));
        QCOMPARE(count(QStringLiteral("pe_info")), records - 1);
        QCOMPARE(name->text(), QStringLiteral("甲%1").arg(records));
        f.dialogs.shown();

        VERIFY_OK(f.press(QStringLiteral("pModify")));
        name->setText(QStringLiteral("改过的名字"));
        VERIFY_OK(f.press(QStringLiteral("pSave")));
        const auto shown = f.dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Error);
        QCOMPARE(shown[0].text, Dialogs::withFullStop(QStringLiteral("本记录已不存在,请刷新所有记录")));
        QCOMPARE(name->text(), QStringLiteral("改过的名字"));
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("保存|撤消"));
        QCOMPARE(count(QStringLiteral("pe_info")), records - 1);
        if (records == 2)
            QCOMPARE(rowValues(QStringLiteral("pe_info"), 1), first);

        // Back in view, "删除" has nothing left to delete either.
        VERIFY_OK(f.press(QStringLiteral("pUndo")));
        QCOMPARE(name->text(), QStringLiteral("改过的名字"));
        VERIFY_OK(f.press(QStringLiteral("pDelete")));
        QCOMPARE(f.dialogs.texts(), QStringList{kGoneShown});
        QCOMPARE(count(QStringLiteral("pe_info")), records - 1);
    }

    void editOfARecordDeletedElsewhereSaysItIsGone_data() { tabs(); }
    // The shown record disappears from the store behind the window.
    void editOfARecordDeletedElsewhereSaysItIsGone()
    {
        QFETCH(QString, tab);
        ContactsFixture f;
        VERIFY_OK(f.make());
        const TabCase c = tabCase(tab);
        FIND_CHILD(view, QTableView, f.window, c.grid());
        FIND_CHILD(nameBox, QWidget, f.window, c.nameBox);
        FIND_CHILD(changedBox, QWidget, f.window, c.changedBox);
        openThree(f, c);
        click(view, 1);
        QVERIFY(f.exec(QStringLiteral("DELETE FROM %1 WHERE rowid = 2").arg(c.table)));
        VERIFY_OK(f.press(c.prefix + QStringLiteral("Modify")));
        type(changedBox, QStringLiteral("新内容"));
        VERIFY_OK(f.press(c.prefix + QStringLiteral("Save")));
        QCOMPARE(f.dialogs.texts(), QStringList{kGoneShown});
        QCOMPARE(shown(changedBox), QStringLiteral("新内容"));
        FIND_CHILD(save, QAbstractButton, f.window, c.prefix + QStringLiteral("Save"));
        QVERIFY(save->isVisible());
        QCOMPARE(count(c.table), 2);
        QCOMPARE(ContactsFixture::scalar(
                     QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = '新内容'").arg(c.table, c.changedColumn))
                     .toInt(),
                 0);
        // The grid lists what is left, and is free again once the edit is given up.
        QCOMPARE(view->model()->rowCount(), 2);
        VERIFY_OK(f.press(c.prefix + QStringLiteral("Undo")));
        QVERIFY(view->isEnabled());
        click(view, 1);
        QCOMPARE(shown(nameBox), c.names[2]);
    }

    void deleteOfARecordDeletedElsewhereSaysItIsGone_data() { tabs(); }
    void deleteOfARecordDeletedElsewhereSaysItIsGone()
    {
        QFETCH(QString, tab);
        ContactsFixture f;
        VERIFY_OK(f.make());
        const TabCase c = tabCase(tab);
        FIND_CHILD(view, QTableView, f.window, c.grid());
        openThree(f, c);
        click(view, 1);
        QVERIFY(f.exec(QStringLiteral("DELETE FROM %1 WHERE rowid = 2").arg(c.table)));
        VERIFY_OK(f.press(c.prefix + QStringLiteral("Delete")));
        QCOMPARE(f.dialogs.texts(), (QStringList{"是否确定删除本记录 (Yes/No)...", kGoneShown}));
        QCOMPARE(count(c.table), 2);
    }

    // "修改" after "撤消" on a contact without other information: the
    // typed text is stored, not dropped by the reload that follows.
    void otherTextTypedAfterUndoIsStored()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(otherText, QPlainTextEdit, f.window, "pe_other_memo");
        QVERIFY(f.exec("INSERT INTO pe_info (pe_id, pe_name) VALUES (?, '甲')", {kId}));
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("甲")));
        f.tabs()->setCurrentIndex(Tpe_connect::OtherTab);
        VERIFY_OK(f.press(QStringLiteral("oUndo")));
        VERIFY_OK(f.press(QStringLiteral("oModify")));
        otherText->setPlainText(QStringLiteral("生日 5月1日"));
        VERIFY_OK(f.press(QStringLiteral("oSave")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("成功保存本记录 ...")});
        QCOMPARE(f.scalar("SELECT pe_other_memo FROM pe_other_info WHERE pe_id = ?", {kId}).toString(),
                 QStringLiteral("生日 5月1日"));
        QCOMPARE(otherText->toPlainText(), QStringLiteral("生日 5月1日"));
    }

    void exportListMoveShowsTheContactThatIsThenEdited_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("click") << "click";
        QTest::newRow("arrow key") << "arrow key";
    }
    void exportListMoveShowsTheContactThatIsThenEdited()
    {
        QFETCH(QString, how);
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(list, QTableView, f.window, "eGrid");
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        FIND_CHILD(mobile, QLineEdit, f.window, "pe_mib");
        for (int i = 1; i <= 3; ++i) {
            QVERIFY(f.exec("INSERT INTO pe_info (pe_id, pe_name, pe_mib) VALUES (?, ?, '-')",
                           {QStringLiteral("2026010100000%1").arg(i), QStringLiteral("赵%1").arg(i)}));
        }
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("赵")));
        f.tabs()->setCurrentIndex(Tpe_connect::ExportTab);
        const QVariantList first = rowValues(QStringLiteral("pe_info"), 1);
        const QVariantList third = rowValues(QStringLiteral("pe_info"), 3);
        moveTo(list, 1, how);
        QCOMPARE(f.window->results().position(), 1);
        QCOMPARE(name->text(), QStringLiteral("赵2"));

        f.tabs()->setCurrentIndex(Tpe_connect::PersonalTab);
        QCOMPARE(name->text(), QStringLiteral("赵2"));
        VERIFY_OK(f.press(QStringLiteral("pModify")));
        mobile->setText(QStringLiteral("13900000002"));
        VERIFY_OK(f.press(QStringLiteral("pSave")));
        QCOMPARE(value(QStringLiteral("pe_info"), QStringLiteral("pe_mib"), 2).toString(),
                 QStringLiteral("13900000002"));
        QCOMPARE(rowValues(QStringLiteral("pe_info"), 1), first);
        QCOMPARE(rowValues(QStringLiteral("pe_info"), 3), third);
    }
};

QTEST_MAIN(TstRecordGrids)
#include "tst_record_grids.moc"
