#pragma once

#include "interchange/core/CardStore.h"
#include "interchange/core/JobIdPool.h"
#include "interchange/core/JobNoteStore.h"
#include "store/Result.h"
#include "sync/core/SyncKind.h"

#include <QByteArray>
#include <QDateTime>
#include <QSet>
#include <QSqlDatabase>
#include <QTimeZone>

#include <memory>
#include <optional>

// The records of one kind as a sync sees them: each local record as the
// resource a server keeps (a vCard 3.0 card, or an iCalendar object with one
// VTODO or VJOURNAL), and a server's resource written back over the record
// that keeps its UID, or as a new one. Writes join the caller's transaction.
class SyncRecords final
{
public:
    struct Options
    {
        QTimeZone zone = QTimeZone::systemTimeZone(); // of the store's stamps
        QDateTime now;
    };

    // A local record ready to go to the server.
    struct Local
    {
        QString key;
        QString uid;
        QString name; // how the user knows it: a contact's name, a text's first line
        bool isProtected = false;
        QByteArray resource;
    };

    // What a server's resource became here.
    struct Applied
    {
        QString key;
        QString uid;
        bool isForeign = false; // a resource of another kind, left alone
    };

    static Result<SyncRecords> make(const QSqlDatabase &db, SyncKind kind, const Options &options);
    SyncRecords(SyncRecords &&) noexcept;
    SyncRecords &operator=(SyncRecords &&) noexcept;
    ~SyncRecords();

    SyncKind kind() const { return m_kind; }
    // Every record of the kind that the store keeps now.
    Result<QStringList> keys() const;
    // The record as its resource; none when it is gone.
    Result<std::optional<Local>> read(const QString &key);
    // The UID a resource carries; empty when it names none it can be kept by.
    static QString uidOf(SyncKind kind, const QByteArray &resource);
    // Writes the server's resource; a resource that cannot be read says why.
    Result<Applied> apply(const QByteArray &resource);
    Result<void> remove(const QString &key);
    // Keeps the local record as a new one whose text says it is a conflict
    // copy, with a UID of its own; its key.
    Result<QString> copyAsConflict(const Local &local);
    // What a resource says, whatever the server did to its spelling: two
    // resources that give the same record give the same text.
    QString meaning(const QByteArray &resource) const;

private:
    SyncRecords(QSqlDatabase db, SyncKind kind, const Options &options);
    Result<std::optional<Local>> readContact(const QString &key);
    Result<std::optional<Local>> readJob(const QString &key);
    Result<std::optional<Local>> readNote(const QString &key);
    Result<Applied> applyContact(const QByteArray &resource);
    Result<Applied> applyCalendar(const QByteArray &resource);
    Result<QString> freeJobId();
    Result<void> readJobIds();

    QSqlDatabase m_db;
    SyncKind m_kind;
    Options m_options;
    JobNoteStore m_jobs;
    std::unique_ptr<CardStore> m_cards;
    std::shared_ptr<JobIdPool> m_jobIds; // read once per sync
};

// A conflict copy's text begins with this.
inline const QString kConflictCopy = QStringLiteral("(冲突副本) ");
