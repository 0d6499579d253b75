// Runs the organiser's own save paths on one pad.db in a loop, from save
// number argv[2] on, and prints "ACK <n>" once save n has returned. It is
// killed from outside at a random moment; it never stops by itself.
#include "ContactColumns.h"
#include "JobEntryRepository.h"
#include "JobRepository.h"
#include "NoteRepository.h"
#include "OtherRepository.h"
#include "PasswordRow.h"
#include "PersonRepository.h"
#include "SavePlan.h"
#include "Clock.h"
#include "Store.h"
#include "UnitRepository.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

bool save(QSqlDatabase db, qint64 n, QString *error)
{
    using SavePlan::Kind;
    switch (SavePlan::kindOf(n)) {
    case Kind::Note:
        return NoteRepository(db).append(SavePlan::key(n), SavePlan::memo(n, QStringLiteral("note")), error);
    case Kind::Job: {
        JobRecord job;
        job.dateId = SavePlan::key(n);
        job.memo = SavePlan::memo(n, QStringLiteral("job"));
        job.reminder = SavePlan::flagA(n);
        job.isProtected = SavePlan::flagB(n);
        job.completion = JobRecord::kOpenJob;
        return JobRepository(db).append(job, Clock::now(), error);
    }
    case Kind::Entry: {
        JobEntry entry;
        entry.jobId = SavePlan::key(n);
        entry.dateId = SavePlan::key(n);
        entry.memo = SavePlan::memo(n, QStringLiteral("entry"));
        entry.isProtected = SavePlan::flagA(n);
        return JobEntryRepository(db).append(entry, error);
    }
    case Kind::Contact: {
        PersonRecord person;
        for (int column = 0; column < ContactColumns::PersonTextCount; ++column)
            person.texts << SavePlan::field(n, column);
        person.male = SavePlan::flagA(n);
        person.photo = SavePlan::photo(n);
        person.encoded = SavePlan::flagB(n);
        const Written written = PersonRepository(db).append(person, Clock::now());
        *error = written.error;
        return written.ok;
    }
    case Kind::Unit: {
        UnitRecord unit;
        unit.id = SavePlan::key(n);
        for (int column = 0; column < ContactColumns::UnitTextCount; ++column)
            unit.texts << SavePlan::field(n, column);
        unit.encoded = SavePlan::flagA(n);
        const Written written = UnitRepository(db).append(unit);
        *error = written.error;
        return written.ok;
    }
    case Kind::Other: {
        OtherRecord other;
        other.id = SavePlan::key(n);
        other.memo = SavePlan::memo(n, QStringLiteral("other"));
        other.encoded = SavePlan::flagA(n);
        const Written written = OtherRepository(db).append(other);
        *error = written.error;
        return written.ok;
    }
    case Kind::Password:
    case Kind::Count:
        break;
    }
    return PasswordRow(db).save(SavePlan::password(n), SavePlan::flagA(n), SavePlan::flagB(n), error);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const Store::Opened opened = Store::open(QString::fromLocal8Bit(argv[1]));
    if (opened.status != Store::Status::Ready) {
        std::fprintf(stderr, "cannot open: %s\n", qPrintable(Store::message(opened)));
        return 3;
    }
    for (qint64 n = QByteArray(argv[2]).toLongLong();; ++n) {
        QString error;
        if (!save(Store::database(), n, &error)) {
            std::fprintf(stderr, "save %lld failed: %s\n", n, qPrintable(error));
            return 4;
        }
        std::printf("ACK %lld\n", n);
        std::fflush(stdout);
    }
}
