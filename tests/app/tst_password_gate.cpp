#include "app/core/PasswordHash.h"
#include "app/core/PasswordRow.h"
#include "app/Tmain.h"
#include "app/Tmain_config.h"
#include "app/Tpass_login.h"
#include "ScriptedDialogs.h"
#include "store/FieldCodec.h"
#include "store/Store.h"
#include "TempStore.h"
#include "tests/app/FakeLauncherHost.h"
#include "Widgets.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <functional>

namespace {

const QString kWrong = QStringLiteral("1.密码输入错误,请检查后重新输入(3次错误后,程序自动关闭).....");
const QString kBroken =
    QStringLiteral("2.程序发生严重错误,请与本软件开发公司 Velmora计算机技术有限公司联系.....程序即将关闭.....");
const QString kCancel = QStringLiteral("<取消>");

QString quickHash(const QString &password)
{
    return PasswordHash::make(password, QByteArrayLiteral("fixture-salt-16b"), 10);
}

QString olderForm(const QString &password)
{
    QString stored = FieldCodec::encode(password);
    std::reverse(stored.begin(), stored.end());
    return stored;
}

void setStartFlag(const QString &text)
{
    QSqlQuery query(Store::database());
    if (text.isNull()) {
        query.prepare(QStringLiteral("DELETE FROM area WHERE father = '671000'"));
    } else {
        query.prepare(QStringLiteral("UPDATE area SET area = ? WHERE father = '671000'"));
        query.addBindValue(text);
    }
    QVERIFY(query.exec());
}

void putPasswordRow(const QString &code, bool diary, bool schedule)
{
    VERIFY_OK(PasswordRow(Store::database()).save(code, diary, schedule));
}

// Runs `steps` on the password window while it holds up start-up.
void whenLoginShows(bool *seen, std::function<void(Tpass_login *)> steps)
{
    QTimer::singleShot(0, qApp, [seen, steps] {
        if (auto *login = qobject_cast<Tpass_login *>(QApplication::activeModalWidget())) {
            *seen = true;
            steps(login);
        }
    });
}

void enter(Tpass_login *login, const QString &entry)
{
    if (entry == kCancel) {
        FIND_CHILD(cancel, QPushButton, login, "BitBtn2");
        cancel->click();
        return;
    }
    FIND_CHILD(text, QLineEdit, login, "Edit1");
    FIND_CHILD(ok, QPushButton, login, "BitBtn1");
    text->setText(entry);
    ok->click();
}

} // namespace

class TstPasswordGate : public QObject
{
    Q_OBJECT

private slots:
    // A program end tells every event loop to quit, and the next modal loop
    // would return at once; one turn of the main loop clears that.
    void cleanup()
    {
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }

    void startUpCheck_data()
    {
        QTest::addColumn<QString>("flag");
        QTest::addColumn<bool>("asks");
        QTest::newRow("no password") << "乌苏尔市" << false;
        QTest::newRow("password set") << "乌苏尔尔市" << true;
        QTest::newRow("other text") << "乌苏尔" << false;
        QTest::newRow("no row") << QString() << false;
    }
    void startUpCheck()
    {
        QFETCH(QString, flag);
        QFETCH(bool, asks);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        putPasswordRow(quickHash(QStringLiteral("pw")), false, false);
        setStartFlag(flag);
        Tmain launcher;
        bool seen = false;
        whenLoginShows(&seen, [](Tpass_login *login) { enter(login, QStringLiteral("pw")); });
        launcher.show();
        QCOMPARE(seen, asks);
        QVERIFY(!launcher.programEnded());
        QCOMPARE(launcher.currentPassword(), asks ? std::optional<QString>(QStringLiteral("pw")) : std::nullopt);
        QCOMPARE(dialogs.texts(), QStringList());
    }

