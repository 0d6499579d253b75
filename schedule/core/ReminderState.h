#pragma once

#include "store/Result.h"

#include <optional>
#include <QList>
#include <QSqlDatabase>
#include <QString>

// What the reminder watch keeps in the store between runs: the minute it
// has looked to, the reminders it showed from that minute on, and the
// reminders put off to a later moment. Stamps are "yyyyMMddhhmmss".
class ReminderState final
{
public:
    struct Mark
    {
        qint64 jobRowid = -1;
        QString due;
        friend bool operator==(const Mark &, const Mark &) = default;
    };

    // One minute's bookkeeping, written in one transaction.
    struct Update
    {
        QString watchedTo;
        QList<Mark> shown;
        QList<Mark> snoozesDone;
    };

    explicit ReminderState(QSqlDatabase db);

    // Empty when the watch never ran on this store.
    Result<std::optional<QString>> watchedTo() const;
    Result<QList<Mark>> shownFrom(const QString &stamp) const;
    Result<QList<Mark>> snoozesTo(const QString &stamp) const;
    Result<std::optional<Mark>> firstSnooze() const;

    // Marks older than a day before the watched minute are dropped: they
    // can no longer come due, not even when the clock is set back a little.
    Result<void> write(const Update &update);
    // One snooze per job: a later one replaces it.
    Result<void> snooze(const Mark &mark);

private:
    QSqlDatabase m_db;
};
