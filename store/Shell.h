#pragma once

#include <QSqlDatabase>
#include <QString>

// What a subsystem's windows need of the program around them. The launcher
// implements it; tests pass a fake. No subsystem includes the launcher.
class Shell
{
public:
    virtual ~Shell() = default;

    // The shared connection; stays valid across a backup's close and reopen.
    virtual QSqlDatabase database() const = 0;

    // "no" while no password is set.
    virtual QString currentPassword() const = 0;
    virtual void setCurrentPassword(const QString &password) = 0;
    virtual bool diaryNeedsPassword() const = 0;
    virtual bool scheduleNeedsPassword() const = 0;
    virtual void setNeedsPassword(bool diary, bool schedule) = 0;

    // "hh:nn" as read from the settings at the last paint of the launcher.
    virtual QString defaultReminderTime() const = 0;
    // Reloads today's reminders after a job was saved or deleted.
    virtual void reloadReminders() = 0;

    static inline const QString kNoPassword = QStringLiteral("no");
};