    void passwordWindow_data()
    {
        QTest::addColumn<QString>("stored"); // empty: no password row
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("passed");
        QTest::addColumn<QStringList>("messages");
        const QString pw = quickHash(QStringLiteral("pw"));
        QTest::newRow("right") << pw << QStringList{"pw"} << true << QStringList();
        QTest::newRow("trailing blank is wrong") << pw << QStringList{"pw ", "pw"} << true << QStringList{kWrong};
        QTest::newRow("fourth press ends, even when right")
            << pw << QStringList{"a", "B", "pW", "pw"} << false << QStringList{kWrong, kWrong, kWrong};
        QTest::newRow("cancel") << pw << QStringList{kCancel} << false << QStringList();
        QTest::newRow("older form") << olderForm("abcde") << QStringList{"abcde"} << true << QStringList();
        QTest::newRow("neither form") << "abc def" << QStringList{"x"} << false << QStringList{kBroken};
        QTest::newRow("no row") << QString() << QStringList{"", "", "", ""} << false
                                << QStringList{kWrong, kWrong, kWrong};
    }
    void passwordWindow()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, entries);
        QFETCH(bool, passed);
        QFETCH(QStringList, messages);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        if (!stored.isEmpty())
            putPasswordRow(stored, true, false);
        setStartFlag(QStringLiteral("乌苏尔尔市"));
        Tmain launcher;
        bool seen = false;
        whenLoginShows(&seen, [entries](Tpass_login *login) {
            for (const QString &entry : entries)
                enter(login, entry.isEmpty() ? QStringLiteral("pw") : entry);
        });
        launcher.show();
        QVERIFY(seen);
        QCOMPARE(dialogs.texts(), messages);
        QCOMPARE(launcher.programEnded(), !passed);
        if (passed) {
            QCOMPARE(launcher.currentPassword(), entries.last());
            QVERIFY(launcher.diaryNeedsPassword());
            QVERIFY(!launcher.scheduleNeedsPassword());
        }
        QTRY_VERIFY(launcher.findChildren<Tpass_login *>().isEmpty());
    }

    // A store whose start-up flag or password row cannot be read is damaged:
    // the program ends instead of starting without the password.
    void unreadableStoreEndsTheProgram_data()
    {
        QTest::addColumn<QStringList>("damage");
        QTest::newRow("start-up flag") << QStringList{
            QStringLiteral("ALTER TABLE area RENAME COLUMN father TO father_gone")};
        // The row's password cannot be computed: reading it fails in the engine.
        QTest::newRow("password row") << QStringList{
            QStringLiteral("ALTER TABLE public_code RENAME TO public_code_rows"),
            QStringLiteral("CREATE VIEW public_code AS SELECT pub_id, abs(-9223372036854775808) AS pub_code, "
                           "pub_end, pub_static, pub_static_do_n, pub_static_do_d FROM public_code_rows")};
    }
    void unreadableStoreEndsTheProgram()
    {
        QFETCH(QStringList, damage);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        putPasswordRow(quickHash(QStringLiteral("pw")), true, true);
        setStartFlag(QStringLiteral("乌苏尔尔市"));
        for (const QString &statement : damage) {
            QSqlQuery query(Store::database());
            QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
        }
        Tmain launcher;
        bool seen = false;
        whenLoginShows(&seen, [](Tpass_login *login) { enter(login, QStringLiteral("pw")); });
        launcher.show();
        QVERIFY(launcher.programEnded());
        QCOMPARE(launcher.exitCode(), 1);
        QVERIFY(!launcher.currentPassword());
        const QStringList texts = dialogs.texts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].startsWith(QStringLiteral("记录文件被破坏,程序无法运行,即将关闭...\n")),
                 qPrintable(texts[0]));
        QVERIFY(texts[0].size() > 30); // the engine's reason follows
    }

    void passwordWindowClosesOnlyThroughItsButtons()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        putPasswordRow(quickHash(QStringLiteral("pw")), false, false);
        setStartFlag(QStringLiteral("乌苏尔尔市"));
        Tmain launcher;
        bool seen = false;
        bool stillOpen = false;
        bool blankDisables = false;
        whenLoginShows(&seen, [&](Tpass_login *login) {
            FIND_CHILD(entry, QLineEdit, login, "Edit1");
            FIND_CHILD(ok, QPushButton, login, "BitBtn1");
            QCOMPARE(entry->echoMode(), QLineEdit::Normal);
            entry->setText(QStringLiteral("  "));
            blankDisables = !ok->isEnabled();
            QTest::keyClick(login, Qt::Key_Escape);
            login->close();
            stillOpen = login->isVisible();
            enter(login, QStringLiteral("pw"));
        });
        launcher.show();
        QVERIFY(seen);
        QVERIFY(blankDisables);
        QVERIFY(stillOpen);
        QVERIFY(!launcher.programEnded());
    }

    // Which launcher commands ask for the password.
    void guards_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("diary");
        QTest::addColumn<bool>("schedule");
        QTest::addColumn<bool>("asks");
        QTest::newRow("diary, flag clear") << "BitBtn1"
                                           << "pw" << false << true << false;
        QTest::newRow("diary, flag set") << "BitBtn1"
                                         << "pw" << true << false << true;
        QTest::newRow("diary, password no") << "BitBtn1"
                                            << "no" << true << false << true;
        QTest::newRow("schedule, flag clear") << "BitBtn2"
                                              << "pw" << true << false << false;
        QTest::newRow("schedule, flag set") << "BitBtn2"
                                            << "pw" << false << true << true;
        QTest::newRow("options, no password") << "N2" << QString() << false << false << false;
        QTest::newRow("options, password") << "N2"
                                           << "pw" << false << false << true;
        QTest::newRow("options, password no") << "N2"
                                              << "no" << false << false << true;
        QTest::newRow("backup, no password") << "N4" << QString() << false << false << false;
        QTest::newRow("backup, password") << "N4"
                                          << "pw" << false << false << true;
        QTest::newRow("backup, password no") << "N4"
                                             << "no" << false << false << true;
    }
    void guards()
    {
        QFETCH(QString, command);
        QFETCH(QString, password);
        QFETCH(bool, diary);
        QFETCH(bool, schedule);
        QFETCH(bool, asks);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Tmain launcher;
        launcher.setCurrentPassword(passwordOrNone(password));
        launcher.setNeedsPassword(diary, schedule);
        // A command is a launcher button or a menu item.
        if (auto *button = Widgets::find<QToolButton>(&launcher, command)) {
            button->click();
        } else {
            FIND_CHILD(item, QAction, &launcher, command);
            item->trigger();
        }
        const auto shown = dialogs.shown();
        const bool asked = !shown.isEmpty() && shown.first().kind == Dialogs::Kind::Input;
        QCOMPARE(asked, asks);
        if (asked)
            QCOMPARE(shown.first().title, QStringLiteral("安全密码输入"));
    }

    void optionsOpenModalOnlyWithoutPassword_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("opened"); // -1 none, 0 modeless, 1 modal
        QTest::newRow("no password") << QString() << "" << 1;
        QTest::newRow("right entry") << "pw"
                                     << "pw" << 0;
        QTest::newRow("wrong entry") << "pw"
                                     << "pw " << -1;
        QTest::newRow("password no, right entry") << "no"
                                                  << "no" << 0;
        QTest::newRow("password no, empty entry") << "no"
                                                  << "" << -1;
    }
    void optionsOpenModalOnlyWithoutPassword()
    {
        QFETCH(QString, password);
        QFETCH(QString, entry);
        QFETCH(int, opened);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Tmain launcher;
        launcher.setCurrentPassword(passwordOrNone(password));
        FIND_CHILD(options, QAction, &launcher, "N2");
        for (int i = 0; i < 3; ++i) {
            if (!password.isNull()) // without a password nothing is asked
                dialogs.answer(Dialogs::Answer::Ok, entry);
            options->trigger();
        }
        QTest::qWait(20);
        const auto configs = launcher.findChildren<Tmain_config *>();
        if (opened < 0) {
            QVERIFY(configs.isEmpty());
            QVERIFY(dialogs.texts().contains(QStringLiteral("1.密码输入错误,请检查后重新输入.....")));
            return;
        }
        QCOMPARE(configs.size(), 1);
        QVERIFY(configs.first()->isVisible());
        QCOMPARE(configs.first()->isModal(), opened == 1);
    }
};

QTEST_MAIN(TstPasswordGate)
#include "tst_password_gate.moc"
