#pragma once

#include "sync/windows/SyncHost.h"

#include <QObject>

#include <functional>

class LauncherHost;
class QTimer;
class SyncRunner;

// The launcher's part in syncing: the one sync runner of the program, the
// sync at start or every few minutes as the settings ask, and what follows
// a sync (its result kept for the sync page, reminders reloaded).
class LauncherSync final : public QObject, public SyncHost
{
    Q_OBJECT

public:
    LauncherSync(LauncherHost &launcher, std::function<void()> recordsChanged, QObject *parent = nullptr);

    // SyncHost
    QSqlDatabase database() const override;
    QString storePath() const override;
    QString profilePath() const override;
    bool diaryNeedsPassword() const override;
    SyncRunner &syncRunner() override { return *m_runner; }
    bool startSync(QString *why) override;

    // Follows the saved settings: a sync now when they ask for one at start
    // (`starting`), and the timer for syncs every few minutes.
    void schedule(bool starting);
    bool isSyncing() const;

private:
    void finished(bool ok, const QString &text);

    LauncherHost &m_launcher;
    std::function<void()> m_recordsChanged;
    SyncRunner *m_runner = nullptr;
    QTimer *m_timer = nullptr;
};
