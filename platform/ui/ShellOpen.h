#pragma once
#include <functional>
#include <QString>

// Opens a file with the desktop's default handler for its type.
namespace ShellOpen {
// False when no handler could be started.
bool openFile(const QString &path);
// ---- Test seam: replaces the desktop (an empty function restores it). ----
void setOpener(std::function<bool(const QString &path)> opener);
} // namespace ShellOpen
