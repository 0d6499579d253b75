#include "app/core/SettingsSave.h"

#include "app/core/Appearance.h"
#include "app/core/LauncherHost.h"
#include "app/core/PasswordHash.h"
#include "app/core/PasswordRow.h"
#include "app/core/StartPasswordFlag.h"
#include "platform/Autostart.h"
#include "platform/ProfileFile.h"
#include "store/Sql.h"

#include <QRegularExpression>

namespace SettingsSave {

namespace {

// The password row and the start-up flag change together or not at all.
Result<void> writePassword(const QSqlDatabase &db, const SettingsForm &form, const QString &password)
{
    return Sql::inTransaction(db, [&]() -> Result<void> {
        if (!password.isEmpty()) {
            const Result<void> saved =
                PasswordRow(db).save(PasswordHash::make(password), form.diaryNeedsPassword, form.scheduleNeedsPassword);
            if (!saved)
                return saved;
        }
        return StartPasswordFlag(db).write(!password.isEmpty());
    });
}

} // namespace

bool isReminderTime(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^([01]\d|2[0-3]):[0-5]\d$)"));
    return pattern.match(text).hasMatch();
}

Result<void> run(const SettingsForm &form, const ProfileFile &profile, Autostart &autostart, QSqlDatabase db,
                 LauncherHost &launcher)
{
    using namespace ProfileKeys;
    if (!isReminderTime(form.reminderTime))
        return fail(kBadReminderTime);
    if (Result<void> written =
            profile.write(kSkinSection, kSkinKey, form.useSkin ? form.skinPath : QStringLiteral("no"));
        !written)
        return written;
    if (Result<void> written =
            profile.write(kSystemSection, kHideKey, form.hideAfterStart ? QStringLiteral("1") : QStringLiteral("0"));
        !written)
        return written;
    if (Result<void> set = form.autostart ? autostart.enable() : autostart.disable(); !set)
        return set;
    if (Result<void> written = profile.write(kTimeSection, kTimeKey, form.reminderTime); !written)
        return written;
    if (Result<void> written = profile.write(kTimeSection, kWayKey, Appearance::kWayWords.at(int(form.reminderWay)));
        !written)
        return written;
    if (Result<void> written = profile.write(kTimeSection, kSnoozeKey, QString::number(form.snoozeMinutes)); !written)
        return written;

    const QString password = form.password.trimmed();
    if (Result<void> written = writePassword(db, form, password); !written)
        return written;

    if (password.isEmpty()) {
        launcher.setCurrentPassword(std::nullopt);
        launcher.setNeedsPassword(false, false);
    } else {
        launcher.setCurrentPassword(password);
        launcher.setNeedsPassword(form.diaryNeedsPassword, form.scheduleNeedsPassword);
    }
    return {};
}

} // namespace SettingsSave
