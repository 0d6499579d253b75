#include "app/core/RecordFile.h"
#include "app/Tmain.h"
#include "app/Trecord_backup.h"
#include "contacts/windows/ImportPanel.h"
#include "FakePlannerHost.h"
#include "schedule/windows/Tjob_do.h"
#include "ScriptedDialogs.h"
#include "store/Store.h"
#include "store/StoreError.h"
#include "TempStore.h"
#include "tests/app/FakeLauncherHost.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <unistd.h>

using Dialogs::Answer;

namespace {
const QString kFilter = QStringLiteral(" 转移文件 (*.pck)");
} // namespace

class TstRecordBackup : public QObject
{
    Q_OBJECT

    static QByteArray readFile(const QString &name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static int rowCount(const QString &table)
    {
        QSqlQuery query(Store::database());
        return query.exec(QStringLiteral("select count(*) from ") + table) && query.next() ? query.value(0).toInt()
                                                                                           : -1;
    }

    static QString backupMessage(const QString &target)
    {
        return QStringLiteral("成功备份记录文件到:[ %1 ] ").arg(target);
    }

    // A note written through `db` and read back: the connection works.
    static bool saves(const QSqlDatabase &db, const QString &stamp)
    {
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("insert into note_pad (date_id, note_memo) values (?, ?)"));
        insert.addBindValue(stamp);
        insert.addBindValue(QStringLiteral("5L2g5aW9"));
        if (!insert.exec())
            return false;
        QSqlQuery read(db);
        read.prepare(QStringLiteral("select count(*) from note_pad where date_id = ?"));
        read.addBindValue(stamp);
        return read.exec() && read.next() && read.value(0).toInt() == 1;
    }

private slots:
    void layout()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Trecord_backup window;
        QCOMPARE(window.windowTitle(), QStringLiteral("备份或转移记录窗口"));
        QCOMPARE(window.size(), QSize(310, 370));
        FIND_CHILD(group, QGroupBox, &window, "GroupBox1");
        FIND_CHILD(option, QCheckBox, &window, "CheckBox1");
        FIND_CHILD(firstLine, QLabel, &window, "Label1");
        FIND_CHILD(secondLine, QLabel, &window, "Label2");
        FIND_CHILD(start, QPushButton, &window, "BitBtn1");
        FIND_CHILD(closeButton, QPushButton, &window, "BitBtn2");
        FIND_CHILD(progress, QProgressBar, &window, "ProgressBar1");
        QCOMPARE(group->title(), QStringLiteral("特殊功能"));
        QCOMPARE(option->text(), QStringLiteral("转移数据后删除原记录文件"));
        QVERIFY(!option->isChecked());
        QCOMPARE(option->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(firstLine->text(), QStringLiteral("使用本功能前请关闭其它除主程序外所有"));
        QCOMPARE(secondLine->text(), QStringLiteral("子功能,否则在处理中可能会出错."));
        QCOMPARE(start->text(), QStringLiteral("开始...(&Start)"));
        QCOMPARE(start->shortcut(), QKeySequence(Qt::ALT | Qt::Key_S));
        QCOMPARE(closeButton->text(), QStringLiteral("关闭"));
        QCOMPARE(progress->maximum(), 100);
        QVERIFY(progress->isHidden());
    }

