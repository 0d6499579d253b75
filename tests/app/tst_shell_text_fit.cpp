#include "app/Tabout_note.h"
#include "app/Tmain.h"
#include "app/Tmain_config.h"
#include "app/Tpass_login.h"
#include "app/Trecord_backup.h"
#include "platform/XdgAutostart.h"
#include "schedule/core/ScheduleFormats.h"
#include "ScriptedDialogs.h"
#include "store/Store.h"
#include "TempStore.h"
#include "tests/app/FakeLauncherHost.h"
#include "TextFit.h"
#include "Widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

// Every caption of the shell's own windows can be read whole, at the fonts
// of this desktop and at larger ones.
namespace {

void expectAllReadable(QWidget &window, const QString &shot)
{
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TextFit::saveShot(&window, shot + u' ' + QString::fromLatin1(QTest::currentDataTag()));
    const QStringList faults = TextFit::faults(&window);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

} // namespace

class TstShellTextFit : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;

    static void scales()
    {
        QTest::addColumn<qreal>("fontScale");
        QTest::newRow("desktop font") << 1.0;
        QTest::newRow("larger font") << 1.5;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    }

    void launcher_data() { scales(); }
    void launcher()
    {
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make(false));
        Tmain launcher;
        launcher.show();
        // The clock as the reminder watch writes it.
        FIND_CHILD(clock, QLabel, &launcher, "Label2");
        clock->setText(ScheduleFormats::longTime(QTime(23, 59, 59)));
        expectAllReadable(launcher, QStringLiteral("launcher"));
    }

    void settings_data() { scales(); }
    void settings()
    {
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        FakeLauncherHost shell;
        shell.password = QStringLiteral("pw");
        Tmain_config config(shell, nullptr, std::make_unique<XdgAutostart>(QStringLiteral("/opt/velmora/velmora")));
        config.show();
        expectAllReadable(config, QStringLiteral("settings"));
    }

    void passwordWindow_data() { scales(); }
    void passwordWindow()
    {
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        FakeLauncherHost shell;
        Tpass_login login(shell);
        FIND_CHILD(entry, QLineEdit, &login, "Edit1");
        FIND_CHILD(cancel, QPushButton, &login, "BitBtn2");
        QTimer::singleShot(0, &login, [&] {
            entry->setText(QStringLiteral("密码password"));
            expectAllReadable(login, QStringLiteral("password"));
            cancel->click();
        });
        login.exec();
    }

    void backupWindow_data() { scales(); }
    void backupWindow()
    {
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Trecord_backup window;
        FIND_CHILD(start, QPushButton, &window, "BitBtn1");
        window.show();
        expectAllReadable(window, QStringLiteral("backup"));
        // And while it copies, with the progress bar shown.
        bool checked = false;
        QTimer::singleShot(0, &window, [&] {
            expectAllReadable(window, QStringLiteral("backup copying"));
            checked = true;
        });
        dialogs.answer(Dialogs::Answer::Ok, store.filePath(QStringLiteral("copy.pck")));
        start->click();
        QVERIFY(checked);
    }

    void aboutWindow_data() { scales(); }
    void aboutWindow()
    {
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Tabout_note about;
        about.show();
        expectAllReadable(about, QStringLiteral("about"));
    }
};

QTEST_MAIN(TstShellTextFit)
#include "tst_shell_text_fit.moc"
