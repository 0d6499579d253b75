#pragma once

#include <QString>

// Where the program finds its files: pad.db, main.ini, pic/ and sample/.
// The home folder is the executable directory unless set otherwise.
namespace AppPaths {

// With a trailing slash.
QString home();
QString file(const QString &relative);
void setHome(const QString &folder);
// True once setHome() was given a folder.
bool isHomeSet();

QString storeFile();   // pad.db
QString profileFile(); // main.ini

inline const QString kApplicationTitle = QStringLiteral("Velmora商务记事本");

} // namespace AppPaths
