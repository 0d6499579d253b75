#include "sync/core/SyncEngine.h"

#include "store/Sql.h"
#include "sync/core/DavClient.h"
#include "sync/core/DavXml.h"
#include "sync/core/SyncBatch.h"
#include "sync/core/SyncSent.h"
#include "sync/core/SyncState.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSet>

namespace {

// A multiget asks for this many resources at once, and this many records
// sent are kept in one transaction.
constexpr int kBatch = 100;
constexpr int kSendBatch = 50;

QUrl at(const QUrl &collection, const QString &href)
{
    return DavXml::resolve(collection, href);
}

QString pathOf(const QUrl &url)
{
    QString path = url.path(QUrl::FullyDecoded);
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

bool isCollectionItself(const QUrl &collection, const QString &href)
{
    return pathOf(at(collection, href)) == pathOf(collection);
}

// Where a new record goes: its UID as the file name when that is a plain
// name, else a digest of it.
QString hrefFor(const QUrl &collection, SyncKind kind, const QString &uid)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9._@-]{1,100}$"));
    const QString name =
        plain.match(uid).hasMatch()
            ? uid
            : QString::fromLatin1(QCryptographicHash::hash(uid.toUtf8(), QCryptographicHash::Sha1).toHex());
    return DavXml::normalHref(pathOf(collection) + name
                              + (kind == SyncKind::Contact ? QStringLiteral(".vcf") : QStringLiteral(".ics")));
}

QByteArray contentType(SyncKind kind)
{
    return kind == SyncKind::Contact ? QByteArrayLiteral("text/vcard; charset=utf-8")
                                     : QByteArrayLiteral("text/calendar; charset=utf-8");
}

QString named(const SyncRecords::Local &local)
{
    return QStringLiteral("“%1”").arg(local.name.isEmpty() ? local.uid : local.name);
}

} // namespace

void SyncEngine::Report::add(const Report &other)
{
    received += other.received;
    sent += other.sent;
    removedHere += other.removedHere;
    removedThere += other.removedThere;
    conflicts += other.conflicts;
    leftOut += other.leftOut;
    problems += other.problems;
}

SyncEngine::SyncEngine(QSqlDatabase db, DavClient &client, const Options &options)
    : m_db(std::move(db))
    , m_client(client)
    , m_options(options)
    , m_batch(std::make_unique<SyncBatch>(m_db))
{
}

SyncEngine::~SyncEngine() = default;

Result<SyncEngine::Report> SyncEngine::run(SyncKind kind, const QUrl &collection, const Progress &progress)
{
    m_report = {};
    Result<QStringList> changed = SyncState::changedKeys(m_db, kind);
    if (!changed)
        return fail(changed.error());
    m_changed = QSet<QString>(changed->cbegin(), changed->cend());
    Result<SyncRecords> records = SyncRecords::make(m_db, kind, m_options.records);
    if (!records)
        return fail(records.error());
    if (Result<void> pulled = pull(*records, collection, progress); !pulled)
        return fail(pulled.error());
    const Report beforePush = m_report;
    if (Result<void> pushed = push(*records, collection, progress); !pushed)
        return fail(pushed.error());
    // What was sent is read back under a new token: a server may leave a
    // record out of later reports when it was made and deleted after the
    // token we hold, so the token must come after our own records.
    if (m_report.sent != beforePush.sent || m_report.removedThere != beforePush.removedThere
        || m_report.conflicts != beforePush.conflicts) {
        if (Result<void> pulled = pull(*records, collection, progress); !pulled)
            return fail(pulled.error());
    }
    return m_report;
}

// A failure of the connection or the account stops the whole sync; a
// record the server refuses is named and the sync goes on.
Result<void> SyncEngine::stopping(const DavReply &reply, const QString &what)
{
    using Failure = DavReply::Failure;
    const bool stops =
        reply.failure != Failure::None || reply.status == 401 || reply.status == 507 || reply.status >= 500;
    if (stops)
        return fail(DavClient::explain(reply, what));
    m_report.problems << DavClient::explain(reply, what);
    return {};
}

