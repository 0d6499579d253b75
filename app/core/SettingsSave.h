#pragma once

#include "app/core/Appearance.h"
#include "store/Result.h"

#include <QSqlDatabase>
#include <QString>

class Autostart;
class ProfileFile;
class LauncherHost;

// What the settings dialog holds when the user presses "确定".
struct SettingsForm
{
    QString skinPath;
    bool useSkin = false;
    bool hideAfterStart = false;
    bool autostart = false;
    QString reminderTime;
    ReminderWay reminderWay = ReminderWay::Auto;
    int snoozeMinutes = 10;
    QString password; // as typed; outer blanks do not count
    bool diaryNeedsPassword = false;
    bool scheduleNeedsPassword = false;
};

// Saving the settings, in this order: skin, hide after start, start at
// log-on, reminder time and how reminders come, the password row with the
// start-up flag, and the launcher's password state. The first step that
// fails stops the rest; the steps before it stay done. A reminder time the
// planner could not use is refused before anything is written.
namespace SettingsSave {

inline const QString kBadReminderTime = QStringLiteral("日程安排提醒时间不正确,请按\"时:分\"输入两位数字,如 09:00");

// "hh:nn" with hours 00 to 23 and minutes 00 to 59.
bool isReminderTime(const QString &text);

Result<void> run(const SettingsForm &form, const ProfileFile &profile, Autostart &autostart, QSqlDatabase db,
                 LauncherHost &launcher);

} // namespace SettingsSave
