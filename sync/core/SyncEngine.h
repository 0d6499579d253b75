#pragma once

#include "store/Result.h"
#include "sync/core/SyncKind.h"
#include "sync/core/SyncRecords.h"

#include <QSet>
#include <QSqlDatabase>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class DavClient;
class SyncBatch;
struct DavReply;

// One sync of one kind of record with its collection on a server: first what
// changed there since the last sync (from the collection's sync token, or by
// comparing every ETag when the server has no token for us) comes in, then
// what changed here goes out, deletions both ways. Each record that comes in
// is written in a transaction of its own together with what the sync keeps
// of it, so a sync stopped at any moment leaves every record as before or as
// after, and the next one finishes the work without copies: a record sent
// whose answer was lost is recognised by what it says.
//
// A record changed on both sides keeps both edits: the server's version is
// written over the record, and the local one is kept beside it as a new
// record whose text begins "(冲突副本) ", sent to the server as well. A record
// deleted on one side and changed on the other stays, with the change.
class SyncEngine final
{
public:
    struct Options
    {
        bool includeProtected = false; // protected contacts and jobs, and the diary behind a password
        bool notesNeedPassword = false;
        SyncRecords::Options records;
    };

    struct Report
    {
        int received = 0;     // records written here from the server
        int sent = 0;         // records written to the server
        int removedHere = 0;  // deleted here because the server deleted them
        int removedThere = 0; // deleted on the server because they were deleted here
        int conflicts = 0;    // records kept twice, as the server's and as a conflict copy
        int leftOut = 0;      // protected records not sent
        QStringList problems; // records that could not go or come, each named
        void add(const Report &other);
    };

    // Where the work stands: what is being done, and how far (done of total).
    using Progress = std::function<void(const QString &stage, int done, int total)>;

    SyncEngine(QSqlDatabase db, DavClient &client, const Options &options);
    ~SyncEngine();

    // A failure that stops the sync (server gone, wrong password, full
    // quota) is the error; records already written stay written.
    Result<Report> run(SyncKind kind, const QUrl &collection, const Progress &progress = {});

private:
    struct Change
    {
        QString href;
        QString etag;
    };
    struct Pulled
    {
        QList<Change> changed;
        QStringList removed;
        QString token;
    };
    // What the server said to a record sent: taken, or holding another
    // version (`remote`).
    struct Sent
    {
        SyncRecords::Local local;
        QString href;
        QString etag;
        bool clash = false;
        QByteArray remote;
    };

    Result<Pulled> listChanges(SyncKind kind, const QUrl &collection);
    Result<Pulled> listEverything(SyncKind kind, const QUrl &collection);
    Result<void> pull(SyncRecords &records, const QUrl &collection, const Progress &progress);
    Result<bool> heldByOtherKind(SyncKind kind, const QString &href) const;
    Result<void> fetch(SyncRecords &records, const QUrl &collection, const QList<Change> &changes);
    Result<void> takeResource(SyncRecords &records, const QString &href, const QString &etag, const QByteArray &data);
    Result<void> takeRemoval(SyncRecords &records, const QString &href);
    Result<void> push(SyncRecords &records, const QUrl &collection, const Progress &progress);
    Result<QStringList> sendAll(SyncRecords &records, const QUrl &collection, const QList<SyncRecords::Local> &locals);
    Result<std::optional<Sent>> sendOne(SyncKind kind, const QUrl &collection, const SyncRecords::Local &local);
    Result<void> sendDeletion(SyncRecords &records, const QUrl &collection, const QString &key);
    Result<void> clearStaleMarks(SyncKind kind, const QSet<QString> &present, const QSet<QString> &synced);
    Result<void> write(SyncRecords &records, const QString &href, const QString &etag, const QByteArray &data);
    Result<void> adopt(SyncKind kind, const SyncRecords::Local &local, const QString &href, const QString &etag);
    // What became of a record changed on both sides.
    struct Settled
    {
        std::optional<QString> copy; // the conflict copy made, to send
        bool resend = false;         // the server held our own earlier send: send the record again
    };
    Result<Settled> settle(SyncRecords &records, const SyncRecords::Local &local, const QString &href,
                           const QByteArray &remote, const QString &etag);
    Result<void> keepSending(SyncRecords &records, const QList<SyncRecords::Local> &locals);
    Result<QString> etagOf(const QUrl &url);
    bool mayLeave(SyncKind kind, const SyncRecords::Local &local) const;
    Result<void> stopping(const DavReply &reply, const QString &what);

    QSqlDatabase m_db;
    DavClient &m_client;
    Options m_options;
    Report m_report;
    QSet<QString> m_changed; // keys of the kind changed here since they were last synced
    std::unique_ptr<SyncBatch> m_batch;
};
