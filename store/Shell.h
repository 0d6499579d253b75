#pragma once

#include <QSqlDatabase>
#include <QString>

#include <optional>

// What a subsystem's windows need of the program around them. The launcher
// implements it; tests pass a fake. No subsystem includes the launcher.
class Shell
{
public:
    virtual ~Shell() = default;

    // The shared connection; stays valid across a backup's close and reopen.
    virtual QSqlDatabase database() const = 0;

    // Empty while no password is set. Any text is a password, "no" included.
    virtual std::optional<QString> currentPassword() const = 0;
    virtual void setCurrentPassword(std::optional<QString> password) = 0;
    virtual bool diaryNeedsPassword() const = 0;
    virtual bool scheduleNeedsPassword() const = 0;
    virtual void setNeedsPassword(bool diary, bool schedule) = 0;

    // "hh:nn" as read from the settings at the last paint of the launcher.
    virtual QString defaultReminderTime() const = 0;
    // Reloads today's reminders after a job was saved or deleted.
    virtual void reloadReminders() = 0;
};
