#pragma once

#include "schedule/core/ReminderState.h"
#include "store/Result.h"

#include <optional>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QSet>
#include <QSqlDatabase>
#include <QString>

// The reminder jobs, compared with the clock at every tick. A reminder is due
// from the start of its minute until it has been shown, once: a minute the
// machine skipped while busy still brings its reminder at the next tick, and
// what fell due while the program was closed, the machine slept or the clock
// jumped forward comes back as missed. The minute the watch has looked to and
// what it showed are kept in the store, so a kill loses nothing and repeats
// nothing. The launcher owns the watch, drives tick() from its timer and shows
// what a tick returns; nothing here opens a window or reads the clock.
class ReminderWatch final
{
public:
    struct Reminder
    {
        qint64 jobRowid = -1;
        QDateTime due; // the job's minute, or the moment a snooze ends
        QString text;  // the job's first line, or kProtectedJob
        bool snoozed = false;
    };

    struct Tick
    {
        // A read or a reload at the start of a new day failed: the watch is
        // idle until the next reload.
        QString error;
        // Reminders that have just come due, already marked as shown.
        QList<Reminder> due;
        // Reminders that fell due while the program was not running or the
        // clock jumped, already marked; they are listed, not announced.
        QList<Reminder> missed;
        // The clock label's text; empty while no reminder is watched today.
        std::optional<QString> clock;
    };

    static inline const QString kProtectedJob = QStringLiteral("受保护的日程");
    // A gap between two ticks longer than this is a sleep or a clock jump.
    static constexpr qint64 kJumpSeconds = 5 * 60;

    explicit ReminderWatch(QSqlDatabase db);

    // Reads today's reminders again and looks for due ones at the next tick.
    // The first reload reads what the store kept of the last run. On failure
    // the watch is idle.
    Result<void> reload(const QDateTime &now);

    // When the local date has moved on since the last reload, the new day's
    // reminders are read first: a program left running overnight keeps
    // reminding.
    Tick tick(const QDateTime &now);

    // Protected jobs are named kProtectedJob while the planner is behind a
    // password.
    void setHideProtected(bool hide) { m_hideProtected = hide; }

    // Puts the job's reminder off until `minutes` after the minute of `now`.
    Result<void> snooze(qint64 jobRowid, const QDateTime &now, int minutes);
    // The next reminder still to come after `now`, snoozes included.
    Result<std::optional<Reminder>> next(const QDateTime &now) const;

    bool isWatching() const { return m_todayCount > 0; }
    int count() const { return m_todayCount; }
    QDate day() const { return m_day; }

    static QString message(const QDateTime &now, const Reminder &reminder);
    // The first line of a job's text, shortened for a box or a notification.
    QString textOf(const QString &memo, bool isProtected) const;

private:
    using Mark = ReminderState::Mark;

    Result<void> loadKept(const QDateTime &now);
    Result<void> check(const QDateTime &now, Tick &tick);
    Result<void> collectJobs(const QDateTime &minute, bool jumped, Tick &tick);
    Result<void> collectSnoozes(const QDateTime &minute, bool jumped, Tick &tick);
    void keep(const Reminder &reminder, const QDateTime &minute, bool jumped, Tick &tick);
    void persist();

    QSqlDatabase m_db;
    ReminderState m_state;
    bool m_keptLoaded = false;
    bool m_idle = true;
    QDateTime m_watchedTo;     // every reminder before this minute is handled
    QDateTime m_checkedMinute; // the minute of the last check; a reload clears it
    QDateTime m_lastTick;      // invalid until the first tick of this run
    QSet<QString> m_shown;     // "rowid/due" of shown reminders from m_watchedTo on
    QSet<QString> m_snoozesDone;
    ReminderState::Update m_unwritten;
    bool m_hideProtected = false;
    QDate m_day;
    int m_todayCount = 0;
    QLocale m_locale;
    QString m_clockFormat;
};
