// The launcher's timed syncs: at start or every few minutes as main.ini's
// [sync] section says, with the outcome kept there in plain words; a
// missing password is said, not crashed on; a real Radicale takes the
// records. Runs on a private session bus with no secret store, where a
// password is kept for the run only.
#include "app/LauncherSync.h"
#include "DavServer.h"
#include "FakeLauncherHost.h"
#include "platform/AppPaths.h"
#include "platform/ProfileFile.h"
#include "platform/Secrets.h"
#include "store/Clock.h"
#include "store/Sql.h"
#include "store/Store.h"
#include "sync/core/DavDiscovery.h"
#include "sync/core/SyncRunner.h"
#include "sync/core/SyncSettings.h"
#include "sync/core/SyncState.h"
#include "TempStore.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

Q_DECLARE_METATYPE(SyncSettings::When)

class tst_launcher_sync final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempStore> m_store;
    FakeLauncherHost m_host;
    DavServer m_server;

    static ProfileFile profile() { return ProfileFile(AppPaths::profileFile()); }
    static SyncSettings settings() { return SyncSettings::read(profile()); }

    static void save(const QString &server, SyncSettings::When when, int minutes = 30)
    {
        SyncSettings chosen;
        chosen.server = server;
        chosen.user = QStringLiteral("alice");
        chosen.when = when;
        chosen.minutes = minutes;
        VERIFY_OK(chosen.write(profile()));
    }

    // The timer of the syncs every few minutes.
    static QTimer *timerOf(LauncherSync &sync)
    {
        return sync.findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
    }

    // A Radicale with an address book and a calendar chosen in the store,
    // and the password kept for the run.
    void startServer()
    {
        if (!DavServer::installed(DavServer::Kind::Radicale))
            QSKIP("radicale is not installed");
        DavServer::Options options;
        options.password = QStringLiteral("s3cret");
        VERIFY_OK(m_server.start(DavServer::Kind::Radicale, options));
        DavClient client(m_server.account());
        Result<DavCollection> book =
            DavDiscovery::create(client, DavCollection::Kind::AddressBook, QStringLiteral("通讯录"));
        VERIFY_OK(book);
        Result<DavCollection> calendar =
            DavDiscovery::create(client, DavCollection::Kind::Calendar, QStringLiteral("日程"));
        VERIFY_OK(calendar);
        VERIFY_OK(SyncState::setCollection(Store::database(), SyncKind::Contact, book->url.toString()));
        VERIFY_OK(SyncState::setCollection(Store::database(), SyncKind::Job, calendar->url.toString()));
        VERIFY_OK(SyncState::setCollection(Store::database(), SyncKind::Note, calendar->url.toString()));
    }

    void keepPassword()
    {
        SyncSettings chosen = settings();
        Secrets::keep(chosen.secretKey(), QStringLiteral("s3cret"));
    }

    static void waitForSync(LauncherSync &sync)
    {
        QTRY_VERIFY_WITH_TIMEOUT(!sync.isSyncing(), 60000);
        // The outcome arrives as a queued signal after the thread ends.
        QTRY_VERIFY_WITH_TIMEOUT(!settings().lastResult.isEmpty(), 10000);
    }

