#include "app/LauncherSync.h"

#include "app/core/LauncherHost.h"
#include "platform/AppPaths.h"
#include "platform/ProfileFile.h"
#include "platform/Secrets.h"
#include "store/Clock.h"
#include "store/Store.h"
#include "sync/core/SyncRunner.h"

#include <QTimer>

LauncherSync::LauncherSync(LauncherHost &launcher, std::function<void()> recordsChanged, QObject *parent)
    : QObject(parent)
    , m_launcher(launcher)
    , m_recordsChanged(std::move(recordsChanged))
    , m_runner(new SyncRunner(this))
    , m_timer(new QTimer(this))
{
    connect(m_runner, &SyncRunner::finished, this, &LauncherSync::finished);
    // A timed sync that finds one running waits for the next turn.
    connect(m_timer, &QTimer::timeout, this, [this] {
        QString why;
        startSync(&why);
    });
}

QSqlDatabase LauncherSync::database() const
{
    return m_launcher.database();
}

QString LauncherSync::storePath() const
{
    return Store::path();
}

QString LauncherSync::profilePath() const
{
    return AppPaths::profileFile();
}

bool LauncherSync::diaryNeedsPassword() const
{
    return m_launcher.diaryNeedsPassword();
}

bool LauncherSync::isSyncing() const
{
    return m_runner->isRunning();
}

bool LauncherSync::startSync(QString *why)
{
    if (m_runner->isRunning()) {
        *why = QStringLiteral("正在同步,请稍候。");
        return false;
    }
    const SyncSettings settings = SyncSettings::read(ProfileFile(profilePath()));
    const std::optional<QString> password =
        settings.isSet() ? Secrets::find(settings.secretKey()) : std::optional<QString>();
    Result<SyncRunner::Job> job = SyncRunner::jobFor(settings, password, storePath(), diaryNeedsPassword());
    if (!job) {
        *why = job.error();
        return false;
    }
    m_runner->start(*job);
    return true;
}

void LauncherSync::schedule(bool starting)
{
    const SyncSettings settings = SyncSettings::read(ProfileFile(profilePath()));
    m_timer->stop();
    if (!settings.isSet())
        return;
    if (settings.when == SyncSettings::When::Every)
        m_timer->start(settings.minutes * 60 * 1000);
    if (starting && settings.when == SyncSettings::When::AtStart) {
        QString why;
        if (!startSync(&why))
            finished(false, why);
    }
}

void LauncherSync::finished(bool, const QString &text)
{
    const ProfileFile profile(profilePath());
    SyncSettings settings = SyncSettings::read(profile);
    settings.lastResult = Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm ")) + text;
    // The result is only for showing: a file that cannot be written loses it.
    settings.write(profile).ok();
    if (m_recordsChanged)
        m_recordsChanged();
}
