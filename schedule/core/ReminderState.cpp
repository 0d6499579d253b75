#include "schedule/core/ReminderState.h"

#include "store/Sql.h"
#include "store/TimeStamp.h"

#include <QSqlQuery>

namespace {

Result<QList<ReminderState::Mark>> readMarks(Result<QSqlQuery> query)
{
    if (!query)
        return fail(query.error());
    QList<ReminderState::Mark> marks;
    while (query->next())
        marks.append({query->value(0).toLongLong(), query->value(1).toString()});
    return marks;
}

Result<void> done(const Result<QSqlQuery> &statement)
{
    if (!statement)
        return fail(statement.error());
    return {};
}

} // namespace

ReminderState::ReminderState(QSqlDatabase db)
    : m_db(std::move(db))
{
}

Result<std::optional<QString>> ReminderState::watchedTo() const
{
    auto query = Sql::read(m_db, QStringLiteral("SELECT watched_to FROM reminder_watch WHERE one = 1"));
    if (!query)
        return fail(query.error());
    if (!query->next())
        return std::optional<QString>();
    return std::optional<QString>(query->value(0).toString());
}

Result<QList<ReminderState::Mark>> ReminderState::shownFrom(const QString &stamp) const
{
    return readMarks(
        Sql::read(m_db, QStringLiteral("SELECT job_rowid, due FROM reminder_shown WHERE due >= ?"), {stamp}));
}

Result<QList<ReminderState::Mark>> ReminderState::snoozesTo(const QString &stamp) const
{
    return readMarks(Sql::read(m_db,
                               QStringLiteral("SELECT job_rowid, due FROM reminder_snooze WHERE due <= ? "
                                              "ORDER BY due, job_rowid"),
                               {stamp}));
}

Result<std::optional<ReminderState::Mark>> ReminderState::firstSnooze() const
{
    const Result<QList<Mark>> first = readMarks(
        Sql::read(m_db, QStringLiteral("SELECT job_rowid, due FROM reminder_snooze ORDER BY due, job_rowid LIMIT 1")));
    if (!first)
        return fail(first.error());
    return first->isEmpty() ? std::optional<Mark>() : std::optional<Mark>(first->constFirst());
}

Result<void> ReminderState::write(const Update &update)
{
    return Sql::inTransaction(m_db, [&]() -> Result<void> {
        for (const Mark &mark : update.shown) {
            if (Result<void> kept = done(Sql::run(
                    m_db, QStringLiteral("INSERT OR IGNORE INTO reminder_shown (job_rowid, due) VALUES (?, ?)"),
                    {mark.jobRowid, mark.due}));
                !kept)
                return kept;
        }
        for (const Mark &mark : update.snoozesDone) {
            if (Result<void> gone =
                    done(Sql::run(m_db, QStringLiteral("DELETE FROM reminder_snooze WHERE job_rowid = ? AND due = ?"),
                                  {mark.jobRowid, mark.due}));
                !gone)
                return gone;
        }
        const QString dayBefore = TimeStamp::format(TimeStamp::parse(update.watchedTo).addDays(-1));
        if (Result<void> pruned =
                done(Sql::run(m_db, QStringLiteral("DELETE FROM reminder_shown WHERE due < ?"), {dayBefore}));
            !pruned)
            return pruned;
        return done(Sql::run(m_db,
                             QStringLiteral("INSERT INTO reminder_watch (one, watched_to) VALUES (1, ?) "
                                            "ON CONFLICT (one) DO UPDATE SET watched_to = excluded.watched_to"),
                             {update.watchedTo}));
    });
}

Result<void> ReminderState::snooze(const Mark &mark)
{
    return done(Sql::run(m_db,
                         QStringLiteral("INSERT INTO reminder_snooze (job_rowid, due) VALUES (?, ?) "
                                        "ON CONFLICT (job_rowid) DO UPDATE SET due = excluded.due"),
                         {mark.jobRowid, mark.due}));
}
