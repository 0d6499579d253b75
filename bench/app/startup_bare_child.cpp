// The yardstick: a bare Qt Widgets window with one label.
#include "FirstPaint.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Velmora商务记事本"));
    FirstPaint watch;
    label.installEventFilter(&watch);
    label.show();
    return app.exec();
}
