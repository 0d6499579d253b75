#pragma once

#include "sync/core/DavClient.h"
#include "sync/core/SyncEngine.h"
#include "sync/core/SyncSettings.h"

#include <QObject>
#include <QThread>

#include <memory>

// Runs a sync away from the window's thread: a worker thread with a store
// connection and a network client of its own, so the window keeps
// answering while the server is slow. Progress and the outcome come back as
// signals in the owner's thread.
class SyncRunner final : public QObject
{
    Q_OBJECT

public:
    struct Job
    {
        DavAccount account;
        QString storePath;
        QList<SyncKind> kinds; // each with the collection the store keeps for it
        SyncEngine::Options options;
    };

    // The sync the saved settings ask for; why there is none to run.
    static Result<Job> jobFor(const SyncSettings &settings, const std::optional<QString> &password,
                              const QString &storePath, bool diaryNeedsPassword);

    // Lets another thread stop a running sync: the request in flight is
    // cancelled and the sync ends with what it has written.
    class Stopper;

    explicit SyncRunner(QObject *parent = nullptr);
    ~SyncRunner() override; // stops a running sync and waits for it

    bool isRunning() const;
    void start(const Job &job);
    void stop();

    // The same sync in the calling thread, for a process that only syncs.
    static Result<SyncEngine::Report> runHere(const Job &job, const SyncEngine::Progress &progress,
                                              Stopper *stopper = nullptr);
    // The outcome in plain words.
    static QString summary(const SyncEngine::Report &report);

signals:
    void progress(const QString &stage, int done, int total);
    void finished(bool ok, const QString &text);

private:
    QThread *m_thread = nullptr;
    std::shared_ptr<Stopper> m_stopper;
};
