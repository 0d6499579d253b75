#pragma once

// One organiser of a sync test: a store of its own (a copy of the supplied
// one on a connection of its own), synced with the collections of a server.
#include "DavServer.h"
#include "store/Result.h"
#include "sync/core/DavDiscovery.h"
#include "sync/core/SyncEngine.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class SyncSide final
{
public:
    explicit SyncSide(QString name);
    ~SyncSide();
    SyncSide(const SyncSide &) = delete;
    SyncSide &operator=(const SyncSide &) = delete;

    [[nodiscard]] Result<void> make(const QUrl &addressBook, const QUrl &calendar);
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
    QString storePath() const;

    // Every kind, one after another, as the program syncs.
    Result<SyncEngine::Report> sync(const DavAccount &account, const SyncEngine::Options &options = {});

    bool run(const QString &sql, const QVariantList &values = {}) const;
    // Each row of `sql` as its columns joined by " | ", sorted.
    QStringList rows(const QString &sql) const;
    int count(const QString &table) const;

    // A contact with a unit, a job with a log entry and a note, as the
    // windows store them.
    bool addContact(const QString &id, const QString &name, const QString &mobile) const;
    bool addJob(const QString &id, const QString &day, const QString &text) const;
    bool addNote(const QString &stamp, const QString &text) const;
    QStringList contacts() const; // name | mobile | unit name
    QStringList jobs() const;     // date_id | text | done
    QStringList notes() const;    // date_id | text

private:
    QString m_name;
    QTemporaryDir m_dir;
};

// A server with an address book and a calendar, and two empty organisers
// syncing with them.
class SyncPair final
{
public:
    [[nodiscard]] Result<void> start(DavServer::Kind kind);
    SyncSide &a() { return *m_a; }
    SyncSide &b() { return *m_b; }
    DavServer &server() { return *m_server; }
    Result<SyncEngine::Report> sync(SyncSide &side) { return side.sync(m_server->account()); }

    // The rows of a test table: one per server.
    static void addServerColumn();

private:
    std::unique_ptr<DavServer> m_server;
    std::unique_ptr<SyncSide> m_a;
    std::unique_ptr<SyncSide> m_b;
};

// One line for a failed comparison of reports.
QString describe(const SyncEngine::Report &report);
