#pragma once

#include <QSqlDatabase>
#include <QString>

#include <optional>

// What the planner needs of the program around it: the connection, the
// password that guards protected jobs, the reminder time a new job starts
// with, and a way to have today's reminders read again. The launcher
// implements it; tests pass a fake.
class PlannerHost
{
public:
    virtual ~PlannerHost() = default;

    // The shared connection; stays valid across a backup's close and reopen.
    virtual QSqlDatabase database() const = 0;
    // Empty while no password is set. Any text is a password, "no" included.
    virtual std::optional<QString> currentPassword() const = 0;
    // "hh:nn", the time box's text when the planner opens.
    virtual QString defaultReminderTime() const = 0;
    // Reads today's reminders again after a job was saved or deleted.
    virtual void reloadReminders() = 0;
};
