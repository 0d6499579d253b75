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

    static int windowHeight(const ContactsFixture &f) { return f.window->height(); }

private slots:
    void opensCollapsedWithNameKind()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(newContact, QWidget, f.window, "newContactButton");
        FIND_CHILD(kindName, QRadioButton, f.window, "kindName");
        FIND_CHILD(searchBox, QLineEdit, f.window, "searchBox");
        QCOMPARE(f.window->windowTitle(), QStringLiteral("通讯录"));
        QCOMPARE(f.window->size(), QSize(565, 125 + 40));
        QVERIFY(!f.tabs()->isVisible());
        QVERIFY(newContact->isVisible());
        QVERIFY(kindName->isChecked());
        QVERIFY(searchBox->hasFocus());
    }

    void searchLayoutsAndNavigation()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(navStrip, QWidget, f.window, "navStrip");
        FIND_CHILD(about, QWidget, f.window, "aboutButton");
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        FIND_CHILD(count, QLabel, f.window, "countLabel");
        FIND_CHILD(position, QLabel, f.window, "positionLabel");
        FIND_CHILD(mobile, QLineEdit, f.window, "pe_mib");
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("   ")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("查询条件内容不能为空,请重新输入...")});
        QVERIFY(!f.window->isExpanded());

        addPerson("20260101000003", "王三", "13900000003");
        addPerson("20260101000001", "王一");
        addPerson("20260101000002", "李二");

        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("赵")));
        QVERIFY(!f.window->isExpanded());
        QCOMPARE(f.window->height(), 125 + 40);
        QVERIFY(f.dialogs.texts().isEmpty());

        // One row: no strip, tabs on top.
        VERIFY_OK(f.search(QStringLiteral("kindMobile"), QStringLiteral(" 139 ")));
        QCOMPARE(f.window->size(), QSize(565, 125 + 580));
        QCOMPARE(f.window->y(), 20);
        QVERIFY(!navStrip->isVisible());
        QCOMPARE(f.tabs()->tabPosition(), QTabWidget::North);
        QVERIFY(about->isVisible());
        QCOMPARE(name->text(), QStringLiteral("王三"));

        // Two rows: the strip, tabs at the left, ordered by id.
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("王")));
        QVERIFY(navStrip->isVisible());
        QCOMPARE(f.tabs()->tabPosition(), QTabWidget::West);
        QCOMPARE(count->text(), QStringLiteral("记录数:2"));
        QCOMPARE(position->text(), QStringLiteral("当前记录:1"));
        QCOMPARE(name->text(), QStringLiteral("王一"));
        VERIFY_OK(f.press(QStringLiteral("lastButton")));
        QCOMPARE(position->text(), QStringLiteral("当前记录:2"));
        QCOMPARE(mobile->text(), QStringLiteral("13900000003"));
        VERIFY_OK(f.press(QStringLiteral("nextButton")));
        QCOMPARE(position->text(), QStringLiteral("当前记录:2"));
        VERIFY_OK(f.press(QStringLiteral("firstButton")));
        QCOMPARE(name->text(), QStringLiteral("王一"));
        f.window->selectResultRow(1);
        QCOMPARE(position->text(), QStringLiteral("当前记录:2"));
        QCOMPARE(name->text(), QStringLiteral("王三"));

        // A search that finds nothing collapses the window again.
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("O'Neil")));
        QVERIFY(!f.window->isExpanded());
        QVERIFY(!f.window->results().isOpen());
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
        VERIFY_OK(f.make());
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        FIND_CHILD(mobile, QLineEdit, f.window, "pe_mib");
        FIND_CHILD(remarks, QPlainTextEdit, f.window, "pe_memo");
        FIND_CHILD(female, QRadioButton, f.window, "sexFemale");
        FIND_CHILD(encodeTick, QCheckBox, f.window, "pEncode");
        FIND_CHILD(codeAddress, QLineEdit, f.window, "code_add");
        VERIFY_OK(f.press(QStringLiteral("newContactButton")));
        QVERIFY(f.window->isExpanded());
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("保存|取消"));
        QVERIFY(f.tabs()->isTabVisible(Tpe_connect::PersonalTab));
        QVERIFY(!f.tabs()->isTabVisible(Tpe_connect::UnitTab));
        QVERIFY(!f.tabs()->isTabVisible(Tpe_connect::OtherTab));

        name->setText(QStringLiteral("  张三 "));
        mobile->setText(QStringLiteral("139\t"));
        remarks->setPlainText(QStringLiteral("\n老同学\n"));
        female->setChecked(true);
        encodeTick->setChecked(encode);
        f.dialogs.answer(Dialogs::Answer::No);
        VERIFY_OK(f.press(QStringLiteral("pSave")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("成功保存本记录,是否继续输入(Yes/No)...")});
        QVERIFY(!f.window->isExpanded());

        const auto stored = [encode](const QString &text) { return encode ? FieldCodec::encode(text) : text; };
        QCOMPARE(f.scalar("SELECT pe_id FROM pe_info").toString(), QStringLiteral("20260501080000"));
        QCOMPARE(f.scalar("SELECT pe_name FROM pe_info").toString(), stored("张三"));
        QCOMPARE(f.scalar("SELECT pe_mib FROM pe_info").toString(), stored("139"));
        QCOMPARE(f.scalar("SELECT pe_memo FROM pe_info").toString(), stored("老同学"));
        QCOMPARE(f.scalar("SELECT code_add FROM pe_info").toString(), stored("-"));
        QCOMPARE(f.scalar("SELECT pe_sex FROM pe_info").toInt(), 0);
        QCOMPARE(f.scalar("SELECT e_dec_yn FROM pe_info").toBool(), encode);

        // Plain text does not find an encoded name; its stored form does.
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("张")));
        QCOMPARE(f.window->results().isOpen(), !encode);
        VERIFY_OK(f.search(QStringLiteral("kindName"), stored("张三")));
        QVERIFY(f.window->results().isOpen());
        QCOMPARE(name->text(), QStringLiteral("张三"));
        QCOMPARE(codeAddress->text(), QStringLiteral("-"));
        QCOMPARE(remarks->toPlainText(), QStringLiteral("老同学"));
        QVERIFY(female->isChecked());
        QCOMPARE(encodeTick->isChecked(), encode);
        // The saved contact left the tab in view state, so "保存" cannot append it twice.
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("修改|删除|新建"));

        // Undo brings back the decoded stored values.
        VERIFY_OK(f.press(QStringLiteral("pModify")));
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("保存|撤消"));
        name->setText(QStringLiteral("李四"));
        VERIFY_OK(f.press(QStringLiteral("pUndo")));
        QCOMPARE(name->text(), QStringLiteral("张三"));
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("修改|删除|新建"));

        // An edit keeps the id and the form.
        VERIFY_OK(f.press(QStringLiteral("pModify")));
        name->setText(QStringLiteral("李四"));
        VERIFY_OK(f.press(QStringLiteral("pSave")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("修改完成,成功保存本记录 ...")});
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_info").toInt(), 1);
        QCOMPARE(f.scalar("SELECT pe_name FROM pe_info").toString(), stored("李四"));
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("修改|删除|新建"));
    }

    void emptyNameIsRefused()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(mobile, QLineEdit, f.window, "pe_mib");
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        VERIFY_OK(f.press(QStringLiteral("newContactButton")));
        mobile->setText(QStringLiteral("139"));
        name->setText(QStringLiteral(" \t"));
        VERIFY_OK(f.press(QStringLiteral("pSave")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("姓名为空,无法操作.....")});
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_info").toInt(), 0);
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("保存|取消"));
        // Cancel without a result list collapses the window.
        VERIFY_OK(f.press(QStringLiteral("pCancel")));
        QVERIFY(!f.window->isExpanded());
        QCOMPARE(f.visibleButtons("p"), QString());
    }

    void overLongEncodedValueIsNamed()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        FIND_CHILD(netContact, QLineEdit, f.window, "net_con");
        FIND_CHILD(encodeTick, QCheckBox, f.window, "pEncode");
        VERIFY_OK(f.press(QStringLiteral("newContactButton")));
        name->setText(QStringLiteral("张三"));
        netContact->setText(QString(30, QChar(0x4E2D)));
        encodeTick->setChecked(true);
        VERIFY_OK(f.press(QStringLiteral("pSave")));
        const auto shown = f.dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Error);
        QVERIFY2(shown[0].text.contains(QStringLiteral("“网络联系方式”")) && shown[0].text.contains("50"),
                 qPrintable(shown[0].text));
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_info").toInt(), 0);
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("保存|取消"));
        QCOMPARE(name->text(), QStringLiteral("张三"));
    }

    void sharedIdShowsEveryRecord()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(grid, QTableView, f.window, "pGrid");
        FIND_CHILD(gridBox, QWidget, f.window, "pGridBox");
        FIND_CHILD(remarks, QPlainTextEdit, f.window, "pe_memo");
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        FIND_CHILD(mobile, QLineEdit, f.window, "pe_mib");
        addPerson("20260101000001", "甲");
        addPerson("20260101000001", "乙", "138", true);
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("甲")));
        QVERIFY(gridBox->isVisible());
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(remarks->height(), PersonalPanel::kRemarksShort);
        QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("男"));

        // A double-click shows the second row, decoded; an edit then saves that row only.
        const QModelIndex second = grid->model()->index(1, 0);
        grid->setCurrentIndex(second);
        emit grid->doubleClicked(second);
        QCOMPARE(name->text(), QStringLiteral("乙"));
        QCOMPARE(mobile->text(), QStringLiteral("138"));
        VERIFY_OK(f.press(QStringLiteral("pModify")));
        mobile->setText(QStringLiteral("137"));
        VERIFY_OK(f.press(QStringLiteral("pSave")));
        QCOMPARE(f.scalar("SELECT pe_mib FROM pe_info WHERE pe_name = ?", {FieldCodec::encode("乙")}).toString(),
                 FieldCodec::encode("137"));
        QCOMPARE(f.scalar("SELECT pe_mib FROM pe_info WHERE pe_name = '甲'").toString(), QStringLiteral("-"));

        // One record: the grid hides and the remarks grow.
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("乙")));
        QVERIFY(!f.window->results().isOpen()); // encoded names are not found by plain text
        addPerson("20260101000009", "丙");
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("丙")));
        QVERIFY(!gridBox->isVisible());
        QCOMPARE(remarks->height(), PersonalPanel::kRemarksTall);
    }

    void contactWithoutPersonalRecordLoadsAsNew()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        addPerson("20260101000001", "甲");
        QVERIFY(f.exec("INSERT INTO pe_dw_info (pe_id, dw_name, dw_add, dw_tel, dw_fax, dw_url, pe_memo)"
                       " VALUES ('20260101000001', '一公司', '-', '-', '-', '-', '-')"));
        QVERIFY(f.exec("INSERT INTO pe_other_info (pe_id, pe_other_memo) VALUES ('20260101000001', '其他')"));
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("甲")));
        VERIFY_OK(f.press(QStringLiteral("pDelete")));
        QCOMPARE(f.dialogs.texts(), QStringList{QStringLiteral("是否确定删除本记录 (Yes/No)...")});
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_info").toInt(), 0);
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_dw_info").toInt(), 1);
        QCOMPARE(f.scalar("SELECT count(*) FROM pe_other_info").toInt(), 1);
        QCOMPARE(name->text(), QStringLiteral("甲")); // nothing reloaded

        VERIFY_OK(f.search(QStringLiteral("kindUnitName"), QStringLiteral("公司")));
        QVERIFY(f.window->results().isOpen());
        QCOMPARE(f.window->currentContactId(), QStringLiteral("20260101000001"));
        QCOMPARE(name->text(), QString());
        QCOMPARE(f.visibleButtons("p"), QStringLiteral("保存|取消"));
        QCOMPARE(f.tabs()->currentIndex(), int(Tpe_connect::PersonalTab));
        QVERIFY(!f.tabs()->isTabVisible(Tpe_connect::UnitTab));
    }

    void switchingTabsDiscardsInput()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        addPerson("20260101000001", "甲");
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("甲")));
        VERIFY_OK(f.press(QStringLiteral("pModify")));
        name->setText(QStringLiteral("改了"));
        f.tabs()->setCurrentIndex(Tpe_connect::OtherTab);
        f.tabs()->setCurrentIndex(Tpe_connect::PersonalTab);
        QCOMPARE(name->text(), QStringLiteral("甲"));
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
        FIND_CHILD(newContact, QAbstractButton, window.data(), "newContactButton");
        FIND_CHILD(name, QLineEdit, window.data(), "pe_name");
        FIND_CHILD(target, QWidget, window.data(), focus);
        newContact->click();
        name->setText(QStringLiteral("未保存"));
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        QTRY_VERIFY(window.isNull());
        QVERIFY(dialogs.shown().isEmpty());
        QCOMPARE(ContactsFixture::scalar("SELECT count(*) FROM pe_info").toInt(), 0);
    }

    void enterInTheSearchBoxSearches()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(searchBox, QLineEdit, f.window, "searchBox");
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        addPerson("20260101000001", "甲");
        searchBox->setText(QStringLiteral("甲"));
        QTest::keyClick(searchBox, Qt::Key_Return);
        QVERIFY(f.window->results().isOpen());
        QCOMPARE(name->text(), QStringLiteral("甲"));
    }

    void undecodableStoredValueIsReported()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        FIND_CHILD(mobile, QLineEdit, f.window, "pe_mib");
        QVERIFY(f.exec("INSERT INTO pe_info (pe_id, pe_name, pe_mib, e_dec_yn) VALUES"
                       " ('20260101000001', '1tA=', '坏的 文字', 1)"));
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("1tA=")));
        QCOMPARE(name->text(), QStringLiteral("中"));
        QCOMPARE(mobile->text(), QStringLiteral("坏的 文字"));
        const auto shown = f.dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Error);
        QCOMPARE(shown[0].text, FieldCodec::kDecodeError);
    }

    void photoIsChosenAndStoredAsBmp()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        FIND_CHILD(photo, PhotoBox, f.window, "pe_img");
        QImage picture(400, 200, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const QString png = f.store.filePath(QStringLiteral("face.png"));
        QVERIFY(picture.save(png));
        VERIFY_OK(f.press(QStringLiteral("newContactButton")));
        name->setText(QStringLiteral("有照片"));
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
        VERIFY_OK(f.press(QStringLiteral("pSave")));
        const QByteArray stored = f.scalar("SELECT pe_img FROM pe_info").toByteArray();
        QVERIFY(stored.startsWith("BM"));
        QImage back;
        QVERIFY(back.loadFromData(stored, "BMP"));
        QCOMPARE(back.size(), QSize(290, 145));
    }
};

QTEST_MAIN(TstPeConnect)
#include "tst_pe_connect.moc"
