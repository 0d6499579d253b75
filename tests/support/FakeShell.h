#pragma once

#include "Shell.h"
#include "Store.h"

// The launcher's part as a subsystem sees it, with every value settable.
class FakeShell final : public Shell
{
public:
    QSqlDatabase database() const override { return Store::database(); }
    QString currentPassword() const override { return password; }
    void setCurrentPassword(const QString &p) override { password = p; }
    bool diaryNeedsPassword() const override { return diaryFlag; }
    bool scheduleNeedsPassword() const override { return scheduleFlag; }
    void setNeedsPassword(bool diary, bool schedule) override
    {
        diaryFlag = diary;
        scheduleFlag = schedule;
    }
    QString defaultReminderTime() const override { return reminderTime; }
    void reloadReminders() override { ++reloads; }

    QString password = Shell::kNoPassword;
    bool diaryFlag = false;
    bool scheduleFlag = false;
    QString reminderTime = QStringLiteral("09:00");
    int reloads = 0;
};
