// Any bytes through the iCalendar import: read, matched with a store, then
// written. A refused file says why; a written import leaves exactly the jobs
// and notes it counts, a failed one none; and what it wrote, exported and
// imported again, only updates what is there.
#include "interchange/core/IcalExport.h"
#include "interchange/core/IcalImport.h"
#include "MemoryStore.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstddef>
#include <cstdint>

namespace {

const QDateTime kNow(QDate(2026, 4, 1), QTime(8, 0), QTimeZone::utc());

int count(const QSqlDatabase &db, const char *table)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table)) || !query.next())
        __builtin_trap();
    return query.value(0).toInt();
}

void empty(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    for (const char *table : {"job_do", "job_do_sub", "note_pad", "record_uid"}) {
        if (!query.exec(QStringLiteral("DELETE FROM ") + QLatin1String(table)))
            __builtin_trap();
    }
}

IcalImport::Options options()
{
    IcalImport::Options options = IcalImport::defaults(kNow);
    options.zone = QTimeZone::utc();
    return options;
}

// Reads and writes the whole file; the records it wrote.
int importAll(IcalImport &run)
{
    while (run.readStep(1000)) { }
    if (!run.error().isEmpty())
        return 0;
    run.startWriting(true);
    while (run.writeStep(1000)) { }
    return run.count(IcalPlan::Outcome::Added);
}

// Exports what is stored and imports it again: nothing new may come of it.
void againOnlyUpdates(const QSqlDatabase &db)
{
    for (const IcalExport::What what : {IcalExport::What::Jobs, IcalExport::What::Notes}) {
        IcalExport::Options exportOptions;
        exportOptions.what = what;
        exportOptions.passwordGiven = true;
        exportOptions.zone = QTimeZone::utc();
        exportOptions.now = kNow;
        Result<IcalExport> exported = IcalExport::run(db, exportOptions);
        if (!exported)
            __builtin_trap();
        Result<IcalImport> again = IcalImport::fromBytes(db, exported->bytes(), options());
        if (!again)
            __builtin_trap();
        while (again->readStep(1000)) { }
        if (!again->error().isEmpty() || again->count(IcalPlan::Action::New) != 0) {
            if (qEnvironmentVariableIsSet("FUZZ_DEBUG")) {
                qWarning() << again->error() << exported->bytes();
                for (const IcalPlan &plan : again->plans())
                    qWarning() << int(plan.action) << plan.uid() << plan.error;
            }
            __builtin_trap();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QSqlDatabase db = memoryStore();
    empty(db);
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Result<IcalImport> run = IcalImport::fromBytes(db, bytes, options());
    if (!run) {
        if (run.error().isEmpty()) // a refusal always says why
            __builtin_trap();
        return 0;
    }
    const int added = importAll(*run);
    const int stored = count(db, "job_do") + count(db, "note_pad");
    if (!run->error().isEmpty()) {
        if (stored != 0) // a failed import writes nothing
            __builtin_trap();
        return 0;
    }
    if (stored != added)
        __builtin_trap();
    if (added > 0)
        againOnlyUpdates(db);
    return 0;
}
