// 100,000 jobs spread over ten years, 500 of them reminders of "today".
// Targets: a day list and the month list open in at most 30 ms, a reload of
// 500 reminders takes at most 10 ms, a tick at most 50 us.
#include "schedule/core/JobListModel.h"
#include "schedule/core/JobRepository.h"
#include "schedule/core/ReminderWatch.h"
#include "schedule/windows/Tjob_do.h"
#include "store/Clock.h"
#include "store/Store.h"
#include "tests/support/FakePlannerHost.h"

#include <benchmark/benchmark.h>
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

const QDateTime kToday(QDate(2024, 5, 1), QTime(8, 0));
constexpr int kJobs = 100000;
constexpr int kReminders = 500;

FakePlannerHost &host()
{
    static FakePlannerHost s;
    return s;
}

void fill()
{
    QSqlDatabase db = Store::database();
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO job_do VALUES (?, ?, ?, ?, 0, '未完成..')"));
    const QDate first(2015, 1, 1);
    const int days = int(first.daysTo(QDate(2024, 12, 31))) + 1;
    auto add = [&](const QString &id, const QString &dateId, bool reminder) {
        insert.addBindValue(id);
        insert.addBindValue(dateId);
        insert.addBindValue(QStringLiteral("拜访客户,商谈下一季度的供货合同与付款方式"));
        insert.addBindValue(reminder);
        insert.exec();
    };
    QDateTime created(first, QTime(0, 0));
    for (int i = 0; i < kJobs - kReminders; ++i) {
        const QDate day = first.addDays(i % days);
        const bool reminder = i % 3 == 0;
        const QString time = reminder ? QTime(8 + i % 10, i % 60).toString("HHmm") + "00" : "000000";
        add(created.addSecs(i).toString("yyyyMMddHHmmss"), day.toString("yyyyMMdd") + time, reminder);
    }
    for (int i = 0; i < kReminders; ++i) {
        const QString time = QTime(0, 0).addSecs(i * 120).toString("HHmm") + "00";
        add(created.addSecs(kJobs + i).toString("yyyyMMddHHmmss"), kToday.toString("yyyyMMdd") + time, true);
    }
    db.commit();
}

void BM_DayListQuery(benchmark::State &state, const QString &day)
{
    JobRepository jobs(Store::database());
    JobListModel model(JobListModel::Layout::DayList);
    for (auto _ : state) {
        model.setJobs(jobs.listByDatePrefix(day).valueOr({}));
        // Every cell's text, as if all rows were on screen.
        for (int r = 0; r < model.rowCount(); ++r) {
            for (int c = 0; c < model.columnCount(); ++c)
                benchmark::DoNotOptimize(model.index(r, c).data());
        }
    }
    state.counters["rows"] = model.rowCount();
}
BENCHMARK_CAPTURE(BM_DayListQuery, ordinary_day, QStringLiteral("20230315"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DayListQuery, today_500_reminders, QStringLiteral("20240501"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DayListQuery, month, QStringLiteral("202405"))->Unit(benchmark::kMillisecond);

// The planner as the user meets it: a calendar click lists a day, "显示本月工作安排" the month.
void BM_PlannerDayClick(benchmark::State &state)
{
    Tjob_do planner(host());
    planner.show();
    auto *calendar = planner.findChild<QCalendarWidget *>(QStringLiteral("MonthCalendar1"));
    const QDate day(2023, 3, 15);
    calendar->setSelectedDate(day);
    for (auto _ : state) {
        emit calendar->clicked(day);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_PlannerDayClick)->Unit(benchmark::kMillisecond);

void BM_PlannerMonth(benchmark::State &state)
{
    Tjob_do planner(host());
    planner.show();
    auto *month = planner.findChild<QAction *>(QStringLiteral("N7"));
    for (auto _ : state) {
        month->trigger();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_PlannerMonth)->Unit(benchmark::kMillisecond);

void BM_PlannerOpen(benchmark::State &state)
{
    for (auto _ : state) {
        Tjob_do planner(host());
        planner.show();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_PlannerOpen)->Unit(benchmark::kMillisecond);

void BM_ReminderReload(benchmark::State &state)
{
    ReminderWatch watch(Store::database());
    for (auto _ : state)
        (void)watch.reload(kToday);
    state.counters["reminders"] = watch.count();
}
BENCHMARK(BM_ReminderReload)->Unit(benchmark::kMillisecond);

void BM_ReminderTick(benchmark::State &state)
{
    ReminderWatch watch(Store::database());
    (void)watch.reload(kToday);
    // 23:59:30: every entry has been looked at and none is due.
    const QDateTime late(kToday.date(), QTime(23, 59, 30));
    for (auto _ : state)
        benchmark::DoNotOptimize(watch.tick(late));
}
BENCHMARK(BM_ReminderTick)->Unit(benchmark::kMicrosecond);

// The tick that starts a new minute: the due reminders are read and the
// watched minute is written, once a minute.
void BM_ReminderMinute(benchmark::State &state)
{
    ReminderWatch watch(Store::database());
    (void)watch.reload(kToday);
    QDateTime now(kToday.date(), QTime(0, 0, 30));
    for (auto _ : state) {
        benchmark::DoNotOptimize(watch.tick(now));
        now = now.addSecs(60);
        if (now.date() != kToday.date())
            now = QDateTime(kToday.date(), QTime(0, 0, 30));
    }
}
BENCHMARK(BM_ReminderMinute)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // The offscreen platform's warnings would bury the table.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            fprintf(stderr, "%s\n", qPrintable(text));
    });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pad.db"));
    QFile::copy(QStringLiteral(VELMORA_TEMPLATE_STORE), path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    if (Store::open(path).status != Store::Status::Ready)
        return 1;
    fill();
    Clock::setNow(kToday);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Store::remove();
    return 0;
}