Result<SyncEngine::Pulled> SyncEngine::listChanges(SyncKind kind, const QUrl &collection)
{
    Result<std::optional<QString>> token = SyncState::token(m_db, kind);
    if (!token)
        return fail(token.error());
    if (!*token || (*token)->isEmpty())
        return listEverything(kind, collection);
    const DavReply reply = m_client.report(collection, 0, DavXml::syncCollectionBody(**token));
    // A token the server no longer knows, or no report at all: compare
    // every ETag instead.
    if (DavXml::isInvalidSyncToken(reply.status, reply.body) || DavXml::isUnsupportedReport(reply.status, reply.body))
        return listEverything(kind, collection);
    if (!reply.ok())
        return fail(DavClient::explain(reply, QStringLiteral("同步的集合")));
    Result<DavXml::Multistatus> answer = DavXml::parse(reply.body);
    if (!answer)
        return fail(answer.error());
    Pulled pulled;
    pulled.token = answer->syncToken;
    for (const DavXml::Response &response : answer->responses) {
        if (isCollectionItself(collection, response.href))
            continue;
        if (response.status == 404)
            pulled.removed << response.href;
        else
            pulled.changed << Change{response.href, response.etag};
    }
    return pulled;
}

Result<SyncEngine::Pulled> SyncEngine::listEverything(SyncKind kind, const QUrl &collection)
{
    Pulled pulled;
    // The token first: what changes while the list is read comes again.
    const DavReply tokenReply = m_client.propfind(collection, 0, DavXml::collectionsBody());
    if (tokenReply.ok()) {
        if (Result<DavXml::Multistatus> answer = DavXml::parse(tokenReply.body); answer && !answer->responses.isEmpty())
            pulled.token = answer->responses.first().syncToken;
    }
    const DavReply reply = m_client.propfind(collection, 1, DavXml::etagsBody());
    if (!reply.ok())
        return fail(DavClient::explain(reply, QStringLiteral("同步的集合")));
    Result<DavXml::Multistatus> answer = DavXml::parse(reply.body);
    if (!answer)
        return fail(answer.error());
    QSet<QString> present;
    for (const DavXml::Response &response : answer->responses) {
        if (isCollectionItself(collection, response.href) || response.status != 200)
            continue;
        present.insert(response.href);
        pulled.changed << Change{response.href, response.etag};
    }
    Result<QList<SyncState::Item>> items = SyncState::items(m_db, kind);
    if (!items)
        return fail(items.error());
    for (const SyncState::Item &item : *items) {
        if (!present.contains(item.href))
            pulled.removed << item.href;
    }
    return pulled;
}

Result<void> SyncEngine::pull(SyncRecords &records, const QUrl &collection, const Progress &progress)
{
    Result<Pulled> pulled = listChanges(records.kind(), collection);
    if (!pulled)
        return fail(pulled.error());
    // What the server holds as we last saw it needs no fetching, nor what
    // another kind sharing the calendar keeps.
    QList<Change> fetching;
    for (const Change &change : pulled->changed) {
        Result<std::optional<SyncState::Item>> item = SyncState::itemByHref(m_db, records.kind(), change.href);
        if (!item)
            return fail(item.error());
        if (*item && !change.etag.isEmpty() && (*item)->etag == change.etag)
            continue;
        Result<bool> other = heldByOtherKind(records.kind(), change.href);
        if (!other)
            return fail(other.error());
        if (!*other)
            fetching << change;
    }
    for (qsizetype first = 0; first < fetching.size(); first += kBatch) {
        if (progress)
            progress(QStringLiteral("正在接收服务器上的记录"), int(first), int(fetching.size()));
        if (Result<void> fetched = fetch(records, collection, fetching.mid(first, kBatch)); !fetched)
            return fetched;
    }
    for (const QString &href : pulled->removed) {
        if (Result<void> taken = takeRemoval(records, href); !taken)
            return taken;
    }
    // The token last, with the records it covers.
    QString tokenError;
    if (Result<void> kept =
            m_batch->record([&] { return SyncState::setToken(m_db, records.kind(), pulled->token); }, &tokenError);
        !kept)
        return kept;
    if (Result<void> committed = m_batch->commit(); !committed)
        return committed;
    return tokenError.isEmpty() ? Result<void>() : fail(tokenError);
}

