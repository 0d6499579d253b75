// Times a sync against a local Radicale: the first sync of N contacts and N
// jobs (10,000 each unless given), the first sync of a second organiser
// taking them all, and then the sync that finds one contact changed among
// them, which should be one report and one fetch.
//
//   bench_sync [N]   (Release build)

#include "BenchTiming.h"
#include "DavServer.h"
#include "store/Sql.h"
#include "sync/core/DavDiscovery.h"
#include "sync/core/SyncEngine.h"
#include "sync/core/SyncRecords.h"
#include "sync/core/SyncState.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using BenchTiming::Stopwatch;
using BenchTiming::Timing;

struct Organiser
{
    QString name;
    QTemporaryDir dir;
    QSqlDatabase db;
};

bool open(Organiser &side, const QUrl &book, const QUrl &calendar)
{
    const QString path = side.dir.filePath(QStringLiteral("pad.db"));
    if (!QFile::copy(QStringLiteral(VELMORA_TEMPLATE_STORE), path)
        || !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner))
        return false;
    side.db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), side.name);
    side.db.setDatabaseName(path);
    if (!side.db.open())
        return false;
    Sql::run(side.db, QStringLiteral("PRAGMA temp_store=MEMORY")).ok();
    for (const char *table : {"pe_info", "pe_dw_info", "pe_other_info", "job_do", "job_do_sub", "note_pad"})
        Sql::run(side.db, QStringLiteral("DELETE FROM ") + QLatin1String(table)).ok();
    return SyncState::setCollection(side.db, SyncKind::Contact, book.toString())
           && SyncState::setCollection(side.db, SyncKind::Job, calendar.toString())
           && SyncState::setCollection(side.db, SyncKind::Note, calendar.toString());
}

bool addRecords(const QSqlDatabase &db, int count)
{
    // The count is bound: the statements hold printf patterns that a
    // QString::arg would take for its own.
    const QVariantList last{count - 1};
    return Sql::run(db,
                    QStringLiteral("WITH RECURSIVE n(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM n WHERE k < ?) "
                                   "INSERT INTO pe_info (pe_id, pe_name, pe_sex, n_add, pe_mib, pe_other, "
                                   "pe_h_tel, post, pe_code, code_add, net_con, pe_memo, pe_img, e_dec_yn) "
                                   "SELECT printf('2020%010d', k), '联系人' || k, k % 2, '北京市海淀区' || k || "
                                   "'号', '139' || printf('%08d', k), '-', '010-6000' || k, '100080', '-', '-', "
                                   "'user' || k || '@example.com', '-', '', 0 FROM n"),
                    last)
           && Sql::run(db,
                       QStringLiteral("WITH RECURSIVE n(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM n WHERE k < "
                                      "?) INSERT INTO job_do (id, date_id, job_memo, alter_yn, e_dec_yn, "
                                      "complete_yn) SELECT printf('2021%010d', k), strftime('%Y%m%d', "
                                      "'2026-01-01', '+' || (k % 365) || ' days') || '000000', '拜访客户' || k, "
                                      "0, 0, '未完成..' FROM n"),
                       last);
}

Result<SyncEngine::Report> syncAll(const QSqlDatabase &db, const DavAccount &account)
{
    DavClient client(account);
    SyncEngine engine(db, client, {});
    SyncEngine::Report total;
    for (const SyncKind kind : {SyncKind::Contact, SyncKind::Job, SyncKind::Note}) {
        Result<std::optional<QString>> url = SyncState::collectionUrl(db, kind);
        if (!url || !*url)
            return fail(QStringLiteral("no collection"));
        Result<SyncEngine::Report> report = engine.run(kind, QUrl(**url));
        if (!report)
            return report;
        total.add(*report);
    }
    return total;
}

