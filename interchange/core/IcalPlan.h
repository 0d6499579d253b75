#pragma once

#include "interchange/core/IcalRecords.h"

#include <QString>
#include <QStringList>

// One job or note an import found in a file, shown before anything is
// written. A recurring event gives one plan per occurrence it keeps.
struct IcalPlan
{
    enum class Kind { Job, Note };
    enum class Action {
        New,     // a record the store does not have
        Update,  // the record that keeps the plan's UID
        Refused, // cannot be imported: error says why
    };
    enum class Outcome { Pending, Added, Updated, Skipped };

    int line = 0; // where its component begins in the file, from 1
    Kind kind = Kind::Job;
    Action action = Action::New;
    Ical::Job job;           // when a job
    Ical::Note note;         // when a note
    QString created;         // the stamp of its CREATED, a new job's id when free
    bool isOverride = false; // an occurrence the file changes on its own
    QString existingKey;     // what an update writes over
    QString existingId;      // its job id, which entries hang on
    qint64 existingRowid = -1;
    bool existingProtected = false;
    QStringList notes; // what the user should know about it
    QString error;
    Outcome outcome = Outcome::Pending;

    const QString &uid() const { return kind == Kind::Job ? job.uid : note.uid; }
    const QString &dateId() const { return kind == Kind::Job ? job.dateId : note.dateId; }
    const QString &text() const { return kind == Kind::Job ? job.text : note.text; }
};
