#include "app/core/Appearance.h"
#include "app/core/PasswordHash.h"
#include "app/core/PasswordRow.h"
#include "app/core/StartPasswordFlag.h"
#include "app/Tmain.h"
#include "app/Tmain_config.h"
#include "platform/AppPaths.h"
#include "platform/ProfileFile.h"
#include "platform/XdgAutostart.h"
#include "ScriptedDialogs.h"
#include "store/FieldCodec.h"
#include "store/Store.h"
#include "TempStore.h"
#include "tests/app/FakeLauncherHost.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

const QString kProgram = QStringLiteral("/opt/velmora/velmora");

QString profile(const QString &section, const QString &key)
{
    return ProfileFile(AppPaths::profileFile()).read(section, key, QStringLiteral("<none>"));
}

void writeProfile(const QString &section, const QString &key, const QString &value)
{
    QVERIFY(ProfileFile(AppPaths::profileFile()).write(section, key, value));
}

PasswordRow::Values passwordRow()
{
    return PasswordRow(Store::database()).read().valueOr({});
}

int passwordRowCount()
{
    QSqlQuery query(Store::database());
    query.exec(QStringLiteral("SELECT count(*) FROM public_code WHERE pub_id = '2'"));
    return query.next() ? query.value(0).toInt() : -1;
}

StartPasswordFlag::State startFlag()
{
    return StartPasswordFlag(Store::database()).read().valueOr(StartPasswordFlag::State::Unknown);
}

// The dialog and its controls, found by name as a user would find them.
//
//     Config config(shell);
//     VERIFY_OK(config.make());
struct Config
{
    explicit Config(FakeLauncherHost &shell)
        : dialog(shell, nullptr, std::make_unique<XdgAutostart>(kProgram))
    {
    }

    // Shows the dialog and finds its controls; names the first one it lacks.
    Result<void> make()
    {
        dialog.show();
        const Result<void> found[] = {
            Widgets::take(m_time, &dialog, "Edit1"),        Widgets::take(m_password, &dialog, "Edit2"),
            Widgets::take(m_diary, &dialog, "CheckBox1"),   Widgets::take(m_schedule, &dialog, "CheckBox2"),
            Widgets::take(m_skinPath, &dialog, "Edit3"),    Widgets::take(m_choose, &dialog, "BitBtn3"),
            Widgets::take(m_useSkin, &dialog, "CheckBox3"), Widgets::take(m_autostart, &dialog, "CheckBox4"),
            Widgets::take(m_hide, &dialog, "CheckBox5"),    Widgets::take(m_ok, &dialog, "BitBtn1"),
        };
        for (const Result<void> &each : found)
            if (!each)
                return each;
        return {};
    }

    QLineEdit *time() const { return m_time; }
    QLineEdit *password() const { return m_password; }
    QCheckBox *diary() const { return m_diary; }
    QCheckBox *schedule() const { return m_schedule; }
    QLineEdit *skinPath() const { return m_skinPath; }
    QPushButton *choose() const { return m_choose; }
    QCheckBox *useSkin() const { return m_useSkin; }
    QCheckBox *autostart() const { return m_autostart; }
    QCheckBox *hide() const { return m_hide; }
    void ok() const { m_ok->click(); }

    Tmain_config dialog;

private:
    QLineEdit *m_time = nullptr;
    QLineEdit *m_password = nullptr;
    QCheckBox *m_diary = nullptr;
    QCheckBox *m_schedule = nullptr;
    QLineEdit *m_skinPath = nullptr;
    QPushButton *m_choose = nullptr;
    QCheckBox *m_useSkin = nullptr;
    QCheckBox *m_autostart = nullptr;
    QCheckBox *m_hide = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace

class TstSettings : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_config;

