// A process that only syncs one store, for the test that kills it at any
// moment: sync_worker STORE SERVER USER PASSWORD. Exits 0 after a whole sync.
#include "sync/core/SyncRunner.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: sync_worker STORE SERVER USER PASSWORD\n");
        return 2;
    }
    SyncRunner::Job job;
    job.storePath = args.at(1);
    job.account.server = QUrl(args.at(2));
    job.account.user = args.at(3);
    job.account.password = args.at(4);
    job.kinds = {SyncKind::Contact, SyncKind::Job, SyncKind::Note};
    const Result<SyncEngine::Report> report = SyncRunner::runHere(job, {});
    if (!report) {
        std::fprintf(stderr, "%s\n", qPrintable(report.error()));
        return 1;
    }
    return 0;
}
