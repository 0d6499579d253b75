#include "sync/core/DavClient.h"

#include "sync/core/DavXml.h"

#include <QAuthenticator>
#include <QCryptographicHash>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSet>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>

// One request on the wire and what was seen of it before it finished.
struct DavClient::Call
{
    QNetworkReply *reply = nullptr;
    QByteArray body;
    qint64 limit = 0;
    bool tooLarge = false;
    bool anonymous = false; // no user name was given
    bool askedForPassword = false;
    bool cancelled = false;
    QByteArray fingerprint; // of a certificate refused
};

namespace {

QByteArray rawDigest(const QByteArray &fingerprint)
{
    if (fingerprint.size() == 32)
        return fingerprint;
    QByteArray hex = fingerprint;
    hex.replace(':', QByteArray()).replace(' ', QByteArray());
    const QByteArray raw = QByteArray::fromHex(hex);
    return raw.size() == 32 ? raw : QByteArray();
}

int effectivePort(const QUrl &url)
{
    return url.port(url.scheme() == QLatin1String("https") ? 443 : 80);
}

// A redirect is followed only to the same server, or from http to https on
// the same host: a password is never carried to a place the user did not
// name.
bool mayFollow(const QUrl &from, const QUrl &to)
{
    if (from.host().compare(to.host(), Qt::CaseInsensitive) != 0)
        return false;
    if (from.scheme() == to.scheme())
        return effectivePort(from) == effectivePort(to);
    return from.scheme() == QLatin1String("http") && to.scheme() == QLatin1String("https");
}

bool isReadOnly(const QByteArray &method)
{
    return method == "GET" || method == "HEAD" || method == "PROPFIND" || method == "REPORT" || method == "OPTIONS";
}

QString hostOf(const DavReply &reply)
{
    return reply.url.host().isEmpty() ? reply.url.toDisplayString() : reply.url.host();
}

// Why a connection could not be made, in plain words.
QString unreachableDetail(QNetworkReply::NetworkError error, const QString &fallback)
{
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("对方拒绝连接");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("找不到这个主机名");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("服务器没有回答就断开了连接");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("无法建立安全连接(HTTPS)");
    case QNetworkReply::ProtocolUnknownError:
        return QStringLiteral("地址不是 http:// 或 https:// 开头");
    case QNetworkReply::ProtocolFailure:
    case QNetworkReply::ProtocolInvalidOperationError:
        return QStringLiteral("服务器的回答不是正确的 HTTP");
    default:
        return fallback;
    }
}

// Errors of the connection itself, as opposed to those Qt makes of an HTTP
// status (a 400 is a "protocol" error to it).
bool isConnectionError(QNetworkReply::NetworkError error)
{
    return error > QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

// A body shorter than its declared length: the connection closed early,
// which Qt lets pass as a whole answer. A compressed body is counted
// before Qt unpacks it, so it cannot be checked here.
bool isCutShort(const QNetworkReply &reply, int status, qsizetype received)
{
    const QVariant declared = reply.header(QNetworkRequest::ContentLengthHeader);
    const bool head = reply.request().attribute(QNetworkRequest::CustomVerbAttribute).toByteArray() == "HEAD";
    const bool bodiless = head || status < 200 || status == 204 || status == 304;
    return declared.isValid() && !bodiless && reply.rawHeader("Content-Encoding").isEmpty()
           && received < declared.toLongLong();
}

} // namespace

