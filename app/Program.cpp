#include "app/Program.h"

#include "app/Tmain.h"
#include "platform/AppPaths.h"
#include "platform/HomeFolder.h"
#include "platform/SingleInstance.h"
#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int runOrganiser(QApplication &app, const std::function<void(Tmain &)> &launcherCreated)
{
    app.setApplicationName(QStringLiteral("velmora"));
    app.setApplicationDisplayName(AppPaths::kApplicationTitle);

    // A guard that cannot be made (no writable runtime folder) does not keep
    // the organiser from starting: only a copy that runs does.
    SingleInstance guard;
    if (guard.acquire() == SingleInstance::Outcome::HeldByAnother) {
        Dialogs::plain(nullptr, QStringLiteral("Velmora商务记事本已在运行中..."), QString());
        return 0;
    }

    if (!AppPaths::isHomeSet()) {
        const HomeFolder::Choice home = HomeFolder::chooseForThisProgram();
        if (home.home.isEmpty()) {
            Dialogs::error(nullptr, home.error);
            return 1;
        }
        AppPaths::setHome(home.home);
    }

    // Standard buttons in Chinese.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTranslator);

    Tmain launcher;
    if (launcherCreated)
        launcherCreated(launcher);
    launcher.show();
    if (launcher.programEnded())
        return launcher.exitCode();
    return app.exec();
}
