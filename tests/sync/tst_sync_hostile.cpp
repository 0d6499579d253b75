// The sync against a server that misbehaves: malformed or huge answers,
// statuses that make no sense, redirects without end, silence, a refused
// password, a full quota, one record refused among others. A failure that
// stops the sync says so plainly and leaves every record, change mark, item
// and token here as it was, so the next sync starts from the same place; a
// refused record is named and the others go.
#include "HostileServer.h"
#include "sync/core/SyncEngine.h"
#include "sync/core/SyncState.h"
#include "SyncSide.h"
#include "VerifyOk.h"

#include <QMap>
#include <QTest>

#include <algorithm>

namespace {

const QByteArray kToken = "tok-1";
const QString kBook = QStringLiteral("/dav/book/");
const QString kCalendar = QStringLiteral("/dav/cal/");

QByteArray multistatus(const QByteArray &inside)
{
    return "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\">" + inside + "</d:multistatus>";
}

QByteArray propResponse(const QByteArray &href, const QByteArray &props)
{
    return "<d:response><d:href>" + href + "</d:href><d:propstat><d:prop>" + props
           + "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>";
}

// Which request of a sync this is, as the test table names them.
QByteArray requestName(const HostileServer::Request &request)
{
    if (request.method == "REPORT")
        return request.body.contains("sync-collection") ? "REPORT sync" : "REPORT multiget";
    return request.method;
}

// What a server that behaves would say: the same token every time, one
// resource changed since it that is gone by the time it is asked for, the
// resources it was given when listed whole, every record taken.
class GoodServer final
{
public:
    QByteArray answer(const HostileServer::Request &request)
    {
        const QByteArray name = requestName(request);
        const QByteArray fresh = request.path + (request.path.endsWith("book/") ? "fresh.vcf" : "fresh.ics");
        if (name == "PROPFIND" && request.header("depth") == "1") {
            QByteArray members = propResponse(request.path, {});
            for (auto held = m_held.cbegin(); held != m_held.cend(); ++held) {
                if (held.key().startsWith(request.path))
                    members += propResponse(held.key(), "<d:getetag>" + held.value() + "</d:getetag>");
            }
            return multistatusReply(members);
        }
        if (name == "PROPFIND")
            return multistatusReply(propResponse(request.path, "<d:sync-token>" + kToken + "</d:sync-token>"));
        if (name == "REPORT sync")
            return multistatusReply(propResponse(fresh, "<d:getetag>\"f1\"</d:getetag>") + "<d:sync-token>" + kToken
                                    + "</d:sync-token>");
        if (name == "REPORT multiget")
            return multistatusReply("<d:response><d:href>" + fresh
                                    + "</d:href><d:status>HTTP/1.1 404 Not Found</d:status></d:response>");
        if (name == "PUT") {
            const QByteArray etag = "\"e" + QByteArray::number(++m_etags) + '"';
            m_held[request.path] = etag;
            return HostileServer::reply("201 Created", {}, "ETag: " + etag + "\r\n");
        }
        if (name == "DELETE") {
            m_held.remove(request.path);
            return HostileServer::reply("204 No Content", {});
        }
        return HostileServer::reply("404 Not Found", {});
    }

private:
    static QByteArray multistatusReply(const QByteArray &inside)
    {
        return HostileServer::reply("207 Multi-Status", multistatus(inside));
    }

    QMap<QByteArray, QByteArray> m_held; // href and ETag of each resource
    int m_etags = 0;
};

// Every table a failed sync must leave alone, each row with its rowid.
// record_uid may gain the UIDs records are given when they are first read
// for sending, and sync_sent what was about to be sent before each request
// (so that a lost answer is recognised later): neither changes a record or
// what the next sync does with it.
const QStringList kRecordTables = {"pe_info", "pe_dw_info", "pe_other_info", "job_do", "job_do_sub", "note_pad"};
const QStringList kStateTables = {"sync_collection", "sync_item", "sync_change"};

QMap<QString, QStringList> snapshot(const SyncSide &side, const QStringList &tables)
{
    QMap<QString, QStringList> rows;
    for (const QString &table : tables)
        rows[table] = side.rows(QStringLiteral("SELECT rowid, * FROM ") + table);
    return rows;
}

const QList<SyncKind> kKinds = {SyncKind::Contact, SyncKind::Job, SyncKind::Note};

} // namespace

class tst_sync_hostile final : public QObject
{
    Q_OBJECT

    HostileServer m_server;
    std::unique_ptr<SyncSide> m_side;
    // The request the server spoils ("*" for every one), and how.
    QByteArray m_spoiled;
    QByteArray m_spoil;
    std::unique_ptr<GoodServer> m_good;

    DavAccount account(int timeoutMs = 5000) const
    {
        DavAccount account;
        account.server = m_server.url();
        account.user = QStringLiteral("alice");
        account.password = QStringLiteral("secret");
        account.timeoutMs = timeoutMs;
        return account;
    }

    QUrl collection(SyncKind kind) const { return m_server.url(kind == SyncKind::Contact ? kBook : kCalendar); }

