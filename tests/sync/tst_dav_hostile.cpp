// A server that misbehaves, a small HTTP server inside the test: malformed
// XML, huge bodies, wrong status codes, redirect loops, silence, a connection
// cut in the middle of an answer. Each ends in the right failure and a plain
// message, never a crash or a wait without end.
#include "HostileServer.h"
#include "sync/core/DavClient.h"
#include "sync/core/DavDiscovery.h"
#include "sync/core/DavXml.h"
#include "VerifyOk.h"

#include <QPointer>
#include <QTcpServer>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <atomic>

Q_DECLARE_METATYPE(DavReply::Failure)

namespace {

QByteArray response(const QByteArray &statusLine, const QByteArray &body, const QByteArray &headers = {})
{
    return HostileServer::reply(statusLine, body, headers);
}

DavAccount accountFor(const HostileServer &server, int timeoutMs = 5000)
{
    DavAccount account;
    account.server = server.url();
    account.user = QStringLiteral("alice");
    account.password = QStringLiteral("secret");
    account.timeoutMs = timeoutMs;
    return account;
}

} // namespace

class tst_dav_hostile final : public QObject
{
    Q_OBJECT

private slots:
    void eachMisdeedHasItsFailure_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("close");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<DavReply::Failure>("failure");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        using F = DavReply::Failure;
        const QString record = QStringLiteral("联系人“张三”");
        QTest::newRow("silence") << QByteArray("PROPFIND") << QByteArray() << false << 300 << F::TimedOut << 0
                                 << "在 1 秒内没有回答";
        QTest::newRow("cut in the middle")
            << QByteArray("REPORT") << QByteArray("HTTP/1.1 207 Multi-Status\r\nContent-Length: 1000\r\n\r\n<multi")
            << true << 5000 << F::Interrupted << 207 << "在回答途中断开了连接";
        QTest::newRow("closed before answering")
            << QByteArray("GET") << QByteArray() << true << 5000 << F::Unreachable << 0 << "无法连接服务器 127.0.0.1";
        QTest::newRow("a declared 300 MB body")
            << QByteArray("REPORT")
            << QByteArray("HTTP/1.1 207 Multi-Status\r\nContent-Length: 300000000\r\n\r\n<multistatus") << false << 5000
            << F::TooLarge << 207 << "超过 1 MB";
        QTest::newRow("2 MB with no length")
            << QByteArray("GET") << "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(2 << 20, 'x') << true
            << 5000 << F::TooLarge << 200 << "超过 1 MB";
        QTest::newRow("a redirect to itself") << QByteArray("PROPFIND") << response("301 Moved", {}, "Location: /\r\n")
                                              << false << 5000 << F::RedirectLoop << 301 << "重定向超过 5 次或回到原处";
        QTest::newRow("redirects without end")
            << QByteArray("GET") << response("302 Found", {}, "Location: {next}\r\n") << false << 5000
            << F::RedirectLoop << 302 << "重定向超过 5 次或回到原处";
        QTest::newRow("a redirect to another server")
            << QByteArray("PROPFIND") << response("307 Elsewhere", {}, "Location: http://127.0.0.2:9/dav/\r\n") << false
            << 5000 << F::None << 307 << "转到另一个地址(http://127.0.0.2:9/dav/)";
        QTest::newRow("a redirect after a write is not followed")
            << QByteArray("PUT") << response("301 Moved", {}, "Location: /x\r\n") << false << 5000 << F::None << 301
            << "转到另一个地址";
        QTest::newRow("password refused")
            << QByteArray("PROPFIND") << response("401 Unauthorized", "no", "WWW-Authenticate: Basic realm=\"x\"\r\n")
            << false << 5000 << F::AuthRejected << 401 << "不接受这个用户名或密码";
        QTest::newRow("password refused, another scheme asked")
            << QByteArray("PROPFIND")
            << response("401 Unauthorized", "no", "WWW-Authenticate: Digest realm=\"x\", nonce=\"1\", qop=\"auth\"\r\n")
            << false << 5000 << F::AuthRejected << 401 << "不接受这个用户名或密码";
        QTest::newRow("quota full") << QByteArray("PUT") << response("507 Insufficient Storage", {}) << false << 5000
                                    << F::None << 507 << "服务器空间已满，" + record + "没有保存(507)";
        QTest::newRow("a record refused, in the server's words")
            << QByteArray("PUT") << response("400 Bad Request", "Bad Request: no FN") << false << 5000 << F::None << 400
            << "服务器不接受" + record + "(400 请求有误)。服务器说：Bad Request: no FN";
        QTest::newRow("too large for the server")
            << QByteArray("PUT") << response("413 Too Large", {}) << false << 5000 << F::None << 413 << record + "太大";
        QTest::newRow("forbidden, with a page")
            << QByteArray("DELETE") << response("403 Forbidden", "<html>denied</html>") << false << 5000 << F::None
            << 403 << "服务器拒绝了" + record + "(403 禁止访问)。";
        QTest::newRow("server error") << QByteArray("REPORT") << response("503 Busy", {}) << false << 5000 << F::None
                                      << 503 << "服务器出错(503)";
        QTest::newRow("a status outside HTTP")
            << QByteArray("GET") << response("999 Odd", {}) << false << 5000 << F::None << 999 << "服务器出错(999)";
        QTest::newRow("not HTTP") << QByteArray("GET") << QByteArray("SSH-2.0-OpenSSH_9.2\r\n\r\n") << true << 5000
                                  << F::Unreachable << 0 << "无法连接服务器 127.0.0.1";
    }
    void eachMisdeedHasItsFailure()
    {
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, answer);
        QFETCH(bool, close);
        QFETCH(int, timeoutMs);
        QFETCH(DavReply::Failure, failure);
        QFETCH(int, status);
        QFETCH(QString, said);
        HostileServer server;
        server.answer = answer;
        server.closeAfterAnswer = close;
        QVERIFY(server.listen());
        DavClient client(accountFor(server, timeoutMs));
        client.setBodyLimit(1 << 20);
        const DavReply reply = client.send(method, server.url(), "<x/>");
        QCOMPARE(reply.failure, failure);
        QCOMPARE(reply.status, status);
        QVERIFY(!reply.ok());
        const QString text = DavClient::explain(reply, QStringLiteral("联系人“张三”"));
        QVERIFY2(text.contains(said), qPrintable(text));
        if (failure != DavReply::Failure::None)
            QVERIFY(reply.body.isEmpty());
    }

    // What reaches the user from a server that answers but is no CardDAV or
    // CalDAV server.
    void discoveryExplainsAHostileServer_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("said");
        QTest::newRow("malformed XML") << response("207 Multi-Status", "<multistatus xmlns='DAV:'><response><href>")
                                       << "不是完整的 XML";
        QTest::newRow("a web page") << response("200 OK", "<html><body>Welcome</body></html>")
                                    << "不是 WebDAV 的(状态 200)";
        QTest::newRow("a multistatus of nothing")
            << response("207 Multi-Status", "<multistatus xmlns='DAV:'/>") << "没有找到放通讯录和日历的位置";
        QTest::newRow("a DTD") << response("207 Multi-Status", "<!DOCTYPE x [<!ENTITY a 'b'>]><x/>")
                               << "文档类型声明(DTD)";
        QTest::newRow("not found") << response("404 Not Found", {}) << "找不到地址 http://127.0.0.1";
    }
    void discoveryExplainsAHostileServer()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, said);
        HostileServer server;
        server.answer = answer;
        QVERIFY(server.listen());
        DavClient client(accountFor(server));
        const Result<QList<DavCollection>> found = DavDiscovery::find(client);
        QVERIFY(!found);
        QVERIFY2(found.error().contains(said), qPrintable(found.error()));
        const Result<DavCollection> made = DavDiscovery::create(client, DavCollection::Kind::Calendar, "日历");
        QVERIFY(!made);
        QVERIFY(std::none_of(server.requests.cbegin(), server.requests.cend(),
                             [](const QByteArray &request) { return request.startsWith("MKCALENDAR"); }));
    }

    // The sync runs the client in a worker thread; the window cancels it
    // from its own.
    void cancelStopsTheCallInFlightAndTheNext()
    {
        HostileServer server;
        QVERIFY(server.listen());
        std::atomic<DavClient *> shared = nullptr;
        std::atomic<bool> done = false;
        DavReply inFlight, next;
        QThread *worker = QThread::create([&] {
            DavClient client(accountFor(server, 60000));
            shared = &client;
            inFlight = client.propfind(server.url(), 0, DavXml::principalBody());
            next = client.get(server.url());
            shared = nullptr;
            done = true;
        });
        worker->start();
        QTRY_COMPARE(server.requests.size(), 1);
        shared.load()->cancel();
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        worker->wait();
        delete worker;
        QCOMPARE(inFlight.failure, DavReply::Failure::Cancelled);
        QCOMPARE(next.failure, DavReply::Failure::Cancelled);
        QCOMPARE(server.requests.size(), 1);
        QCOMPARE(DavClient::explain(next), QStringLiteral("已取消。"));
    }

    void resumeAllowsCallsAgain()
    {
        HostileServer server;
        server.answer = response("200 OK", "ok");
        QVERIFY(server.listen());
        DavClient client(accountFor(server));
        client.cancel();
        QCOMPARE(client.get(server.url()).failure, DavReply::Failure::Cancelled);
        client.resume();
        const DavReply reply = client.get(server.url());
        QVERIFY(reply.ok());
        QCOMPARE(reply.body, QByteArray("ok"));
    }

    void nothingListens()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 port = probe.serverPort();
        probe.close();
        DavAccount account;
        account.server = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port));
        DavClient client(account);
        const DavReply reply = client.get(account.server);
        QCOMPARE(reply.failure, DavReply::Failure::Unreachable);
        QVERIFY2(reply.error.contains(QStringLiteral("对方拒绝连接")), qPrintable(reply.error));
    }
};

QTEST_GUILESS_MAIN(tst_dav_hostile)
#include "tst_dav_hostile.moc"
