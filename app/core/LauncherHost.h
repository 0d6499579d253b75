#pragma once

#include <QSqlDatabase>
#include <QString>

#include <optional>

// What the launcher's own windows (the settings and the password window)
// need of it: the connection and the password state of this run. The
// launcher implements it; tests pass a fake.
class LauncherHost
{
public:
    virtual ~LauncherHost() = default;

    // The shared connection; stays valid across a backup's close and reopen.
    virtual QSqlDatabase database() const = 0;

    // Empty while no password is set. Any text is a password, "no" included.
    virtual std::optional<QString> currentPassword() const = 0;
    virtual void setCurrentPassword(std::optional<QString> password) = 0;
    virtual bool diaryNeedsPassword() const = 0;
    virtual bool scheduleNeedsPassword() const = 0;
    virtual void setNeedsPassword(bool diary, bool schedule) = 0;
};