Result<bool> SyncEngine::heldByOtherKind(SyncKind kind, const QString &href) const
{
    for (const SyncKind other : {SyncKind::Job, SyncKind::Note}) {
        if (other == kind || kind == SyncKind::Contact)
            continue;
        Result<std::optional<SyncState::Item>> item = SyncState::itemByHref(m_db, other, href);
        if (!item)
            return fail(item.error());
        if (*item)
            return true;
    }
    return false;
}

Result<void> SyncEngine::fetch(SyncRecords &records, const QUrl &collection, const QList<Change> &changes)
{
    QStringList hrefs;
    for (const Change &change : changes)
        hrefs << change.href;
    const DavReply reply =
        m_client.report(collection, 1, DavXml::multigetBody(records.kind() != SyncKind::Contact, hrefs));
    if (!reply.ok())
        return fail(DavClient::explain(reply, QStringLiteral("同步的集合")));
    Result<DavXml::Multistatus> answer = DavXml::parse(reply.body);
    if (!answer)
        return fail(answer.error());
    for (const DavXml::Response &response : answer->responses) {
        if (response.status != 200 || response.data.isEmpty())
            continue;
        if (Result<void> taken = takeResource(records, response.href, response.etag, response.data); !taken)
            return taken;
    }
    return m_batch->commit();
}

// The server's resource over the record that keeps its UID, or as a new
// record, with what the sync keeps of it, all or nothing.
Result<void> SyncEngine::write(SyncRecords &records, const QString &href, const QString &etag, const QByteArray &data)
{
    const SyncKind kind = records.kind();
    std::optional<QString> writtenKey;
    QString error;
    Result<void> batch = m_batch->record(
        [&]() -> Result<void> {
            Result<SyncRecords::Applied> applied = records.apply(data);
            if (!applied)
                return fail(applied.error());
            if (applied->isForeign)
                return {};
            Result<std::optional<SyncState::Item>> before = SyncState::itemByHref(m_db, kind, href);
            if (!before)
                return fail(before.error());
            if (*before && (*before)->key != applied->key) {
                if (Result<void> dropped = SyncState::drop(m_db, kind, (*before)->key); !dropped)
                    return dropped;
            }
            if (Result<void> kept = SyncState::keep(m_db, {kind, applied->key, href, etag, applied->uid}); !kept)
                return kept;
            if (Result<void> cleared = SyncState::clearChange(m_db, kind, applied->key); !cleared)
                return cleared;
            writtenKey = applied->key;
            return {};
        },
        &error);
    if (!batch)
        return batch;
    if (!error.isEmpty()) {
        m_report.problems << QStringLiteral("服务器上的记录%1无法写入本机: %2").arg(href, error);
        return {};
    }
    if (writtenKey) {
        m_changed.remove(*writtenKey);
        ++m_report.received;
    }
    return {};
}

Result<void> SyncEngine::takeResource(SyncRecords &records, const QString &href, const QString &etag,
                                      const QByteArray &data)
{
    const SyncKind kind = records.kind();
    Result<std::optional<SyncState::Item>> item = SyncState::itemByHref(m_db, kind, href);
    if (!item)
        return fail(item.error());
    std::optional<QString> key;
    if (*item) {
        key = (*item)->key;
    } else if (const QString uid = SyncRecords::uidOf(kind, data); !uid.isEmpty()) {
        Result<std::optional<QString>> kept = RecordUids::keyFor(m_db, SyncKinds::uidKind(kind), uid);
        if (!kept)
            return fail(kept.error());
        key = *kept;
    }
    if (key && m_changed.contains(*key)) {
        // Reading a record as its resource may give it its UID: outside
        // the batch.
        if (Result<void> committed = m_batch->commit(); !committed)
            return committed;
        Result<std::optional<SyncRecords::Local>> local = records.read(*key);
        if (!local)
            return fail(local.error());
        if (*local) {
            Result<Settled> settled = settle(records, **local, href, data, etag);
            return settled ? Result<void>() : fail(settled.error());
        }
    }
    return write(records, href, etag, data);
}