DavClient::DavClient(DavAccount account)
    : m_account(std::move(account))
    , m_trusted(rawDigest(m_account.trustedFingerprint))
    , m_bodyLimit(DavXml::maxBodyBytes)
    , m_network(std::make_unique<QNetworkAccessManager>())
{
    m_network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

DavClient::~DavClient() = default;

void DavClient::cancel()
{
    m_cancelled.storeRelaxed(1);
    // Runs in the client's thread, inside the event loop of the call.
    QMetaObject::invokeMethod(
        m_network.get(),
        [this] {
            if (m_inFlight && isCancelled()) // not if resume() came first
                m_inFlight->abort();
        },
        Qt::QueuedConnection);
}

void DavClient::resume()
{
    m_cancelled.storeRelaxed(0);
}

QByteArray DavClient::colonHex(const QByteArray &digest)
{
    return digest.toHex(':').toUpper();
}

QNetworkRequest DavClient::request(const QUrl &url, const Headers &headers) const
{
    QNetworkRequest request(url);
    request.setTransferTimeout(m_account.timeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("User-Agent", "Velmora");
    // Sent up front: most servers ask for Basic, and asking first costs a
    // round trip per request. A server that wants another scheme asks, and
    // is answered once (watch()).
    if (!m_account.user.isEmpty()) {
        const QByteArray pair = (m_account.user + u':' + m_account.password).toUtf8();
        request.setRawHeader("Authorization", "Basic " + pair.toBase64());
    }
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);
    return request;
}

void DavClient::watch(Call &call)
{
    QNetworkReply *reply = call.reply;
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&call] {
        const qint64 declared = call.reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (declared > call.limit) {
            call.tooLarge = true;
            call.reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&call] {
        call.body += call.reply->readAll();
        if (call.body.size() > call.limit) {
            call.tooLarge = true;
            call.body.clear();
            call.reply->abort();
        }
    });
    QObject::connect(m_network.get(), &QNetworkAccessManager::authenticationRequired, reply,
                     [this, &call](QNetworkReply *asking, QAuthenticator *authenticator) {
                         if (asking != call.reply || call.askedForPassword || m_account.user.isEmpty())
                             return; // left unanswered, the reply ends in 401
                         call.askedForPassword = true;
                         authenticator->setUser(m_account.user);
                         authenticator->setPassword(m_account.password);
                     });
    QObject::connect(reply, &QNetworkReply::sslErrors, reply, [this, &call](const QList<QSslError> &errors) {
        QSslCertificate certificate = call.reply->sslConfiguration().peerCertificate();
        if (certificate.isNull() && !errors.isEmpty())
            certificate = errors.first().certificate();
        const QByteArray digest = certificate.digest(QCryptographicHash::Sha256);
        if (!m_trusted.isEmpty() && digest == m_trusted)
            call.reply->ignoreSslErrors(errors);
        else
            call.fingerprint = colonHex(digest);
    });
}

void DavClient::finish(Call &call, DavReply &reply)
{
    QNetworkReply *network = call.reply;
    reply.url = network->url();
    reply.status = network->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    reply.etag = network->rawHeader("ETag");
    reply.location = network->rawHeader("Location");
    const QNetworkReply::NetworkError error = network->error();
    if (!call.tooLarge) {
        reply.body = call.body;
        if (network->isOpen())
            reply.body += network->readAll();
        if (reply.body.size() > call.limit) {
            call.tooLarge = true;
            reply.body.clear();
        }
    }
    const QString host = hostOf(reply);
    using Failure = DavReply::Failure;
    if (call.tooLarge) {
        reply.failure = Failure::TooLarge;
        reply.error =
            QStringLiteral("服务器 %1 的回答超过 %2 MB，已停止接收。").arg(host).arg(call.limit / (1024 * 1024));
    } else if (call.cancelled && error == QNetworkReply::OperationCanceledError) {
        reply.failure = Failure::Cancelled;
        reply.error = QStringLiteral("已取消。");
    } else if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError) {
        reply.failure = Failure::TimedOut;
        reply.error = QStringLiteral("服务器 %1 在 %2 秒内没有回答，请检查网络后再试。")
                          .arg(host)
                          .arg((network->request().transferTimeout() + 999) / 1000);
    } else if (error == QNetworkReply::SslHandshakeFailedError && !call.fingerprint.isEmpty()) {
        reply.failure = Failure::UntrustedCertificate;
        reply.fingerprint = call.fingerprint;
        reply.error = QStringLiteral("服务器 %1 的证书不受本机信任，已拒绝连接。证书指纹(SHA-256)：%2。"
                                     "只有确认这就是你的服务器时，才选择信任它。")
                          .arg(host, QString::fromLatin1(call.fingerprint));
    } else if (reply.status == 401) {
        reply.failure = Failure::AuthRejected;
        reply.error = call.anonymous ? QStringLiteral("服务器 %1 要求登录，请填写用户名和密码。").arg(host)
                                     : QStringLiteral("服务器 %1 不接受这个用户名或密码，请检查后再试。").arg(host);
    } else if (reply.status != 0
               && (isConnectionError(error) || isCutShort(*network, reply.status, reply.body.size()))) {
        reply.failure = Failure::Interrupted;
        reply.error = QStringLiteral("服务器 %1 在回答途中断开了连接，请稍后再试。").arg(host);
    } else if (reply.status == 0) {
        reply.failure = Failure::Unreachable;
        reply.error = QStringLiteral("无法连接服务器 %1：%2。请检查服务器地址和网络。")
                          .arg(host, unreachableDetail(error, network->errorString()));
    }
    if (reply.failure != Failure::None)
        reply.body.clear();
}

