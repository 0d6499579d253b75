#pragma once

#include "interchange/core/CardContact.h"
#include "interchange/core/RecordUids.h"
#include "store/Result.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <optional>

// The contact tables as a vCard import reads and writes them, every
// statement prepared once: an import of ten thousand cards costs what the
// engine's own inserts cost. Texts arrive readable and are stored as the
// address book stores them ("-" for empty, encoded in a protected record).
class CardStore final
{
public:
    // A contact already in the store, as a card finds it by its UID.
    struct Existing
    {
        QString id;
        QList<qint64> records; // rowids of its personal records, oldest first
        QString name;          // readable, of the first record
        bool personProtected = false;
        QList<qint64> units;
        bool unitsProtected = false; // any of them
        QList<qint64> others;
        bool othersProtected = false;
    };

    static Result<CardStore> make(const QSqlDatabase &db);

    // The contact that keeps `uid` and still has a personal record.
    Result<std::optional<Existing>> byUid(const QString &uid);

    // Adds `card` as a new contact with the first free id from `from` on;
    // `photo` is the stored BMP (empty for none). Returns the id.
    Result<QString> add(const CardContact &card, const QByteArray &photo, const QDateTime &from);
    // Writes `card` over the contact: its first personal record, its units
    // and its other information, row for row (rows beyond the card's are
    // deleted). A card without photo or sex leaves the stored ones. A record
    // stays protected when it was; what the card protects is protected too.
    Result<void> update(const Existing &contact, const CardContact &card, const QByteArray &photo);
    // Writes the card of a contact's n-th personal record: over that record,
    // or as a new record of the contact when it has fewer.
    Result<void> writeRecord(const Existing &contact, const CardContact &card, const QByteArray &photo);

private:
    CardStore(const QSqlDatabase &db, RecordUids::Batch uids);
    Result<void> prepareAll();
    Result<QString> freeId(const QDateTime &from);
    Result<QList<qint64>> rowids(QSqlQuery &query, const QString &id, bool *anyProtected);
    Result<void> insertPerson(const QString &id, const CardContact &card, const QByteArray &photo);
    Result<void> updatePerson(qint64 rowid, const CardContact &card, bool encode, const QByteArray &photo);
    Result<void> writeUnits(const QString &id, const QList<qint64> &rows, const QList<CardUnit> &units,
                            bool wasProtected);
    Result<void> writeOthers(const QString &id, const QList<qint64> &rows, const QList<CardOther> &others,
                             bool wasProtected);

    QSqlDatabase m_db;
    RecordUids::Batch m_uids;
    QDateTime m_nextFree; // later than every id given so far
    QSqlQuery m_uidKey, m_taken, m_people, m_unitRows, m_otherRows;
    QSqlQuery m_insertPerson, m_updatePerson, m_insertUnit, m_updateUnit, m_deleteUnit;
    QSqlQuery m_insertOther, m_updateOther, m_deleteOther;
};
