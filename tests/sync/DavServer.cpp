#include "DavServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSslCertificate>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <csignal>

#include <sys/prctl.h>

namespace {

// A port no one listens on now. Another program may take it before the
// server does; start() then tries another.
int freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

bool answers(int port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(port));
    return socket.waitForConnected(200);
}

Result<void> writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return {};
}

} // namespace

DavServer::~DavServer()
{
    stop();
}

QString DavServer::program(Kind kind)
{
    return kind == Kind::Radicale ? QStringLiteral("radicale") : QStringLiteral("xandikos");
}

bool DavServer::installed(Kind kind)
{
    return !QStandardPaths::findExecutable(program(kind)).isEmpty();
}

bool DavServer::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

QString DavServer::folder() const
{
    return m_dir ? m_dir->filePath(QStringLiteral("storage")) : QString();
}

DavAccount DavServer::account() const
{
    DavAccount account;
    account.server = m_url;
    account.user = m_options.user;
    account.password = m_options.password;
    return account;
}

Result<void> DavServer::start(Kind kind)
{
    return start(kind, Options());
}

Result<void> DavServer::start(Kind kind, const Options &options)
{
    stop();
    m_kind = kind;
    m_options = options;
    if (!installed(kind))
        return fail(program(kind) + QStringLiteral(" is not installed"));
    if (kind == Kind::Xandikos && (options.tls || !options.password.isEmpty()))
        return fail(QStringLiteral("xandikos serves neither HTTPS nor a login"));
    if (Result<void> prepared = prepare(options); !prepared)
        return prepared;
    QString lastError;
    for (int attempt = 0; attempt < 3; ++attempt) {
        Result<void> launched = launch(freePort());
        if (launched)
            return launched;
        lastError = launched.error();
    }
    return fail(lastError);
}

Result<void> DavServer::prepare(const Options &options)
{
    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid())
        return fail(QStringLiteral("no temporary folder: ") + m_dir->errorString());
    QDir(m_dir->path()).mkpath(QStringLiteral("storage"));
    if (!options.password.isEmpty()) {
        const QByteArray line = (options.user + u':' + options.password + u'\n').toUtf8();
        if (Result<void> written = writeFile(m_dir->filePath(QStringLiteral("users")), line); !written)
            return written;
    }
    if (!options.tls)
        return {};
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-days"), QStringLiteral("2"),
                   QStringLiteral("-keyout"), m_dir->filePath(QStringLiteral("key.pem")), QStringLiteral("-out"),
                   m_dir->filePath(QStringLiteral("cert.pem"))});
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
        return fail(QStringLiteral("openssl made no certificate: ")
                    + QString::fromLocal8Bit(openssl.readAllStandardError()));
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(m_dir->filePath(QStringLiteral("cert.pem")));
    if (certificates.isEmpty())
        return fail(QStringLiteral("openssl wrote no readable certificate"));
    m_fingerprint = DavClient::colonHex(certificates.first().digest(QCryptographicHash::Sha256));
    return {};
}

QStringList DavServer::arguments(int port) const
{
    const QString storage = folder();
    if (m_kind == Kind::Xandikos) {
        return {QStringLiteral("-d"),         storage,
                QStringLiteral("--defaults"), QStringLiteral("-l"),
                QStringLiteral("127.0.0.1"),  QStringLiteral("-p"),
                QString::number(port)};
    }
    QStringList args{QStringLiteral("-C"),
                     QString(),
                     QStringLiteral("--server-hosts"),
                     QStringLiteral("127.0.0.1:%1").arg(port),
                     QStringLiteral("--rights-type"),
                     QStringLiteral("owner_only"),
                     QStringLiteral("--storage-filesystem-folder"),
                     storage,
                     QStringLiteral("--logging-level"),
                     QStringLiteral("warning")};
    if (m_options.password.isEmpty()) {
        args << QStringLiteral("--auth-type") << QStringLiteral("none");
    } else {
        // No delay after a wrong password: the tests try one on purpose.
        args << QStringLiteral("--auth-type") << QStringLiteral("htpasswd")
             << QStringLiteral("--auth-htpasswd-filename") << m_dir->filePath(QStringLiteral("users"))
             << QStringLiteral("--auth-htpasswd-encryption") << QStringLiteral("plain")
             << QStringLiteral("--auth-delay") << QStringLiteral("0");
    }
    if (m_options.tls) {
        args << QStringLiteral("--server-ssl") << QStringLiteral("True") << QStringLiteral("--server-certificate")
             << m_dir->filePath(QStringLiteral("cert.pem")) << QStringLiteral("--server-key")
             << m_dir->filePath(QStringLiteral("key.pem"));
    }
    return args;
}

Result<void> DavServer::launch(int port)
{
    if (port == 0)
        return fail(QStringLiteral("no free port on 127.0.0.1"));
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // A test killed by its timeout runs no destructor: the server then goes
    // with it instead of holding its port and folder.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.setStandardOutputFile(m_dir->filePath(QStringLiteral("server.log")));
    m_process.start(program(m_kind), arguments(port));
    if (!m_process.waitForStarted(10000))
        return fail(program(m_kind) + QStringLiteral(" did not start: ") + m_process.errorString());
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (m_process.state() == QProcess::NotRunning)
            return fail(program(m_kind) + QStringLiteral(" stopped at once:\n") + logTail());
        if (answers(port)) {
            m_url = QUrl(QStringLiteral("%1://127.0.0.1:%2/").arg(m_options.tls ? "https" : "http").arg(port));
            return {};
        }
        QThread::msleep(50);
    }
    stop();
    return fail(program(m_kind) + QStringLiteral(" did not answer within 20 s:\n") + logTail());
}

QString DavServer::logTail() const
{
    QFile log(m_dir->filePath(QStringLiteral("server.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll().right(2000));
}

void DavServer::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
}