DavReply DavClient::sendOnce(const QByteArray &method, const QUrl &url, const QByteArray &body, const Headers &headers)
{
    if (isCancelled()) {
        DavReply reply;
        reply.url = url;
        reply.failure = DavReply::Failure::Cancelled;
        reply.error = QStringLiteral("已取消。");
        return reply;
    }
    Call call;
    call.limit = m_bodyLimit;
    call.anonymous = m_account.user.isEmpty();
    call.reply = m_network->sendCustomRequest(request(url, headers), method, body);
    const std::unique_ptr<QNetworkReply> owner(call.reply);
    watch(call);
    QEventLoop loop;
    QObject::connect(call.reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    m_inFlight = call.reply;
    if (isCancelled()) // cancel() came before m_inFlight was set
        call.reply->abort();
    if (!call.reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_inFlight = nullptr;
    call.cancelled = isCancelled();
    DavReply reply;
    finish(call, reply);
    return reply;
}

bool DavClient::follows(const QByteArray &method, const DavReply &reply) const
{
    const bool redirect =
        reply.status == 301 || reply.status == 302 || reply.status == 303 || reply.status == 307 || reply.status == 308;
    return reply.failure == DavReply::Failure::None && redirect && !reply.location.isEmpty() && isReadOnly(method);
}

DavReply DavClient::send(const QByteArray &method, const QUrl &url, const QByteArray &body, const Headers &headers)
{
    QUrl current = url;
    QSet<QUrl> seen{current};
    for (int hop = 0;; ++hop) {
        DavReply reply = sendOnce(method, current, body, headers);
        if (!follows(method, reply))
            return reply;
        const QUrl next = current.resolved(QUrl::fromEncoded(reply.location));
        if (!next.isValid() || !mayFollow(current, next))
            return reply; // explain() says where it wanted us to go
        if (hop >= maxRedirects || seen.contains(next)) {
            reply.failure = DavReply::Failure::RedirectLoop;
            reply.error = QStringLiteral("服务器 %1 把请求转来转去(重定向超过 %2 次或回到原处)，无法完成。")
                              .arg(hostOf(reply))
                              .arg(maxRedirects);
            return reply;
        }
        seen.insert(next);
        current = next;
    }
}

namespace {

const QByteArray xmlType = "application/xml; charset=utf-8";

} // namespace

DavReply DavClient::propfind(const QUrl &url, int depth, const QByteArray &body)
{
    return send("PROPFIND", url, body, {{"Depth", QByteArray::number(depth)}, {"Content-Type", xmlType}});
}

DavReply DavClient::report(const QUrl &url, int depth, const QByteArray &body)
{
    return send("REPORT", url, body, {{"Depth", QByteArray::number(depth)}, {"Content-Type", xmlType}});
}

DavReply DavClient::get(const QUrl &url)
{
    return send("GET", url);
}

DavReply DavClient::put(const QUrl &url, const QByteArray &body, const QByteArray &contentType,
                        const QByteArray &ifMatch)
{
    Headers headers{{"Content-Type", contentType}};
    if (ifMatch.isEmpty())
        headers.append(std::pair<QByteArray, QByteArray>("If-None-Match", "*"));
    else
        headers.append(std::pair<QByteArray, QByteArray>("If-Match", ifMatch));
    return send("PUT", url, body, headers);
}

DavReply DavClient::remove(const QUrl &url, const QByteArray &ifMatch)
{
    Headers headers;
    if (!ifMatch.isEmpty())
        headers.append(std::pair<QByteArray, QByteArray>("If-Match", ifMatch));
    return send("DELETE", url, {}, headers);
}

DavReply DavClient::mkcol(const QUrl &url, const QByteArray &body)
{
    return send("MKCOL", url, body, {{"Content-Type", xmlType}});
}

DavReply DavClient::mkcalendar(const QUrl &url, const QByteArray &body)
{
    return send("MKCALENDAR", url, body, {{"Content-Type", xmlType}});
}

namespace {

// The server's own words, when they are a short line of text and not a page.
QString serverSays(const DavReply &reply)
{
    const QString text = QString::fromUtf8(reply.body).simplified();
    if (text.isEmpty() || text.size() > 200 || text.contains(u'<'))
        return {};
    return QStringLiteral("服务器说：%1").arg(text);
}

QString withServerWords(const QString &text, const DavReply &reply)
{
    const QString words = serverSays(reply);
    return words.isEmpty() ? text : text + words;
}

} // namespace

QString DavClient::explain(const DavReply &reply, const QString &what)
{
    if (reply.failure != DavReply::Failure::None)
        return reply.error;
    const QString thing = what.isEmpty() ? QStringLiteral("这个请求") : what;
    const int status = reply.status;
    if (status >= 200 && status <= 299)
        return {};
    if (status >= 300 && status <= 399) {
        return QStringLiteral("服务器要把%1转到另一个地址(%2)，那不是同一个服务器，为安全起见没有跟随。")
            .arg(thing, QString::fromUtf8(reply.location));
    }
    QString text;
    switch (status) {
    case 0:
        return QStringLiteral("服务器没有回答。");
    case 400:
        text = QStringLiteral("服务器不接受%1(400 请求有误)。").arg(thing);
        break;
    case 403:
        text = QStringLiteral("服务器拒绝了%1(403 禁止访问)。").arg(thing);
        break;
    case 404:
    case 410:
        text = QStringLiteral("服务器上找不到%1(%2)。").arg(thing).arg(status);
        break;
    case 405:
        text = QStringLiteral("服务器不允许对%1做这种操作(405)。").arg(thing);
        break;
    case 409:
        text = QStringLiteral("%1与服务器上的内容冲突(409)。").arg(thing);
        break;
    case 412:
        text = QStringLiteral("%1在服务器上已被别处改过或已经存在(412)。").arg(thing);
        break;
    case 413:
        text = QStringLiteral("%1太大，服务器不接受(413)。").arg(thing);
        break;
    case 415:
    case 422:
        text = QStringLiteral("服务器不接受%1的格式(%2)。").arg(thing).arg(status);
        break;
    case 507:
        text = QStringLiteral("服务器空间已满，%1没有保存(507)。请在服务器上腾出空间后再同步。").arg(thing);
        break;
    default:
        if (status >= 500)
            text = QStringLiteral("服务器出错(%1)，%2没有完成，请稍后再试。").arg(status).arg(thing);
        else
            text = QStringLiteral("服务器拒绝了%1(%2)。").arg(thing).arg(status);
    }
    return withServerWords(text, reply);
}
