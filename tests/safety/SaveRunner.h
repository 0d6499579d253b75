#pragma once

#include "app/core/PasswordRow.h"
#include "contacts/core/ContactColumns.h"
#include "contacts/core/OtherRepository.h"
#include "contacts/core/PersonRepository.h"
#include "contacts/core/UnitRepository.h"
#include "contacts/csv/ContactImport.h"
#include "contacts/csv/ImportFile.h"
#include "contacts/csv/ImportGrid.h"
#include "diary/core/NoteRepository.h"
#include "SavePlan.h"
#include "schedule/core/JobEntryRepository.h"
#include "schedule/core/JobRepository.h"
#include "store/Clock.h"

// Save number `n` of SavePlan through the repository that owns its kind:
// the same calls the windows make when the user saves.
namespace SavePlan {

// A repository's answer as this runner's callers read it.
inline bool reported(const Result<void> &saved, QString *error)
{
    if (!saved && error)
        *error = saved.error();
    return saved.ok();
}

// An import as the address book runs it: the file read into the grid, then
// steps of 30 ms, each its own transaction, until every row is in.
inline bool importRows(QSqlDatabase db, qint64 n, QString *error)
{
    const Result<ImportFile::Lines> lines = ImportFile::fromBytes(SavePlan::importFile(n));
    if (!lines) {
        *error = lines.error();
        return false;
    }
    ImportGrid grid;
    grid.open(*lines);
    QList<QStringList> rows;
    for (int row = 1; row < grid.rowCount(); ++row)
        rows << grid.fields(row);
    ContactImport run(db, rows, SavePlan::photo(n));
    while (run.step(Clock::now(), 30)) { }
    *error = run.error();
    return !run.failed();
}

inline bool save(QSqlDatabase db, qint64 n, QString *error)
{
    using SavePlan::Kind;
    switch (SavePlan::kindOf(n)) {
    case Kind::Note:
        return reported(NoteRepository(db).append(SavePlan::key(n), SavePlan::memo(n, QStringLiteral("note"))), error);
    case Kind::Job: {
        JobRecord job;
        job.dateId = SavePlan::key(n);
        job.memo = SavePlan::memo(n, QStringLiteral("job"));
        job.reminder = SavePlan::flagA(n);
        job.isProtected = SavePlan::flagB(n);
        job.completion = JobRecord::kOpenJob;
        return reported(JobRepository(db).append(job, Clock::now()), error);
    }
    case Kind::Entry: {
        JobEntry entry;
        entry.jobId = SavePlan::key(n);
        entry.dateId = SavePlan::key(n);
        entry.memo = SavePlan::memo(n, QStringLiteral("entry"));
        entry.isProtected = SavePlan::flagA(n);
        return reported(JobEntryRepository(db).append(entry), error);
    }
    case Kind::Contact: {
        PersonRecord person;
        for (int column = 0; column < ContactColumns::PersonTextCount; ++column)
            person.texts << SavePlan::field(n, column);
        person.male = SavePlan::flagA(n);
        person.photo = SavePlan::photo(n);
        person.encoded = SavePlan::flagB(n);
        return reported(PersonRepository(db).append(person, Clock::now()), error);
    }
    case Kind::Unit: {
        UnitRecord unit;
        unit.id = SavePlan::key(n);
        for (int column = 0; column < ContactColumns::UnitTextCount; ++column)
            unit.texts << SavePlan::field(n, column);
        unit.encoded = SavePlan::flagA(n);
        return reported(UnitRepository(db).append(unit), error);
    }
    case Kind::Other: {
        OtherRecord other;
        other.id = SavePlan::key(n);
        other.memo = SavePlan::memo(n, QStringLiteral("other"));
        other.encoded = SavePlan::flagA(n);
        return reported(OtherRepository(db).append(other), error);
    }
    case Kind::Import:
        return importRows(db, n, error);
    case Kind::Password:
    case Kind::Count:
        break;
    }
    return reported(PasswordRow(db).save(SavePlan::password(n), SavePlan::flagA(n), SavePlan::flagB(n)), error);
}

} // namespace SavePlan
