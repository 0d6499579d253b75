#pragma once

#include "store/Result.h"

#include <optional>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QSqlDatabase>
#include <QString>

// Today's reminder jobs, compared with the clock at every tick. A reminder is
// due during the whole minute of its stamp and is shown once per reload. The
// launcher owns the watch, drives tick() from its timer and shows what a tick
// returns; nothing here opens a window or reads the clock.
class ReminderWatch final
{
public:
    struct Tick
    {
        // A reload at the start of a new day failed: the watch is idle.
        QString error;
        // One reminder that has just come due, already marked as shown. The
        // caller shows it and ticks again, so every due reminder comes in turn.
        std::optional<QString> message;
        // The clock label's text; empty while no reminder is watched.
        std::optional<QString> clock;
    };

    explicit ReminderWatch(QSqlDatabase db);

    // Reads the reminder jobs of the day of `now`; every mark is cleared. On
    // failure the watch is idle.
    Result<void> reload(const QDateTime &now);

    // When the local date has moved on since the last reload, the new day's
    // reminders are read first: a program left running overnight keeps
    // reminding.
    Tick tick(const QDateTime &now);

    bool isWatching() const { return !m_entries.isEmpty(); }
    int count() const { return int(m_entries.size()); }
    QDate day() const { return m_day; }

    static QString message(const QDateTime &now);

private:
    struct Entry
    {
        // Minute of the day the stamp names, or -1 for a stamp that cannot
        // equal any present minute (not 14 digits, seconds other than "00").
        int minute = -1;
        bool shown = false;
    };

    static int minuteOf(const QString &stamp);

    QSqlDatabase m_db;
    QList<Entry> m_entries;
    QDate m_day;
    QLocale m_locale;
    QString m_clockFormat;
};