    void optionWarning_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("yes keeps the tick") << int(Answer::Yes) << true;
        QTest::newRow("no removes it") << int(Answer::No) << false;
    }
    void optionWarning()
    {
        QFETCH(int, answer);
        QFETCH(bool, ticked);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Trecord_backup window;
        FIND_CHILD(option, QCheckBox, &window, "CheckBox1");
        dialogs.answer(Answer(answer));
        option->click();
        QCOMPARE(option->isChecked(), ticked);
        QCOMPARE(dialogs.texts(), QStringList{Trecord_backup::kWarning});
        if (ticked) {
            option->click(); // removing the tick asks nothing
            QVERIFY(!option->isChecked());
            QVERIFY(dialogs.texts().isEmpty());
        }
    }

    // Both answers at both warnings. A name without extension is kept as typed.
    void start_data()
    {
        QTest::addColumn<QList<int>>("warnings"); // answers, first warning on ticking, then at Start
        QTest::addColumn<bool>("transferred");
        QTest::newRow("plain backup") << QList<int>{} << false;
        QTest::newRow("no at the first warning") << QList<int>{int(Answer::No)} << false;
        QTest::newRow("no at the second warning") << QList<int>{int(Answer::Yes), int(Answer::No)} << false;
        QTest::newRow("transfer") << QList<int>{int(Answer::Yes), int(Answer::Yes)} << true;
    }
    void start()
    {
        QFETCH(QList<int>, warnings);
        QFETCH(bool, transferred);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        const QByteArray original = readFile(store.storePath());
        QVERIFY(original.size() % 100 != 0);
        const QString target = store.filePath(QStringLiteral("备份"));
        // A second name for the record file keeps what it held at its deletion.
        const QString lastContent = store.filePath(QStringLiteral("last-content"));
        QCOMPARE(::link(QFile::encodeName(store.storePath()).constData(), QFile::encodeName(lastContent).constData()),
                 0);
        Trecord_backup window;
        FIND_CHILD(option, QCheckBox, &window, "CheckBox1");
        FIND_CHILD(start, QPushButton, &window, "BitBtn1");
        QSignalSpy ended(&window, &Trecord_backup::transferred);
        if (!warnings.isEmpty()) {
            dialogs.answer(Answer(warnings[0]));
            option->click();
        }
        dialogs.answer(Answer::Ok, target);
        if (warnings.size() > 1)
            dialogs.answer(Answer(warnings[1]));
        dialogs.shown();
        start->click();

        const auto shown = dialogs.shown();
        QCOMPARE(shown.first().kind, Dialogs::Kind::SaveFile);
        QCOMPARE(shown.first().text, QStringLiteral(" 转移文件 (*.pck)"));
        QCOMPARE(readFile(target), original);
        QVERIFY(!QFile::exists(target + ".pck"));
        QCOMPARE(ended.size(), transferred ? 1 : 0);
        QStringList messages;
        for (const auto &box : shown.mid(1))
            messages << box.text;
        if (transferred) {
            QVERIFY(!QFile::exists(store.storePath()));
            QCOMPARE(readFile(lastContent), RecordFile::secondFiller());
            QCOMPARE(messages, (QStringList{Trecord_backup::kWarning,
                                            QStringLiteral("成功转移记录文件到:[ %1 ],并删除原记录文件!\r\n\r\n\r\n"
                                                           "程序将自动关闭!")
                                                .arg(target)}));
            return;
        }
        QCOMPARE(readFile(store.storePath()), original);
        QVERIFY(Store::isOpen());
        QVERIFY(saves(Store::database(), QStringLiteral("20260101120000")));
        if (warnings.size() > 1)
            QCOMPARE(messages, QStringList{Trecord_backup::kWarning}); // nothing else, nothing deleted
        else
            QCOMPARE(messages, QStringList{backupMessage(target)});
        QVERIFY(start->isEnabled());
    }

    void cancelledSaveDialogDoesNothing()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Trecord_backup window;
        FIND_CHILD(start, QPushButton, &window, "BitBtn1");
        dialogs.answer(Answer::Cancel);
        start->click();
        QCOMPARE(dialogs.shown().size(), 1);
        QVERIFY(Store::isOpen());
        QCOMPARE(QDir(store.folder()).entryList(QDir::Files), QStringList{"pad.db"});
    }

    void failedCopyReopensTheStore()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        const QByteArray original = readFile(store.storePath());
        Trecord_backup window;
        FIND_CHILD(start, QPushButton, &window, "BitBtn1");
        dialogs.answer(Answer::Ok, store.filePath(QStringLiteral("gone/copy.pck")));
        start->click();
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1].kind, Dialogs::Kind::Error);
        QVERIFY(shown[1].text.contains(store.filePath(QStringLiteral("gone/copy.pck"))));
        QCOMPARE(readFile(store.storePath()), original);
        QVERIFY(saves(Store::database(), QStringLiteral("20260101120000")));
        QVERIFY(!window.isBusy());
        QVERIFY(start->isEnabled());
    }

    // Handles taken before the backup, as repositories and other windows hold
    // them, work on the reopened connection.
    void handlesTakenBeforeStillSave()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        FakeLauncherHost shell;
        const QSqlDatabase held = shell.database();
        QVERIFY(saves(held, QStringLiteral("20260101100000")));
        Trecord_backup window;
        FIND_CHILD(start, QPushButton, &window, "BitBtn1");
        dialogs.answer(Answer::Ok, store.filePath(QStringLiteral("copy.pck")));
        start->click();
        QCOMPARE(dialogs.texts().last(), backupMessage(store.filePath(QStringLiteral("copy.pck"))));
        QVERIFY(saves(held, QStringLiteral("20260101110000")));
        QVERIFY(saves(shell.database(), QStringLiteral("20260101120000")));
    }

    // While the copy holds the store closed, the other windows take no input:
    // a click on the planner's save, typing and Esc do nothing there, and the
    // typed job is still in the planner to be saved afterwards.
    void copyKeepsOtherWindowsFromTheStore()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Tmain launcher;
        launcher.show();
        FIND_CHILD(schedule, QToolButton, &launcher, "BitBtn2");
        FIND_CHILD(quit, QToolButton, &launcher, "BitBtn5");
        FIND_CHILD(backup, QAction, &launcher, "N4");
        schedule->click();
        auto *planner = launcher.findChild<Tjob_do *>();
        QVERIFY(planner);
        QVERIFY(QTest::qWaitForWindowExposed(planner));
        FIND_CHILD(memo, QPlainTextEdit, planner, "Memo1");
        FIND_CHILD(save, QPushButton, planner, "BitBtn1");
        memo->setPlainText(QStringLiteral("拜访客户"));
        const int jobsBefore = rowCount(QStringLiteral("job_do"));

        backup->trigger();
        auto *window = launcher.findChild<Trecord_backup *>();
        QVERIFY(window);
        FIND_CHILD(start, QPushButton, window, "BitBtn1");
        bool storeWasClosed = false;
        // Run by the events the copy lets through.
        QTimer::singleShot(0, planner, [&] {
            storeWasClosed = !Store::isOpen();
            QTest::mouseClick(save, Qt::LeftButton);
            planner->activateWindow();
            QTest::keyClicks(memo, QStringLiteral("xyz"));
            QTest::keyClick(memo, Qt::Key_Escape);
            QTest::mouseClick(quit, Qt::LeftButton);
        });
        const QString target = store.filePath(QStringLiteral("copy.pck"));
        dialogs.answer(Answer::Ok, target);
        start->click();

        QVERIFY(storeWasClosed);
        QCOMPARE(dialogs.texts(), (QStringList{kFilter, backupMessage(target)}));
        QVERIFY(launcher.isVisible() && !launcher.programEnded());
        QVERIFY(planner->isVisible());
        QCOMPARE(memo->toPlainText(), QStringLiteral("拜访客户"));
        QCOMPARE(rowCount(QStringLiteral("job_do")), jobsBefore);

        // Input reaches the planner again, and its job is saved.
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(rowCount(QStringLiteral("job_do")), jobsBefore + 1);
    }

    // A save that still meets the closed store (here called directly, as no
    // click gets through) says why in plain words and keeps the typed text.
    void saveDuringCopySaysTheStoreIsClosed()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        FakePlannerHost host;
        Tjob_do planner(host);
        planner.show();
        FIND_CHILD(memo, QPlainTextEdit, &planner, "Memo1");
        FIND_CHILD(save, QPushButton, &planner, "BitBtn1");
        memo->setPlainText(QStringLiteral("拜访客户"));
        Trecord_backup window;
        FIND_CHILD(start, QPushButton, &window, "BitBtn1");
        QTimer::singleShot(0, &planner, [save] { save->click(); });
        const QString target = store.filePath(QStringLiteral("copy.pck"));
        dialogs.answer(Answer::Ok, target);
        start->click();
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 3); // the file dialog, the failed save, the backup done
        QCOMPARE(shown[1].kind, Dialogs::Kind::Error);
        QCOMPARE(shown[1].text, StoreError::kNotOpen);
        QCOMPARE(memo->toPlainText(), QStringLiteral("拜访客户"));
    }

    // The copy does not start while an import still writes contacts.
    void noCopyWhileTheStoreIsInUse()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Trecord_backup window;
        window.setStoreInUseCheck([] { return QStringLiteral("busy elsewhere"); });
        FIND_CHILD(start, QPushButton, &window, "BitBtn1");
        start->click();
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("busy elsewhere")});
        QVERIFY(Store::isOpen());
        QVERIFY(!QFile::exists(store.filePath(QStringLiteral("copy.pck"))));
    }

    // From the launcher: a running contact import keeps the store open, and
    // the backup waits for it.
    void noCopyDuringAContactImport()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        QVERIFY(QDir(store.folder()).mkpath(QStringLiteral("pic")));
        QImage photo(4, 4, QImage::Format_RGB32);
        photo.fill(Qt::white);
        QVERIFY(photo.save(store.filePath(QStringLiteral("pic/null_pic.bmp")), "BMP"));
        QFile csv(store.filePath(QStringLiteral("in.csv")));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("name,mobile\r\n");
        for (int i = 0; i < 20; ++i)
            csv.write(QByteArray("person") + QByteArray::number(i) + ",1390000" + QByteArray::number(i) + "\r\n");
        csv.close();

        Tmain launcher;
        launcher.show();
        FIND_CHILD(contacts, QToolButton, &launcher, "BitBtn3");
        FIND_CHILD(backup, QAction, &launcher, "N4");
        contacts->click();
        auto *import = launcher.findChild<ImportPanel *>();
        QVERIFY(import);
        FIND_CHILD(importButton, QPushButton, import, "iImport");
        import->openFile(csv.fileName());
        importButton->click();
        QVERIFY(import->isImporting());

        backup->trigger();
        auto *window = launcher.findChild<Trecord_backup *>();
        QVERIFY(window);
        FIND_CHILD(start, QPushButton, window, "BitBtn1");
        start->click();
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("通讯录正在导入联系人,请等导入完成后再备份或转移记录。")});
        QVERIFY(Store::isOpen());

        QTRY_VERIFY(!import->isImporting());
        QCOMPARE(dialogs.texts(), QStringList());
        const QString target = store.filePath(QStringLiteral("copy.pck"));
        dialogs.answer(Answer::Ok, target);
        start->click();
        QCOMPARE(dialogs.texts(), (QStringList{kFilter, backupMessage(target)}));
    }

    // Close requests that arrive while the copy runs (its own button, the
    // launcher replacing it) are refused; the buttons are off meanwhile.
    void busyWindowRefusesToClose()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        auto *window = new Trecord_backup;
        window->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<Trecord_backup> alive(window);
        window->show();
        FIND_CHILD(option, QCheckBox, window, "CheckBox1");
        FIND_CHILD(start, QPushButton, window, "BitBtn1");
        FIND_CHILD(closeButton, QPushButton, window, "BitBtn2");
        dialogs.answer(Answer::Yes); // the first warning
        option->click();
        dialogs.answer(Answer::Ok, store.filePath(QStringLiteral("copy.pck")));
        bool refusedWhileBusy = false;
        Dialogs::pushResponder([&](const Dialogs::Shown &) { // the second warning
            refusedWhileBusy = window->isBusy() && !start->isEnabled() && !closeButton->isEnabled() && !window->close();
            return Dialogs::Reply{Answer::No, {}, 0};
        });
        // Delivered by the events the copy lets run.
        QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
        start->click();
        QVERIFY(refusedWhileBusy);
        QVERIFY(alive);
        QVERIFY(window->isVisible());
        QVERIFY(closeButton->isEnabled());
        closeButton->click();
        QTRY_VERIFY(alive.isNull());
    }

    void launcherOpensOneWindowBehindThePassword_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("windows");
        QTest::newRow("no password") << QString() << "" << 1;
        QTest::newRow("password no, right entry") << "no"
                                                  << "no" << 1;
        QTest::newRow("password no, empty entry") << "no"
                                                  << "" << 0;
        QTest::newRow("right entry") << "pw"
                                     << "pw" << 1;
        QTest::newRow("wrong entry") << "pw"
                                     << "px" << 0;
    }
    void launcherOpensOneWindowBehindThePassword()
    {
        QFETCH(QString, password);
        QFETCH(QString, entry);
        QFETCH(int, windows);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Tmain launcher;
        launcher.show();
        launcher.setCurrentPassword(passwordOrNone(password));
        FIND_CHILD(menu, QMenu, &launcher, "PopupMenu1");
        FIND_CHILD(item, QAction, menu, "N4");
        for (int i = 0; i < 3; ++i) {
            if (!password.isNull()) // without a password nothing is asked
                dialogs.answer(Answer::Ok, entry);
            item->trigger();
        }
        QTest::qWait(20);
        const auto opened = launcher.findChildren<Trecord_backup *>();
        QCOMPARE(opened.size(), windows);
        if (windows)
            QVERIFY(opened.first()->isVisible() && !opened.first()->isModal());
    }

    // The launcher does not replace a window whose copy runs, and a transfer
    // ends the program.
    void transferFromTheLauncherEndsTheProgram()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Tmain launcher;
        launcher.show();
        FIND_CHILD(menu, QMenu, &launcher, "PopupMenu1");
        FIND_CHILD(item, QAction, menu, "N4");
        item->trigger();
        auto *window = launcher.findChild<Trecord_backup *>();
        QVERIFY(window);
        FIND_CHILD(option, QCheckBox, window, "CheckBox1");
        FIND_CHILD(start, QPushButton, window, "BitBtn1");
        dialogs.answer(Answer::Yes);
        option->click();
        dialogs.answer(Answer::Ok, store.filePath(QStringLiteral("out.pck")));
        Dialogs::pushResponder([&](const Dialogs::Shown &) {
            item->trigger();
            QTest::qWait(20);
            return Dialogs::Reply{Answer::Yes, {}, 0};
        });
        start->click();
        QCOMPARE(launcher.findChildren<Trecord_backup *>(), QList<Trecord_backup *>{window});
        QVERIFY(launcher.programEnded());
        QVERIFY(!QFile::exists(store.storePath()));
        QVERIFY(QFile::exists(store.filePath(QStringLiteral("out.pck"))));
    }
};

QTEST_MAIN(TstRecordBackup)
#include "tst_record_backup.moc"