// The record as the server keeps it now, no change here left to send.
Result<void> SyncEngine::adopt(SyncKind kind, const SyncRecords::Local &local, const QString &href, const QString &etag)
{
    QString error;
    Result<void> batch = m_batch->record(
        [&]() -> Result<void> {
            if (Result<void> kept = SyncState::keep(m_db, {kind, local.key, href, etag, local.uid}); !kept)
                return kept;
            if (Result<void> forgotten = SyncSent::forget(m_db, kind, local.key); !forgotten)
                return forgotten;
            return SyncState::clearChange(m_db, kind, local.key);
        },
        &error);
    if (!batch)
        return batch;
    if (!error.isEmpty())
        return fail(error);
    m_changed.remove(local.key);
    return {};
}

// Both sides changed the record. When they say the same (an answer lost
// after the record went out, say) the sync only notes it. When the server
// holds what an earlier sync of ours sent and never heard back about, the
// record goes again over it. Otherwise the local version becomes a conflict
// copy and the server's is written over the record.
Result<SyncEngine::Settled> SyncEngine::settle(SyncRecords &records, const SyncRecords::Local &local,
                                               const QString &href, const QByteArray &remote, const QString &etag)
{
    const SyncKind kind = records.kind();
    const QString remoteMeaning = records.meaning(remote);
    if (records.meaning(local.resource) == remoteMeaning) {
        if (Result<void> adopted = adopt(kind, local, href, etag); !adopted)
            return fail(adopted.error());
        return Settled();
    }
    Result<std::optional<QString>> sent = SyncSent::find(m_db, kind, local.key);
    if (!sent)
        return fail(sent.error());
    if (*sent && **sent == SyncSent::digest(remoteMeaning)) {
        QString error;
        Result<void> batch = m_batch->record(
            [&] {
                return SyncState::keep(m_db, {kind, local.key, href, etag, local.uid});
            },
            &error);
        if (!batch)
            return fail(batch.error());
        if (!error.isEmpty())
            return fail(error);
        return Settled{std::nullopt, true};
    }
    QString copy;
    QString error;
    Result<void> batch = m_batch->record(
        [&]() -> Result<void> {
            Result<QString> copied = records.copyAsConflict(local);
            if (!copied)
                return fail(copied.error());
            copy = *copied;
            if (Result<void> marked = SyncState::markChanged(m_db, kind, copy); !marked)
                return marked;
            Result<SyncRecords::Applied> applied = records.apply(remote);
            if (!applied)
                return fail(applied.error());
            if (Result<void> kept = SyncState::keep(m_db, {kind, applied->key, href, etag, applied->uid}); !kept)
                return kept;
            if (Result<void> forgotten = SyncSent::forget(m_db, kind, local.key); !forgotten)
                return forgotten;
            return SyncState::clearChange(m_db, kind, local.key);
        },
        &error);
    if (!batch)
        return fail(batch.error());
    if (!error.isEmpty()) {
        m_report.problems << QStringLiteral("%1在两边都改过,无法同步: %2").arg(named(local), error);
        return Settled();
    }
    m_changed.remove(local.key);
    m_changed.insert(copy);
    ++m_report.conflicts;
    return Settled{copy, false};
}

// Deleted on the server: deleted here too, unless it was changed here since,
// which keeps it and sends it again.
Result<void> SyncEngine::takeRemoval(SyncRecords &records, const QString &href)
{
    const SyncKind kind = records.kind();
    Result<std::optional<SyncState::Item>> item = SyncState::itemByHref(m_db, kind, href);
    if (!item)
        return fail(item.error());
    if (!*item)
        return {};
    const QString key = (*item)->key;
    const bool keep = m_changed.contains(key);
    QString error;
    Result<void> batch = m_batch->record(
        [&]() -> Result<void> {
            if (!keep) {
                if (Result<void> removed = records.remove(key); !removed)
                    return removed;
                if (Result<void> cleared = SyncState::clearChange(m_db, kind, key); !cleared)
                    return cleared;
            }
            return SyncState::drop(m_db, kind, key);
        },
        &error);
    if (!batch)
        return batch;
    if (!error.isEmpty()) {
        m_report.problems << QStringLiteral("服务器上已删除的记录%1无法在本机删除: %2").arg(href, error);
        return {};
    }
    if (!keep) {
        m_changed.remove(key);
        ++m_report.removedHere;
    }
    return {};
}

