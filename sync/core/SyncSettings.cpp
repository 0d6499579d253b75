#include "sync/core/SyncSettings.h"

#include <QList>

#include <algorithm>
#include <utility>

namespace {

const QString kSection = QStringLiteral("sync");

bool flag(const ProfileFile &file, const QString &key, bool byDefault)
{
    return file.read(kSection, key, byDefault ? QStringLiteral("1") : QStringLiteral("0")) == QStringLiteral("1");
}

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString whenText(SyncSettings::When when)
{
    switch (when) {
    case SyncSettings::When::AtStart:
        return QStringLiteral("start");
    case SyncSettings::When::Every:
        return QStringLiteral("every");
    case SyncSettings::When::ByHand:
        break;
    }
    return QStringLiteral("hand");
}

} // namespace

QString SyncSettings::secretKey() const
{
    return QStringLiteral("sync:%1@%2").arg(user, server.trimmed());
}

SyncSettings SyncSettings::read(const ProfileFile &file)
{
    SyncSettings settings;
    settings.server = file.read(kSection, QStringLiteral("server"), {});
    settings.user = file.read(kSection, QStringLiteral("user"), {});
    settings.contacts = flag(file, QStringLiteral("contacts"), true);
    settings.jobs = flag(file, QStringLiteral("jobs"), true);
    settings.notes = flag(file, QStringLiteral("notes"), true);
    settings.includeProtected = flag(file, QStringLiteral("protected"), false);
    const QString when = file.read(kSection, QStringLiteral("when"), QStringLiteral("hand"));
    settings.when = when == QStringLiteral("start")   ? When::AtStart
                    : when == QStringLiteral("every") ? When::Every
                                                      : When::ByHand;
    bool ok = false;
    const int minutes = file.read(kSection, QStringLiteral("minutes"), QStringLiteral("30")).toInt(&ok);
    // A hand-edited value out of range is brought back into it.
    settings.minutes = ok ? std::clamp(minutes, kLeastSyncMinutes, kMostSyncMinutes) : 30;
    settings.trustedFingerprint = file.read(kSection, QStringLiteral("fingerprint"), {});
    // Kept on one line: "\n" stands for a line break.
    settings.lastResult =
        file.read(kSection, QStringLiteral("last"), {}).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    return settings;
}

Result<void> SyncSettings::write(const ProfileFile &file) const
{
    const QList<std::pair<QString, QString>> values = {
        {QStringLiteral("server"), server.trimmed()},
        {QStringLiteral("user"), user},
        {QStringLiteral("contacts"), flagText(contacts)},
        {QStringLiteral("jobs"), flagText(jobs)},
        {QStringLiteral("notes"), flagText(notes)},
        {QStringLiteral("protected"), flagText(includeProtected)},
        {QStringLiteral("when"), whenText(when)},
        {QStringLiteral("minutes"), QString::number(minutes)},
        {QStringLiteral("fingerprint"), trustedFingerprint},
        {QStringLiteral("last"), QString(lastResult).replace(QStringLiteral("\n"), QStringLiteral("\\n"))},
    };
    for (const auto &[key, value] : values) {
        if (Result<void> written = file.write(kSection, key, value); !written)
            return written;
    }
    return {};
}
