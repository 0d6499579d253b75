#pragma once

#include <QString>

class ProfileFile;

// The launcher's settings from main.ini, read afresh at every paint.
struct Appearance
{
    QString skin = QStringLiteral("no");            // [backgroup] bg: "no" or a picture path
    QString reminderTime = QStringLiteral("09:00"); // [time] alter
    bool hideAfterStart = false;                    // [system set] hided == "1"

    bool usesSkin() const { return skin != QStringLiteral("no"); }

    static Appearance read(const ProfileFile &file);
};

namespace ProfileKeys {
inline const QString kSkinSection = QStringLiteral("backgroup");
inline const QString kSkinKey = QStringLiteral("bg");
inline const QString kTimeSection = QStringLiteral("time");
inline const QString kTimeKey = QStringLiteral("alter");
inline const QString kSystemSection = QStringLiteral("system set");
inline const QString kHideKey = QStringLiteral("hided");
} // namespace ProfileKeys