bool SyncEngine::mayLeave(SyncKind kind, const SyncRecords::Local &local) const
{
    if (m_options.includeProtected)
        return true;
    return kind == SyncKind::Note ? !m_options.notesNeedPassword : !local.isProtected;
}

Result<void> SyncEngine::push(SyncRecords &records, const QUrl &collection, const Progress &progress)
{
    const SyncKind kind = records.kind();
    Result<QStringList> keys = records.keys();
    if (!keys)
        return fail(keys.error());
    Result<QList<SyncState::Item>> items = SyncState::items(m_db, kind);
    if (!items)
        return fail(items.error());
    QSet<QString> synced;
    for (const SyncState::Item &item : *items)
        synced.insert(item.key);
    QStringList sending;
    for (const QString &key : *keys) {
        if (!synced.contains(key) || m_changed.contains(key))
            sending << key;
    }
    for (qsizetype first = 0; first < sending.size(); first += kSendBatch) {
        if (progress)
            progress(QStringLiteral("正在发送本机的记录"), int(first), int(sending.size()));
        QList<SyncRecords::Local> locals;
        for (const QString &key : sending.mid(first, kSendBatch)) {
            Result<std::optional<SyncRecords::Local>> local = records.read(key);
            if (!local)
                return fail(local.error());
            if (!*local)
                continue;
            if (mayLeave(kind, **local))
                locals << **local;
            else
                ++m_report.leftOut;
        }
        // Conflict copies made on the way, and records the server held an
        // earlier send of, go out next; a record that keeps clashing waits
        // for the next sync.
        for (int round = 0; round < 3 && !locals.isEmpty(); ++round) {
            Result<QStringList> next = sendAll(records, collection, locals);
            if (!next)
                return fail(next.error());
            locals.clear();
            for (const QString &copy : *next) {
                Result<std::optional<SyncRecords::Local>> local = records.read(copy);
                if (!local)
                    return fail(local.error());
                if (*local)
                    locals << **local;
            }
        }
    }
    const QSet<QString> present(keys->cbegin(), keys->cend());
    for (const QString &key : synced) {
        if (present.contains(key))
            continue;
        if (Result<void> deleted = sendDeletion(records, collection, key); !deleted)
            return deleted;
    }
    return clearStaleMarks(kind, present, synced);
}

// A record gone here that the server does not hold (deleted on both sides,
// or added and deleted between two syncs) leaves nothing to send: its mark
// goes, so a later record under its key is not taken for a change here.
Result<void> SyncEngine::clearStaleMarks(SyncKind kind, const QSet<QString> &present, const QSet<QString> &synced)
{
    const QSet<QString> changed = m_changed;
    for (const QString &key : changed) {
        if (present.contains(key) || synced.contains(key))
            continue;
        QString error;
        if (Result<void> batch = m_batch->record([&] { return SyncState::clearChange(m_db, kind, key); }, &error);
            !batch)
            return batch;
        if (error.isEmpty())
            m_changed.remove(key);
    }
    return m_batch->commit();
}

Result<QString> SyncEngine::etagOf(const QUrl &url)
{
    const DavReply reply = m_client.propfind(url, 0, DavXml::etagsBody());
    if (!reply.ok())
        return QString();
    Result<DavXml::Multistatus> answer = DavXml::parse(reply.body);
    if (!answer || answer->responses.isEmpty())
        return QString();
    return answer->responses.first().etag;
}

