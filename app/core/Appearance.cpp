#include "app/core/Appearance.h"

#include "platform/ProfileFile.h"

#include <algorithm>

Appearance Appearance::read(const ProfileFile &file)
{
    using namespace ProfileKeys;
    Appearance a;
    a.skin = file.read(kSkinSection, kSkinKey, QStringLiteral("no"));
    a.reminderTime = file.read(kTimeSection, kTimeKey, QStringLiteral("09:00"));
    a.hideAfterStart = file.read(kSystemSection, kHideKey, QStringLiteral("0")) == u"1";
    // A value this program never writes reads as the default.
    const qsizetype way = kWayWords.indexOf(file.read(kTimeSection, kWayKey, kWayWords.first()));
    a.reminderWay = static_cast<ReminderWay>(std::max<qsizetype>(way, 0));
    const int snooze = file.read(kTimeSection, kSnoozeKey, QStringLiteral("10")).toInt();
    a.snoozeMinutes = kSnoozeChoices.contains(snooze) ? snooze : 10;
    return a;
}
