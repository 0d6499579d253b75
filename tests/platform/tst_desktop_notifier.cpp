// Desktop notifications against a fake notification server on a private
// session bus: what reaches the server, which answers reach the caller under
// its own keys, and that no bus, no server or a hung one ends in failed()
// without waiting or noise.
#include "FakeNotificationServer.h"
#include "platform/AppPaths.h"
#include "platform/DesktopNotifier.h"
#include "VerifyOk.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const DesktopNotifier::Actions kReminderActions{
    {QStringLiteral("open"), QStringLiteral("打开日程")},
    {QStringLiteral("snooze"), QStringLiteral("稍后提醒")},
    {QStringLiteral("done"), QStringLiteral("完成")},
};

// A Notify from another program on the same server, with its own connection.
uint notifyAsOtherProgram()
{
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("other") << uint(0) << QString() << QStringLiteral("x") << QString() << QStringList()
         << QVariantMap() << -1;
    const QDBusMessage reply = other.call(call);
    return reply.arguments().value(0).toUInt();
}

} // namespace

class tst_desktop_notifier final : public QObject
{
    Q_OBJECT

private:
    FakeNotificationServer m_server;

    // Notifies under `key` and waits until the notifier knows the server's id.
    uint shown(DesktopNotifier &notifier, quint64 key, const QString &summary = QStringLiteral("日程"))
    {
        const int before = int(m_server.notifications().size());
        notifier.notify(key, summary, QString(), kReminderActions);
        if (!m_server.waitForNotify(before + 1) || !QTest::qWaitFor([&] { return notifier.isShown(key); }))
            return 0;
        return m_server.notifications().constLast().id;
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            QSKIP("needs a private session bus: run under dbus-run-session");
    }

    void init() { VERIFY_OK(m_server.start()); }
    void cleanup() { m_server.stop(); }

    void withoutBusFailsQuietly()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        QTemporaryDir dir;
        const QDBusConnection nowhere = QDBusConnection::connectToBus(
            QStringLiteral("unix:path=%1/no-bus").arg(dir.path()), QStringLiteral("nowhere"));
        DesktopNotifier notifier(nowhere);
        QSignalSpy failed(&notifier, &DesktopNotifier::failed);