// One record to the server; none when the server refused it (named in the
// report).
Result<std::optional<SyncEngine::Sent>> SyncEngine::sendOne(SyncKind kind, const QUrl &collection,
                                                            const SyncRecords::Local &local)
{
    Result<std::optional<SyncState::Item>> item = SyncState::itemByKey(m_db, kind, local.key);
    if (!item)
        return fail(item.error());
    Sent sent{local, *item ? (*item)->href : hrefFor(collection, kind, local.uid), {}, false, {}};
    const QUrl url = at(collection, sent.href);
    const QByteArray ifMatch = *item ? (*item)->etag.toUtf8() : QByteArray();
    const DavReply reply = m_client.put(url, local.resource, contentType(kind), ifMatch);
    if (reply.ok()) {
        sent.etag = QString::fromUtf8(reply.etag);
        if (sent.etag.isEmpty())
            sent.etag = etagOf(url).valueOr(QString());
        return std::optional<Sent>(sent);
    }
    if (reply.status != 412) {
        if (Result<void> stop = stopping(reply, named(local)); !stop)
            return fail(stop.error());
        return std::optional<Sent>();
    }
    // The server holds another version than the one this record came from.
    const DavReply remote = m_client.get(url);
    if (!remote.ok()) {
        if (Result<void> stop = stopping(remote, named(local)); !stop)
            return fail(stop.error());
        return std::optional<Sent>();
    }
    sent.clash = true;
    sent.remote = remote.body;
    sent.etag = QString::fromUtf8(remote.etag);
    return std::optional<Sent>(sent);
}

// What each record of `locals` says, kept before any of them goes out.
Result<void> SyncEngine::keepSending(SyncRecords &records, const QList<SyncRecords::Local> &locals)
{
    for (const SyncRecords::Local &local : locals) {
        const QString digest = SyncSent::digest(records.meaning(local.resource));
        QString error;
        Result<void> batch =
            m_batch->record([&] { return SyncSent::keep(m_db, records.kind(), local.key, digest); }, &error);
        if (!batch)
            return batch;
        if (!error.isEmpty())
            return fail(error);
    }
    return m_batch->commit();
}

// Sends `locals`, then keeps what became of them in one batch; the keys of
// the records to send next: conflict copies made, and records the server
// held an earlier send of.
Result<QStringList> SyncEngine::sendAll(SyncRecords &records, const QUrl &collection,
                                        const QList<SyncRecords::Local> &locals)
{
    const SyncKind kind = records.kind();
    if (Result<void> kept = keepSending(records, locals); !kept)
        return fail(kept.error());
    QList<Sent> answers;
    for (const SyncRecords::Local &local : locals) {
        Result<std::optional<Sent>> sent = sendOne(kind, collection, local);
        if (!sent)
            return fail(sent.error());
        if (*sent)
            answers << **sent;
    }
    QStringList next;
    for (const Sent &sent : answers) {
        if (!sent.clash) {
            if (Result<void> adopted = adopt(kind, sent.local, sent.href, sent.etag); !adopted)
                return fail(adopted.error());
            ++m_report.sent;
            continue;
        }
        Result<Settled> settled = settle(records, sent.local, sent.href, sent.remote, sent.etag);
        if (!settled)
            return fail(settled.error());
        if (settled->copy)
            next << *settled->copy;
        if (settled->resend)
            next << sent.local.key;
    }
    if (Result<void> committed = m_batch->commit(); !committed)
        return fail(committed.error());
    return next;
}

Result<void> SyncEngine::sendDeletion(SyncRecords &records, const QUrl &collection, const QString &key)
{
    const SyncKind kind = records.kind();
    Result<std::optional<SyncState::Item>> item = SyncState::itemByKey(m_db, kind, key);
    if (!item)
        return fail(item.error());
    if (!*item)
        return {};
    const QUrl url = at(collection, (*item)->href);
    const DavReply reply = m_client.remove(url, (*item)->etag.toUtf8());
    if (reply.ok() || reply.status == 404 || reply.status == 410) {
        QString error;
        Result<void> batch = m_batch->record(
            [&]() -> Result<void> {
                if (Result<void> gone = SyncState::drop(m_db, kind, key); !gone)
                    return gone;
                return SyncState::clearChange(m_db, kind, key);
            },
            &error);
        if (!batch)
            return batch;
        if (Result<void> committed = m_batch->commit(); !committed)
            return committed;
        if (!error.isEmpty())
            return fail(error);
        m_changed.remove(key);
        ++m_report.removedThere;
        return {};
    }
    if (reply.status != 412)
        return stopping(reply, (*item)->href);
    // Changed on the server since: the change wins and comes back here.
    const DavReply remote = m_client.get(url);
    if (!remote.ok())
        return stopping(remote, (*item)->href);
    if (Result<void> written = write(records, (*item)->href, QString::fromUtf8(remote.etag), remote.body); !written)
        return written;
    return m_batch->commit();
}
