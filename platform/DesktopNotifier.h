#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <utility>

class QDBusPendingCallWatcher;

// Notifications on the desktop, through the freedesktop.org notification
// server (org.freedesktop.Notifications) on a D-Bus connection. The caller
// names each notification by a key of its own (a job's or a reminder's id)
// and hears of the user's answers by that key; the server's ids stay here.
//
// Nothing here waits for the server: a server that is slow or hung must never
// freeze the windows, so every call is sent asynchronously and its answer
// handled when it comes.
class DesktopNotifier final : public QObject
{
    Q_OBJECT

public:
    // (action key, label) pairs, in the order the buttons are shown.
    using Actions = QList<std::pair<QString, QString>>;

    enum class Urgency : uchar { Low = 0, Normal = 1, Critical = 2 };
    Q_ENUM(Urgency)

    // On the session bus.
    explicit DesktopNotifier(QObject *parent = nullptr);
    explicit DesktopNotifier(const QDBusConnection &bus, QObject *parent = nullptr);

    // A notification server holds the name on the bus, or the bus can start
    // one. Asks the bus itself, never the server; quiet without a bus.
    bool serverAvailable() const;

    // Shows a notification under `key`, in place of one the key still has.
    // Returns at once; a notification that cannot be shown ends in failed().
    void notify(quint64 key, const QString &summary, const QString &body, const Actions &actions,
                Urgency urgency = Urgency::Normal);
    // Takes the key's notification away, also one whose id the server has
    // not sent yet. Nothing more is heard of it.
    void close(quint64 key);
    // Takes away every notification still shown or on its way, as the
    // program ends: their buttons would answer no one. Waits for the bus to
    // take the requests, never for the server.
    void closeAllShown();
    // The server has shown the key's notification, and it was not closed since.
    bool isShown(quint64 key) const { return m_idByKey.contains(key); }

    // How long the server may take to accept a notification before failed().
    void setReplyTimeout(int msecs) { m_replyTimeout = msecs; }

signals:
    void actionInvoked(quint64 key, const QString &actionKey);
    // The server took it away on its own: it expired or the user dismissed it.
    void closed(quint64 key);
    // Not shown (no bus, no server, an error or no answer in time): the
    // caller shows the message some other way.
    void failed(quint64 key, const QString &message);

private slots:
    void onActionInvoked(uint id, const QString &actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    struct Sent
    {
        quint64 key = 0;
        bool closeOnArrival = false; // closed or replaced before its id came
    };

    void onNotifyAnswered(QDBusPendingCallWatcher *watcher);
    void closeAll(quint64 key);
    void sendClose(uint id);
    void failLater(quint64 key, const QString &message);

    QDBusConnection m_bus;
    int m_replyTimeout = 10000;
    QHash<QDBusPendingCallWatcher *, Sent> m_inFlight;
    QHash<quint64, uint> m_idByKey;
    QHash<uint, quint64> m_keyById;
};
