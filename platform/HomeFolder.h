#pragma once

#include <QString>
#include <QStringList>

// Chooses the folder that holds pad.db, main.ini, pic/ and sample/.
//
// Portable: pad.db stands beside the executable (the build tree, or a folder
// the user unpacked); everything stays there.
// Installed: otherwise the user's data folder is the home. On the first start
// the supplied files are copied there from the installed share folder. A home
// that was set up before keeps what it has: when pad.db has gone from it (a
// transfer deletes it), the start checks report the missing store instead of
// an empty one silently coming back.
namespace HomeFolder {

struct Choice
{
    QString home;      // with a trailing slash; empty when it could not be set up
    bool installed = false;
    bool firstStart = false;
    QString error;     // why the home could not be set up
};

// `executableDir`: the running program's folder; `shareDir`: where an
// installed copy keeps its supplied files; `userDataDir`: the user's data folder.
Choice choose(const QString &executableDir, const QString &shareDir, const QString &userDataDir);

// The same, with the real folders of this machine.
Choice chooseForThisProgram();

// The supplied files copied on the first start, relative to the share folder.
inline const QStringList kSuppliedFiles = {
    QStringLiteral("pad.db"),
    QStringLiteral("pic/copy.bmp"),
    QStringLiteral("pic/null_pic.bmp"),
    QStringLiteral("sample/test123.htm"),
};

} // namespace HomeFolder
