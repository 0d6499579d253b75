#include "HostileServer.h"

#include <QTcpSocket>

QByteArray HostileServer::Request::header(const QByteArray &name) const
{
    const QByteArray wanted = name.toLower() + ':';
    for (const QByteArray &line : head.split('\n')) {
        if (line.toLower().startsWith(wanted))
            return line.mid(wanted.size()).trimmed();
    }
    return {};
}

bool HostileServer::listen()
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection())
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
    });
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QUrl HostileServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

QByteArray HostileServer::reply(const QByteArray &statusLine, const QByteArray &body, const QByteArray &headers)
{
    return "HTTP/1.1 " + statusLine + "\r\n" + headers + "Content-Length: " + QByteArray::number(body.size())
           + "\r\n\r\n" + body;
}

void HostileServer::read(QTcpSocket *socket)
{
    QByteArray &buffer = m_buffers[socket];
    buffer += socket->readAll();
    // Several requests may wait on one kept-alive connection.
    for (;;) {
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        Request request;
        request.head = buffer.left(headEnd);
        const qsizetype length = request.header("content-length").toLongLong();
        if (buffer.size() < headEnd + 4 + length)
            return;
        request.body = buffer.mid(headEnd + 4, length);
        buffer.remove(0, headEnd + 4 + length);
        const QList<QByteArray> words = request.head.left(request.head.indexOf('\r')).split(' ');
        request.method = words.value(0);
        request.path = words.value(1);
        requests.append(request.method + ' ' + request.path);
        const QByteArray bytes = respond ? respond(request) : answer;
        if (bytes.isEmpty()) {
            if (closeAfterAnswer)
                socket->disconnectFromHost();
            return;
        }
        socket->write(QByteArray(bytes).replace("{next}", request.path + 'x'));
        if (closeAfterAnswer) {
            socket->disconnectFromHost();
            return;
        }
    }
}
