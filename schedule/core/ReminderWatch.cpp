#include "schedule/core/ReminderWatch.h"

#include "schedule/core/JobRepository.h"
#include "schedule/core/ScheduleFormats.h"
#include "store/FieldCodec.h"
#include "store/TimeStamp.h"

#include <QRegularExpression>

namespace {

// A box or a notification names the job in one short line.
constexpr qsizetype kLongestText = 60;

QDateTime minuteOf(const QDateTime &moment)
{
    return QDateTime(moment.date(), QTime(moment.time().hour(), moment.time().minute()));
}

QString keyOf(qint64 jobRowid, const QString &due)
{
    return QString::number(jobRowid) + u'/' + due;
}

} // namespace

ReminderWatch::ReminderWatch(QSqlDatabase db)
    : m_db(db)
    , m_state(db)
{
}

Result<void> ReminderWatch::reload(const QDateTime &now)
{
    m_idle = true;
    m_todayCount = 0;
    m_day = now.date();
    if (!m_keptLoaded) {
        if (Result<void> kept = loadKept(now); !kept)
            return kept;
    }
    const Result<QStringList> stamps = JobRepository(m_db).reminderStamps(TimeStamp::dayKey(now));
    if (!stamps)
        return fail(stamps.error());
    m_todayCount = int(stamps->size());
    m_checkedMinute = {};
    m_idle = false;
    m_locale = QLocale();
    m_clockFormat = ScheduleFormats::longTimeFormat();
    return {};
}

// A store the watch never ran on starts watching now: nothing before it was
// ever due to this program.
Result<void> ReminderWatch::loadKept(const QDateTime &now)
{
    const Result<std::optional<QString>> kept = m_state.watchedTo();
    if (!kept)
        return fail(kept.error());
    const QDateTime watchedTo = *kept ? TimeStamp::parse(**kept) : QDateTime();
    m_watchedTo = watchedTo.isValid() ? watchedTo : minuteOf(now);
    const Result<QList<Mark>> shown = m_state.shownFrom(TimeStamp::format(m_watchedTo.addDays(-1)));
    if (!shown)
        return fail(shown.error());
    for (const Mark &mark : *shown)
        m_shown.insert(keyOf(mark.jobRowid, mark.due));
    m_keptLoaded = true;
    return {};
}

ReminderWatch::Tick ReminderWatch::tick(const QDateTime &now)
{
    Tick result;
    if (!m_day.isValid())
        return result;
    if (now.date() != m_day)
        result.error = reload(now).error();
    if (!m_idle && minuteOf(now) != m_checkedMinute) {
        if (Result<void> checked = check(now, result); !checked) {
            m_idle = true;
            result = {};
            result.error = checked.error();
        }
    }
    m_lastTick = now;
    if (!m_idle && isWatching() && result.due.isEmpty())
        result.clock = m_locale.toString(now.time(), m_clockFormat);
    return result;
}

// Once a minute, and at the first tick after a reload: every reminder from
// the minute already looked at up to this one that was not yet shown. After
// a long gap (the first tick of a run, a sleep, a clock set forward) the
// ones of past minutes are missed rather than due.
Result<void> ReminderWatch::check(const QDateTime &now, Tick &tick)
{
    const QDateTime minute = minuteOf(now);
    const bool jumped = !m_lastTick.isValid() || m_lastTick.secsTo(now) > kJumpSeconds;
    if (minute < m_watchedTo)
        m_watchedTo = minute; // the clock was set back
    if (Result<void> jobs = collectJobs(minute, jumped, tick); !jobs)
        return jobs;
    if (Result<void> snoozes = collectSnoozes(minute, jumped, tick); !snoozes)
        return snoozes;
    m_watchedTo = minute;
    m_checkedMinute = minute;
    const QString dayBefore = TimeStamp::format(minute.addDays(-1));
    m_shown.removeIf([&](const QString &key) { return key.section(u'/', 1) < dayBefore; });
    m_unwritten.watchedTo = TimeStamp::format(minute);
    persist();
    return {};
}

