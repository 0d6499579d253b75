#include "contacts/windows/OtherPanel.h"
#include "contacts/windows/UnitPanel.h"
#include "ContactsFixture.h"
#include "store/FieldCodec.h"

#include <QAction>
#include <QCheckBox>
#include <QTableView>

// The work-unit and other-information tabs of a found contact.
class TstContactTabs : public QObject
{
    Q_OBJECT

    static constexpr const char *kId = "20260101000001";

    // A found contact, shown on the tab `tab`.
    static void openContact(ContactsFixture &f, Tpe_connect::Tab tab)
    {
        QVERIFY(f.exec("INSERT INTO pe_info (pe_id, pe_name) VALUES (?, '甲')", {kId}));
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("甲")));
        QVERIFY(f.window->results().isOpen());
        f.tabs()->setCurrentIndex(tab);
    }

    static void addUnit(const QString &name, const QString &notes, bool encoded = false)
    {
        const auto value = [encoded](const QString &text) { return encoded ? FieldCodec::encode(text) : text; };
        QVERIFY(ContactsFixture::exec(
            "INSERT INTO pe_dw_info (pe_id, dw_name, dw_add, dw_tel, dw_fax, dw_url, pe_memo, e_dec_yn)"
            " VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
            {kId, value(name), value("-"), value("010"), value("-"), value("-"), value(notes), encoded}));
    }