    bool autostartEntry() const { return XdgAutostart(kProgram).isEnabled(); }

private slots:
    void init()
    {
        m_config = std::make_unique<QTemporaryDir>();
        QVERIFY(m_config->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
    }

    void layout()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        FakeLauncherHost shell;
        Config config(shell);
        VERIFY_OK(config.make());
        QCOMPARE(config.dialog.windowTitle(), QStringLiteral("设置"));
        // The small-font size at least, larger where this desktop's font needs it.
        QVERIFY(config.dialog.width() >= 656 && config.dialog.height() >= 307);
        QStringList groups;
        for (int i = 1; i <= 4; ++i) {
            FIND_CHILD(group, QGroupBox, &config.dialog, QStringLiteral("GroupBox%1").arg(i));
            groups << group->title();
        }
        QCOMPARE(groups, (QStringList{" 日程安排提醒时间设置  ", " 登陆密码设置  ", " 工具皮肤图案  ", " 其它设置  "}));
        QCOMPARE(config.time()->maxLength(), 5);
        QCOMPARE(config.password()->echoMode(), QLineEdit::Password);
        QCOMPARE(config.autostart()->text(), QStringLiteral("Window 启动自动运行"));
        FIND_CHILD(picture, QLabel, &config.dialog, "Image1");
        QCOMPARE(picture->size(), QSize(73, 209));
    }

    void valuesOnCreationAndShow_data()
    {
        QTest::addColumn<QStringList>("ini"); // bg, alter, hided; empty: no main.ini
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("flags");
        QTest::addColumn<bool>("autostart");
        QTest::addColumn<QString>("shownPassword");
        QTest::addColumn<bool>("skinTicked");
        QTest::addColumn<bool>("hideTicked");
        QTest::newRow("defaults") << QStringList() << QString() << false << false << "" << false << false;
        QTest::newRow("all set") << QStringList{"/pics/a.bmp", "07:30", "1"} << "pw" << true << true << "pw" << true
                                 << true;
        QTest::newRow("hided not 0") << QStringList{"no", "9:5", "2"} << "pw" << false << false << "pw" << false
                                     << true;
        QTest::newRow("password no") << QStringList{"no", "08:00", "0"} << "no" << true << false << "no" << false
                                     << false;
    }
    void valuesOnCreationAndShow()
    {
        QFETCH(QStringList, ini);
        QFETCH(QString, password);
        QFETCH(bool, flags);
        QFETCH(bool, autostart);
        QFETCH(QString, shownPassword);
        QFETCH(bool, skinTicked);
        QFETCH(bool, hideTicked);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        if (!ini.isEmpty()) {
            writeProfile("backgroup", "bg", ini[0]);
            writeProfile("time", "alter", ini[1]);
            writeProfile("system set", "hided", ini[2]);
        }
        if (autostart)
            QVERIFY(XdgAutostart(kProgram).enable());
        FakeLauncherHost shell;
        shell.password = passwordOrNone(password);
        shell.diaryFlag = shell.scheduleFlag = flags;
        Config config(shell);
        VERIFY_OK(config.make());
        QCOMPARE(config.skinPath()->text(), ini.isEmpty() ? QStringLiteral("no") : ini[0]);
        QCOMPARE(config.time()->text(), ini.isEmpty() ? QStringLiteral("09:00") : ini[1]);
        QCOMPARE(config.useSkin()->isChecked(), skinTicked);
        QCOMPARE(config.choose()->isEnabled(), skinTicked);
        QCOMPARE(config.hide()->isChecked(), hideTicked);
        QCOMPARE(config.password()->text(), shownPassword);
        QCOMPARE(config.diary()->isChecked(), flags);
        QCOMPARE(config.schedule()->isChecked(), flags);
        QCOMPARE(config.diary()->isEnabled(), !shownPassword.isEmpty());
        QCOMPARE(config.autostart()->isChecked(), autostart);
    }

