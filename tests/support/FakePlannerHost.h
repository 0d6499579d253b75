#pragma once

#include "schedule/core/PlannerHost.h"
#include "store/Store.h"

// The launcher's part as the planner sees it, with every value settable.
class FakePlannerHost final : public PlannerHost
{
public:
    QSqlDatabase database() const override { return Store::database(); }
    std::optional<QString> currentPassword() const override { return password; }
    QString defaultReminderTime() const override { return reminderTime; }
    void reloadReminders() override { ++reloads; }

    std::optional<QString> password; // none set
    QString reminderTime = QStringLiteral("09:00");
    int reloads = 0;
};
