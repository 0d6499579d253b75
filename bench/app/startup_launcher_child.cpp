// The organiser's own start, with its home set to argv[1] and a watch on the
// launcher's panel that reports the first paint.
#include "app/Program.h"
#include "app/Tmain.h"
#include "FirstPaint.h"
#include "platform/AppPaths.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc > 1)
        AppPaths::setHome(QString::fromLocal8Bit(argv[1]));
    FirstPaint watch;
    return runOrganiser(app, [&watch](Tmain &launcher) {
        launcher.findChild<QWidget *>(QStringLiteral("Panel1"))->installEventFilter(&watch);
    });
}