private slots:
    void init()
    {
        m_store = std::make_unique<TempStore>();
        VERIFY_OK(m_store->make());
        Clock::setNow(QDateTime(QDate(2026, 3, 1), QTime(9, 30)));
    }
    void cleanup()
    {
        Secrets::forget(settings().secretKey());
        m_server.stop();
        m_store.reset();
        Clock::reset();
    }

    // What the settings ask for at start and afterwards, with no password
    // kept: a sync that cannot start says why.
    void followsTheSettings_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<SyncSettings::When>("when");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<bool>("starting");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("interval"); // of the timer; 0 for none
        using W = SyncSettings::When;
        const QString server = QStringLiteral("http://127.0.0.1:9/");
        const QString noPassword = QStringLiteral("2026-03-01 09:30 没有同步服务器的密码,请在“同步”中输入。");
        QTest::newRow("at start, no password") << server << W::AtStart << 30 << true << noPassword << 0;
        QTest::newRow("at start, settings saved later") << server << W::AtStart << 30 << false << QString() << 0;
        QTest::newRow("by hand") << server << W::ByHand << 30 << true << QString() << 0;
        QTest::newRow("every 5 minutes") << server << W::Every << 5 << true << QString() << 5 * 60000;
        QTest::newRow("every day") << server << W::Every << 24 * 60 << false << QString() << 24 * 60 * 60000;
        QTest::newRow("no server") << QString() << W::AtStart << 30 << true << QString() << 0;
    }
    void followsTheSettings()
    {
        QFETCH(QString, server);
        QFETCH(SyncSettings::When, when);
        QFETCH(int, minutes);
        QFETCH(bool, starting);
        QFETCH(QString, result);
        QFETCH(int, interval);
        save(server, when, minutes);
        int changes = 0;
        LauncherSync sync(m_host, [&changes] { ++changes; });
        sync.schedule(starting);
        QVERIFY(!sync.isSyncing());
        QCOMPARE(settings().lastResult, result);
        QCOMPARE(changes, result.isEmpty() ? 0 : 1);
        QTimer *timer = timerOf(sync);
        QVERIFY(timer);
        QCOMPARE(timer->isActive(), interval > 0);
        if (interval > 0)
            QCOMPARE(timer->interval(), interval);

        // Back to by hand: the timer stops.
        save(server, SyncSettings::When::ByHand);
        sync.schedule(false);
        QVERIFY(!timer->isActive());
    }

    void syncsAtStart()
    {
        startServer();
        save(m_server.url().toString(), SyncSettings::When::AtStart);
        keepPassword();
        VERIFY_OK(Sql::run(Store::database(),
                           QStringLiteral("INSERT INTO pe_info (pe_id, pe_name, pe_sex, n_add, pe_mib, pe_other, "
                                          "pe_h_tel, post, pe_code, code_add, net_con, pe_memo, pe_img, e_dec_yn) "
                                          "VALUES ('20260301090000', '张三', 1, '-', '139', '-', '-', '-', '-', '-', "
                                          "'-', '-', '', 0)")));
        int changes = 0;
        LauncherSync sync(m_host, [&changes] { ++changes; });
        sync.schedule(true);
        QVERIFY(sync.isSyncing());
        waitForSync(sync);
        const QString last = settings().lastResult;
        QVERIFY2(last.startsWith(QStringLiteral("2026-03-01 09:30 同步完成")), qPrintable(last));
        QVERIFY2(last.contains(QStringLiteral("发送到服务器1条")), qPrintable(last));
        QCOMPARE(changes, 1);
    }

    // The timer's turn starts a sync, and each later turn another; a turn
    // that finds one running leaves it alone.
    void syncsEachTimeTheTimerFires()
    {
        startServer();
        save(m_server.url().toString(), SyncSettings::When::Every, 5);
        keepPassword();
        LauncherSync sync(m_host, {});
        sync.schedule(true);
        QVERIFY(!sync.isSyncing());
        QTimer *timer = timerOf(sync);
        QVERIFY(timer && timer->isActive());

        QMetaObject::invokeMethod(timer, "timeout");
        QVERIFY(sync.isSyncing());
        QMetaObject::invokeMethod(timer, "timeout");
        waitForSync(sync);
        QVERIFY2(settings().lastResult.startsWith(QStringLiteral("2026-03-01 09:30 同步完成")),
                 qPrintable(settings().lastResult));

        Clock::advance(5 * 60000);
        QMetaObject::invokeMethod(timer, "timeout");
        QVERIFY(sync.isSyncing());
        QTRY_VERIFY_WITH_TIMEOUT(settings().lastResult.startsWith(QStringLiteral("2026-03-01 09:35 同步完成")), 60000);
        QVERIFY(timer->isActive());
    }
};

QTEST_MAIN(tst_launcher_sync)
#include "tst_launcher_sync.moc"
