#pragma once

// A misbehaving WebDAV server inside a test, on 127.0.0.1 and a free port:
// it answers each request with whatever bytes the test gives it, however
// wrong (malformed XML, a huge declared length, no answer at all, a status
// outside HTTP), so the client and the sync can be driven through each
// failure.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

#include <functional>

class QTcpSocket;

class HostileServer final : public QObject
{
public:
    struct Request
    {
        QByteArray method;
        QByteArray path;
        QByteArray head; // the request line and headers
        QByteArray body;

        QByteArray header(const QByteArray &name) const;
    };

    // Answers every request once it has arrived whole: `respond` when set,
    // else `answer`. "{next}" in an answer becomes the request's path and
    // "x", so that redirects can run on for ever. An empty answer leaves the
    // connection open and silent, or closes it with `closeAfterAnswer`.
    QByteArray answer;
    std::function<QByteArray(const Request &)> respond;
    bool closeAfterAnswer = false;
    QList<QByteArray> requests; // method and path of each

    bool listen();
    QUrl url(const QString &path = QStringLiteral("/")) const;

    // A whole HTTP/1.1 answer with its Content-Length.
    static QByteArray reply(const QByteArray &statusLine, const QByteArray &body, const QByteArray &headers = {});

private:
    void read(QTcpSocket *socket);

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};
