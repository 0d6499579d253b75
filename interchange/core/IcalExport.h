#pragma once

#include "interchange/core/JobNoteStore.h"
#include "store/Result.h"

#include <QByteArray>
#include <QDateTime>
#include <QSqlDatabase>
#include <QTimeZone>

// Writes the store's jobs (a VTODO each, with its completion log) or its
// diary notes (a VJOURNAL each) as one iCalendar file, in steps so a window
// can show progress. Each record carries the UID it keeps for good, made on
// its first export. Records behind a password are written only when the
// caller says it was given: protected jobs and protected log entries, and
// the notes when the diary is behind it; the others are counted as left out.
class IcalExport final
{
public:
    enum class What { Jobs, Notes };
    struct Options
    {
        What what = What::Jobs;
        QString dayPrefix; // jobs whose day starts with it ("yyyyMMdd", "yyyyMM"); all when empty
        bool passwordGiven = false;
        bool notesNeedPassword = false;
        QTimeZone zone = QTimeZone::systemTimeZone(); // of the store's stamps
        QDateTime now;
    };

    // What an export would take, for the window to show before it runs.
    struct Survey
    {
        int records = 0;
        int isProtected = 0; // protected jobs, or the notes when they need the password
    };
    static Result<Survey> survey(const QSqlDatabase &db, const Options &options);

    static Result<IcalExport> start(const QSqlDatabase &db, const Options &options);

    // Writes records until `budgetMs` has passed (at least one). False once
    // finished or stopped by an error.
    bool step(qint64 budgetMs);
    bool finished() const { return m_finished || failed(); }
    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }
    int done() const { return m_done; }
    int total() const { return int(m_jobs.size() + m_notes.size()); }
    int leftOut() const { return m_leftOut; }
    int entriesLeftOut() const { return m_entriesLeftOut; }
    // The whole file, once finished.
    const QByteArray &bytes() const { return m_bytes; }

    // The whole export in one call.
    static Result<IcalExport> run(const QSqlDatabase &db, const Options &options);

private:
    IcalExport(QSqlDatabase db, const Options &options);
    Result<void> read();
    Result<void> giveUids();
    void writeNext();
    void widenSpan(const QDateTime &moment);
    void finish();

    QSqlDatabase m_db;
    Options m_options;
    QList<JobNoteStore::StoredJob> m_jobs;
    QList<JobNoteStore::StoredNote> m_notes;
    bool m_uidsGiven = false;
    QByteArray m_body;
    QByteArray m_bytes;
    QDateTime m_spanFirst; // the times written with the local zone
    QDateTime m_spanLast;
    QString m_error;
    int m_done = 0;
    int m_leftOut = 0;
    int m_entriesLeftOut = 0;
    bool m_finished = false;
};
