#pragma once

#include "store/Result.h"
#include "sync/core/DavClient.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

// A real CardDAV/CalDAV server for tests, on 127.0.0.1 and a free port, with
// its storage in a fresh temporary folder. The destructor stops it and
// removes the folder.
//
//     DavServer server;
//     VERIFY_OK(server.start(DavServer::Kind::Radicale, {.password = "secret"}));
//     DavClient client(server.account());
class DavServer final
{
public:
    enum class Kind { Radicale, Xandikos };

    struct Options
    {
        QString user = QStringLiteral("alice");
        // Radicale only: a non-empty password is checked (an htpasswd file
        // with plain passwords). xandikos has no login and takes any.
        QString password;
        // Radicale only: HTTPS with a self-signed certificate made for this
        // server, which the system does not trust (fingerprint()).
        bool tls = false;
    };

    DavServer() = default;
    ~DavServer();
    DavServer(const DavServer &) = delete;
    DavServer &operator=(const DavServer &) = delete;

    // The program's name, and whether it is installed (tests QSKIP without).
    static QString program(Kind kind);
    static bool installed(Kind kind);

    // Starts the server and returns once it takes connections.
    Result<void> start(Kind kind, const Options &options);
    Result<void> start(Kind kind);
    void stop();
    bool isRunning() const;

    Kind kind() const { return m_kind; }
    // "http://127.0.0.1:PORT/" (https with tls).
    QUrl url() const { return m_url; }
    // The URL, user and password a client needs; no certificate trusted.
    DavAccount account() const;
    // SHA-256 of the TLS certificate, "AB:CD:...".
    QByteArray fingerprint() const { return m_fingerprint; }
    // Where the server keeps its files.
    QString folder() const;

private:
    Result<void> prepare(const Options &options);
    Result<void> launch(int port);
    QStringList arguments(int port) const;
    QString logTail() const;

    Kind m_kind = Kind::Radicale;
    Options m_options;
    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_process;
    QUrl m_url;
    QByteArray m_fingerprint;
};
