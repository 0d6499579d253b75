#include "platform/Secrets.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QHash>
#include <QTimer>

namespace {

const QString kService = QStringLiteral("Velmora商务记事本");
// A secret store that does not answer in this time is taken as absent.
constexpr int kWaitMs = 5000;

QHash<QString, QString> &sessionCopies()
{
    static QHash<QString, QString> copies;
    return copies;
}

// Runs `job` to its end; false when it timed out.
bool finish(QKeychain::Job &job)
{
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    bool done = false;
    QObject::connect(&job, &QKeychain::Job::finished, [&done] { done = true; });
    job.start();
    if (!done)
        loop.exec();
    return done;
}

} // namespace

namespace Secrets {

Kept keep(const QString &key, const QString &secret)
{
    sessionCopies().insert(key, secret);
    QKeychain::WritePasswordJob job(kService);
    job.setAutoDelete(false);
    job.setKey(key);
    job.setTextData(secret);
    if (!finish(job))
        return {false, QStringLiteral("桌面的密码保管服务没有回答")};
    if (job.error() != QKeychain::NoError)
        return {false, job.errorString()};
    return {true, {}};
}

std::optional<QString> find(const QString &key)
{
    if (const auto copy = sessionCopies().constFind(key); copy != sessionCopies().constEnd())
        return *copy;
    QKeychain::ReadPasswordJob job(kService);
    job.setAutoDelete(false);
    job.setKey(key);
    if (!finish(job) || job.error() != QKeychain::NoError)
        return std::nullopt;
    return job.textData();
}

void forget(const QString &key)
{
    sessionCopies().remove(key);
    QKeychain::DeletePasswordJob job(kService);
    job.setAutoDelete(false);
    job.setKey(key);
    finish(job);
}

QString sessionOnlyText(const Kept &kept)
{
    return QStringLiteral("没有找到桌面的密码保管服务(%1),密码只在本次运行中保留,下次启动后需要重新输入。")
        .arg(kept.why);
}

} // namespace Secrets