private slots:
    void firstUnitIsAddedFromThePrompt()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(unitName, QLineEdit, f.window, "dw_name");
        FIND_CHILD(unitPhone, QLineEdit, f.window, "dw_tel");
        FIND_CHILD(unitNotes, QPlainTextEdit, f.window, "dw_memo");
        openContact(f, Tpe_connect::UnitTab);
        QCOMPARE(unitName->text(), UnitPanel::kNamePrompt);
        QCOMPARE(unitName->selectedText(), UnitPanel::kNamePrompt);
        QCOMPARE(f.visibleButtons("d"), QStringLiteral("保存|取消"));

        unitPhone->setText(QStringLiteral("  010-1 "));
        unitNotes->setPlainText(QStringLiteral("  第一行\n第二行 "));
        VERIFY_OK(f.press(QStringLiteral("dSave")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("成功保存本记录 ...")});
        QCOMPARE(f.scalar("SELECT dw_name FROM pe_dw_info").toString(), UnitPanel::kNamePrompt);
        QCOMPARE(f.scalar("SELECT dw_tel FROM pe_dw_info").toString(), QStringLiteral("010-1"));
        QCOMPARE(f.scalar("SELECT dw_fax FROM pe_dw_info").toString(), QStringLiteral("-"));
        QCOMPARE(f.scalar("SELECT pe_memo FROM pe_dw_info").toString(), QStringLiteral("  第一行\n第二行 "));
        QCOMPARE(f.scalar("SELECT pe_id FROM pe_dw_info").toString(), QString(kId));
        // The loader shows the saved unit in view state.
        QCOMPARE(f.visibleButtons("d"), QStringLiteral("修改|删除|新建"));
        QCOMPARE(unitNotes->toPlainText(), QStringLiteral("  第一行\n第二行 "));

        VERIFY_OK(f.press(QStringLiteral("dNew")));
        unitName->setText(QStringLiteral(" "));
        VERIFY_OK(f.press(QStringLiteral("dSave")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("单位名称为空,无法操作.....")});
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_dw_info").toInt(), 1);
    }

    void secondOfThreeUnitsIsEdited()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(unitName, QLineEdit, f.window, "dw_name");
        FIND_CHILD(unitNotes, QPlainTextEdit, f.window, "dw_memo");
        FIND_CHILD(grid, QTableView, f.window, "dGrid");
        FIND_CHILD(encodeTick, QCheckBox, f.window, "dEncode");
        addUnit("一公司", "-");
        addUnit("二公司", "多行\n说明", true);
        addUnit("三公司", "-");
        openContact(f, Tpe_connect::UnitTab);
        QCOMPARE(unitName->text(), QStringLiteral("一公司"));
        QCOMPARE(unitNotes->height(), UnitPanel::kNotesShort);
        QVERIFY(grid->isVisible());
        QCOMPARE(grid->model()->rowCount(), 3);

        const QModelIndex second = grid->model()->index(1, 0);
        grid->setCurrentIndex(second);
        emit grid->doubleClicked(second);
        QCOMPARE(unitName->text(), QStringLiteral("二公司"));
        QCOMPARE(unitNotes->toPlainText(), QStringLiteral("多行\n说明"));
        QVERIFY(encodeTick->isChecked());

        VERIFY_OK(f.press(QStringLiteral("dModify")));
        QCOMPARE(f.visibleButtons("d"), QStringLiteral("保存|撤消"));
        unitName->setText(QStringLiteral("新二公司"));
        VERIFY_OK(f.press(QStringLiteral("dUndo")));
        QCOMPARE(unitName->text(), QStringLiteral("二公司"));
        VERIFY_OK(f.press(QStringLiteral("dModify")));
        unitName->setText(QStringLiteral("新二公司"));
        VERIFY_OK(f.press(QStringLiteral("dSave")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("修改完成,成功保存本记录 ...")});
        QCOMPARE(f.scalar("SELECT dw_name FROM pe_dw_info WHERE rowid = 2").toString(), FieldCodec::encode("新二公司"));
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_dw_info WHERE dw_name IN ('一公司', '三公司')").toInt(), 2);
        QCOMPARE(f.visibleButtons("d"), QStringLiteral("修改|删除|新建"));

        // The grid's "删除本记录" deletes the current unit, then the contact is reloaded.
        grid->setCurrentIndex(grid->model()->index(2, 0));
        FIND_CHILD(remove, QAction, grid, "deleteRecord");
        QVERIFY(remove->isEnabled());
        f.dialogs.answer(Dialogs::Answer::No);
        remove->trigger();
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_dw_info").toInt(), 3);
        QCOMPARE(grid->currentIndex().row(), 0); // reloaded all the same
        grid->setCurrentIndex(grid->model()->index(2, 0));
        remove->trigger();
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_dw_info WHERE dw_name = '三公司'").toInt(), 0);
        QCOMPARE(grid->model()->rowCount(), 2);
    }

    void deletingTheOnlyUnitStartsANewOne()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(unitNotes, QPlainTextEdit, f.window, "dw_memo");
        FIND_CHILD(unitName, QLineEdit, f.window, "dw_name");
        addUnit("一公司", "-");
        openContact(f, Tpe_connect::UnitTab);
        QCOMPARE(unitNotes->height(), UnitPanel::kNotesTall);
        f.dialogs.answer(Dialogs::Answer::No);
        VERIFY_OK(f.press(QStringLiteral("dDelete")));
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_dw_info").toInt(), 1);
        VERIFY_OK(f.press(QStringLiteral("dDelete")));
        QCOMPARE(f.dialogs.texts(), (QStringList{"是否确定删除本记录 (Yes/No)...", "是否确定删除本记录 (Yes/No)..."}));
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_dw_info").toInt(), 0);
        QCOMPARE(unitName->text(), UnitPanel::kNamePrompt);
        QCOMPARE(f.visibleButtons("d"), QStringLiteral("保存|取消"));
    }

    void otherInformationIsKeptExactly_data()
    {
        QTest::addColumn<bool>("encode");
        QTest::newRow("plain") << false;
        QTest::newRow("encoded") << true;
    }
    void otherInformationIsKeptExactly()
    {
        QFETCH(bool, encode);
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(text, QPlainTextEdit, f.window, "pe_other_memo");
        FIND_CHILD(encodeTick, QCheckBox, f.window, "oEncode");
        openContact(f, Tpe_connect::OtherTab);
        QCOMPARE(text->toPlainText(), OtherPanel::kPrompt);
        QCOMPARE(f.visibleButtons("o"), QStringLiteral("保存|撤消"));

        text->setPlainText(QStringLiteral(" \n "));
        VERIFY_OK(f.press(QStringLiteral("oSave")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("内容为空,无法操作.....")});

        const QString typed = QStringLiteral("  生日 5月1日\n\n爱好: 围棋 ");
        text->setPlainText(typed);
        encodeTick->setChecked(encode);
        VERIFY_OK(f.press(QStringLiteral("oSave")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("成功保存本记录 ...")});
        QCOMPARE(f.scalar("SELECT pe_other_memo FROM pe_other_info").toString(),
                 encode ? FieldCodec::encode(typed) : typed);
        QCOMPARE(text->toPlainText(), typed);
        QCOMPARE(f.visibleButtons("o"), QStringLiteral("修改|删除"));

        // Undo keeps the typed text; a tab switch shows the stored one.
        VERIFY_OK(f.press(QStringLiteral("oModify")));
        text->setPlainText(QStringLiteral("草稿"));
        VERIFY_OK(f.press(QStringLiteral("oUndo")));
        QCOMPARE(text->toPlainText(), QStringLiteral("草稿"));
        f.tabs()->setCurrentIndex(Tpe_connect::PersonalTab);
        QCOMPARE(text->toPlainText(), typed);

        f.tabs()->setCurrentIndex(Tpe_connect::OtherTab);
        VERIFY_OK(f.press(QStringLiteral("oModify")));
        text->setPlainText(QStringLiteral("改过"));
        VERIFY_OK(f.press(QStringLiteral("oSave")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("修改完成,成功保存本记录 ...")});
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_other_info").toInt(), 1);

        VERIFY_OK(f.press(QStringLiteral("oDelete")));
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_other_info").toInt(), 0);
        QCOMPARE(text->toPlainText(), OtherPanel::kPrompt);
        QCOMPARE(f.visibleButtons("o"), QStringLiteral("保存|撤消"));
    }

    void unchangedPromptIsStored()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        openContact(f, Tpe_connect::OtherTab);
        VERIFY_OK(f.press(QStringLiteral("oSave")));
        QCOMPARE(f.scalar("SELECT pe_other_memo FROM pe_other_info").toString(), OtherPanel::kPrompt);
    }

    // A store that lost the units' table: opening the tab says so in the
    // engine's words, and the other tabs still work.
    void missingUnitTableIsReportedInTheEngineWords()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        openContact(f, Tpe_connect::PersonalTab);
        QVERIFY(f.exec("ALTER TABLE pe_dw_info RENAME TO lost_units"));
        f.tabs()->setCurrentIndex(Tpe_connect::UnitTab);
        const auto shown = f.dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Error);
        QVERIFY2(shown[0].text.contains(QStringLiteral("no such table: pe_dw_info")), qPrintable(shown[0].text));
        QCOMPARE(name->text(), QStringLiteral("甲"));
    }

    void shownContactCopiesTheScreen()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(mobile, QLineEdit, f.window, "pe_mib");
        addUnit("一公司", "说明", true);
        openContact(f, Tpe_connect::PersonalTab);
        mobile->setText(QStringLiteral("未保存"));
        const ShownContact shown = f.window->shownContact();
        QCOMPARE(shown.personTexts.size(), 10);
        QCOMPARE(shown.personTexts.at(0), QStringLiteral("甲"));
        QCOMPARE(shown.personTexts.at(2), QStringLiteral("未保存"));
        QCOMPARE(shown.unitTexts.at(0), QStringLiteral("一公司"));
        QCOMPARE(shown.unitTexts.at(5), QStringLiteral("说明"));
        QCOMPARE(shown.otherText, OtherPanel::kPrompt);
    }
};

QTEST_MAIN(TstContactTabs)
#include "tst_contact_tabs.moc"
