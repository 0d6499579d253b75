#include "interchange/core/IcalExport.h"

#include "interchange/core/IcalTime.h"
#include "interchange/core/IcalWriter.h"
#include "interchange/core/RecordUids.h"
#include "store/Sql.h"

#include <QElapsedTimer>

namespace {

bool notesLocked(const IcalExport::Options &options)
{
    return options.notesNeedPassword && !options.passwordGiven;
}

} // namespace

IcalExport::IcalExport(QSqlDatabase db, const Options &options)
    : m_db(std::move(db))
    , m_options(options)
{
    Libical::prepare();
    if (!m_options.now.isValid())
        m_options.now = QDateTime::currentDateTime();
}

Result<IcalExport::Survey> IcalExport::survey(const QSqlDatabase &db, const Options &options)
{
    JobNoteStore store(db);
    Survey survey;
    if (options.what == What::Notes) {
        Result<QList<JobNoteStore::StoredNote>> notes = store.notes();
        if (!notes)
            return fail(notes.error());
        survey.records = int(notes->size());
        survey.isProtected = options.notesNeedPassword ? survey.records : 0;
        return survey;
    }
    Result<QList<JobNoteStore::StoredJob>> jobs = store.jobs(options.dayPrefix);
    if (!jobs)
        return fail(jobs.error());
    survey.records = int(jobs->size());
    survey.isProtected = int(std::count_if(jobs->cbegin(), jobs->cend(),
                                           [](const JobNoteStore::StoredJob &row) { return row.job.isProtected; }));
    return survey;
}

Result<IcalExport> IcalExport::start(const QSqlDatabase &db, const Options &options)
{
    IcalExport run(db, options);
    if (Result<void> read = run.read(); !read)
        return fail(read.error());
    return run;
}

Result<void> IcalExport::read()
{
    JobNoteStore store(m_db);
    if (m_options.what == What::Notes) {
        Result<QList<JobNoteStore::StoredNote>> notes = store.notes();
        if (!notes)
            return fail(notes.error());
        if (notesLocked(m_options))
            m_leftOut = int(notes->size());
        else
            m_notes = std::move(notes).value();
        return {};
    }
    Result<QList<JobNoteStore::StoredJob>> jobs = store.jobs(m_options.dayPrefix);
    if (!jobs)
        return fail(jobs.error());
    for (JobNoteStore::StoredJob &row : *jobs) {
        if (row.job.isProtected && !m_options.passwordGiven) {
            ++m_leftOut;
            continue;
        }
        if (!m_options.passwordGiven) {
            m_entriesLeftOut += int(row.job.entries.removeIf([](const Ical::Entry &e) { return e.isProtected; }));
        }
        m_jobs.append(std::move(row));
    }
    return {};
}

// UIDs are made for many records at once, in one transaction, before the
// first of them is written.
Result<void> IcalExport::giveUids()
{
    const bool jobs = m_options.what == What::Jobs;
    QStringList keys;
    for (const auto &row : m_jobs)
        keys << row.key;
    for (const auto &row : m_notes)
        keys << row.key;
    QHash<QString, QString> uids;
    Result<void> given = Sql::inTransaction(m_db, [&]() -> Result<void> {
        Result<QHash<QString, QString>> made =
            RecordUids::uidsFor(m_db, jobs ? RecordUids::Kind::Job : RecordUids::Kind::Note, keys);
        if (!made)
            return fail(made.error());
        uids = std::move(made).value();
        return {};
    });
    if (!given)
        return given;
    for (auto &row : m_jobs)
        row.job.uid = uids.value(row.key);
    for (auto &row : m_notes)
        row.note.uid = uids.value(row.key);
    m_uidsGiven = true;
    return {};
}

bool IcalExport::step(qint64 budgetMs)
{
    if (finished())
        return false;
    if (!m_uidsGiven) {
        if (Result<void> given = giveUids(); !given) {
            m_error = given.error();
            return false;
        }
    }
    QElapsedTimer clock;
    clock.start();
    while (m_done < total()) {
        writeNext();
        if (clock.elapsed() >= budgetMs)
            return true;
    }
    finish();
    return false;
}

void IcalExport::widenSpan(const QDateTime &moment)
{
    if (!moment.isValid())
        return;
    if (!m_spanFirst.isValid() || moment < m_spanFirst)
        m_spanFirst = moment;
    if (!m_spanLast.isValid() || moment > m_spanLast)
        m_spanLast = moment;
}

void IcalExport::writeNext()
{
    const IcalWriter::Context context{m_options.zone, m_options.now};
    Libical::Component component;
    if (m_done < m_jobs.size()) {
        const Ical::Job &job = m_jobs.at(m_done).job;
        if (job.reminder)
            widenSpan(IcalWriter::plannedMoment(job.dateId, true, m_options.zone));
        component = IcalWriter::todo(job, context);
    } else {
        const Ical::Note &note = m_notes.at(m_done - m_jobs.size()).note;
        widenSpan(IcalWriter::momentOf(note.dateId, m_options.zone));
        component = IcalWriter::journal(note, context);
    }
    m_body += IcalWriter::text(component.get());
    ++m_done;
}

void IcalExport::finish()
{
    m_bytes = IcalWriter::calendarHead();
    if (m_spanFirst.isValid() && !IcalTime::isUtc(m_options.zone)) {
        Libical::Component zone = IcalTime::timezone(m_options.zone, m_spanFirst, m_spanLast);
        m_bytes += IcalWriter::text(zone.get());
    }
    m_bytes += m_body;
    m_bytes += IcalWriter::calendarTail();
    m_body.clear();
    m_finished = true;
}

Result<IcalExport> IcalExport::run(const QSqlDatabase &db, const Options &options)
{
    Result<IcalExport> run = start(db, options);
    if (!run)
        return run;
    while (run->step(1000)) { }
    if (run->failed())
        return fail(run->error());
    return run;
}
