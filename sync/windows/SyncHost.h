#pragma once

#include <QSqlDatabase>
#include <QString>

class SyncRunner;

// What the sync page needs of the launcher: the store, main.ini, whether
// the diary is behind the password, the one sync runner of the program, and
// word that a sync changed records (open windows and reminders reload).
class SyncHost
{
public:
    virtual ~SyncHost() = default;
    virtual QSqlDatabase database() const = 0;
    virtual QString storePath() const = 0;
    virtual QString profilePath() const = 0;
    virtual bool diaryNeedsPassword() const = 0;
    virtual SyncRunner &syncRunner() = 0;
    // Starts a sync with the saved settings; false with the reason when it
    // cannot start.
    virtual bool startSync(QString *why) = 0;
};
