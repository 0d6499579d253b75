#include "app/Tabout_note.h"
#include "app/Tmain.h"
#include "diary/windows/Tnote_pad.h"
#include "platform/AppPaths.h"
#include "platform/ProfileFile.h"
#include "platform/ui/WindowOpener.h"
#include "ScriptedDialogs.h"
#include "store/Store.h"
#include "TempStore.h"
#include "Widgets.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>

class TstLauncher : public QObject
{
    Q_OBJECT

    void writeProfile(const QString &section, const QString &key, const QString &value)
    {
        QVERIFY(ProfileFile(AppPaths::profileFile()).write(section, key, value));
    }

private slots:
    void startsOnSuppliedStore()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Tmain launcher;
        launcher.show();
        QVERIFY(!launcher.programEnded());
        QVERIFY(Store::isOpen());
        QCOMPARE(dialogs.shown().size(), 0);
        QVERIFY(!launcher.currentPassword());
        QCOMPARE(launcher.size(), QSize(145, 482));
        QCOMPARE(launcher.windowTitle(), QStringLiteral("Velmora商务记事本"));
    }

    void buttonsAndMenu()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Tmain launcher;
        const QStringList captions{"记事本", "日程安排", "通讯录", "百宝箱", "退出记事本"};
        // One under the other from y 24 at x 16, at least 113 by 89 each:
        // as tall as the font needs.
        int nextTop = 24;
        for (int i = 0; i < captions.size(); ++i) {
            FIND_CHILD(button, QToolButton, &launcher, QStringLiteral("BitBtn%1").arg(i + 1));
            QCOMPARE(button->text(), captions[i]);
            QCOMPARE(button->pos(), QPoint(16, nextTop));
            QVERIFY(button->width() >= 113 && button->height() >= 89);
            QVERIFY(button->height() >= button->sizeHint().height());
            QCOMPARE(button->iconSize(), QSize(64, 64));
            nextTop = button->geometry().bottom() + 1;
        }
        QVERIFY(nextTop <= launcher.height());
        FIND_CHILD(version, QLabel, &launcher, "Label1");
        FIND_CHILD(clock, QLabel, &launcher, "Label2");
        FIND_CHILD(statusBar, QWidget, &launcher, "sb4");
        FIND_CHILD(menu, QMenu, &launcher, "PopupMenu1");
        QCOMPARE(version->text(), QStringLiteral("1.21"));
        QVERIFY(clock->text().isEmpty());
        QVERIFY(statusBar->isHidden());
        QStringList items;
        for (QAction *action : menu->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(items, (QStringList{"自动隐藏", "选项", "同步", "-", "备份或转移记录", "-", "关于本记事本"}));
    }

    void missingStoreEndsTheProgram()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        QFile::remove(store.storePath());
        Tmain launcher;
        launcher.show();
        QVERIFY(launcher.programEnded());
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("程序记录文件丢失,程序无法运行,即将关闭...")});
        QVERIFY(!QFile::exists(store.storePath()));
    }

    void missingSkinIsReportedOnceWithoutALoop()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        const QString skin = store.filePath(QStringLiteral("gone.bmp"));
        writeProfile(QStringLiteral("backgroup"), QStringLiteral("bg"), skin);
        Tmain launcher;
        launcher.show();
        QVERIFY(QTest::qWaitForWindowExposed(&launcher));
        launcher.repaint();
        QTest::qWait(20);
        launcher.repaint(); // the repaint that dismissing the box causes
        QTest::qWait(20);
        QCOMPARE(dialogs.texts(),
                 QStringList{QStringLiteral("皮肤文件:%1不存在,请检查,记事本将用取消皮肤功能").arg(skin)});
        FIND_CHILD(picture, QLabel, &launcher, "Image1");
        QVERIFY(picture->isHidden());
        // The setting is left as it was, and a forced repaint reports it again.
        QCOMPARE(ProfileFile(AppPaths::profileFile()).read("backgroup", "bg", "no"), skin);
        launcher.refreshAppearance();
        QTest::qWait(20);
        QCOMPARE(dialogs.texts().size(), 1);
    }

    void unreadableSkinShowsErrorBox()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        const QString skin = store.filePath(QStringLiteral("broken.jpg"));
        QFile file(skin);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        file.close();
        writeProfile(QStringLiteral("backgroup"), QStringLiteral("bg"), skin);
        Tmain launcher;
        launcher.show();
        QVERIFY(QTest::qWaitForWindowExposed(&launcher));
        launcher.repaint();
        QTest::qWait(20);
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Error);
    }

    void skinIsShownAtItsOwnSize_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("bmp") << "bmp";
        QTest::newRow("jpeg") << "jpg";
    }
    void skinIsShownAtItsOwnSize()
    {
        QFETCH(QString, format);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        const QString skin = store.filePath(QStringLiteral("skin.") + format);
        QImage image(60, 40, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(skin));
        writeProfile(QStringLiteral("backgroup"), QStringLiteral("bg"), skin);
        Tmain launcher;
        launcher.show();
        QVERIFY(QTest::qWaitForWindowExposed(&launcher));
        launcher.repaint();
        FIND_CHILD(picture, QLabel, &launcher, "Image1");
        QVERIFY(picture->isVisible());
        QCOMPARE(picture->size(), QSize(60, 40));
        QCOMPARE(dialogs.shown().size(), 0);
    }

    void paintReadsReminderTimeAndHide()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        writeProfile(QStringLiteral("time"), QStringLiteral("alter"), QStringLiteral("07:45"));
        writeProfile(QStringLiteral("system set"), QStringLiteral("hided"), QStringLiteral("1"));
        Tmain launcher;
        QCOMPARE(launcher.defaultReminderTime(), QStringLiteral("09:00"));
        launcher.show();
        QVERIFY(QTest::qWaitForWindowExposed(&launcher));
        launcher.repaint();
        QCOMPARE(launcher.defaultReminderTime(), QStringLiteral("07:45"));
        QVERIFY(launcher.autoHideOn());
        QCOMPARE(launcher.savedPosition(), launcher.pos());
        // Removing the tick lasts until the next paint.
        FIND_CHILD(menu, QMenu, &launcher, "PopupMenu1");
        menu->actions().first()->trigger();
        QVERIFY(!launcher.autoHideOn());
        launcher.refreshAppearance();
        QVERIFY(launcher.autoHideOn());
    }

    void aboutByReplaceLeavesOneWindow()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Tmain launcher;
        FIND_CHILD(menu, QMenu, &launcher, "PopupMenu1");
        QAction *about = menu->actions().last();
        for (int i = 0; i < 3; ++i)
            about->trigger();
        QTest::qWait(20);
        const auto opened = launcher.findChildren<Tabout_note *>();
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.first()->isVisible());
    }

    void aboutWithoutPictureFileStillShowsOne()
    {
        ScriptedDialogs dialogs;
        TempStore store; // no pic/copy.bmp in this home
        VERIFY_OK(store.make(false));
        Tabout_note about;
        about.show();
        FIND_CHILD(picture, QLabel, &about, "Image1");
        QVERIFY(!picture->pixmap().isNull());
    }

    void restoreOrCreateRestoresMinimised()
    {
        QPointer<QWidget> ref;
        int created = 0;
        auto make = [&] {
            ++created;
            return new QWidget;
        };
        WindowOpener::restoreOrCreate(ref, make);
        ref->showMinimized();
        WindowOpener::restoreOrCreate(ref, make);
        QCOMPARE(created, 1);
        QVERIFY(!(ref->windowState() & Qt::WindowMinimized));
        ref->close(); // deletes itself
        QTRY_VERIFY(ref.isNull());
    }

    void prompt_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("passed");
        QTest::addColumn<int>("messages");
        QTest::newRow("right") << int(Dialogs::Answer::Ok) << "pw" << true << 1;
        QTest::newRow("trailing blank") << int(Dialogs::Answer::Ok) << "pw " << false << 2;
        QTest::newRow("cancel") << int(Dialogs::Answer::Cancel) << "" << false << 1;
    }
    void prompt()
    {
        QFETCH(int, answer);
        QFETCH(QString, entry);
        QFETCH(bool, passed);
        QFETCH(int, messages);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Tmain launcher;
        launcher.setCurrentPassword(QStringLiteral("pw"));
        dialogs.answer(Dialogs::Answer(answer), entry);
        QCOMPARE(launcher.passPrompt(), passed);
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), messages);
        QCOMPARE(shown[0].title, QStringLiteral("安全密码输入"));
        if (messages == 2)
            QCOMPARE(shown[1].text, QStringLiteral("1.密码输入错误,请检查后重新输入....."));
    }
    void diaryButtonKeepsOneEditor()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Tmain launcher;
        launcher.show();
        FIND_CHILD(diary, QToolButton, &launcher, "BitBtn1");
        diary->click();
        const auto opened = launcher.findChildren<Tnote_pad *>();
        QCOMPARE(opened.size(), 1);
        Tnote_pad *editor = opened.first();
        editor->showMinimized();
        diary->click();
        QCOMPARE(launcher.findChildren<Tnote_pad *>(), QList<Tnote_pad *>{editor});
        QVERIFY(editor->isVisible() && !editor->isMinimized());
        QCOMPARE(editor->windowTitle(), QStringLiteral("记事本"));
    }
};

QTEST_MAIN(TstLauncher)
#include "tst_launcher.moc"
