#pragma once

#include "store/Result.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class QThread;
class FakeNotificationService;

// A desktop notification server for tests: owns org.freedesktop.Notifications
// on the session bus, records what it is asked and sends the signals a user's
// clicks would. Run the test on a private bus (velmora_add_test PRIVATE_BUS).
//
// It answers on a connection and a thread of its own, so a test or a program
// that waits on the bus from the main thread cannot stall it.
class FakeNotificationServer final
{
public:
    struct Notification
    {
        uint id = 0; // the id returned, or to be returned once replies are released
        QString appName;
        uint replacesId = 0;
        QString icon;
        QString summary;
        QString body;
        QStringList actions; // key, label, key, label, ...
        QVariantMap hints;
        int expireTimeout = 0;
        QString sender; // the client's unique bus name
    };
    // Why a notification went away (NotificationClosed).
    enum Reason : uint { Expired = 1, Dismissed = 2, ClosedByCall = 3 };

    FakeNotificationServer();
    ~FakeNotificationServer();
    FakeNotificationServer(const FakeNotificationServer &) = delete;
    FakeNotificationServer &operator=(const FakeNotificationServer &) = delete;

    // Takes the name with nothing recorded yet; fails without a session bus
    // or when another owner holds it.
    Result<void> start();
    // Gives up the name and leaves the bus; held calls end unanswered. What
    // was recorded stays readable.
    void stop();

    // While on, Notify calls are recorded but not answered, as by a hung server.
    void holdReplies(bool hold);
    // Answers the held calls with their ids.
    void releaseReplies();

    QList<Notification> notifications() const;
    QList<uint> closeCalls() const; // ids of CloseNotification calls, in order

    // Sends ActionInvoked as a click on a notification's button would; like
    // some servers, sends no NotificationClosed after it.
    void invokeAction(uint id, const QString &actionKey);
    // Sends NotificationClosed as an expiry or the user's dismissal would.
    void closeFromServer(uint id, Reason reason);

    // Run the caller's events until `count` Notify / CloseNotification calls
    // have come (and Notify been answered, unless held).
    bool waitForNotify(int count, int timeoutMs = 5000) const;
    bool waitForClose(int count, int timeoutMs = 5000) const;

    struct State;

private:
    std::unique_ptr<State> m_state;
    std::unique_ptr<QThread> m_thread;
    FakeNotificationService *m_service = nullptr;
};
