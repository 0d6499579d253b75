// Times iCalendar export and import of 10,000 jobs (half with a reminder, a
// third done, a tenth with two completion-log entries): the export the first
// time (each job is given its UID) and again; then the file imported into an
// empty planner, and the same file read again, updating every job.
//
//   bench_ical   (Release build; offscreen by default)

#include "BenchTiming.h"
#include "interchange/core/IcalExport.h"
#include "interchange/core/IcalImport.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using BenchTiming::report;
using BenchTiming::Stopwatch;
using BenchTiming::Timing;

const QDateTime kNow(QDate(2026, 1, 1), QTime(8, 0));
constexpr int kJobs = 10000;

bool exec(const QString &sql)
{
    QSqlQuery query(Store::database());
    if (query.exec(sql))
        return true;
    std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
    return false;
}

bool emptyPlanner()
{
    for (const char *table : {"job_do", "job_do_sub", "record_uid"}) {
        if (!exec(QStringLiteral("DELETE FROM ") + QLatin1String(table)))
            return false;
    }
    return true;
}

// The jobs made by the engine itself, so only the export is timed.
bool addJobs()
{
    return exec(QStringLiteral(
               "WITH RECURSIVE n(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM n WHERE k < 9999) "
               "INSERT INTO job_do (id, date_id, job_memo, alter_yn, e_dec_yn, complete_yn) "
               "SELECT printf('2025%010d', k), strftime('%Y%m%d', '2026-01-01', '+' || (k % 365) || ' days') "
               "|| CASE WHEN k % 2 = 0 THEN printf('%02d%02d00', 8 + k % 10, k % 60) ELSE '000000' END, "
               "'拜访客户' || k || char(10) || '带上合同和报价单, 下午三点前回公司', k % 2 = 0, 0, "
               "CASE WHEN k % 3 = 0 THEN '20260105170000' ELSE '未完成..' END FROM n"))
           && exec(QStringLiteral("INSERT INTO job_do_sub (id, date_id, job_memo_sub, e_dec_yn) "
                                  "SELECT id, '20260102120000', '已电话确认', 0 FROM job_do WHERE rowid % 10 = 0 "
                                  "UNION ALL SELECT id, '20260103120000', '合同已寄出', 0 FROM job_do "
                                  "WHERE rowid % 10 = 0"));
}

IcalExport::Options exportOptions()
{
    IcalExport::Options options;
    options.what = IcalExport::What::Jobs;
    options.passwordGiven = true;
    options.now = kNow;
    return options;
}

Timing timedExport(QByteArray *file, int *jobs)
{
    const Stopwatch watch;
    Result<IcalExport> run = IcalExport::start(Store::database(), exportOptions());
    if (run) {
        while (run->step(100)) { }
    }
    const Timing taken = watch.elapsed();
    *jobs = run && !run->failed() ? run->done() : -1;
    if (run)
        *file = run->bytes();
    return taken;
}

Timing timedImport(const QByteArray &file, int *written)
{
    const Stopwatch watch;
    Result<IcalImport> run = IcalImport::fromBytes(Store::database(), file, IcalImport::defaults(kNow));
    if (!run)
        return {-1, -1};
    while (run->readStep(100)) { }
    run->startWriting(true);
    while (run->writeStep(100)) { }
    const Timing taken = watch.elapsed();
    if (!run->error().isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(run->error()));
    *written = run->count(IcalPlan::Outcome::Added) + run->count(IcalPlan::Outcome::Updated);
    return taken;
}

int count(const QString &sql)
{
    QSqlQuery query(Store::database());
    return query.exec(sql) && query.next() ? query.value(0).toInt() : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("pad.db");
    if (!QFile::copy(QStringLiteral(VELMORA_TEMPLATE_STORE), path)
        || !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner)
        || Store::open(path).status != Store::Status::Ready) {
        std::fprintf(stderr, "cannot open a copy of the supplied store\n");
        return 1;
    }
    if (!emptyPlanner() || !addJobs())
        return 1;
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("load average: %s", load.readLine().constData());

    QByteArray file;
    int exported = 0;
    report("export 10,000 jobs, UIDs made", timedExport(&file, &exported), 2000);
    report("export 10,000 jobs again", timedExport(&file, &exported), 2000);
    if (exported != kJobs)
        return 1;
    std::printf("%-40s %6.1f MB\n", "file of 10,000 jobs", double(file.size()) / 1e6);

    if (!emptyPlanner())
        return 1;
    int written = 0;
    report("import 10,000 jobs into an empty planner", timedImport(file, &written), 2000);
    if (written != kJobs || count(QStringLiteral("SELECT count(*) FROM job_do")) != kJobs
        || count(QStringLiteral("SELECT count(*) FROM job_do_sub")) != kJobs / 10 * 2)
        return 1;
    report("import the same 10,000 jobs again", timedImport(file, &written), 2000);
    if (written != kJobs || count(QStringLiteral("SELECT count(*) FROM job_do")) != kJobs)
        return 1;
    return 0;
}
