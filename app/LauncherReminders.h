#pragma once

#include "app/core/Appearance.h"
#include "schedule/core/ReminderWatch.h"
#include "schedule/windows/Tmissed_reminders.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class DesktopNotifier;
class QWidget;

// How reminders reach the user: the box, a desktop notification with the
// actions "打开日程", "稍后提醒" and "完成", or both, and the window of missed
// reminders. The launcher drives tick() from its timer; what the watch
// decides reaches the user here.
class LauncherReminders final : public QObject
{
    Q_OBJECT

public:
    // What the reminders need of the launcher.
    struct Shell
    {
        QWidget *window = nullptr; // parent of the boxes
        std::function<void(const QDate &day, qint64 jobRowid)> openJob;
        std::function<Appearance()> settings;
        std::function<bool()> hideProtected;
    };

    static inline const QString kOpenAction = QStringLiteral("open");
    static inline const QString kSnoozeAction = QStringLiteral("snooze");
    static inline const QString kDoneAction = QStringLiteral("done");
    static inline const QString kSummary = QStringLiteral("日程提醒");

    LauncherReminders(QSqlDatabase db, Shell shell, DesktopNotifier *notifier, QObject *parent = nullptr);
    ~LauncherReminders() override;

    Result<void> reload();
    // One tick of the watch; the clock label's text when it has one, and an
    // error the caller shows once the watch has gone idle.
    ReminderWatch::Tick tick();

    // The tray icon's tooltip: the next reminder to come.
    QString nextText() const;
    Tmissed_reminders *missedWindow() const { return m_missed; }

signals:
    // The next reminder may have changed.
    void nextChanged();

private:
    void announce(const ReminderWatch::Reminder &reminder);
    void showBox(const ReminderWatch::Reminder &reminder);
    void notify(const ReminderWatch::Reminder &reminder, bool withBox);
    void listMissed(const QList<ReminderWatch::Reminder> &missed);
    void answer(quint64 key, const QString &action);
    void notifyFailed(quint64 key);
    void snooze(qint64 jobRowid);
    void markDone(qint64 jobRowid);

    QSqlDatabase m_db;
    Shell m_shell;
    DesktopNotifier *m_notifier = nullptr;
    ReminderWatch m_watch;
    QPointer<Tmissed_reminders> m_missed;
    // Notifications on the desktop, by the key they were sent with; the
    // reminder and whether its box was shown too.
    struct Sent
    {
        ReminderWatch::Reminder reminder;
        bool boxShown = false;
    };
    QHash<quint64, Sent> m_sent;
    quint64 m_lastKey = 0;
};
