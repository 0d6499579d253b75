// Runs the organiser's own save paths on one pad.db in a loop, from save
// number argv[2] on, and prints "ACK <n>" once save n has returned. It is
// killed from outside at a random moment; it never stops by itself.
// With "hold" in place of the number it plays another program instead: it
// takes the store for writing, prints "HELD" and waits to be killed.
#include "SaveRunner.h"
#include "store/Store.h"

#include <QCoreApplication>

#include <QSqlQuery>

#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const Store::Opened opened = Store::open(QString::fromLocal8Bit(argv[1]));
    if (opened.status != Store::Status::Ready) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(Store::message(opened)));
        return 3;
    }
    if (QByteArray(argv[2]) == "hold") {
        QSqlQuery hold(Store::database());
        if (!hold.exec(QStringLiteral("BEGIN EXCLUSIVE")))
            return 5;
        std::printf("HELD\n");
        std::fflush(stdout);
        for (;;)
            pause();
    }
    for (qint64 n = QByteArray(argv[2]).toLongLong();; ++n) {
        QString error;
        if (!SavePlan::save(Store::database(), n, &error)) {
            std::fprintf(stderr, "save %lld failed: %s\n", n, qPrintable(error));
            return 4;
        }
        std::printf("ACK %lld\n", n);
        std::fflush(stdout);
    }
}