bool timed(const char *what, const QSqlDatabase &db, DavAccount account, qint64 limit = 0)
{
    // Radicale reads ten thousand files it has not seen before in one go
    // before it answers the first listing.
    account.timeoutMs = 600000;
    const Stopwatch watch;
    Result<SyncEngine::Report> report = syncAll(db, account);
    const Timing taken = watch.elapsed();
    if (!report) {
        std::fprintf(stderr, "%s: %s\n", what, qPrintable(report.error()));
        return false;
    }
    std::printf("%-44s %8lld ms, processor %7lld ms, sent %d, received %d", what, static_cast<long long>(taken.wallMs),
                static_cast<long long>(taken.cpuMs), report->sent, report->received);
    if (limit > 0)
        std::printf(" (target <= %lld ms) %s", static_cast<long long>(limit), taken.wallMs <= limit ? "ok" : "OVER");
    std::printf("\n");
    return true;
}

// Puts every record of `db` on the server the way Radicale keeps them, a
// file each in the collection's folder: a server filled by another machine,
// without waiting for it to take twenty thousand requests one by one.
bool fillServerFolder(const QSqlDatabase &db, const DavServer &server, const QUrl &collection, SyncKind kind)
{
    const QString folder = server.folder() + QStringLiteral("/collection-root") + collection.path();
    if (!QDir(folder).exists())
        return false;
    Result<SyncRecords> records = SyncRecords::make(db, kind, {});
    Result<QStringList> keys = records ? records->keys() : Result<QStringList>(fail(records.error()));
    if (!keys)
        return false;
    for (const QString &key : *keys) {
        Result<std::optional<SyncRecords::Local>> local = records->read(key);
        if (!local || !*local)
            return false;
        QFile file(folder + (*local)->uid + (kind == SyncKind::Contact ? ".vcf" : ".ics"));
        if (!file.open(QIODevice::WriteOnly) || file.write((*local)->resource) < 0)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Each line as it comes, for a run that takes many minutes.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int count = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 10000;
    DavServer server;
    if (Result<void> started = server.start(DavServer::Kind::Radicale, DavServer::Options()); !started) {
        std::fprintf(stderr, "%s\n", qPrintable(started.error()));
        return 1;
    }
    DavClient client(server.account());
    Result<DavCollection> book = DavDiscovery::create(client, DavCollection::Kind::AddressBook, QStringLiteral("b"));
    Result<DavCollection> calendar = DavDiscovery::create(client, DavCollection::Kind::Calendar, QStringLiteral("c"));
    Organiser a{QStringLiteral("A"), {}, {}};
    Organiser b{QStringLiteral("B"), {}, {}};
    if (!book || !calendar || !open(a, book->url, calendar->url) || !open(b, book->url, calendar->url)
        || !addRecords(a.db, count)) {
        std::fprintf(stderr, "cannot set up the organisers\n");
        return 1;
    }
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("load average: %s", load.readLine().constData());
    std::printf("%d contacts and %d jobs\n", count, count);
    // Sending goes one request a record, so it is timed on a tenth of them.
    const int sending = std::max(1, count / 10);
    Organiser c{QStringLiteral("C"), {}, {}};
    Result<DavCollection> sendBook =
        DavDiscovery::create(client, DavCollection::Kind::AddressBook, QStringLiteral("s"));
    Result<DavCollection> sendCalendar =
        DavDiscovery::create(client, DavCollection::Kind::Calendar, QStringLiteral("t"));
    if (!sendBook || !sendCalendar || !open(c, sendBook->url, sendCalendar->url) || !addRecords(c.db, sending))
        return 1;
    std::printf("first sync sending %d contacts and %d jobs:\n", sending, sending);
    if (!timed("  every record sent", c.db, server.account()))
        return 1;
    // A server another machine filled with all of them.
    if (!fillServerFolder(a.db, server, book->url, SyncKind::Contact)
        || !fillServerFolder(a.db, server, calendar->url, SyncKind::Job)) {
        std::fprintf(stderr, "cannot fill the server's folder\n");
        return 1;
    }
    if (!timed("first sync finding its own records there", a.db, server.account())
        || !timed("first sync of a second organiser", b.db, server.account()))
        return 1;
    Sql::run(a.db, QStringLiteral("UPDATE pe_info SET pe_mib = '13700000000' WHERE pe_id = '20200000000000'")).ok();
    if (!timed("the change sent", a.db, server.account())
        || !timed("one change among them taken in", b.db, server.account(), 500))
        return 1;
    return 0;
}
