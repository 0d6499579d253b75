#include "ContactsFixture.h"
#include "platform/AppPaths.h"
#include "platform/ProfileFile.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTableView>

// The address book over a long result list, read as it is shown, and the
// choice of its order: as the contacts were made or by the pinyin of names.
class TstContactResultList : public QObject
{
    Q_OBJECT

    static constexpr int kMany = 1234; // several pages of the list

    // Contacts 客户0000 ... in the order they were made, one second apart.
    static bool addMany(int count)
    {
        QSqlDatabase db = Store::database();
        db.transaction();
        QSqlQuery add(db);
        add.prepare(QStringLiteral("INSERT INTO pe_info (pe_id, pe_name, n_add, pe_mib) VALUES (?, ?, ?, ?)"));
        const QDateTime start(QDate(2020, 1, 1), QTime(8, 0, 0));
        for (int i = 0; i < count; ++i) {
            add.addBindValue(start.addSecs(i).toString(QStringLiteral("yyyyMMddHHmmss")));
            add.addBindValue(QStringLiteral("客户%1").arg(i, 4, 10, QChar('0')));
            add.addBindValue(QStringLiteral("地址%1").arg(i));
            add.addBindValue(QStringLiteral("139%1").arg(i, 8, 10, QChar('0')));
            if (!add.exec())
                return false;
        }
        return db.commit();
    }

    static bool addNamed(const QStringList &names)
    {
        const QDateTime start(QDate(2021, 1, 1), QTime(8, 0, 0));
        for (int i = 0; i < names.size(); ++i) {
            if (!ContactsFixture::exec(QStringLiteral("INSERT INTO pe_info (pe_id, pe_name, pe_memo) VALUES (?, ?, ?)"),
                                       {start.addSecs(i).toString(QStringLiteral("yyyyMMddHHmmss")), names.at(i),
                                        QStringLiteral("老客户")}))
                return false;
        }
        return true;
    }

    static QString labelText(ContactsFixture &f, const char *name)
    {
        auto *label = Widgets::find<QLabel>(f.window, QString::fromLatin1(name));
        return label ? label->text() : QString::fromUtf8(Widgets::missing<QLabel>(f.window, QString::fromLatin1(name)));
    }

    static QString shownName(ContactsFixture &f)
    {
        auto *name = Widgets::find<QLineEdit>(f.window, QStringLiteral("pe_name"));
        return name ? name->text() : QString();
    }

