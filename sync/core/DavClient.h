#pragma once

#include <QAtomicInt>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <memory>
#include <utility>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;
class QObject;

// Where the records are kept and who we are there.
struct DavAccount
{
    QUrl server;
    QString user;
    QString password;
    // SHA-256 of a certificate the user chose to trust although the system
    // does not: 32 bytes, or hex with or without colons.
    QByteArray trustedFingerprint;
    // A request that receives nothing for this long is given up. A server
    // may think a long while before the first byte of a listing of ten
    // thousand records.
    int timeoutMs = 60000;
};

struct DavReply
{
    // Why no HTTP answer came, or why it was dropped.
    enum class Failure {
        None,
        Unreachable, // refused, no such host, not HTTP, no secure connection
        Interrupted, // the connection broke in the middle of the answer
        TimedOut,
        AuthRejected, // the user name or password was refused
        UntrustedCertificate,
        TooLarge,
        RedirectLoop,
        Cancelled,
    };

    int status = 0;
    QByteArray body;
    QUrl url; // the last one asked, after redirects
    QByteArray etag;
    QByteArray location;
    Failure failure = Failure::None;
    QString error;          // what went wrong in plain words, when failure != None
    QByteArray fingerprint; // SHA-256 of a refused certificate, "AB:CD:..."

    bool ok() const { return failure == Failure::None && status >= 200 && status <= 299; }
};

// HTTP for WebDAV, one blocking call at a time, made for a worker thread:
// each call runs a local event loop until the answer, the timeout or
// cancel(). Create, call and destroy it in the same thread; only cancel()
// may come from another.
class DavClient final
{
public:
    explicit DavClient(DavAccount account);
    ~DavClient();
    DavClient(const DavClient &) = delete;
    DavClient &operator=(const DavClient &) = delete;

    const DavAccount &account() const { return m_account; }

    using Headers = QList<std::pair<QByteArray, QByteArray>>;
    DavReply send(const QByteArray &method, const QUrl &url, const QByteArray &body = {}, const Headers &headers = {});

    DavReply propfind(const QUrl &url, int depth, const QByteArray &body);
    DavReply report(const QUrl &url, int depth, const QByteArray &body);
    DavReply get(const QUrl &url);
    // An empty `ifMatch` sends If-None-Match: *, so a new record never
    // overwrites one another machine made meanwhile.
    DavReply put(const QUrl &url, const QByteArray &body, const QByteArray &contentType, const QByteArray &ifMatch);
    // An empty `ifMatch` deletes whatever is there.
    DavReply remove(const QUrl &url, const QByteArray &ifMatch);
    DavReply mkcol(const QUrl &url, const QByteArray &body);
    DavReply mkcalendar(const QUrl &url, const QByteArray &body);

    // Aborts the call in flight and makes every later call answer Cancelled
    // at once, until resume(). Safe from any thread.
    void cancel();
    void resume();
    bool isCancelled() const { return m_cancelled.loadRelaxed() != 0; }

    // Answers larger than this are dropped while they arrive (TooLarge).
    void setBodyLimit(qint64 bytes) { m_bodyLimit = bytes; }

    // The text a user is shown for a reply that is not ok(); `what` names
    // the record or collection the request was about (may be empty).
    static QString explain(const DavReply &reply, const QString &what = {});
    // "AB:CD:..." for 32 raw bytes.
    static QByteArray colonHex(const QByteArray &digest);

    static constexpr int maxRedirects = 5;

private:
    struct Call;
    DavReply sendOnce(const QByteArray &method, const QUrl &url, const QByteArray &body, const Headers &headers);
    QNetworkRequest request(const QUrl &url, const Headers &headers) const;
    bool follows(const QByteArray &method, const DavReply &reply) const;
    void watch(Call &call);
    static void finish(Call &call, DavReply &reply);

    DavAccount m_account;
    QByteArray m_trusted; // raw digest
    qint64 m_bodyLimit;
    QAtomicInt m_cancelled;
    std::unique_ptr<QNetworkAccessManager> m_network;
    QNetworkReply *m_inFlight = nullptr;
};
