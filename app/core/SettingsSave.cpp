#include "SettingsSave.h"

#include "Appearance.h"
#include "Autostart.h"
#include "PasswordHash.h"
#include "PasswordRow.h"
#include "ProfileFile.h"
#include "Shell.h"
#include "StartPasswordFlag.h"
#include "StoreError.h"

#include <QRegularExpression>
#include <QSqlError>

namespace SettingsSave {

namespace {

Result failed(const QString &error)
{
    return {false, error};
}

// The password row and the start-up flag change together or not at all.
bool writePassword(QSqlDatabase &db, const SettingsForm &form, const QString &password, QString *error)
{
    if (!db.transaction()) {
        *error = StoreError::text(db.lastError());
        return false;
    }
    const bool written =
        (password.isEmpty()
         || PasswordRow(db).save(PasswordHash::make(password), form.diaryNeedsPassword,
                                 form.scheduleNeedsPassword, error))
        && StartPasswordFlag(db).write(!password.isEmpty(), error);
    if (!written) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        *error = StoreError::text(db.lastError());
        db.rollback();
        return false;
    }
    return true;
}

} // namespace

bool isReminderTime(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^([01]\d|2[0-3]):[0-5]\d$)"));
    return pattern.match(text).hasMatch();
}

Result run(const SettingsForm &form, const ProfileFile &profile, Autostart &autostart,
           QSqlDatabase db, Shell &shell)
{
    using namespace ProfileKeys;
    if (!isReminderTime(form.reminderTime))
        return failed(kBadReminderTime);
    QString error;
    if (!profile.write(kSkinSection, kSkinKey, form.useSkin ? form.skinPath : QStringLiteral("no"), &error))
        return failed(error);
    if (!profile.write(kSystemSection, kHideKey, form.hideAfterStart ? QStringLiteral("1") : QStringLiteral("0"),
                       &error))
        return failed(error);
    if (!(form.autostart ? autostart.enable(&error) : autostart.disable(&error)))
        return failed(error);
    if (!profile.write(kTimeSection, kTimeKey, form.reminderTime, &error))
        return failed(error);

    const QString password = form.password.trimmed();
    if (!writePassword(db, form, password, &error))
        return failed(error);

    if (password.isEmpty()) {
        shell.setCurrentPassword(std::nullopt);
        shell.setNeedsPassword(false, false);
    } else {
        shell.setCurrentPassword(password);
        shell.setNeedsPassword(form.diaryNeedsPassword, form.scheduleNeedsPassword);
    }
    return {};
}

} // namespace SettingsSave