    // A store that synced once with the server, then changed: a contact
    // and a job added, a contact changed, a note added and one deleted.
    Result<void> prepare()
    {
        m_side = std::make_unique<SyncSide>(QStringLiteral("hostile"));
        if (Result<void> made = m_side->make(collection(SyncKind::Contact), collection(SyncKind::Job)); !made)
            return made;
        SyncSide &s = *m_side;
        const bool added =
            s.addContact(QStringLiteral("20260101080000"), QStringLiteral("张三"), QStringLiteral("13900000001"))
            && s.addContact(QStringLiteral("20260101080500"), QStringLiteral("赵六"), QStringLiteral("13900000006"))
            && s.run(QStringLiteral("INSERT INTO pe_other_info (pe_id, pe_other_memo, e_dec_yn) VALUES (?, ?, 0)"),
                     {QStringLiteral("20260101080500"), QStringLiteral("爱喝茶")})
            && s.addJob(QStringLiteral("20260101090000"), QStringLiteral("20260105"), QStringLiteral("拜访客户"))
            && s.run(QStringLiteral("INSERT INTO job_do_sub (id, date_id, job_memo_sub, e_dec_yn) VALUES (?, ?, ?, 0)"),
                     {QStringLiteral("20260101090000"), QStringLiteral("20260105100000"), QStringLiteral("已约好")})
            && s.addNote(QStringLiteral("20260101100000"), QStringLiteral("旧日记"));
        if (!added)
            return fail(QStringLiteral("cannot add the first records"));
        if (Result<void> synced = syncAll(account()); !synced)
            return synced;
        const bool changed =
            s.addContact(QStringLiteral("20260102080000"), QStringLiteral("李四"), QStringLiteral("13900000004"))
            && s.run(QStringLiteral("UPDATE pe_info SET pe_mib = '13900000002' WHERE pe_id = '20260101080000'"))
            && s.addJob(QStringLiteral("20260102090000"), QStringLiteral("20260106"), QStringLiteral("约李四吃饭"))
            && s.addNote(QStringLiteral("20260102100000"), QStringLiteral("新日记"))
            && s.run(QStringLiteral("DELETE FROM note_pad WHERE date_id = '20260101100000'"));
        if (!changed)
            return fail(QStringLiteral("cannot change the records"));
        return {};
    }

    Result<void> syncAll(const DavAccount &account)
    {
        DavClient client(account);
        SyncEngine engine(m_side->db(), client, {});
        for (const SyncKind kind : kKinds) {
            if (Result<SyncEngine::Report> report = engine.run(kind, collection(kind)); !report)
                return fail(report.error());
        }
        return {};
    }

private slots:
    void initTestCase() { QVERIFY(m_server.listen()); }
    void init()
    {
        m_spoiled.clear();
        m_spoil.clear();
        m_good = std::make_unique<GoodServer>();
        m_server.respond = [this](const HostileServer::Request &request) {
            if (!m_spoiled.isEmpty() && (m_spoiled == "*" || m_spoiled == requestName(request)))
                return m_spoil;
            return m_good->answer(request);
        };
        VERIFY_OK(prepare());
        m_server.requests.clear();
    }
    void cleanup() { m_side.reset(); }