Result<void> ReminderWatch::collectJobs(const QDateTime &minute, bool jumped, Tick &tick)
{
    const Result<QList<JobRecord>> jobs =
        JobRepository(m_db).remindersBetween(TimeStamp::format(m_watchedTo), TimeStamp::format(minute));
    if (!jobs)
        return fail(jobs.error());
    for (const JobRecord &job : *jobs) {
        const QDateTime due = TimeStamp::parse(job.dateId);
        if (!due.isValid() || m_shown.contains(keyOf(job.rowid, job.dateId)))
            continue;
        m_shown.insert(keyOf(job.rowid, job.dateId));
        m_unwritten.shown.append({job.rowid, job.dateId});
        keep({job.rowid, due, textOf(job.memo, job.isProtected), false}, minute, jumped, tick);
    }
    return {};
}

// A snooze of a job deleted meanwhile is dropped without a word.
Result<void> ReminderWatch::collectSnoozes(const QDateTime &minute, bool jumped, Tick &tick)
{
    const Result<QList<Mark>> snoozes = m_state.snoozesTo(TimeStamp::format(minute));
    if (!snoozes)
        return fail(snoozes.error());
    for (const Mark &mark : *snoozes) {
        if (m_snoozesDone.contains(keyOf(mark.jobRowid, mark.due)))
            continue;
        const Result<std::optional<JobRecord>> job = JobRepository(m_db).findByRowid(mark.jobRowid);
        if (!job)
            return fail(job.error());
        m_snoozesDone.insert(keyOf(mark.jobRowid, mark.due));
        m_unwritten.snoozesDone.append(mark);
        if (*job)
            keep({mark.jobRowid, TimeStamp::parse(mark.due), textOf((*job)->memo, (*job)->isProtected), true}, minute,
                 jumped, tick);
    }
    return {};
}

void ReminderWatch::keep(const Reminder &reminder, const QDateTime &minute, bool jumped, Tick &tick)
{
    if (jumped && reminder.due < minute)
        tick.missed.append(reminder);
    else
        tick.due.append(reminder);
}

// A write refused (a full disk, another writer) is tried again with the next
// minute's; until then the marks held here keep this run from repeating
// anything.
void ReminderWatch::persist()
{
    if (m_state.write(m_unwritten)) {
        m_unwritten = {};
        m_snoozesDone.clear();
    }
}

Result<void> ReminderWatch::snooze(qint64 jobRowid, const QDateTime &now, int minutes)
{
    return m_state.snooze({jobRowid, TimeStamp::format(minuteOf(now).addSecs(qint64(minutes) * 60))});
}

Result<std::optional<ReminderWatch::Reminder>> ReminderWatch::next(const QDateTime &now) const
{
    const Result<std::optional<JobRecord>> job = JobRepository(m_db).reminderAfter(TimeStamp::format(minuteOf(now)));
    if (!job)
        return fail(job.error());
    const Result<std::optional<Mark>> snooze = m_state.firstSnooze();
    if (!snooze)
        return fail(snooze.error());
    std::optional<Reminder> first;
    if (*job)
        first =
            Reminder{(*job)->rowid, TimeStamp::parse((*job)->dateId), textOf((*job)->memo, (*job)->isProtected), false};
    if (*snooze && (!first || TimeStamp::parse((*snooze)->due) < first->due)) {
        const Result<std::optional<JobRecord>> snoozed = JobRepository(m_db).findByRowid((*snooze)->jobRowid);
        if (snoozed && *snoozed)
            first = Reminder{(*snoozed)->rowid, TimeStamp::parse((*snooze)->due),
                             textOf((*snoozed)->memo, (*snoozed)->isProtected), true};
    }
    return first;
}

QString ReminderWatch::textOf(const QString &memo, bool isProtected) const
{
    if (isProtected && m_hideProtected)
        return kProtectedJob;
    QString text = memo;
    if (isProtected) {
        const FieldCodec::Decoded decoded = FieldCodec::decode(memo);
        if (!decoded.ok)
            return kProtectedJob;
        text = decoded.text;
    }
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
    QString first;
    for (const QString &line : lines) {
        first = line.trimmed();
        if (!first.isEmpty())
            break;
    }
    if (first.size() > kLongestText)
        first = first.left(kLongestText - 1) + u'…';
    return first;
}

QString ReminderWatch::message(const QDateTime &now, const Reminder &reminder)
{
    return QStringLiteral("现在:") + ScheduleFormats::shortDateLongTime(now) + QStringLiteral("有日程安排,请查看...")
           + u'\n' + reminder.text;
}
