#pragma once

#include <QString>
#include <QStringList>

class ProfileFile;

// How a reminder reaches the user. Auto is a box and a desktop notification
// where a notification server runs, the box alone elsewhere.
enum class ReminderWay { Auto, Box, Notice, Both };

// The launcher's settings from main.ini, read afresh at every paint.
struct Appearance
{
    QString skin = QStringLiteral("no");            // [backgroup] bg: "no" or a picture path
    QString reminderTime = QStringLiteral("09:00"); // [time] alter
    bool hideAfterStart = false;                    // [system set] hided == "1"
    ReminderWay reminderWay = ReminderWay::Auto;    // [time] alter_way
    int snoozeMinutes = 10;                         // [time] alter_later: 5, 10 or 30

    static inline const QList<int> kSnoozeChoices = {5, 10, 30};
    // The stored words of ReminderWay, in its order.
    static inline const QStringList kWayWords = {QStringLiteral("auto"), QStringLiteral("box"),
                                                 QStringLiteral("notice"), QStringLiteral("both")};

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
inline const QString kWayKey = QStringLiteral("alter_way");
inline const QString kSnoozeKey = QStringLiteral("alter_later");
} // namespace ProfileKeys