        QVERIFY(!notifier.serverAvailable());
        notifier.notify(4, QStringLiteral("日程"), QString(), kReminderActions);
        QVERIFY2(failed.isEmpty(), "failed() comes after notify() returns, as from a server");
        QVERIFY(failed.wait());
        QCOMPARE(failed.first().at(0).toULongLong(), quint64(4));
        QVERIFY(!failed.first().at(1).toString().isEmpty());
        notifier.close(4);
        QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
    }

    void withoutServerFailsQuietly()
    {
        m_server.stop();
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        DesktopNotifier notifier;
        QSignalSpy failed(&notifier, &DesktopNotifier::failed);

        QVERIFY(!notifier.serverAvailable());
        notifier.notify(9, QStringLiteral("日程"), QStringLiteral("正文"), kReminderActions);
        QVERIFY(failed.wait());
        QCOMPARE(failed.first().at(0).toULongLong(), quint64(9));
        QVERIFY(!notifier.isShown(9));
    }

    void serverSeenWhileItHoldsTheName()
    {
        DesktopNotifier notifier;
        QVERIFY(notifier.serverAvailable());
        m_server.stop();
        QVERIFY(!notifier.serverAvailable());
    }

    void notifyReachesServer_data()
    {
        QTest::addColumn<DesktopNotifier::Urgency>("urgency");
        QTest::addColumn<uchar>("urgencyByte");
        QTest::newRow("normal") << DesktopNotifier::Urgency::Normal << uchar(1);
        QTest::newRow("critical") << DesktopNotifier::Urgency::Critical << uchar(2);
    }

    void notifyReachesServer()
    {
        QFETCH(DesktopNotifier::Urgency, urgency);
        QFETCH(uchar, urgencyByte);
        DesktopNotifier notifier;
        notifier.notify(1, QStringLiteral("09:30 与张经理会面"), QStringLiteral("第二行\n地点:三楼"), kReminderActions,
                        urgency);
        QVERIFY(m_server.waitForNotify(1));

        const FakeNotificationServer::Notification sent = m_server.notifications().constFirst();
        QCOMPARE(sent.appName, AppPaths::kApplicationTitle);
        QCOMPARE(sent.replacesId, 0u);
        QCOMPARE(sent.summary, QStringLiteral("09:30 与张经理会面"));
        QCOMPARE(sent.body, QStringLiteral("第二行\n地点:三楼"));
        const QStringList actions{QStringLiteral("open"),     QStringLiteral("打开日程"), QStringLiteral("snooze"),
                                  QStringLiteral("稍后提醒"), QStringLiteral("done"),     QStringLiteral("完成")};
        QCOMPARE(sent.actions, actions);
        QCOMPARE(sent.expireTimeout, -1);
        QCOMPARE(sent.hints.value(QStringLiteral("urgency")).userType(), int(QMetaType::UChar));
        QCOMPARE(sent.hints.value(QStringLiteral("urgency")).value<uchar>(), urgencyByte);
        QCOMPARE(sent.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("com.velmora.notepad"));
    }

    void actionReachesCallerUnderItsKey()
    {
        DesktopNotifier notifier;
        QSignalSpy invoked(&notifier, &DesktopNotifier::actionInvoked);
        const uint first = shown(notifier, 101);
        const uint second = shown(notifier, 102);
        QVERIFY(first != 0 && second != 0 && first != second);
        const uint others = notifyAsOtherProgram();
        QVERIFY(others != 0);

        m_server.invokeAction(others, QStringLiteral("default"));
        m_server.invokeAction(second, QStringLiteral("snooze"));
        QVERIFY(invoked.wait());
        QCOMPARE(invoked.size(), 1);
        QCOMPARE(invoked.first().at(0).toULongLong(), quint64(102));
        QCOMPARE(invoked.first().at(1).toString(), QStringLiteral("snooze"));

        // No NotificationClosed followed the action: the key still closes its own.
        QVERIFY(notifier.isShown(102));
        notifier.close(102);
        QVERIFY(m_server.waitForClose(1));
        QCOMPARE(m_server.closeCalls(), QList<uint>{second});
        QDBusConnection::disconnectFromBus(QStringLiteral("other"));
    }

    void closeClosesTheKeysId_data()
    {
        QTest::addColumn<bool>("beforeReply");
        QTest::newRow("shown") << false;
        QTest::newRow("before the server answered") << true;
    }

    void closeClosesTheKeysId()
    {
        QFETCH(bool, beforeReply);
        DesktopNotifier notifier;
        QSignalSpy closed(&notifier, &DesktopNotifier::closed);
        QSignalSpy failed(&notifier, &DesktopNotifier::failed);
        const uint kept = shown(notifier, 1);
        QVERIFY(kept != 0);

        m_server.holdReplies(beforeReply);
        notifier.notify(2, QStringLiteral("日程"), QString(), kReminderActions);
        QVERIFY(m_server.waitForNotify(2));
        const uint target = m_server.notifications().constLast().id;
        if (!beforeReply)
            QTRY_VERIFY(notifier.isShown(2));
        notifier.close(2);
        m_server.releaseReplies();

        QVERIFY(m_server.waitForClose(1));
        QCOMPARE(m_server.closeCalls(), QList<uint>{target});
        QVERIFY(!notifier.isShown(2));
        QVERIFY(notifier.isShown(1));

        // The server's NotificationClosed for the closed one is not passed on:
        // the first closed() to come is the one the server closed on its own.
        m_server.closeFromServer(kept, FakeNotificationServer::Dismissed);
        QVERIFY(closed.wait());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(closed.first().at(0).toULongLong(), quint64(1));
        QVERIFY(!notifier.isShown(1));
        QVERIFY(failed.isEmpty());
    }

    // As the program ends, what is still on the screen, or still on its way
    // there, is taken away; one closed before is not closed again.
    void closeAllShownTakesAwayWhatIsLeft()
    {
        DesktopNotifier notifier;
        QSignalSpy failed(&notifier, &DesktopNotifier::failed);
        const uint closedBefore = shown(notifier, 1);
        const uint left = shown(notifier, 2);
        QVERIFY(closedBefore != 0 && left != 0);
        notifier.close(1);
        QVERIFY(m_server.waitForClose(1));

        m_server.holdReplies(true);
        notifier.notify(3, QStringLiteral("日程"), QString(), kReminderActions);
        QVERIFY(m_server.waitForNotify(3));
        const uint onItsWay = m_server.notifications().constLast().id;
        notifier.closeAllShown();
        QVERIFY(!notifier.isShown(2));
        m_server.releaseReplies();

        QVERIFY(m_server.waitForClose(3));
        QCOMPARE(m_server.closeCalls(), (QList<uint>{closedBefore, left, onItsWay}));
        QVERIFY(!notifier.isShown(3));
        QVERIFY(failed.isEmpty());
    }

    void closedByServerIsForgotten()
    {
        DesktopNotifier notifier;
        QSignalSpy closed(&notifier, &DesktopNotifier::closed);
        QSignalSpy invoked(&notifier, &DesktopNotifier::actionInvoked);
        const uint id = shown(notifier, 7);
        QVERIFY(id != 0);

        m_server.closeFromServer(id, FakeNotificationServer::Expired);
        QVERIFY(closed.wait());
        QCOMPARE(closed.first().at(0).toULongLong(), quint64(7));
        notifier.close(7);
        m_server.invokeAction(id, QStringLiteral("done"));
        const uint later = shown(notifier, 8);
        m_server.invokeAction(later, QStringLiteral("done"));
        QVERIFY(invoked.wait());
        QCOMPARE(invoked.size(), 1);
        QCOMPARE(invoked.first().at(0).toULongLong(), quint64(8));
        QVERIFY2(m_server.closeCalls().isEmpty(), "a closed notification is not closed again");
    }

    void notifyAgainReplacesTheKeysNotification_data()
    {
        QTest::addColumn<bool>("beforeReply");
        QTest::newRow("shown") << false;
        QTest::newRow("before the server answered") << true;
    }

    void notifyAgainReplacesTheKeysNotification()
    {
        QFETCH(bool, beforeReply);
        DesktopNotifier notifier;
        QSignalSpy invoked(&notifier, &DesktopNotifier::actionInvoked);
        QSignalSpy failed(&notifier, &DesktopNotifier::failed);
        m_server.holdReplies(beforeReply);
        notifier.notify(5, QStringLiteral("第一次"), QString(), kReminderActions);
        QVERIFY(m_server.waitForNotify(1));
        const uint old = m_server.notifications().constFirst().id;
        if (!beforeReply)
            QTRY_VERIFY(notifier.isShown(5));
        m_server.holdReplies(false);
        notifier.notify(5, QStringLiteral("再次提醒"), QString(), kReminderActions);
        QVERIFY(m_server.waitForNotify(2));
        m_server.releaseReplies();

        QVERIFY(m_server.waitForClose(1));
        QCOMPARE(m_server.closeCalls(), QList<uint>{old});
        QTRY_VERIFY(notifier.isShown(5));
        const uint current = m_server.notifications().constLast().id;
        m_server.invokeAction(old, QStringLiteral("done"));
        m_server.invokeAction(current, QStringLiteral("open"));
        QVERIFY(invoked.wait());
        QCOMPARE(invoked.size(), 1);
        QCOMPARE(invoked.first().at(1).toString(), QStringLiteral("open"));
        QVERIFY(failed.isEmpty());
    }

    void hungServerDoesNotHoldTheCaller()
    {
        DesktopNotifier notifier;
        QSignalSpy failed(&notifier, &DesktopNotifier::failed);
        QSignalSpy invoked(&notifier, &DesktopNotifier::actionInvoked);
        m_server.holdReplies(true);

        // A call that waited for the answer would still be waiting here, or
        // have given up with failed().
        notifier.notify(3, QStringLiteral("日程"), QString(), kReminderActions);
        QVERIFY(failed.isEmpty());
        QVERIFY(!notifier.isShown(3));
        QVERIFY(m_server.waitForNotify(1));

        m_server.releaseReplies();
        QTRY_VERIFY(notifier.isShown(3));
        m_server.invokeAction(m_server.notifications().constFirst().id, QStringLiteral("snooze"));
        QVERIFY(invoked.wait());
        QCOMPARE(invoked.first().at(0).toULongLong(), quint64(3));
        QVERIFY(failed.isEmpty());
    }

    void unansweredOrLostNotifyFails_data()
    {
        QTest::addColumn<bool>("serverLeaves");
        QTest::newRow("no answer in time") << false;
        QTest::newRow("server left without answering") << true;
    }

    void unansweredOrLostNotifyFails()
    {
        QFETCH(bool, serverLeaves);
        DesktopNotifier notifier;
        notifier.setReplyTimeout(serverLeaves ? 60000 : 300);
        QSignalSpy failed(&notifier, &DesktopNotifier::failed);
        m_server.holdReplies(true);
        notifier.notify(6, QStringLiteral("日程"), QString(), kReminderActions);
        QVERIFY(m_server.waitForNotify(1));
        if (serverLeaves)
            m_server.stop();

        QVERIFY(failed.wait(10000));
        QCOMPARE(failed.first().at(0).toULongLong(), quint64(6));
        QVERIFY(failed.first().at(1).toString().startsWith(QStringLiteral("桌面通知没有送出")));
        m_server.releaseReplies(); // too late: dropped
        QTest::qWait(50);
        QVERIFY(!notifier.isShown(6));
        QCOMPARE(failed.size(), 1);
    }

    void closedBeforeFailureIsNoFailure()
    {
        DesktopNotifier notifier;
        notifier.setReplyTimeout(200);
        QSignalSpy failed(&notifier, &DesktopNotifier::failed);
        m_server.holdReplies(true);
        notifier.notify(6, QStringLiteral("日程"), QString(), kReminderActions);
        notifier.close(6);
        notifier.notify(7, QStringLiteral("日程"), QString(), kReminderActions);
        QVERIFY(failed.wait());
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().at(0).toULongLong(), quint64(7));
    }
};

QTEST_GUILESS_MAIN(tst_desktop_notifier)
#include "tst_desktop_notifier.moc"
