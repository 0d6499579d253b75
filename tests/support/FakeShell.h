#pragma once

#include "store/Shell.h"
#include "store/Store.h"

// Test tables write "no password" as a null text: every other text, "no"
// included, is a password.
inline std::optional<QString> passwordOrNone(const QString &text)
{
    return text.isNull() ? std::nullopt : std::optional<QString>(text);
}

// The launcher's part as a subsystem sees it, with every value settable.
class FakeShell final : public Shell
{
public:
    QSqlDatabase database() const override { return Store::database(); }
    std::optional<QString> currentPassword() const override { return password; }
    void setCurrentPassword(std::optional<QString> p) override { password = std::move(p); }
    bool diaryNeedsPassword() const override { return diaryFlag; }
    bool scheduleNeedsPassword() const override { return scheduleFlag; }
    void setNeedsPassword(bool diary, bool schedule) override
    {
        diaryFlag = diary;
        scheduleFlag = schedule;
    }
    QString defaultReminderTime() const override { return reminderTime; }
    void reloadReminders() override { ++reloads; }

    std::optional<QString> password; // none set
    bool diaryFlag = false;
    bool scheduleFlag = false;
    QString reminderTime = QStringLiteral("09:00");
    int reloads = 0;
};
