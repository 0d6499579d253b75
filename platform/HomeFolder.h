#pragma once

#include <QString>
#include <QStringList>

// Chooses the folder that holds pad.db, main.ini, pic/ and sample/.
//
// Installed: the executable stands in the install tree, beside a share folder
// holding the supplied files (bin/ next to share/velmora/). The user's data
// folder is the home; on the first start it gets every supplied file it does
// not have yet. A file already there (a store the user brought from another
// machine, say) is never replaced. A home that was set up before is left as
// it is: when pad.db has gone from it (a transfer deletes it), the start
// checks report the missing store instead of an empty one silently coming back.
// Portable: anywhere else (the build tree, a folder the user unpacked), the
// executable's own folder is the home, with or without its pad.db. So a
// portable folder that lost its store still counts as portable, and the start
// checks report the store as lost.
namespace HomeFolder {

struct Choice
{
    QString home; // with a trailing slash; empty when it could not be set up
    bool installed = false;
    bool firstStart = false;
    QString error; // why the home could not be set up
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
