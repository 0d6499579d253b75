#include "platform/HomeFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace HomeFolder {

namespace {

QString withSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// A marker written last, so a first start that was cut short is done again.
const QString kSetUpMarker = QStringLiteral(".home-set-up");
const QString kStore = QStringLiteral("pad.db");

// Copies the supplied files the home lacks. QFile::copy never replaces a
// file, and nothing here removes one: whatever the user has stays.
bool copySupplied(const QString &shareDir, const QString &home, QString *error)
{
    for (const QString &relative : kSuppliedFiles) {
        const QString from = QDir(shareDir).filePath(relative);
        const QString to = QDir(home).filePath(relative);
        if (QFileInfo::exists(to))
            continue;
        if (!QFileInfo::exists(from)) {
            if (relative == kStore) {
                *error = QStringLiteral("安装文件不完整: %1").arg(from);
                return false;
            }
            continue; // a missing picture or help page is reported where it is used
        }
        QDir().mkpath(QFileInfo(to).absolutePath());
        if (!QFile::copy(from, to)) {
            *error = QStringLiteral("无法复制 %1 到 %2").arg(from, to);
            return false;
        }
        QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    QFile marker(QDir(home).filePath(kSetUpMarker));
    if (!marker.open(QIODevice::WriteOnly)) {
        *error = marker.errorString();
        return false;
    }
    return true;
}

// Only an install tree puts a share folder of ours beside the executable's
// folder; a portable folder keeps that shape after a transfer took its store.
bool isInstalled(const QString &executableDir, const QString &shareDir)
{
    return !QFileInfo::exists(QDir(executableDir).filePath(kStore)) && QFileInfo(shareDir).isDir();
}

} // namespace

Choice choose(const QString &executableDir, const QString &shareDir, const QString &userDataDir)
{
    Choice choice;
    if (!isInstalled(executableDir, shareDir)) {
        choice.home = withSlash(executableDir);
        return choice;
    }
    choice.installed = true;
    if (QFileInfo::exists(QDir(userDataDir).filePath(kSetUpMarker))) {
        choice.home = withSlash(userDataDir);
        return choice;
    }
    choice.firstStart = true;
    if (!QDir().mkpath(userDataDir)) {
        choice.error = QStringLiteral("无法建立文件夹 %1").arg(userDataDir);
        return choice;
    }
    if (copySupplied(shareDir, userDataDir, &choice.error))
        choice.home = withSlash(userDataDir);
    return choice;
}

Choice chooseForThisProgram()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QString shareDir = QDir(exeDir).filePath(QStringLiteral("../share/velmora"));
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return choose(exeDir, QDir::cleanPath(shareDir), userDir);
}

} // namespace HomeFolder
