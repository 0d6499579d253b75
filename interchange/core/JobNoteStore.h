#pragma once

#include "interchange/core/IcalRecords.h"
#include "store/Result.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <optional>

// The statements the iCalendar import and export run on job_do, job_do_sub
// and note_pad, with the stored forms the planner, the completion log and
// the diary use: a protected job's or entry's text and every note in the
// field codec's form. Every value is bound; rows are changed by rowid.
//
// A record's UID is kept under its stamp (a job's id, a note's date_id).
// Stores written before stamps were made unique may hold two records with
// one stamp: the first of them (lowest rowid) keeps the stamp as its key,
// each other one a key of its own, "stamp#rowid", so their UIDs never mix.
class JobNoteStore final
{
public:
    explicit JobNoteStore(QSqlDatabase db);

    struct StoredJob
    {
        qint64 rowid = -1;
        Ical::Job job; // texts readable
        QString key;   // what its UID is kept under
    };
    struct StoredNote
    {
        qint64 rowid = -1;
        Ical::Note note;
        QString key;
    };

    // Jobs whose date_id starts with `prefix` (every job for an empty one),
    // in date_id order, with their completion-log entries.
    Result<QList<StoredJob>> jobs(const QString &prefix) const;
    Result<QList<StoredNote>> notes() const;

    // The record a key names; none when it is gone.
    Result<std::optional<StoredJob>> jobByKey(const QString &key) const;
    Result<std::optional<StoredNote>> noteByKey(const QString &key) const;

    // Every job id in use, so new ones never repeat them.
    Result<QSet<QString>> jobIds() const;

    // Writes `job` with its entries as a new row under job.id; its key.
    Result<QString> addJob(const Ical::Job &job);
    // Rewrites the job in `rowid` (its id stays) and adds the entries of
    // `job` it does not have yet, so nothing written since is lost.
    Result<void> updateJob(qint64 rowid, const Ical::Job &job);
    // Its key.
    Result<QString> addNote(const Ical::Note &note);
    // Rewrites the note in `rowid`; its key, which follows its stamp.
    Result<QString> updateNote(qint64 rowid, const Ical::Note &note);

    static QString keyOf(const QString &stamp, qint64 rowid, bool first);

private:
    Result<QList<Ical::Entry>> entriesOf(const QString &jobId) const;
    Result<void> addEntries(const QString &jobId, const QList<Ical::Entry> &entries);
    Result<QString> noteKey(const QString &dateId, qint64 rowid) const;

    QSqlDatabase m_db;
};
