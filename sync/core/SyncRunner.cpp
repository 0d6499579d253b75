#include "sync/core/SyncRunner.h"

#include "store/Sql.h"
#include "sync/core/SyncState.h"

#include <QMutex>
#include <QSqlDatabase>
#include <QUuid>

class SyncRunner::Stopper
{
public:
    void attach(DavClient *client)
    {
        const QMutexLocker lock(&m_mutex);
        m_client = client;
        if (m_stopped && m_client)
            m_client->cancel();
    }
    void stop()
    {
        const QMutexLocker lock(&m_mutex);
        m_stopped = true;
        if (m_client)
            m_client->cancel();
    }
    bool stopped()
    {
        const QMutexLocker lock(&m_mutex);
        return m_stopped;
    }

private:
    QMutex m_mutex;
    DavClient *m_client = nullptr;
    bool m_stopped = false;
};

namespace {

QString kindName(SyncKind kind)
{
    switch (kind) {
    case SyncKind::Contact:
        return QStringLiteral("联系人");
    case SyncKind::Job:
        return QStringLiteral("工作安排");
    case SyncKind::Note:
        break;
    }
    return QStringLiteral("日记");
}

// The store as a connection of this thread's own, waiting for the
// window's writes rather than failing on them.
Result<QSqlDatabase> openStore(const QString &path, const QString &name)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000;QSQLITE_OPEN_URI=0"));
    if (!db.open())
        return fail(QStringLiteral("同步无法打开记录文件 %1").arg(path));
    Sql::run(db, QStringLiteral("PRAGMA synchronous=FULL")).ok();
    Sql::run(db, QStringLiteral("PRAGMA temp_store=MEMORY")).ok();
    return db;
}

Result<SyncEngine::Report> runKinds(QSqlDatabase db, const SyncRunner::Job &job, DavClient &client,
                                    const SyncEngine::Progress &progress)
{
    SyncEngine engine(db, client, job.options);
    SyncEngine::Report total;
    for (const SyncKind kind : job.kinds) {
        Result<std::optional<QString>> url = SyncState::collectionUrl(db, kind);
        if (!url)
            return fail(url.error());
        if (!*url || (*url)->isEmpty())
            return fail(QStringLiteral("还没有为%1选择服务器上的集合,请在同步设置中选择。").arg(kindName(kind)));
        const SyncEngine::Progress named = [&](const QString &stage, int done, int count) {
            if (progress)
                progress(kindName(kind) + QStringLiteral(": ") + stage, done, count);
        };
        Result<SyncEngine::Report> report = engine.run(kind, QUrl(**url), named);
        if (!report)
            return fail(kindName(kind) + QStringLiteral(": ") + report.error());
        total.add(*report);
    }
    return total;
}

} // namespace

SyncRunner::SyncRunner(QObject *parent)
    : QObject(parent)
{
}

SyncRunner::~SyncRunner()
{
    stop();
    if (m_thread)
        m_thread->wait();
}

bool SyncRunner::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void SyncRunner::stop()
{
    if (m_stopper)
        m_stopper->stop();
}

Result<SyncEngine::Report> SyncRunner::runHere(const Job &job, const SyncEngine::Progress &progress, Stopper *stopper)
{
    const QString name = QStringLiteral("sync-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    Result<SyncEngine::Report> report = fail(QString());
    {
        Result<QSqlDatabase> db = openStore(job.storePath, name);
        if (!db) {
            report = fail(db.error());
        } else {
            DavClient client(job.account);
            if (stopper)
                stopper->attach(&client);
            report = runKinds(*db, job, client, progress);
            if (stopper)
                stopper->attach(nullptr);
            if (!report && stopper && stopper->stopped())
                report = fail(QStringLiteral("同步已停止,已经同步的记录都已保存。"));
            db->close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return report;
}

Result<SyncRunner::Job> SyncRunner::jobFor(const SyncSettings &settings, const std::optional<QString> &password,
                                           const QString &storePath, bool diaryNeedsPassword)
{
    if (!settings.isSet())
        return fail(QStringLiteral("还没有设置同步的服务器,请在“同步”中填写。"));
    if (!password)
        return fail(QStringLiteral("没有同步服务器的密码,请在“同步”中输入。"));
    Job job;
    job.account.server = QUrl::fromUserInput(settings.server);
    job.account.user = settings.user;
    job.account.password = *password;
    job.account.trustedFingerprint = settings.trustedFingerprint.toLatin1();
    job.storePath = storePath;
    if (settings.contacts)
        job.kinds << SyncKind::Contact;
    if (settings.jobs)
        job.kinds << SyncKind::Job;
    if (settings.notes)
        job.kinds << SyncKind::Note;
    if (job.kinds.isEmpty())
        return fail(QStringLiteral("没有选择要同步的内容。"));
    job.options.includeProtected = settings.includeProtected;
    job.options.notesNeedPassword = diaryNeedsPassword;
    return job;
}

void SyncRunner::start(const Job &job)
{
    if (isRunning())
        return;
    m_stopper = std::make_shared<Stopper>();
    std::shared_ptr<Stopper> stopper = m_stopper;
    delete m_thread;
    m_thread = QThread::create([this, job, stopper] {
        const SyncEngine::Progress progress = [this](const QString &stage, int done, int total) {
            QMetaObject::invokeMethod(
                this, [this, stage, done, total] { emit this->progress(stage, done, total); }, Qt::QueuedConnection);
        };
        const Result<SyncEngine::Report> report = runHere(job, progress, stopper.get());
        const bool ok = bool(report);
        const QString text = ok ? summary(*report) : report.error();
        QMetaObject::invokeMethod(
            this, [this, ok, text] { emit finished(ok, text); }, Qt::QueuedConnection);
    });
    m_thread->start();
}

QString SyncRunner::summary(const SyncEngine::Report &report)
{
    QString text = QStringLiteral("同步完成: 从服务器收到%1条, 发送到服务器%2条, 本机删除%3条, 服务器上删除%4条.")
                       .arg(report.received)
                       .arg(report.sent)
                       .arg(report.removedHere)
                       .arg(report.removedThere);
    if (report.conflicts > 0)
        text += QStringLiteral("\n%1条记录在两边都改过: 服务器的版本已写入, 本机的版本另存为“(冲突副本)”开头的记录.")
                    .arg(report.conflicts);
    if (report.leftOut > 0)
        text += QStringLiteral("\n%1条加密或受密码保护的记录没有同步(可在同步设置中选择同步它们).").arg(report.leftOut);
    if (!report.problems.isEmpty())
        text += QStringLiteral("\n没有同步的记录:\n") + report.problems.join(u'\n');
    return text;
}