    void enablingRules()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        FakeLauncherHost shell;
        Config config(shell);
        VERIFY_OK(config.make());
        for (const QString &text : {QStringLiteral("x"), QStringLiteral("   "), QStringLiteral(" a ")}) {
            config.password()->setText(text);
            const bool enabled = !text.trimmed().isEmpty();
            QCOMPARE(config.diary()->isEnabled(), enabled);
            QCOMPARE(config.schedule()->isEnabled(), enabled);
        }
        config.useSkin()->click();
        QVERIFY(config.choose()->isEnabled());
        config.useSkin()->click();
        QVERIFY(!config.choose()->isEnabled());
    }

    void reminderTimeKeys_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("keys"); // "\b" backspace, "\r" Enter, "\t" Tab
        QTest::addColumn<QString>("result");
        QTest::newRow("0930") << ""
                              << "0930"
                              << "09:0";
        QTest::newRow("letter into empty") << ""
                                           << "a"
                                           << "";
        QTest::newRow("letter after two digits") << ""
                                                 << "09a"
                                                 << "09:";
        QTest::newRow("Enter after two digits") << ""
                                                << "09\r"
                                                << "09:";
        QTest::newRow("backspace after two digits") << ""
                                                    << "09\b"
                                                    << "0";
        QTest::newRow("outer blanks go") << " 0"
                                         << "9"
                                         << "09";
        QTest::newRow("full field") << "08:00"
                                    << "1"
                                    << "08:00";
        QTest::newRow("Tab leaves the field") << "09"
                                              << "\t"
                                              << "09";
    }
    void reminderTimeKeys()
    {
        QFETCH(QString, start);
        QFETCH(QString, keys);
        QFETCH(QString, result);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        FakeLauncherHost shell;
        Config config(shell);
        VERIFY_OK(config.make());
        config.time()->setText(start);
        for (const QChar key : keys) {
            if (key == u'\b')
                QTest::keyClick(config.time(), Qt::Key_Backspace);
            else if (key == u'\r')
                QTest::keyClick(config.time(), Qt::Key_Return);
            else if (key == u'\t')
                QTest::keyClick(config.time(), Qt::Key_Tab);
            else
                QTest::keyClick(config.time(), key.toLatin1());
        }
        QCOMPARE(config.time()->text(), result);
    }

    // A time the planner cannot use is refused before anything is saved; the
    // dialog stays open with the text to mend.
    void badReminderTimeSavesNothing_data()
    {
        QTest::addColumn<QString>("keys"); // typed into the emptied field
        QTest::addColumn<QString>("text"); // set instead when keys is empty
        QTest::newRow("0930 typed") << "0930"
                                    << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("hour 24") << ""
                                 << "24:00";
        QTest::newRow("minute 60") << ""
                                   << "07:60";
        QTest::newRow("short, from main.ini") << ""
                                              << "9:5";
    }
    void badReminderTimeSavesNothing()
    {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        FakeLauncherHost shell;
        Config config(shell);
        VERIFY_OK(config.make());
        QSignalSpy written(&config.dialog, &Tmain_config::settingsWritten);
        config.hide()->click();
        config.password()->setText(QStringLiteral("pw"));
        config.time()->setText(text);
        for (const QChar key : keys)
            QTest::keyClick(config.time(), key.toLatin1());
        const QString typed = config.time()->text();
        config.ok();
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Information);
        QCOMPARE(shown[0].text, SettingsSave::kBadReminderTime);
        QVERIFY(config.dialog.isVisible());
        QCOMPARE(config.time()->text(), typed);
        QCOMPARE(written.size(), 0);
        QVERIFY(!QFile::exists(AppPaths::profileFile()));
        QVERIFY(!passwordRow().exists);
        QVERIFY(!shell.password);

        // The save steps refuse it on their own as well.
        XdgAutostart autostart(kProgram);
        SettingsForm form;
        form.reminderTime = typed;
        form.hideAfterStart = true;
        const Result<void> saved =
            SettingsSave::run(form, ProfileFile(AppPaths::profileFile()), autostart, Store::database(), shell);
        QVERIFY(!saved);
        QVERIFY(!QFile::exists(AppPaths::profileFile()));
    }

    void chooseSkinShowsPreview()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        const QString skin = store.filePath(QStringLiteral("skin.bmp"));
        QImage image(30, 80, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(skin));
        FakeLauncherHost shell;
        Config config(shell);
        VERIFY_OK(config.make());
        config.useSkin()->click();
        config.choose()->click(); // cancelled
        QCOMPARE(config.skinPath()->text(), QStringLiteral("no"));
        dialogs.answer(Dialogs::Answer::Ok, skin);
        config.choose()->click();
        QCOMPARE(config.skinPath()->text(), skin);
        FIND_CHILD(picture, QLabel, &config.dialog, "Image1");
        QVERIFY(!picture->pixmap().isNull());
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].text, QStringLiteral("皮肤文件(*.bmp;*.jpg) (*.bmp *.jpg)"));
    }

    void saveWritesEveryStep()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        writeProfile("user", "note", "kept"); // other sections stay as they are
        FakeLauncherHost shell;
        {
            Config config(shell);
            VERIFY_OK(config.make());
            VERIFY_OK(config.make());
            QSignalSpy written(&config.dialog, &Tmain_config::settingsWritten);
            config.skinPath()->setText(QStringLiteral("/pics/kept.bmp")); // but unticked
            config.hide()->click();
            config.autostart()->click();
            config.time()->setText(QStringLiteral("07:05"));
            config.password()->setText(QStringLiteral(" pw "));
            config.diary()->click();
            config.ok();
            QCOMPARE(dialogs.texts(), QStringList());
            QVERIFY(!config.dialog.isVisible());
            QCOMPARE(written.size(), 1);
        }
        QCOMPARE(profile("backgroup", "bg"), QStringLiteral("no"));
        QCOMPARE(profile("system set", "hided"), QStringLiteral("1"));
        QVERIFY(autostartEntry());
        QCOMPARE(profile("time", "alter"), QStringLiteral("07:05"));
        QCOMPARE(profile("user", "note"), QStringLiteral("kept"));
        PasswordRow::Values row = passwordRow();
        QVERIFY(row.exists);
        QVERIFY(PasswordHash::isHash(row.code));
        QCOMPARE(PasswordHash::verify(row.code, QStringLiteral("pw")), PasswordHash::Check::Match);
        QVERIFY(row.diaryNeedsPassword);
        QVERIFY(!row.scheduleNeedsPassword);
        QSqlQuery fixed(Store::database());
        QVERIFY(fixed.exec(QStringLiteral("SELECT pub_end, pub_static FROM public_code WHERE pub_id = '2'")));
        QVERIFY(fixed.next());
        QCOMPARE(fixed.value(0).toString(), QStringLiteral("%4tw=83QmZRy9!#&:^"));
        QVERIFY(fixed.value(1).toBool());
        QCOMPARE(startFlag(), StartPasswordFlag::State::Set);
        QCOMPARE(shell.password, std::optional<QString>(QStringLiteral("pw")));
        QVERIFY(shell.diaryFlag && !shell.scheduleFlag);

        // A second save edits the row, and unticking removes the log-on entry.
        {
            Config config(shell);
            VERIFY_OK(config.make());
            VERIFY_OK(config.make());
            QCOMPARE(config.password()->text(), QStringLiteral("pw"));
            config.password()->setText(QStringLiteral("新密码"));
            config.schedule()->click();
            config.autostart()->click();
            config.skinPath()->setText(QStringLiteral("/pics/new.bmp"));
            config.useSkin()->click();
            config.ok();
        }
        QCOMPARE(passwordRowCount(), 1);
        row = passwordRow();
        QCOMPARE(PasswordHash::verify(row.code, QStringLiteral("新密码")), PasswordHash::Check::Match);
        QVERIFY(row.diaryNeedsPassword && row.scheduleNeedsPassword);
        QVERIFY(!autostartEntry());
        QCOMPARE(profile("backgroup", "bg"), QStringLiteral("/pics/new.bmp"));
        QCOMPARE(shell.password, std::optional<QString>(QStringLiteral("新密码")));
    }

    // How reminders come: read from main.ini when the dialog opens, written
    // by "确定"; a value the program never writes reads as the default.
    void reminderWay_data()
    {
        QTest::addColumn<QString>("storedWay");
        QTest::addColumn<QString>("storedSnooze");
        QTest::addColumn<int>("shownWay");
        QTest::addColumn<QString>("shownSnooze");
        QTest::addColumn<int>("chosenWay");
        QTest::addColumn<int>("chosenSnooze");
        QTest::addColumn<QString>("savedWay");
        QTest::addColumn<QString>("savedSnooze");
        QTest::newRow("defaults") << "<none>"
                                  << "<none>" << 0 << "10分钟" << 2 << 0 << "notice"
                                  << "5";
        QTest::newRow("kept") << "both"
                              << "30" << 3 << "30分钟" << 1 << 1 << "box"
                              << "10";
        QTest::newRow("unknown values") << "loud"
                                        << "7" << 0 << "10分钟" << 0 << 2 << "auto"
                                        << "30";
    }
    void reminderWay()
    {
        QFETCH(QString, storedWay);
        QFETCH(QString, storedSnooze);
        QFETCH(int, shownWay);
        QFETCH(QString, shownSnooze);
        QFETCH(int, chosenWay);
        QFETCH(int, chosenSnooze);
        QFETCH(QString, savedWay);
        QFETCH(QString, savedSnooze);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        if (storedWay != u"<none>")
            writeProfile("time", "alter_way", storedWay);
        if (storedSnooze != u"<none>")
            writeProfile("time", "alter_later", storedSnooze);
        FakeLauncherHost shell;
        Config config(shell);
        VERIFY_OK(config.make());
        FIND_CHILD(way, QComboBox, &config.dialog, "alterWay");
        FIND_CHILD(snooze, QComboBox, &config.dialog, "alterLater");
        QCOMPARE(way->count(), 4);
        QCOMPARE(way->currentIndex(), shownWay);
        QCOMPARE(snooze->currentText(), shownSnooze);
        way->setCurrentIndex(chosenWay);
        snooze->setCurrentIndex(chosenSnooze);
        config.ok();
        QCOMPARE(dialogs.texts(), QStringList());
        QCOMPARE(profile("time", "alter_way"), savedWay);
        QCOMPARE(profile("time", "alter_later"), savedSnooze);
        const Appearance read = Appearance::read(ProfileFile(AppPaths::profileFile()));
        QCOMPARE(int(read.reminderWay), chosenWay);
        QCOMPARE(read.snoozeMinutes, Appearance::kSnoozeChoices.at(chosenSnooze));
    }

    void blankPasswordClearsTheStartFlagOnly()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        const QString stored = PasswordHash::make(QStringLiteral("pw"), QByteArrayLiteral("fixture-salt-16b"), 10);
        VERIFY_OK(PasswordRow(Store::database()).save(stored, true, true));
        VERIFY_OK(StartPasswordFlag(Store::database()).write(true));
        FakeLauncherHost shell;
        shell.password = QStringLiteral("pw");
        shell.diaryFlag = shell.scheduleFlag = true;
        Config config(shell);
        VERIFY_OK(config.make());
        config.password()->setText(QStringLiteral("   "));
        config.ok();
        QCOMPARE(passwordRow().code, stored);
        QCOMPARE(startFlag(), StartPasswordFlag::State::NotSet);
        QVERIFY(!shell.password);
        QVERIFY(!shell.diaryFlag && !shell.scheduleFlag);
    }

    void unchangedSaveKeepsPasswordAndRewritesOlderForm()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        QString older = FieldCodec::encode(QStringLiteral("abcde"));
        std::reverse(older.begin(), older.end());
        VERIFY_OK(PasswordRow(Store::database()).save(older, true, false));
        FakeLauncherHost shell; // as the password window leaves it
        shell.password = QStringLiteral("abcde");
        shell.diaryFlag = true;
        Config config(shell);
        VERIFY_OK(config.make());
        config.ok();
        const PasswordRow::Values row = passwordRow();
        QVERIFY(PasswordHash::isHash(row.code));
        QCOMPARE(PasswordHash::verify(row.code, QStringLiteral("abcde")), PasswordHash::Check::Match);
        QVERIFY(row.diaryNeedsPassword && !row.scheduleNeedsPassword);
        QCOMPARE(shell.password, std::optional<QString>(QStringLiteral("abcde")));
        QVERIFY(shell.diaryFlag && !shell.scheduleFlag);
    }

    // "no" is a password like any other: shown, and kept by a save that
    // changes nothing, with its flags and the start-up check.
    void passwordNoIsKeptByUnchangedSave()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        VERIFY_OK(
            PasswordRow(Store::database())
                .save(PasswordHash::make(QStringLiteral("no"), QByteArrayLiteral("fixture-salt-16b"), 10), true, true));
        VERIFY_OK(StartPasswordFlag(Store::database()).write(true));
        FakeLauncherHost shell; // as the password window leaves it
        shell.password = QStringLiteral("no");
        shell.diaryFlag = shell.scheduleFlag = true;
        Config config(shell);
        VERIFY_OK(config.make());
        QCOMPARE(config.password()->text(), QStringLiteral("no"));
        QVERIFY(config.diary()->isEnabled() && config.diary()->isChecked());
        config.ok();
        QCOMPARE(dialogs.texts(), QStringList());
        QCOMPARE(PasswordHash::verify(passwordRow().code, QStringLiteral("no")), PasswordHash::Check::Match);
        QVERIFY(passwordRow().diaryNeedsPassword && passwordRow().scheduleNeedsPassword);
        QCOMPARE(startFlag(), StartPasswordFlag::State::Set);
        QCOMPARE(shell.password, std::optional<QString>(QStringLiteral("no")));
        QVERIFY(shell.diaryFlag && shell.scheduleFlag);
    }

    void logOnEntryFailureKeepsDialogOpen()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        QFile blocker(m_config->filePath(QStringLiteral("autostart"))); // a file, not a folder
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        FakeLauncherHost shell;
        Config config(shell);
        VERIFY_OK(config.make());
        QSignalSpy written(&config.dialog, &Tmain_config::settingsWritten);
        config.hide()->click();
        config.autostart()->click();
        config.time()->setText(QStringLiteral("08:15"));
        config.password()->setText(QStringLiteral("pw"));
        config.ok();
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, Dialogs::Kind::Error);
        QVERIFY(config.dialog.isVisible());
        QCOMPARE(written.size(), 1);
        // Steps before the failure are in the file; later ones are not done.
        QCOMPARE(profile("backgroup", "bg"), QStringLiteral("no"));
        QCOMPARE(profile("system set", "hided"), QStringLiteral("1"));
        QCOMPARE(profile("time", "alter"), QStringLiteral("<none>"));
        QVERIFY(!passwordRow().exists);
        QCOMPARE(startFlag(), StartPasswordFlag::State::NotSet);
        QVERIFY(!shell.password);
    }

    void closeSavesNothing()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        FakeLauncherHost shell;
        Config config(shell);
        VERIFY_OK(config.make());
        config.hide()->click();
        config.password()->setText(QStringLiteral("pw"));
        FIND_CHILD(cancel, QPushButton, &config.dialog, "BitBtn2");
        cancel->click();
        QVERIFY(!config.dialog.isVisible());
        QVERIFY(!QFile::exists(AppPaths::profileFile()));
        QVERIFY(!passwordRow().exists);
        QVERIFY(!shell.password);
    }

    void launcherRepaintsAtOnce()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Tmain launcher;
        launcher.show();
        QVERIFY(QTest::qWaitForWindowExposed(&launcher));
        FIND_CHILD(options, QAction, &launcher, "N2");
        options->trigger();
        auto *config = launcher.findChild<Tmain_config *>();
        QVERIFY(config);
        FIND_CHILD(hide, QCheckBox, config, "CheckBox5");
        FIND_CHILD(time, QLineEdit, config, "Edit1");
        FIND_CHILD(ok, QPushButton, config, "BitBtn1");
        hide->click();
        time->setText(QStringLiteral("06:45"));
        ok->click();
        QVERIFY(launcher.autoHideOn());
        QCOMPARE(launcher.defaultReminderTime(), QStringLiteral("06:45"));
        QTRY_VERIFY(launcher.findChildren<Tmain_config *>().isEmpty());
    }
};

QTEST_MAIN(TstSettings)
#include "tst_settings.moc"
