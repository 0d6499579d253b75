#include "app/core/Appearance.h"

#include "platform/ProfileFile.h"

Appearance Appearance::read(const ProfileFile &file)
{
    using namespace ProfileKeys;
    Appearance a;
    a.skin = file.read(kSkinSection, kSkinKey, QStringLiteral("no"));
    a.reminderTime = file.read(kTimeSection, kTimeKey, QStringLiteral("09:00"));
    a.hideAfterStart = file.read(kSystemSection, kHideKey, QStringLiteral("0")) == u"1";
    return a;
}
