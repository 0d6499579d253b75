#pragma once

#include "app/core/LauncherHost.h"
#include "store/Store.h"

// Test tables write "no password" as a null text: every other text, "no"
// included, is a password.
inline std::optional<QString> passwordOrNone(const QString &text)
{
    return text.isNull() ? std::nullopt : std::optional<QString>(text);
}

// The launcher as its own windows see it, with every value settable.
class FakeLauncherHost final : public LauncherHost
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

    std::optional<QString> password; // none set
    bool diaryFlag = false;
    bool scheduleFlag = false;
};
