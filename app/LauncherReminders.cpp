#include "app/LauncherReminders.h"

#include "platform/AppPaths.h"
#include "platform/DesktopNotifier.h"
#include "platform/ui/Dialogs.h"
#include "schedule/core/JobRepository.h"
#include "schedule/core/ScheduleFormats.h"
#include "schedule/windows/Tmissed_reminders.h"
#include "store/Clock.h"
#include "store/TimeStamp.h"

LauncherReminders::LauncherReminders(QSqlDatabase db, Shell shell, DesktopNotifier *notifier, QObject *parent)
    : QObject(parent)
    , m_db(db)
    , m_shell(std::move(shell))
    , m_notifier(notifier)
    , m_watch(db)
{
    if (m_notifier) {
        connect(m_notifier, &DesktopNotifier::actionInvoked, this, &LauncherReminders::answer);
        connect(m_notifier, &DesktopNotifier::failed, this, &LauncherReminders::notifyFailed);
        connect(m_notifier, &DesktopNotifier::closed, this, [this](quint64 key) { m_sent.remove(key); });
    }
}

LauncherReminders::~LauncherReminders() = default;

Result<void> LauncherReminders::reload()
{
    m_watch.setHideProtected(m_shell.hideProtected());
    Result<void> reloaded = m_watch.reload(Clock::now());
    emit nextChanged();
    return reloaded;
}

ReminderWatch::Tick LauncherReminders::tick()
{
    m_watch.setHideProtected(m_shell.hideProtected());
    ReminderWatch::Tick tick = m_watch.tick(Clock::now());
    for (const ReminderWatch::Reminder &reminder : std::as_const(tick.due))
        announce(reminder);
    if (!tick.missed.isEmpty())
        listMissed(tick.missed);
    if (!tick.due.isEmpty() || !tick.missed.isEmpty())
        emit nextChanged();
    return tick;
}

// Auto is both where a notification server runs; with no server a
// notification would reach no one, so the box comes whatever the settings say.
void LauncherReminders::announce(const ReminderWatch::Reminder &reminder)
{
    const ReminderWay way = m_shell.settings().reminderWay;
    const bool server = way != ReminderWay::Box && m_notifier && m_notifier->serverAvailable();
    const bool box = way != ReminderWay::Notice || !server;
    if (server)
        notify(reminder, box);
    if (box)
        showBox(reminder);
}

// The boxes are modal: each comes from a queued call, so the timer keeps
// ticking under an open box, the clock runs on and a further reminder of
// the same minute comes on top.
void LauncherReminders::showBox(const ReminderWatch::Reminder &reminder)
{
    QMetaObject::invokeMethod(
        this,
        [this, text = ReminderWatch::message(Clock::now(), reminder)] {
            Dialogs::plain(m_shell.window, text, AppPaths::kApplicationTitle);
        },
        Qt::QueuedConnection);
}

void LauncherReminders::notify(const ReminderWatch::Reminder &reminder, bool withBox)
{
    const quint64 key = ++m_lastKey;
    m_sent.insert(key, {reminder, withBox});
    const QString body = ScheduleFormats::shortDateMinute(reminder.due) + u'\n' + reminder.text;
    m_notifier->notify(key, kSummary, body,
                       {{kOpenAction, QStringLiteral("打开日程")},
                        {kSnoozeAction, QStringLiteral("稍后提醒")},
                        {kDoneAction, QStringLiteral("完成")}});
}

// A notification the server refused falls back to the box, unless the box
// was shown with it.
void LauncherReminders::notifyFailed(quint64 key)
{
    const auto sent = m_sent.constFind(key);
    if (sent == m_sent.cend())
        return;
    const Sent failed = *sent;
    m_sent.erase(sent);
    if (!failed.boxShown)
        showBox(failed.reminder);
}

void LauncherReminders::listMissed(const QList<ReminderWatch::Reminder> &missed)
{
    if (!m_missed) {
        m_missed = new Tmissed_reminders(m_shell.openJob, m_shell.window);
        m_missed->show();
    }
    m_missed->add(missed);
    m_missed->raise();
    m_missed->activateWindow();
}

// An answered notification is closed here: not every server closes it
// after an action.
void LauncherReminders::answer(quint64 key, const QString &action)
{
    const auto sent = m_sent.constFind(key);
    if (sent == m_sent.cend())
        return;
    const ReminderWatch::Reminder reminder = sent->reminder;
    m_sent.erase(sent);
    m_notifier->close(key);
    if (action == kOpenAction)
        m_shell.openJob(reminder.due.date(), reminder.jobRowid);
    else if (action == kSnoozeAction)
        snooze(reminder.jobRowid);
    else if (action == kDoneAction)
        markDone(reminder.jobRowid);
}

void LauncherReminders::snooze(qint64 jobRowid)
{
    if (Result<void> put = m_watch.snooze(jobRowid, Clock::now(), m_shell.settings().snoozeMinutes); !put) {
        Dialogs::error(m_shell.window, put.error());
        return;
    }
    emit nextChanged();
}

void LauncherReminders::markDone(qint64 jobRowid)
{
    if (Result<void> marked = JobRepository(m_db).markDone(jobRowid, TimeStamp::format(Clock::now())); !marked)
        Dialogs::error(m_shell.window, marked.error());
}

QString LauncherReminders::nextText() const
{
    const Result<std::optional<ReminderWatch::Reminder>> next = m_watch.next(Clock::now());
    if (!next || !*next)
        return AppPaths::kApplicationTitle + QStringLiteral("\n没有待提醒的日程");
    const ReminderWatch::Reminder &reminder = **next;
    return AppPaths::kApplicationTitle + QStringLiteral("\n下一个提醒: ")
           + ScheduleFormats::shortDateMinute(reminder.due) + u' ' + reminder.text;
}
