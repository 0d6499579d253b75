#include "SyncSide.h"

#include "store/FieldCodec.h"
#include "store/Sql.h"
#include "sync/core/DavClient.h"
#include "sync/core/SyncState.h"
#include "TempStore.h"

#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

SyncSide::SyncSide(QString name)
    : m_name(std::move(name))
{
}

SyncSide::~SyncSide()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

QString SyncSide::storePath() const
{
    return m_dir.filePath(QStringLiteral("pad.db"));
}

Result<void> SyncSide::make(const QUrl &addressBook, const QUrl &calendar)
{
    if (!m_dir.isValid() || !QFile::copy(TempStore::templatePath(), storePath())
        || !QFile::setPermissions(storePath(), QFile::ReadOwner | QFile::WriteOwner))
        return fail(QStringLiteral("cannot copy the supplied store"));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(storePath());
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!db.open())
        return fail(QStringLiteral("cannot open ") + storePath());
    // The supplied store has a sample or two; each side starts empty.
    for (const char *table :
         {"pe_info", "pe_dw_info", "pe_other_info", "job_do", "job_do_sub", "note_pad", "record_uid", "sync_change"}) {
        if (!run(QStringLiteral("DELETE FROM ") + QLatin1String(table)))
            return fail(QStringLiteral("cannot empty ") + QLatin1String(table));
    }
    for (const auto &[kind, url] : {std::pair(SyncKind::Contact, addressBook), std::pair(SyncKind::Job, calendar),
                                    std::pair(SyncKind::Note, calendar)}) {
        if (Result<void> kept = SyncState::setCollection(db, kind, url.toString()); !kept)
            return kept;
    }
    return {};
}

Result<SyncEngine::Report> SyncSide::sync(const DavAccount &account, const SyncEngine::Options &options)
{
    DavClient client(account);
    SyncEngine engine(db(), client, options);
    SyncEngine::Report total;
    for (const SyncKind kind : {SyncKind::Contact, SyncKind::Job, SyncKind::Note}) {
        Result<std::optional<QString>> url = SyncState::collectionUrl(db(), kind);
        if (!url || !*url)
            return fail(QStringLiteral("no collection"));
        Result<SyncEngine::Report> report = engine.run(kind, QUrl(**url));
        if (!report)
            return report;
        total.add(*report);
    }
    return total;
}

bool SyncSide::run(const QString &sql, const QVariantList &values) const
{
    return bool(Sql::run(db(), sql, values));
}

QStringList SyncSide::rows(const QString &sql) const
{
    QStringList found;
    Result<QSqlQuery> query = Sql::read(db(), sql);
    if (!query)
        return {QStringLiteral("(error) ") + query.error()};
    while (query->next()) {
        QStringList columns;
        for (int i = 0; i < query->record().count(); ++i)
            columns << query->value(i).toString();
        found << columns.join(QStringLiteral(" | "));
    }
    found.sort();
    return found;
}

int SyncSide::count(const QString &table) const
{
    Result<QVariant> n = Sql::scalar(db(), QStringLiteral("SELECT count(*) FROM ") + table);
    return n ? n->toInt() : -1;
}

bool SyncSide::addContact(const QString &id, const QString &name, const QString &mobile) const
{
    return run(QStringLiteral("INSERT INTO pe_info (pe_id, pe_name, pe_sex, n_add, pe_mib, pe_other, pe_h_tel, post, "
                              "pe_code, code_add, net_con, pe_memo, pe_img, e_dec_yn) "
                              "VALUES (?, ?, 1, '-', ?, '-', '-', '-', '-', '-', '-', '-', '', 0)"),
               {id, name, mobile})
           && run(QStringLiteral("INSERT INTO pe_dw_info (pe_id, dw_name, dw_add, dw_tel, dw_fax, dw_url, pe_memo, "
                                 "e_dec_yn) VALUES (?, '星河科技', '-', '-', '-', '-', '-', 0)"),
                  {id});
}

bool SyncSide::addJob(const QString &id, const QString &day, const QString &text) const
{
    return run(QStringLiteral("INSERT INTO job_do (id, date_id, job_memo, alter_yn, e_dec_yn, complete_yn) "
                              "VALUES (?, ?, ?, 0, 0, '未完成..')"),
               {id, day + QStringLiteral("000000"), text});
}

bool SyncSide::addNote(const QString &stamp, const QString &text) const
{
    return run(QStringLiteral("INSERT INTO note_pad (date_id, note_memo) VALUES (?, ?)"),
               {stamp, FieldCodec::encode(text)});
}

QStringList SyncSide::contacts() const
{
    return rows(QStringLiteral("SELECT p.pe_name, p.pe_mib, ifnull(u.dw_name, '') FROM pe_info p "
                               "LEFT JOIN pe_dw_info u ON u.pe_id = p.pe_id"));
}

QStringList SyncSide::jobs() const
{
    return rows(QStringLiteral("SELECT date_id, job_memo, complete_yn FROM job_do"));
}

QStringList SyncSide::notes() const
{
    QStringList found;
    for (const QString &row : rows(QStringLiteral("SELECT date_id, note_memo FROM note_pad"))) {
        const QString stamp = row.section(QStringLiteral(" | "), 0, 0);
        found << stamp + QStringLiteral(" | ") + FieldCodec::decode(row.section(QStringLiteral(" | "), 1)).text;
    }
    found.sort();
    return found;
}

Result<void> SyncPair::start(DavServer::Kind kind)
{
    m_server = std::make_unique<DavServer>();
    if (Result<void> started = m_server->start(kind, DavServer::Options()); !started)
        return started;
    DavClient client(m_server->account());
    Result<DavCollection> book =
        DavDiscovery::create(client, DavCollection::Kind::AddressBook, QStringLiteral("通讯录"));
    if (!book)
        return fail(book.error());
    Result<DavCollection> calendar =
        DavDiscovery::create(client, DavCollection::Kind::Calendar, QStringLiteral("日程"));
    if (!calendar)
        return fail(calendar.error());
    m_a = std::make_unique<SyncSide>(QStringLiteral("A"));
    m_b = std::make_unique<SyncSide>(QStringLiteral("B"));
    if (Result<void> a = m_a->make(book->url, calendar->url); !a)
        return a;
    return m_b->make(book->url, calendar->url);
}

void SyncPair::addServerColumn()
{
    QTest::addColumn<DavServer::Kind>("server");
    QTest::newRow("Radicale") << DavServer::Kind::Radicale;
    QTest::newRow("xandikos") << DavServer::Kind::Xandikos;
}

QString describe(const SyncEngine::Report &r)
{
    return QStringLiteral("in %1 out %2 removed here %3 there %4 conflicts %5 problems [%6]")
        .arg(r.received)
        .arg(r.sent)
        .arg(r.removedHere)
        .arg(r.removedThere)
        .arg(r.conflicts)
        .arg(r.problems.join(u'|'));
}