    void aFailureChangesNothingHere_data()
    {
        QTest::addColumn<QByteArray>("spoiled");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("withToken");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<QString>("said");
        const auto reply = &HostileServer::reply;
        const QByteArray cut = reply("207 Multi-Status", "<d:multistatus xmlns:d='DAV:'><d:response><d:href>", {});
        QTest::newRow("malformed sync report") << QByteArray("REPORT sync") << cut << true << 5000 << "不是完整的 XML";
        QTest::newRow("malformed multiget") << QByteArray("REPORT multiget") << cut << true << 5000 << "不是完整的 XML";
        QTest::newRow("malformed listing without a token")
            << QByteArray("PROPFIND") << cut << false << 5000 << "不是完整的 XML";
        QTest::newRow("a declared 300 MB report")
            << QByteArray("REPORT sync")
            << QByteArray("HTTP/1.1 207 Multi-Status\r\nContent-Length: 300000000\r\n\r\n<d:multistatus") << true
            << 5000 << "超过 64 MB";
        QTest::newRow("a report nested 100 deep")
            << QByteArray("REPORT sync")
            << reply("207 Multi-Status",
                     multistatus(QByteArray("<a>").repeated(100) + QByteArray("</a>").repeated(100)), {})
            << true << 5000 << "嵌套超过64层";
        QTest::newRow("a web page with 200")
            << QByteArray("*") << reply("200 OK", "<html><body>Welcome</body></html>", {}) << true << 5000
            << "不是 WebDAV 的多状态回答";
        QTest::newRow("status 999") << QByteArray("*") << reply("999 Odd", {}, {}) << true << 5000 << "服务器出错(999)";
        QTest::newRow("500 on everything")
            << QByteArray("*") << reply("500 Internal Server Error", {}, {}) << true << 5000 << "服务器出错(500)";
        QTest::newRow("a redirect loop") << QByteArray("*") << reply("302 Found", {}, "Location: {next}\r\n") << true
                                         << 5000 << "重定向超过 5 次或回到原处";
        QTest::newRow("silence") << QByteArray("*") << QByteArray() << true << 300 << "没有回答";
        QTest::newRow("wrong password") << QByteArray("*")
                                        << reply("401 Unauthorized", "no", "WWW-Authenticate: Basic realm=\"dav\"\r\n")
                                        << true << 5000 << "不接受这个用户名或密码";
        QTest::newRow("quota full") << QByteArray("PUT") << reply("507 Insufficient Storage", {}, {}) << true << 5000
                                    << "服务器空间已满";
    }
    void aFailureChangesNothingHere()
    {
        QFETCH(QByteArray, spoiled);
        QFETCH(QByteArray, answer);
        QFETCH(bool, withToken);
        QFETCH(int, timeoutMs);
        QFETCH(QString, said);
        if (!withToken) {
            for (const SyncKind kind : kKinds)
                VERIFY_OK(SyncState::setToken(m_side->db(), kind, {}));
        }
        const QMap<QString, QStringList> before = snapshot(*m_side, kRecordTables + kStateTables);
        QVERIFY(!before[QStringLiteral("sync_change")].isEmpty());
        QVERIFY(!before[QStringLiteral("sync_item")].isEmpty());
        m_spoiled = spoiled;
        m_spoil = answer;

        DavClient client(account(timeoutMs));
        SyncEngine engine(m_side->db(), client, {});
        for (const SyncKind kind : kKinds) {
            m_server.requests.clear();
            const Result<SyncEngine::Report> report = engine.run(kind, collection(kind));
            QVERIFY2(!report, qPrintable(SyncKinds::name(kind) + QStringLiteral(" synced")));
            QVERIFY2(report.error().contains(said), qPrintable(report.error()));
            // A full quota stops at the first record refused.
            if (spoiled == "PUT")
                QCOMPARE(std::count_if(m_server.requests.cbegin(), m_server.requests.cend(),
                                       [](const QByteArray &request) { return request.startsWith("PUT "); }),
                         1);
        }
        const QMap<QString, QStringList> after = snapshot(*m_side, kRecordTables + kStateTables);
        for (auto table = before.cbegin(); table != before.cend(); ++table)
            QCOMPARE(after[table.key()], table.value());

        // The next sync, with the server well again, does the work.
        m_spoiled.clear();
        VERIFY_OK(syncAll(account()));
        QCOMPARE(m_side->count(QStringLiteral("sync_change")), 0);
    }

    // The server refuses one record and takes the others: the refused one
    // is named and stays marked for the next sync.
    void aRefusedRecordIsNamedAndTheRestGo_data()
    {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("forbidden") << QByteArray("403 Forbidden") << "(403 禁止访问)";
        QTest::newRow("a format not taken") << QByteArray("415 Unsupported Media Type") << "的格式(415)";
        QTest::newRow("too large") << QByteArray("413 Payload Too Large") << "太大，服务器不接受(413)";
        QTest::newRow("refused, in the server's words")
            << QByteArray("400 Bad Request") << "服务器说：no such thing as 李四";
    }
    void aRefusedRecordIsNamedAndTheRestGo()
    {
        QFETCH(QByteArray, status);
        QFETCH(QString, said);
        m_server.respond = [this, status](const HostileServer::Request &request) {
            if (request.method == "PUT" && request.body.contains("李四"))
                return HostileServer::reply(status, status.startsWith("400") ? "no such thing as 李四" : "");
            return m_good->answer(request);
        };
        const QMap<QString, QStringList> records = snapshot(*m_side, kRecordTables);
        const QStringList marked = m_side->rows(QStringLiteral("SELECT kind, record_key FROM sync_change"));

        DavClient client(account());
        SyncEngine engine(m_side->db(), client, {});
        SyncEngine::Report total;
        for (const SyncKind kind : kKinds) {
            const Result<SyncEngine::Report> report = engine.run(kind, collection(kind));
            VERIFY_OK(report);
            total.add(*report);
        }
        QVERIFY2(total.sent == 2 && total.removedThere == 1 && total.problems.size() == 2, qPrintable(describe(total)));
        QVERIFY2(total.problems[0].contains(QStringLiteral("“李四”")) && total.problems[0].contains(said),
                 qPrintable(total.problems[0]));
        QVERIFY2(total.problems[1].contains(QStringLiteral("“约李四吃饭”")) && total.problems[1].contains(said),
                 qPrintable(total.problems[1]));
        QCOMPARE(snapshot(*m_side, kRecordTables), records);
        // Only the refused records wait for the next sync.
        QCOMPARE(m_side->rows(QStringLiteral("SELECT kind, record_key FROM sync_change")),
                 (QStringList{QStringLiteral("contact | 20260102080000"), QStringLiteral("job | 20260102090000")}));
        QVERIFY(marked.size() > 2);
        QCOMPARE(
            m_side->rows(QStringLiteral("SELECT kind, record_key FROM sync_item WHERE record_key LIKE '20260102%'")),
            (QStringList{QStringLiteral("note | 20260102100000")}));
    }
};

QTEST_GUILESS_MAIN(tst_sync_hostile)
#include "tst_sync_hostile.moc"
