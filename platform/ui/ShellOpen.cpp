#include "platform/ui/ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace {
std::function<bool(const QString &)> &opener()
{
    static std::function<bool(const QString &)> current;
    return current;
}
} // namespace

namespace ShellOpen {

bool openFile(const QString &path)
{
    if (opener())
        return opener()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void setOpener(std::function<bool(const QString &path)> replacement)
{
    opener() = std::move(replacement);
}

} // namespace ShellOpen
