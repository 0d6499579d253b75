#include "contacts/windows/PersonalPanel.h"
#include "contacts/windows/PhotoBox.h"
#include "ContactsFixture.h"
#include "store/FieldCodec.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTableView>

// The address book window: search, layouts, navigation and the personal tab.
class TstPeConnect : public QObject
{
    Q_OBJECT

    static void addPerson(const QString &id, const QString &name, const QString &mobile = "-", bool encoded = false)
    {
        const auto value = [encoded](const QString &text) { return encoded ? FieldCodec::encode(text) : text; };
        QVERIFY(ContactsFixture::exec(
            "INSERT INTO pe_info (pe_id, pe_name, pe_sex, n_add, pe_mib, pe_other, pe_h_tel, post,"
            " pe_code, code_add, net_con, pe_memo, pe_img, e_dec_yn)"
            " VALUES (?, ?, 1, ?, ?, ?, ?, ?, ?, ?, ?, ?, '', ?)",
            {id, value(name), value("-"), value(mobile), value("-"), value("-"), value("-"), value("-"), value("-"),
             value("-"), value("备注"), encoded}));
    }

    static int windowHeight(const ContactsFixture &f) { return f.window.height(); }

private slots:
    void opensCollapsedWithNameKind()
    {
        ContactsFixture f;
        QCOMPARE(f.window.windowTitle(), QStringLiteral("通讯录"));
        QCOMPARE(f.window.size(), QSize(565, 125 + 40));
        QVERIFY(!f.tabs()->isVisible());
        QVERIFY(f.child(QStringLiteral("newContactButton"))->isVisible());
        QVERIFY(f.child<QRadioButton>(QStringLiteral("kindName"))->isChecked());
        QVERIFY(f.edit(QStringLiteral("searchBox"))->hasFocus());
    }

