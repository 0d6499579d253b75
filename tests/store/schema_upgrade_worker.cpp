// Runs the store's upgrade on one file and dies by SIGKILL after the first
// step has written its rows and before it commits, as a power cut or a kill
// in the middle of an upgrade would.
// Usage: schema_upgrade_worker <pad.db>

#include "store/SchemaSteps.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <csignal>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(QString::fromLocal8Bit(argv[1]));
    if (!db.open())
        return 1;
    QSqlQuery pragma(db);
    // A tiny page cache makes the step spill its pages into the file before
    // the commit, so the kill leaves a half-written file and a hot journal.
    pragma.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    pragma.exec(QStringLiteral("PRAGMA cache_size=1"));
    const Result<void> upgraded =
        Schema::upgrade(db, db.databaseName(), Schema::steps(), [](int) { std::raise(SIGKILL); });
    return upgraded.ok() ? 3 : 4; // never reached while a step runs
}
