#include "platform/DesktopNotifier.h"

#include "platform/AppPaths.h"
#include "platform/XdgAutostart.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
// The installed icon's theme name.
const QString kIcon = QStringLiteral("velmora");
// Server's default display time.
constexpr int kServerDefaultExpiry = -1;

// The installed desktop entry's name without ".desktop": the server takes the
// program's name and icon from it.
QString desktopEntry()
{
    QString name = XdgAutostart::kFileName;
    name.chop(int(QStringLiteral(".desktop").size()));
    return name;
}

QStringList flattened(const DesktopNotifier::Actions &actions)
{
    QStringList keysAndLabels;
    for (const auto &[key, label] : actions)
        keysAndLabels << key << label;
    return keysAndLabels;
}

QString notShownText(const QString &why)
{
    return QStringLiteral("桌面通知没有送出:%1").arg(why);
}

} // namespace

DesktopNotifier::DesktopNotifier(QObject *parent)
    : DesktopNotifier(QDBusConnection::sessionBus(), parent)
{
}

DesktopNotifier::DesktopNotifier(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    // Matched on the service name, so only the server's own signals arrive.
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
}

bool DesktopNotifier::serverAvailable() const
{
    // The bus daemon answers these itself, so they cannot hang on a server.
    QDBusConnectionInterface *bus = m_bus.isConnected() ? m_bus.interface() : nullptr;
    if (!bus)
        return false;
    const QDBusReply<bool> owned = bus->isServiceRegistered(kService);
    if (owned.isValid() && owned.value())
        return true;
    const QDBusReply<QStringList> startable = bus->activatableServiceNames();
    return startable.isValid() && startable.value().contains(kService);
}

void DesktopNotifier::notify(quint64 key, const QString &summary, const QString &body, const Actions &actions,
                             Urgency urgency)
{
    closeAll(key);
    if (!m_bus.isConnected()) {
        failLater(key, notShownText(QStringLiteral("没有连接到桌面的会话总线")));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("urgency"), QVariant::fromValue(uchar(urgency))},
        {QStringLiteral("desktop-entry"), desktopEntry()},
    };
    call << AppPaths::kApplicationTitle << uint(0) << kIcon << summary << body << flattened(actions) << hints
         << kServerDefaultExpiry;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, m_replyTimeout), this);
    m_inFlight.insert(watcher, Sent{key, false});
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &DesktopNotifier::onNotifyAnswered);
}

void DesktopNotifier::close(quint64 key)
{
    closeAll(key);
}

void DesktopNotifier::closeAllShown()
{
    for (Sent &sent : m_inFlight)
        sent.closeOnArrival = true;
    const QList<uint> ids = m_keyById.keys();
    m_idByKey.clear();
    m_keyById.clear();
    if (ids.isEmpty() || !m_bus.isConnected())
        return;
    for (const uint id : ids) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"));
        call << id;
        m_bus.send(call);
    }
    // The bus answers this itself, and only after the messages sent before it
    // on this connection: once it has, the closes are on their way to the
    // server even if the program ends at once.
    if (QDBusConnectionInterface *bus = m_bus.interface())
        bus->isServiceRegistered(kService);
}

void DesktopNotifier::onNotifyAnswered(QDBusPendingCallWatcher *watcher)
{
    watcher->deleteLater();
    const Sent sent = m_inFlight.take(watcher);
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError()) {
        if (!sent.closeOnArrival) {
            const QDBusError error = reply.error();
            emit failed(sent.key, notShownText(error.message().isEmpty() ? error.name() : error.message()));
        }
        return;
    }
    const uint id = reply.value();
    if (sent.closeOnArrival) {
        sendClose(id);
        return;
    }
    m_idByKey.insert(sent.key, id);
    m_keyById.insert(id, sent.key);
}

void DesktopNotifier::closeAll(quint64 key)
{
    for (Sent &sent : m_inFlight) {
        if (sent.key == key)
            sent.closeOnArrival = true;
    }
    if (const auto shown = m_idByKey.constFind(key); shown != m_idByKey.constEnd()) {
        const uint id = *shown;
        m_idByKey.erase(shown);
        m_keyById.remove(id);
        sendClose(id);
    }
}

void DesktopNotifier::sendClose(uint id)
{
    // Its answer tells nothing the caller needs: the notification is ours no more.
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"));
    call << id;
    m_bus.asyncCall(call, m_replyTimeout);
}

void DesktopNotifier::failLater(quint64 key, const QString &message)
{
    // Like a failure the server reports, after notify() has returned.
    QMetaObject::invokeMethod(
        this, [this, key, message] { emit failed(key, message); }, Qt::QueuedConnection);
}

void DesktopNotifier::onActionInvoked(uint id, const QString &actionKey)
{
    // Some servers send no NotificationClosed after an action, so the key
    // stays known until the caller closes it or the server reports it closed.
    if (const auto key = m_keyById.constFind(id); key != m_keyById.constEnd())
        emit actionInvoked(*key, actionKey);
}

void DesktopNotifier::onNotificationClosed(uint id, uint /*reason*/)
{
    const auto key = m_keyById.constFind(id);
    if (key == m_keyById.constEnd())
        return;
    const quint64 closedKey = *key;
    m_keyById.erase(key);
    m_idByKey.remove(closedKey);
    emit closed(closedKey);
}