    void searchLayoutsAndNavigation()
    {
        ContactsFixture f;
        f.search(QStringLiteral("kindName"), QStringLiteral("   "));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("查询条件内容不能为空,请重新输入...")});
        QVERIFY(!f.window.isExpanded());

        addPerson("20260101000003", "王三", "13900000003");
        addPerson("20260101000001", "王一");
        addPerson("20260101000002", "李二");

        f.search(QStringLiteral("kindName"), QStringLiteral("赵"));
        QVERIFY(!f.window.isExpanded());
        QCOMPARE(f.window.height(), 125 + 40);
        QVERIFY(f.dialogs.texts().isEmpty());

        // One row: no strip, tabs on top.
        f.search(QStringLiteral("kindMobile"), QStringLiteral(" 139 "));
        QCOMPARE(f.window.size(), QSize(565, 125 + 580));
        QCOMPARE(f.window.y(), 20);
        QVERIFY(!f.child(QStringLiteral("navStrip"))->isVisible());
        QCOMPARE(f.tabs()->tabPosition(), QTabWidget::North);
        QVERIFY(f.child(QStringLiteral("aboutButton"))->isVisible());
        QCOMPARE(f.edit(QStringLiteral("pe_name"))->text(), QStringLiteral("王三"));

        // Two rows: the strip, tabs at the left, ordered by id.
        f.search(QStringLiteral("kindName"), QStringLiteral("王"));
        QVERIFY(f.child(QStringLiteral("navStrip"))->isVisible());
        QCOMPARE(f.tabs()->tabPosition(), QTabWidget::West);
        QCOMPARE(f.child<QLabel>(QStringLiteral("countLabel"))->text(), QStringLiteral("记录数:2"));
        QCOMPARE(f.child<QLabel>(QStringLiteral("positionLabel"))->text(), QStringLiteral("当前记录:1"));
        QCOMPARE(f.edit(QStringLiteral("pe_name"))->text(), QStringLiteral("王一"));
        QVERIFY(f.press(QStringLiteral("lastButton")));
        QCOMPARE(f.child<QLabel>(QStringLiteral("positionLabel"))->text(), QStringLiteral("当前记录:2"));
        QCOMPARE(f.edit(QStringLiteral("pe_mib"))->text(), QStringLiteral("13900000003"));
        QVERIFY(f.press(QStringLiteral("nextButton")));
        QCOMPARE(f.child<QLabel>(QStringLiteral("positionLabel"))->text(), QStringLiteral("当前记录:2"));
        QVERIFY(f.press(QStringLiteral("firstButton")));
        QCOMPARE(f.edit(QStringLiteral("pe_name"))->text(), QStringLiteral("王一"));
        f.window.selectResultRow(1);
        QCOMPARE(f.child<QLabel>(QStringLiteral("positionLabel"))->text(), QStringLiteral("当前记录:2"));
        QCOMPARE(f.edit(QStringLiteral("pe_name"))->text(), QStringLiteral("王三"));

        // A search that finds nothing collapses the window again.
        f.search(QStringLiteral("kindName"), QStringLiteral("O'Neil"));
        QVERIFY(!f.window.isExpanded());
        QVERIFY(!f.window.results().isOpen());
    }

    void newContactStoredForm_data()
    {
        QTest::addColumn<bool>("encode");
        QTest::newRow("plain") << false;
        QTest::newRow("encoded") << true;
    }
    void newContactStoredForm()
    {
        QFETCH(bool, encode);
        ContactsFixture f;
        QVERIFY(f.press(QStringLiteral("newContactButton")));
        QVERIFY(f.window.isExpanded());
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("保存|取消"));
        QVERIFY(f.tabs()->isTabVisible(Tpe_connect::PersonalTab));
        QVERIFY(!f.tabs()->isTabVisible(Tpe_connect::UnitTab));
        QVERIFY(!f.tabs()->isTabVisible(Tpe_connect::OtherTab));

        f.edit(QStringLiteral("pe_name"))->setText(QStringLiteral("  张三 "));
        f.edit(QStringLiteral("pe_mib"))->setText(QStringLiteral("139\t"));
        f.memo(QStringLiteral("pe_memo"))->setPlainText(QStringLiteral("\n老同学\n"));
        f.child<QRadioButton>(QStringLiteral("sexFemale"))->setChecked(true);
        f.child<QCheckBox>(QStringLiteral("pEncode"))->setChecked(encode);
        f.dialogs.answer(Dialogs::Answer::No);
        QVERIFY(f.press(QStringLiteral("pSave")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("成功保存本记录,是否继续输入(Yes/No)...")});
        QVERIFY(!f.window.isExpanded());

        const auto stored = [encode](const QString &text) { return encode ? FieldCodec::encode(text) : text; };
        QCOMPARE(f.scalar("SELECT pe_id FROM pe_info").toString(), QStringLiteral("20260501080000"));
        QCOMPARE(f.scalar("SELECT pe_name FROM pe_info").toString(), stored("张三"));
        QCOMPARE(f.scalar("SELECT pe_mib FROM pe_info").toString(), stored("139"));
        QCOMPARE(f.scalar("SELECT pe_memo FROM pe_info").toString(), stored("老同学"));
        QCOMPARE(f.scalar("SELECT code_add FROM pe_info").toString(), stored("-"));
        QCOMPARE(f.scalar("SELECT pe_sex FROM pe_info").toInt(), 0);
        QCOMPARE(f.scalar("SELECT e_dec_yn FROM pe_info").toBool(), encode);

        // Plain text does not find an encoded name; its stored form does.
        f.search(QStringLiteral("kindName"), QStringLiteral("张"));
        QCOMPARE(f.window.results().isOpen(), !encode);
        f.search(QStringLiteral("kindName"), stored("张三"));
        QVERIFY(f.window.results().isOpen());
        QCOMPARE(f.edit(QStringLiteral("pe_name"))->text(), QStringLiteral("张三"));
        QCOMPARE(f.edit(QStringLiteral("code_add"))->text(), QStringLiteral("-"));
        QCOMPARE(f.memo(QStringLiteral("pe_memo"))->toPlainText(), QStringLiteral("老同学"));
        QVERIFY(f.child<QRadioButton>(QStringLiteral("sexFemale"))->isChecked());
        QCOMPARE(f.child<QCheckBox>(QStringLiteral("pEncode"))->isChecked(), encode);
        // The saved contact left the tab in view state, so "保存" cannot append it twice.
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("修改|删除|新建"));

        // Undo brings back the decoded stored values.
        QVERIFY(f.press(QStringLiteral("pModify")));
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("保存|撤消"));
        f.edit(QStringLiteral("pe_name"))->setText(QStringLiteral("李四"));
        QVERIFY(f.press(QStringLiteral("pUndo")));
        QCOMPARE(f.edit(QStringLiteral("pe_name"))->text(), QStringLiteral("张三"));
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("修改|删除|新建"));

        // An edit keeps the id and the form.
        QVERIFY(f.press(QStringLiteral("pModify")));
        f.edit(QStringLiteral("pe_name"))->setText(QStringLiteral("李四"));
        QVERIFY(f.press(QStringLiteral("pSave")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("修改完成,成功保存本记录 ...")});
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_info").toInt(), 1);
        QCOMPARE(f.scalar("SELECT pe_name FROM pe_info").toString(), stored("李四"));
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("修改|删除|新建"));
    }

    void emptyNameIsRefused()
    {
        ContactsFixture f;
        QVERIFY(f.press(QStringLiteral("newContactButton")));
        f.edit(QStringLiteral("pe_mib"))->setText(QStringLiteral("139"));
        f.edit(QStringLiteral("pe_name"))->setText(QStringLiteral(" \t"));
        QVERIFY(f.press(QStringLiteral("pSave")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("姓名为空,无法操作.....")});
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_info").toInt(), 0);
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("保存|取消"));
        // Cancel without a result list collapses the window.
        QVERIFY(f.press(QStringLiteral("pCancel")));
        QVERIFY(!f.window.isExpanded());
        QCOMPARE(f.visibleButtons("p"), QString());
    }

    void overLongEncodedValueIsNamed()
    {
        ContactsFixture f;
        QVERIFY(f.press(QStringLiteral("newContactButton")));
        f.edit(QStringLiteral("pe_name"))->setText(QStringLiteral("张三"));
        f.edit(QStringLiteral("net_con"))->setText(QString(30, QChar(0x4E2D)));
        f.child<QCheckBox>(QStringLiteral("pEncode"))->setChecked(true);
        QVERIFY(f.press(QStringLiteral("pSave")));
        const auto shown = f.dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Error);
        QVERIFY2(shown[0].text.contains(QStringLiteral("“网络联系方式”")) && shown[0].text.contains("50"),
                 qPrintable(shown[0].text));
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_info").toInt(), 0);
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("保存|取消"));
        QCOMPARE(f.edit(QStringLiteral("pe_name"))->text(), QStringLiteral("张三"));
    }

    void sharedIdShowsEveryRecord()
    {
        ContactsFixture f;
        addPerson("20260101000001", "甲");
        addPerson("20260101000001", "乙", "138", true);
        f.search(QStringLiteral("kindName"), QStringLiteral("甲"));
        auto *grid = f.child<QTableView>(QStringLiteral("pGrid"));
        QVERIFY(f.child(QStringLiteral("pGridBox"))->isVisible());
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(f.memo(QStringLiteral("pe_memo"))->height(), PersonalPanel::kRemarksShort);
        QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("男"));

        // A double-click shows the second row, decoded; an edit then saves that row only.
        const QModelIndex second = grid->model()->index(1, 0);
        grid->setCurrentIndex(second);
        emit grid->doubleClicked(second);
        QCOMPARE(f.edit(QStringLiteral("pe_name"))->text(), QStringLiteral("乙"));
        QCOMPARE(f.edit(QStringLiteral("pe_mib"))->text(), QStringLiteral("138"));
        QVERIFY(f.press(QStringLiteral("pModify")));
        f.edit(QStringLiteral("pe_mib"))->setText(QStringLiteral("137"));
        QVERIFY(f.press(QStringLiteral("pSave")));
        QCOMPARE(f.scalar("SELECT pe_mib FROM pe_info WHERE pe_name = ?", {FieldCodec::encode("乙")}).toString(),
                 FieldCodec::encode("137"));
        QCOMPARE(f.scalar("SELECT pe_mib FROM pe_info WHERE pe_name = '甲'").toString(), QStringLiteral("-"));

        // One record: the grid hides and the remarks grow.
        f.search(QStringLiteral("kindName"), QStringLiteral("乙"));
        QVERIFY(!f.window.results().isOpen()); // encoded names are not found by plain text
        addPerson("20260101000009", "丙");
        f.search(QStringLiteral("kindName"), QStringLiteral("丙"));
        QVERIFY(!f.child(QStringLiteral("pGridBox"))->isVisible());
        QCOMPARE(f.memo(QStringLiteral("pe_memo"))->height(), PersonalPanel::kRemarksTall);
    }

    void contactWithoutPersonalRecordLoadsAsNew()
    {
        ContactsFixture f;
        addPerson("20260101000001", "甲");
        QVERIFY(f.exec("INSERT INTO pe_dw_info (pe_id, dw_name, dw_add, dw_tel, dw_fax, dw_url, pe_memo)"
                       " VALUES ('20260101000001', '一公司', '-', '-', '-', '-', '-')"));
        QVERIFY(f.exec("INSERT INTO pe_other_info (pe_id, pe_other_memo) VALUES ('20260101000001', '其他')"));
        f.search(QStringLiteral("kindName"), QStringLiteral("甲"));
        QVERIFY(f.press(QStringLiteral("pDelete")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("是否确定删除本记录 (Yes/No)...")});
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_info").toInt(), 0);
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_dw_info").toInt(), 1);
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_other_info").toInt(), 1);
        QCOMPARE(f.edit(QStringLiteral("pe_name"))->text(), QStringLiteral("甲")); // nothing reloaded

        f.search(QStringLiteral("kindUnitName"), QStringLiteral("公司"));
        QVERIFY(f.window.results().isOpen());
        QCOMPARE(f.window.currentContactId(), QStringLiteral("20260101000001"));
        QCOMPARE(f.edit(QStringLiteral("pe_name"))->text(), QString());
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("保存|取消"));
        QCOMPARE(f.tabs()->currentIndex(), int(Tpe_connect::PersonalTab));
        QVERIFY(!f.tabs()->isTabVisible(Tpe_connect::UnitTab));
    }

    void switchingTabsDiscardsInput()
    {
        ContactsFixture f;
        addPerson("20260101000001", "甲");
        f.search(QStringLiteral("kindName"), QStringLiteral("甲"));
        QVERIFY(f.press(QStringLiteral("pModify")));
        f.edit(QStringLiteral("pe_name"))->setText(QStringLiteral("改了"));
        f.tabs()->setCurrentIndex(Tpe_connect::OtherTab);
        f.tabs()->setCurrentIndex(Tpe_connect::PersonalTab);
        QCOMPARE(f.edit(QStringLiteral("pe_name"))->text(), QStringLiteral("甲"));
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("保存|撤消"));
        QCOMPARE(f.scalar("SELECT pe_name FROM pe_info").toString(), QStringLiteral("甲"));
    }

    void escapeClosesWithoutAQuestion_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("name box") << "pe_name";
        QTest::newRow("remarks box") << "pe_memo";
        QTest::newRow("search box") << "searchBox";
    }
    void escapeClosesWithoutAQuestion()
    {
        QFETCH(QString, focus);
        TempStore store;
        VERIFY_OK(store.make());
        ScriptedDialogs dialogs;
        QPointer<Tpe_connect> window = new Tpe_connect(Store::database());
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->findChild<QAbstractButton *>(QStringLiteral("newContactButton"))->click();
        window->findChild<QLineEdit *>(QStringLiteral("pe_name"))->setText(QStringLiteral("未保存"));
        auto *target = window->findChild<QWidget *>(focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        QTRY_VERIFY(window.isNull());
        QVERIFY(dialogs.shown().isEmpty());
        QCOMPARE(ContactsFixture::scalar("SELECT count(*) FROM pe_info").toInt(), 0);
    }

    void enterInTheSearchBoxSearches()
    {
        ContactsFixture f;
        addPerson("20260101000001", "甲");
        auto *box = f.edit(QStringLiteral("searchBox"));
        box->setText(QStringLiteral("甲"));
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(f.window.results().isOpen());
        QCOMPARE(f.edit(QStringLiteral("pe_name"))->text(), QStringLiteral("甲"));
    }

    void undecodableStoredValueIsReported()
    {
        ContactsFixture f;
        QVERIFY(f.exec("INSERT INTO pe_info (pe_id, pe_name, pe_mib, e_dec_yn) VALUES"
                       " ('20260101000001', '1tA=', '坏的 文字', 1)"));
        f.search(QStringLiteral("kindName"), QStringLiteral("1tA="));
        QCOMPARE(f.edit(QStringLiteral("pe_name"))->text(), QStringLiteral("中"));
        QCOMPARE(f.edit(QStringLiteral("pe_mib"))->text(), QStringLiteral("坏的 文字"));
        const auto shown = f.dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Error);
        QCOMPARE(shown[0].text, FieldCodec::kDecodeError);
    }

    void photoIsChosenAndStoredAsBmp()
    {
        ContactsFixture f;
        QImage picture(400, 200, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const QString png = f.store.filePath(QStringLiteral("face.png"));
        QVERIFY(picture.save(png));
        QVERIFY(f.press(QStringLiteral("newContactButton")));
        f.edit(QStringLiteral("pe_name"))->setText(QStringLiteral("有照片"));
        auto *photo = f.child<PhotoBox>(QStringLiteral("pe_img"));
        f.dialogs.answer(Dialogs::Answer::Ok, png);
        photo->chooseAction()->trigger();
        f.dialogs.shown();
        // A file that is no picture keeps the photo and says why.
        const QString bad = f.store.filePath(QStringLiteral("notes.jpg"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("words") > 0);
        file.close();
        const QByteArray chosen = photo->photo();
        f.dialogs.answer(Dialogs::Answer::Ok, bad);
        photo->chooseAction()->trigger();
        QCOMPARE(photo->photo(), chosen);
        const auto shown = f.dialogs.shown();
        QCOMPARE(shown.last().kind, Dialogs::Kind::Error);
        QVERIFY(shown.last().text.contains(QStringLiteral("notes.jpg")));
        f.dialogs.answer(Dialogs::Answer::No);
        QVERIFY(f.press(QStringLiteral("pSave")));
        const QByteArray stored = f.scalar("SELECT pe_img FROM pe_info").toByteArray();
        QVERIFY(stored.startsWith("BM"));
        QImage back;
        QVERIFY(back.loadFromData(stored, "BMP"));
        QCOMPARE(back.size(), QSize(290, 145));
    }
};

QTEST_MAIN(TstPeConnect)
#include "tst_pe_connect.moc"
