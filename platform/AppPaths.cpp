#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>

namespace AppPaths {

namespace {

QString &homeOverride()
{
    static QString folder;
    return folder;
}

QString withSlash(QString folder)
{
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

QString home()
{
    if (!homeOverride().isEmpty())
        return homeOverride();
    return withSlash(QCoreApplication::applicationDirPath());
}

QString file(const QString &relative)
{
    return home() + relative;
}

void setHome(const QString &folder)
{
    homeOverride() = folder.isEmpty() ? QString() : withSlash(QDir::cleanPath(folder));
}

bool isHomeSet()
{
    return !homeOverride().isEmpty();
}

QString storeFile()
{
    return file(QStringLiteral("pad.db"));
}

QString profileFile()
{
    return file(QStringLiteral("main.ini"));
}

} // namespace AppPaths