    static QStringList listed(QTableView *list)
    {
        QStringList names;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            names << list->model()->index(row, 0).data().toString();
        return names;
    }

private slots:
    // "记录数:" is the engine's count; the moves, the export list and the
    // export reach every row, the last one included.
    void longListReadAsShown()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        QVERIFY(addMany(kMany));
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("客户")));
        QCOMPARE(labelText(f, "countLabel"), QStringLiteral("记录数:%1").arg(kMany));
        QCOMPARE(shownName(f), QStringLiteral("客户0000"));

        VERIFY_OK(f.press(QStringLiteral("lastButton")));
        QCOMPARE(shownName(f), QStringLiteral("客户%1").arg(kMany - 1));
        QCOMPARE(labelText(f, "positionLabel"), QStringLiteral("当前记录:%1").arg(kMany));
        VERIFY_OK(f.press(QStringLiteral("previousButton")));
        QCOMPARE(shownName(f), QStringLiteral("客户%1").arg(kMany - 2));

        FIND_CHILD(list, QTableView, f.window, "eGrid");
        f.tabs()->setCurrentIndex(Tpe_connect::ExportTab);
        QCOMPARE(list->model()->rowCount(), kMany);
        QCOMPARE(list->currentIndex().row(), kMany - 2); // the list follows the moves
        list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
        const int bottom = list->rowAt(list->viewport()->height() - 1);
        QCOMPARE(bottom, kMany - 1);
        QCOMPARE(list->model()->index(bottom, 0).data().toString(), QStringLiteral("客户%1").arg(kMany - 1));
        QCOMPARE(list->model()->index(bottom, 3).data().toString(),
                 QStringLiteral("139%1").arg(kMany - 1, 8, 10, QChar('0')));
        QCOMPARE(list->model()->index(617, 0).data().toString(), QStringLiteral("客户0617"));
        list->setCurrentIndex(list->model()->index(617, 0));
        QCOMPARE(f.window->results().position(), 617);
        QCOMPARE(shownName(f), QStringLiteral("客户0617"));

        f.tabs()->setCurrentIndex(Tpe_connect::ExportTab);
        const QString out = f.store.filePath(QStringLiteral("all.csv"));
        f.dialogs.answer(Dialogs::Answer::Ok, out);
        VERIFY_OK(f.press(QStringLiteral("eExport")));
        QCOMPARE(f.dialogs.texts().last(), QStringLiteral("成功导出:%1 联系人记录.....").arg(kMany));
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringDecoder gbk("GB18030");
        const QStringList lines = QString(gbk.decode(file.readAll())).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), kMany);
        QCOMPARE(lines.first().section(u',', 1, 1), QStringLiteral("客户0000"));
        QCOMPARE(lines.last().section(u',', 1, 1), QStringLiteral("客户%1").arg(kMany - 1));
        QCOMPARE(shownName(f), QStringLiteral("客户%1").arg(kMany - 1)); // the tabs end on the last one written
    }

    // Latin letters in the search box also find a name by its pinyin.
    void nameFoundByPinyin()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        QVERIFY(addNamed({"李四", "张三", "张小明"}));
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral(" ZhangS ")));
        QVERIFY(f.window->isExpanded());
        QCOMPARE(f.window->results().count(), 1);
        QCOMPARE(shownName(f), QStringLiteral("张三"));
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("zsf")));
        QVERIFY(!f.window->isExpanded());
        QVERIFY(f.dialogs.texts().isEmpty());
    }

    // The box starts unticked: the list is in the order contacts were made.
    // Ticking it lists them by pinyin at once, on the contact shown, and the
    // choice holds for the next search and the next time the window opens.
    void orderChosenInTheSearchArea()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        const QStringList made{"张三", "Alice", "曾国藩", "阿三", "李四"};
        QVERIFY(addNamed(made));
        FIND_CHILD(pinyin, QCheckBox, f.window, "pinyinOrder");
        FIND_CHILD(list, QTableView, f.window, "eGrid");
        QVERIFY(!pinyin->isChecked());
        VERIFY_OK(f.search(QStringLiteral("kindPersonalMemo"), QStringLiteral("老客户")));
        f.tabs()->setCurrentIndex(Tpe_connect::ExportTab);
        QCOMPARE(listed(list), made);
        VERIFY_OK(f.press(QStringLiteral("nextButton")));
        QCOMPARE(shownName(f), QStringLiteral("Alice"));

        pinyin->click();
        const QStringList byPinyin{"阿三", "李四", "曾国藩", "张三", "Alice"};
        QCOMPARE(listed(list), byPinyin);
        QCOMPARE(shownName(f), QStringLiteral("Alice"));
        QCOMPARE(labelText(f, "positionLabel"), QStringLiteral("当前记录:5"));
        QCOMPARE(list->currentIndex().row(), 4);
        QCOMPARE(ProfileFile(AppPaths::profileFile()).read(QStringLiteral("contacts"), QStringLiteral("order"), {}),
                 QStringLiteral("pinyin"));
        VERIFY_OK(f.search(QStringLiteral("kindPersonalMemo"), QStringLiteral("客户")));
        f.tabs()->setCurrentIndex(Tpe_connect::ExportTab);
        QCOMPARE(listed(list), byPinyin);
        QCOMPARE(shownName(f), QStringLiteral("阿三"));

        Tpe_connect again(Store::database());
        FIND_CHILD(kept, QCheckBox, &again, "pinyinOrder");
        QVERIFY(kept->isChecked());

        pinyin->click();
        QCOMPARE(listed(list), made);
        QCOMPARE(shownName(f), QStringLiteral("阿三"));
        QCOMPARE(labelText(f, "positionLabel"), QStringLiteral("当前记录:4"));
        QVERIFY(f.dialogs.texts().isEmpty());
    }

    // Ticking the box with nothing listed only keeps the choice.
    void orderChosenBeforeASearch()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        QVERIFY(addNamed({"张三", "阿三"}));
        FIND_CHILD(pinyin, QCheckBox, f.window, "pinyinOrder");
        pinyin->click();
        QVERIFY(!f.window->isExpanded());
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("三")));
        QCOMPARE(shownName(f), QStringLiteral("阿三"));
    }

    // A settings file that cannot be written says so; the list is ordered
    // as chosen all the same.
    void orderThatCannotBeKeptSaysSo()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        QVERIFY(addNamed({"张三", "阿三"}));
        QVERIFY(QDir().mkpath(AppPaths::profileFile())); // a folder where the file should be
        FIND_CHILD(pinyin, QCheckBox, f.window, "pinyinOrder");
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("三")));
        pinyin->click();
        const QList<Dialogs::Shown> shown = f.dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, Dialogs::Kind::Error);
        QVERIFY2(shown.first().text.startsWith(QStringLiteral("排序方式无法保存到设置文件")),
                 qPrintable(shown.first().text));
        QVERIFY(pinyin->isChecked());
        QCOMPARE(shownName(f), QStringLiteral("张三"));
        QCOMPARE(labelText(f, "positionLabel"), QStringLiteral("当前记录:2"));
    }
};

QTEST_MAIN(TstContactResultList)
#include "tst_contact_result_list.moc"
