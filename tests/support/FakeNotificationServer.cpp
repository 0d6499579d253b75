#include "FakeNotificationServer.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>
#include <QTest>
#include <QThread>

namespace {

const QString kConnection = QStringLiteral("fake-notifications");
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

QDBusConnection serverBus()
{
    return QDBusConnection(kConnection);
}

void sendSignal(const QString &name, const QVariantList &arguments)
{
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, name);
    signal.setArguments(arguments);
    serverBus().send(signal);
}

} // namespace

// Shared by the test's thread and the server's.
struct FakeNotificationServer::State
{
    mutable QMutex mutex;
    QList<Notification> notifications;
    QList<uint> closeCalls;
    QList<std::pair<QDBusMessage, uint>> held; // unanswered Notify calls and their ids
    QSet<uint> open;
    bool hold = false;
    uint nextId = 1;
};

// The object on the bus; lives in the server's thread.
class FakeNotificationService final : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit FakeNotificationService(FakeNotificationServer::State &state)
        : m_state(state)
    {
    }

    // Empty when the name is ours.
    QString registerOnBus()
    {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnection);
        if (!bus.isConnected())
            return QStringLiteral("fake notification server: no session bus (%1)").arg(bus.lastError().message());
        if (!bus.registerObject(kPath, this, QDBusConnection::ExportAllSlots))
            return QStringLiteral("fake notification server: object not registered");
        if (!bus.registerService(kService))
            return QStringLiteral("fake notification server: the name is held by another (%1)")
                .arg(bus.lastError().message());
        return {};
    }

    void unregisterFromBus()
    {
        QDBusConnection bus = serverBus();
        bus.unregisterService(kService);
        bus.unregisterObject(kPath);
    }

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &icon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int expireTimeout)
    {
        // Answered here rather than on return, so the answer is on the bus
        // before the test learns of the call.
        setDelayedReply(true);
        QMutexLocker lock(&m_state.mutex);
        const uint id = replacesId != 0 && m_state.open.contains(replacesId) ? replacesId : m_state.nextId++;
        m_state.open.insert(id);
        if (m_state.hold)
            m_state.held.append({message(), id});
        else
            connection().send(message().createReply(QVariant::fromValue(id)));
        m_state.notifications.append(FakeNotificationServer::Notification{
            id, appName, replacesId, icon, summary, body, actions, hints, expireTimeout, message().service()});
        return id;
    }

    void CloseNotification(uint id)
    {
        QMutexLocker lock(&m_state.mutex);
        m_state.closeCalls.append(id);
        if (m_state.open.remove(id))
            sendSignal(QStringLiteral("NotificationClosed"), {id, uint(FakeNotificationServer::ClosedByCall)});
    }

    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }

    QString GetServerInformation(QString &vendor, QString &version, QString &specVersion)
    {
        vendor = QStringLiteral("velmora tests");
        version = QStringLiteral("1.0");
        specVersion = QStringLiteral("1.2");
        return QStringLiteral("fake notification server");
    }

private:
    FakeNotificationServer::State &m_state;
};

FakeNotificationServer::FakeNotificationServer()
    : m_state(std::make_unique<State>())
{
}

FakeNotificationServer::~FakeNotificationServer()
{
    stop();
}

Result<void> FakeNotificationServer::start()
{
    if (m_thread)
        return {};
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return fail(QStringLiteral("no session bus: run the test under dbus-run-session"));
    {
        // Ids go on counting, so an id from before never names a new notification.
        QMutexLocker lock(&m_state->mutex);
        m_state->notifications.clear();
        m_state->closeCalls.clear();
        m_state->hold = false;
    }
    m_thread = std::make_unique<QThread>();
    m_thread->setObjectName(QStringLiteral("fake notification server"));
    m_thread->start();
    m_service = new FakeNotificationService(*m_state);
    m_service->moveToThread(m_thread.get());
    QString why;
    QMetaObject::invokeMethod(
        m_service, [this, &why] { why = m_service->registerOnBus(); }, Qt::BlockingQueuedConnection);
    if (!why.isEmpty()) {
        stop();
        return fail(why);
    }
    return {};
}

void FakeNotificationServer::stop()
{
    if (!m_thread)
        return;
    QMetaObject::invokeMethod(
        m_service,
        [service = m_service] {
            service->unregisterFromBus();
            service->deleteLater(); // when the thread ends
        },
        Qt::BlockingQueuedConnection);
    m_service = nullptr;
    m_thread->quit();
    m_thread->wait();
    m_thread.reset();
    QDBusConnection::disconnectFromBus(kConnection);
    QMutexLocker lock(&m_state->mutex);
    m_state->held.clear();
    m_state->open.clear();
}

void FakeNotificationServer::holdReplies(bool hold)
{
    QMutexLocker lock(&m_state->mutex);
    m_state->hold = hold;
}

void FakeNotificationServer::releaseReplies()
{
    QMutexLocker lock(&m_state->mutex);
    for (const auto &[call, id] : std::as_const(m_state->held))
        serverBus().send(call.createReply(QVariant::fromValue(id)));
    m_state->held.clear();
}

QList<FakeNotificationServer::Notification> FakeNotificationServer::notifications() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->notifications;
}

QList<uint> FakeNotificationServer::closeCalls() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->closeCalls;
}

void FakeNotificationServer::invokeAction(uint id, const QString &actionKey)
{
    sendSignal(QStringLiteral("ActionInvoked"), {id, actionKey});
}

void FakeNotificationServer::closeFromServer(uint id, Reason reason)
{
    QMutexLocker lock(&m_state->mutex);
    m_state->open.remove(id);
    sendSignal(QStringLiteral("NotificationClosed"), {id, uint(reason)});
}

bool FakeNotificationServer::waitForNotify(int count, int timeoutMs) const
{
    return QTest::qWaitFor([this, count] { return notifications().size() >= count; }, timeoutMs);
}

bool FakeNotificationServer::waitForClose(int count, int timeoutMs) const
{
    return QTest::qWaitFor([this, count] { return closeCalls().size() >= count; }, timeoutMs);
}

#include "FakeNotificationServer.moc"
