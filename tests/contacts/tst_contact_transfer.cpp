#include "contacts/core/ContactColumns.h"
#include "contacts/core/PersonRepository.h"
#include "contacts/core/StoredForm.h"
#include "contacts/core/UnitRepository.h"
#include "contacts/csv/ImportGrid.h"
#include "contacts/windows/ImportPanel.h"
#include "ContactsFixture.h"
#include "FileSizeLimit.h"
#include "platform/ui/ShellOpen.h"

#include <QDir>
#include <QImage>
#include <QProgressBar>
#include <QStringDecoder>
#include <QTableView>
#include <QTimer>

// The import and export tabs of the address book window.
class TstContactTransfer : public QObject
{
    Q_OBJECT

    static QString writeFile(ContactsFixture &f, const QString &name, const QByteArray &bytes)
    {
        QFile file(f.store.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(bytes);
        return file.fileName();
    }
    static void addPlaceholderPhoto(ContactsFixture &f)
    {
        QDir(f.store.folder()).mkpath(QStringLiteral("pic"));
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::white);
        QVERIFY(image.save(f.store.filePath(QStringLiteral("pic/null_pic.bmp")), "BMP"));
    }
    static void openInGrid(ContactsFixture &f, const QString &path)
    {
        VERIFY_OK(f.press(QStringLiteral("importButton")));
        Dialogs::pushReply({Dialogs::Answer::Ok, path});
        VERIFY_OK(f.press(QStringLiteral("iOpen")));
    }
    // An empty address book, then `lines` imported through the import tab.
    static void importInto(ContactsFixture &f, const QByteArray &lines)
    {
        QSqlQuery(Store::database()).exec(QStringLiteral("DELETE FROM pe_info"));
        addPlaceholderPhoto(f);
        openInGrid(f, writeFile(f, QStringLiteral("in.csv"), lines));
        VERIFY_OK(f.press(QStringLiteral("iImport")));
        QTRY_VERIFY(!f.importPanel()->isImporting());
    }
    // The boxes shown, file dialogs left out.
    static QList<Dialogs::Shown> boxes(ContactsFixture &f)
    {
        QList<Dialogs::Shown> shown = f.dialogs.shown();
        shown.removeIf([](const Dialogs::Shown &s) {
            return s.kind == Dialogs::Kind::OpenFile || s.kind == Dialogs::Kind::SaveFile;
        });
        return shown;
    }
    static int contactCount()
    {
        QSqlQuery query(Store::database());
        query.exec(QStringLiteral("SELECT count(*), count(DISTINCT pe_id) FROM pe_info"));
        query.next();
        return query.value(0).toInt() == query.value(1).toInt() ? query.value(0).toInt() : -1;
    }

private slots:
    void cleanup() { ShellOpen::setOpener({}); }

    void buttonsWaitForAFileAndSwapModeLocksTheOthers()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(swapColumns, QAbstractButton, f.window, "iSwapColumns");
        FIND_CHILD(importRows, QWidget, f.window, "iImport");
        QSqlQuery(Store::database()).exec(QStringLiteral("DELETE FROM pe_info"));
        VERIFY_OK(f.press(QStringLiteral("importButton")));
        QCOMPARE(f.tabs()->currentIndex(), int(Tpe_connect::ImportTab));
        QVERIFY(!f.tabs()->isTabVisible(Tpe_connect::PersonalTab));
        QVERIFY(f.tabs()->isTabVisible(Tpe_connect::ExportTab));
        QVERIFY(!importRows->isEnabled());
        openInGrid(f, writeFile(f, QStringLiteral("a.csv"), "a,b\r\n"));
        VERIFY_OK(f.press(QStringLiteral("iSwapColumns")));
        QCOMPARE(swapColumns->text(), QStringLiteral("取消交换"));
        for (const char *name : {"iSwapRows", "iDeleteColumn", "iDeleteRow", "iImport"}) {
            FIND_CHILD(button, QWidget, f.window, QLatin1String(name));
            QVERIFY2(!button->isEnabled(), name);
        }
        VERIFY_OK(f.press(QStringLiteral("iSwapColumns")));
        QCOMPARE(swapColumns->text(), QStringLiteral("交换列"));
        QVERIFY(importRows->isEnabled());
    }

    void badFileGivesMessageAndKeepsGrid()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        QSqlQuery(Store::database()).exec(QStringLiteral("DELETE FROM pe_info"));
        openInGrid(f, writeFile(f, QStringLiteral("a.csv"), "a,b\r\n"));
        Dialogs::pushReply({Dialogs::Answer::Ok, writeFile(f, QStringLiteral("b.bin"),
                                                           QByteArray("\x7f"
                                                                      "ELF\0\0",
                                                                      6))});
        VERIFY_OK(f.press(QStringLiteral("iOpen")));
        const QList<Dialogs::Shown> shown = boxes(f);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, Dialogs::Kind::Error);
        QCOMPARE(f.importPanel()->grid().cell(1, 1), QStringLiteral("a"));
    }

    void helpOpensSamplePage()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        QSqlQuery(Store::database()).exec(QStringLiteral("DELETE FROM pe_info"));
        QString opened;
        ShellOpen::setOpener([&opened](const QString &path) {
            opened = path;
            return true;
        });
        VERIFY_OK(f.press(QStringLiteral("importButton")));
        VERIFY_OK(f.press(QStringLiteral("iHelp")));
        QCOMPARE(opened, f.store.filePath(QStringLiteral("sample/test123.htm")));
    }

    // The window handles events while rows go in, and every row gets its own id.
    void windowAnswersDuringLongImport()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(progress, QProgressBar, f.window, "iProgress");
        FIND_CHILD(openFile, QWidget, f.window, "iOpen");
        QSqlQuery(Store::database()).exec(QStringLiteral("DELETE FROM pe_info"));
        addPlaceholderPhoto(f);
        QByteArray lines;
        for (int i = 0; i < 3000; ++i)
            lines += "同名,男,地址\r\n";
        openInGrid(f, writeFile(f, QStringLiteral("many.csv"), lines));
        ImportPanel *panel = f.importPanel();
        bool answeredMidway = false;
        QTimer::singleShot(0, f.window, [&] { answeredMidway = panel->isImporting(); });
        VERIFY_OK(f.press(QStringLiteral("iImport")));
        QVERIFY(progress->isVisible());
        QVERIFY(!openFile->isEnabled());
        // Closing now would stop the import half way: the window stays.
        QVERIFY(!f.window->close());
        QVERIFY(f.window->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isImporting(), 60000);
        QVERIFY(answeredMidway);
        QVERIFY(!progress->isVisible());
        QCOMPARE(contactCount(), 3000);
        QVERIFY(boxes(f).isEmpty());
    }

    void missingPlaceholderPhotoStopsBeforeAnyRow()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        QSqlQuery(Store::database()).exec(QStringLiteral("DELETE FROM pe_info"));
        openInGrid(f, writeFile(f, QStringLiteral("a.csv"), "a\r\n"));
        VERIFY_OK(f.press(QStringLiteral("iImport")));
        QCOMPARE(boxes(f).size(), 1);
        QCOMPARE(contactCount(), 0);
    }

    void exportWritesListedContactsAndShowsPersonalTab()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(exportButton, QWidget, f.window, "eExport");
        importInto(f, "赵一,男\r\n赵二,女,\"北京市,海淀区\"\r\n赵三\r\n");
        QVERIFY(!exportButton->isEnabled()); // no result list yet
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("赵")));
        f.tabs()->setCurrentIndex(Tpe_connect::ExportTab);
        const QString out = f.store.filePath(QStringLiteral("out.csv"));
        Dialogs::pushReply({Dialogs::Answer::Ok, out});
        VERIFY_OK(f.press(QStringLiteral("eExport")));
        QCOMPARE(boxes(f).last().text, QStringLiteral("成功导出:3 联系人记录....."));
        QCOMPARE(f.tabs()->currentIndex(), int(Tpe_connect::PersonalTab));
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringDecoder gbk("GB18030");
        const QStringList lines = QString(gbk.decode(file.readAll())).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines.at(1).endsWith(QStringLiteral(",赵二,女,\"北京市,海淀区\",-,-,-,-,-,-,-")));
        QVERIFY(lines.at(3).isEmpty());
    }

    // What "导出" writes comes back whole through "打开" and "导入" into an
    // empty address book: every exported field, protected contacts readable.
    void exportedFileImportsBackWhole()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        QSqlQuery(Store::database()).exec(QStringLiteral("DELETE FROM pe_info"));
        struct Contact
        {
            QStringList texts; // ContactColumns::kPersonTexts order
            bool male;
            bool encoded;
        };
        const QList<Contact> contacts{
            {{"赵一", "北京市,海淀区", "13900000001", "say \"hi\"", "010-1", "100000", "110101199001011234",
              "北京市东城区", "qq:10001", "老同学"},
             true,
             false},
            {{"赵二", "上海", "13900000002", "-", "021-2", "200000", "310101199202022345", "上海市黄浦区",
              "zhao2@example.com", "备注"},
             false,
             true},
            {{"赵三", "", "", "", "", "", "", "", "", ""}, true, false},
        };
        // Found through their units, which the protected name cannot hide.
        for (const Contact &contact : contacts) {
            PersonRecord person;
            person.texts = StoredForm::toStore(contact.texts, contact.encoded);
            person.male = contact.male;
            person.encoded = contact.encoded;
            QVERIFY(PersonRepository(Store::database()).append(person, Clock::now()).ok());
            UnitRecord unit{-1, person.id, {"赵家公司", "-", "-", "-", "-", "-"}, false};
            QVERIFY(UnitRepository(Store::database()).append(unit).ok());
        }
        VERIFY_OK(f.search(QStringLiteral("kindUnitName"), QStringLiteral("赵家")));
        f.tabs()->setCurrentIndex(Tpe_connect::ExportTab);
        const QString out = f.store.filePath(QStringLiteral("out.csv"));
        Dialogs::pushReply({Dialogs::Answer::Ok, out});
        VERIFY_OK(f.press(QStringLiteral("eExport")));
        QCOMPARE(boxes(f).last().text, QStringLiteral("成功导出:3 联系人记录....."));

        QSqlQuery(Store::database()).exec(QStringLiteral("DELETE FROM pe_info"));
        addPlaceholderPhoto(f);
        openInGrid(f, out);
        VERIFY_OK(f.press(QStringLiteral("iImport")));
        QTRY_VERIFY(!f.importPanel()->isImporting());
        QVERIFY(boxes(f).isEmpty());

        QSqlQuery query(Store::database());
        QVERIFY(query.exec(QStringLiteral("SELECT %1, pe_sex, e_dec_yn FROM pe_info ORDER BY rowid")
                               .arg(ContactColumns::kPersonTexts.join(u','))));
        for (const Contact &contact : contacts) {
            QVERIFY(query.next());
            const QStringList typed = StoredForm::withPlaceholders(contact.texts);
            for (int i = 0; i < ContactColumns::Remarks; ++i)
                QCOMPARE(query.value(i).toString(), typed.at(i));
            QCOMPARE(query.value(ContactColumns::Remarks).toString(), QStringLiteral("-")); // not exported
            QCOMPARE(query.value(ContactColumns::PersonTextCount).toBool(), contact.male);
            QCOMPARE(query.value(ContactColumns::PersonTextCount + 1).toBool(), false);
        }
        QVERIFY(!query.next());
    }

    void failedExportSaysWhyAndKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("target"); // relative to the store's folder
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("folder missing") << QStringLiteral("no-such-folder/out.csv") << false;
        QTest::newRow("a folder in the way") << QStringLiteral("taken") << false;
        QTest::newRow("disk full") << QStringLiteral("out.csv") << true;
    }

    // The file is written aside and renamed only when whole: a failed export
    // names the file, leaves an older file of that name as it was and no
    // scrap beside it.
    void failedExportSaysWhyAndKeepsTheOldFile()
    {
        QFETCH(QString, target);
        QFETCH(bool, fullDisk);
        ContactsFixture f;
        VERIFY_OK(f.make());
        importInto(f, "赵一,男\r\n赵二,女\r\n赵三\r\n");
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("赵")));
        f.tabs()->setCurrentIndex(Tpe_connect::ExportTab);
        QVERIFY(QDir(f.store.folder()).mkpath(QStringLiteral("taken")));
        const QString old = writeFile(f, QStringLiteral("out.csv"), "old");
        const QStringList before = QDir(f.store.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        const QString path = f.store.filePath(target);
        Dialogs::pushReply({Dialogs::Answer::Ok, path});
        {
            FileSizeLimit full;
            if (fullDisk)
                VERIFY_OK(full.set(16));
            VERIFY_OK(f.press(QStringLiteral("eExport")));
        }

        const QList<Dialogs::Shown> shown = boxes(f);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, Dialogs::Kind::Error);
        QVERIFY2(shown.first().text.startsWith(QStringLiteral("无法写入文件 ") + path), qPrintable(shown.first().text));
        QFile kept(old);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("old"));
        QCOMPARE(QDir(f.store.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QCOMPARE(contactCount(), 3);
    }

    // The list is filled when its tab is shown, from the latest search,
    // whichever tab that search was made on.
    void exportListFollowsSearchesMadeElsewhere()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(list, QTableView, f.window, "eGrid");
        importInto(f, "赵一\r\n赵二\r\n钱三\r\n");
        f.tabs()->setCurrentIndex(Tpe_connect::PersonalTab);
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("赵")));
        f.tabs()->setCurrentIndex(Tpe_connect::ExportTab);
        QCOMPARE(list->model()->rowCount(), 2);
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("钱"))); // on the export tab itself
        QCOMPARE(list->model()->rowCount(), 1);
        f.tabs()->setCurrentIndex(Tpe_connect::PersonalTab);
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("三")));
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("赵")));
        f.tabs()->setCurrentIndex(Tpe_connect::ExportTab);
        QCOMPARE(list->model()->rowCount(), 2);
        QCOMPARE(list->model()->index(1, 0).data().toString(), QStringLiteral("赵二"));
    }

    // Moves made with the navigation strip show in the list, on its tab or
    // when it is shown again.
    void exportListFollowsMoves()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(list, QTableView, f.window, "eGrid");
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        importInto(f, "赵一\r\n赵二\r\n赵三\r\n");
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("赵")));
        f.tabs()->setCurrentIndex(Tpe_connect::ExportTab);
        QCOMPARE(list->currentIndex().row(), 0);
        VERIFY_OK(f.press(QStringLiteral("nextButton")));
        QCOMPARE(list->currentIndex().row(), 1);
        f.tabs()->setCurrentIndex(Tpe_connect::PersonalTab);
        VERIFY_OK(f.press(QStringLiteral("nextButton")));
        QCOMPARE(name->text(), QStringLiteral("赵三"));
        f.tabs()->setCurrentIndex(Tpe_connect::ExportTab);
        QCOMPARE(list->currentIndex().row(), 2);
        QCOMPARE(f.window->results().position(), 2);
    }

    void selectingListRowMovesResultList()
    {
        ContactsFixture f;
        VERIFY_OK(f.make());
        FIND_CHILD(list, QTableView, f.window, "eGrid");
        FIND_CHILD(name, QLineEdit, f.window, "pe_name");
        importInto(f, "赵一\r\n赵二\r\n");
        VERIFY_OK(f.search(QStringLiteral("kindName"), QStringLiteral("赵")));
        f.tabs()->setCurrentIndex(Tpe_connect::ExportTab);
        QCOMPARE(list->model()->rowCount(), 2);
        QCOMPARE(list->model()->index(1, 1).data().toString(), QStringLiteral("true"));
        list->setCurrentIndex(list->model()->index(1, 0));
        QCOMPARE(f.window->results().position(), 1);
        QCOMPARE(name->text(), QStringLiteral("赵二"));
    }
};

QTEST_MAIN(TstContactTransfer)
#include "tst_contact_transfer.moc"
