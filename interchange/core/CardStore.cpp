#include "interchange/core/CardStore.h"

#include "interchange/core/RecordUids.h"
#include "interchange/core/StoredText.h"
#include "store/Sql.h"
#include "store/TimeStamp.h"
#include "store/UniqueStamp.h"

#include <QVariant>

using namespace ContactColumns;

namespace {

QString sets(const QStringList &columns)
{
    QStringList parts;
    for (const QString &column : columns)
        parts << column + QStringLiteral(" = ?");
    return parts.join(QStringLiteral(", "));
}

QString marks(qsizetype count)
{
    return QStringList(count, QStringLiteral("?")).join(QStringLiteral(", "));
}

QVariantList personTexts(const CardContact &card, bool encode)
{
    QVariantList values;
    for (int i = 0; i < PersonTextCount; ++i)
        values << StoredText::toStore(card.personTexts.value(i), encode);
    return values;
}

QVariantList unitValues(const CardUnit &unit, bool encode)
{
    QVariantList values;
    for (int i = 0; i < UnitTextCount; ++i)
        values << StoredText::toStore(unit.texts.value(i), encode);
    values << encode;
    return values;
}

// NULL leaves the stored value where the statement says coalesce().
QVariant orKeep(const QByteArray &photo)
{
    return photo.isEmpty() ? QVariant() : QVariant(photo);
}

QVariant orKeep(const std::optional<bool> &male)
{
    return male ? QVariant(*male) : QVariant();
}

} // namespace

CardStore::CardStore(const QSqlDatabase &db, RecordUids::Batch uids)
    : m_db(db)
    , m_uids(std::move(uids))
{
}

Result<CardStore> CardStore::make(const QSqlDatabase &db)
{
    Result<RecordUids::Batch> uids = RecordUids::Batch::make(db, RecordUids::Kind::Contact);
    if (!uids)
        return fail(uids.error());
    CardStore store(db, std::move(uids).value());
    if (Result<void> prepared = store.prepareAll(); !prepared)
        return fail(prepared.error());
    return store;
}

Result<void> CardStore::prepareAll()
{
    const QString texts = kPersonTexts.join(QStringLiteral(", "));
    const QString unitTexts = kUnitTexts.join(QStringLiteral(", "));
    const QList<std::pair<QSqlQuery *, QString>> statements = {
        {&m_taken, UniqueStamp::takenStatement(kPersonTable, kId)},
        {&m_people, QStringLiteral("SELECT rowid, %1, %2 FROM %3 WHERE %4 = ? ORDER BY rowid")
                        .arg(kPersonTexts.at(Name), kEncoded, kPersonTable, kId)},
        {&m_unitRows,
         QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %3 = ? ORDER BY rowid").arg(kEncoded, kUnitTable, kId)},
        {&m_otherRows,
         QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %3 = ? ORDER BY rowid").arg(kEncoded, kOtherTable, kId)},
        {&m_insertPerson, QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5, %6) VALUES (%7)")
                              .arg(kPersonTable, texts, kEncoded, kId, kSex, kPhoto, marks(PersonTextCount + 4))},
        {&m_updatePerson, QStringLiteral("UPDATE %1 SET %2, %3 = ?, %4 = coalesce(?, %4), %5 = coalesce(?, %5) "
                                         "WHERE rowid = ?")
                              .arg(kPersonTable, sets(kPersonTexts), kEncoded, kSex, kPhoto)},
        {&m_insertUnit, QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (%5)")
                            .arg(kUnitTable, unitTexts, kEncoded, kId, marks(UnitTextCount + 2))},
        {&m_updateUnit,
         QStringLiteral("UPDATE %1 SET %2, %3 = ? WHERE rowid = ?").arg(kUnitTable, sets(kUnitTexts), kEncoded)},
        {&m_deleteUnit, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kUnitTable)},
        {&m_insertOther,
         QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (?, ?, ?)").arg(kOtherTable, kOtherMemo, kEncoded, kId)},
        {&m_updateOther,
         QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ? WHERE rowid = ?").arg(kOtherTable, kOtherMemo, kEncoded)},
        {&m_deleteOther, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kOtherTable)},
    };
    for (const auto &[query, statement] : statements) {
        Result<QSqlQuery> prepared = Sql::prepare(m_db, statement);
        if (!prepared)
            return fail(prepared.error());
        *query = std::move(prepared).value();
    }
    return {};
}

Result<QList<qint64>> CardStore::rowids(QSqlQuery &query, const QString &id, bool *anyProtected)
{
    if (Result<void> read = Sql::exec(query, {id}); !read)
        return fail(read.error());
    QList<qint64> rows;
    while (query.next()) {
        rows << query.value(0).toLongLong();
        *anyProtected = *anyProtected || query.value(1).toBool();
    }
    query.finish();
    return rows;
}

Result<std::optional<CardStore::Existing>> CardStore::byUid(const QString &uid)
{
    Result<std::optional<QString>> key = m_uids.keyFor(uid);
    if (!key)
        return fail(key.error());
    if (!*key)
        return std::optional<Existing>();
    Existing found;
    found.id = **key;
    if (Result<void> read = Sql::exec(m_people, {found.id}); !read)
        return fail(read.error());
    while (m_people.next()) {
        if (found.records.isEmpty()) {
            found.personProtected = m_people.value(2).toBool();
            found.name = StoredText::readable(m_people.value(1).toString(), found.personProtected, false);
        }
        found.records << m_people.value(0).toLongLong();
    }
    m_people.finish();
    // A UID whose contact was deleted names nobody: the card is a new contact.
    if (found.records.isEmpty())
        return std::optional<Existing>();
    Result<QList<qint64>> units = rowids(m_unitRows, found.id, &found.unitsProtected);
    if (!units)
        return fail(units.error());
    found.units = *units;
    Result<QList<qint64>> others = rowids(m_otherRows, found.id, &found.othersProtected);
    if (!others)
        return fail(others.error());
    found.others = *others;
    return std::optional<Existing>(found);
}

Result<QString> CardStore::freeId(const QDateTime &from)
{
    QDateTime moment = m_nextFree.isValid() && m_nextFree > from ? m_nextFree : from;
    for (;; moment = moment.addSecs(1)) {
        const QString stamp = TimeStamp::format(moment);
        if (Result<void> asked = Sql::exec(m_taken, {stamp}); !asked)
            return fail(asked.error());
        const bool taken = m_taken.next();
        m_taken.finish();
        if (!taken) {
            m_nextFree = moment.addSecs(1);
            return stamp;
        }
    }
}

Result<void> CardStore::insertPerson(const QString &id, const CardContact &card, const QByteArray &photo)
{
    // A card that does not say is a man, as the table's default and the
    // comma-separated import have it.
    return Sql::exec(m_insertPerson, personTexts(card, card.isProtected)
                                         << card.isProtected << id << card.male.value_or(true)
                                         << (photo.isEmpty() ? QByteArray("") : photo));
}

Result<void> CardStore::updatePerson(qint64 rowid, const CardContact &card, bool encode, const QByteArray &photo)
{
    return Sql::exec(m_updatePerson, personTexts(card, encode)
                                         << encode << orKeep(card.male) << orKeep(photo) << rowid);
}

Result<QString> CardStore::add(const CardContact &card, const QByteArray &photo, const QDateTime &from)
{
    Result<QString> id = freeId(from);
    if (!id)
        return fail(id.error());
    if (Result<void> person = insertPerson(*id, card, photo); !person)
        return fail(person.error());
    if (Result<void> units = writeUnits(*id, {}, card.units, false); !units)
        return fail(units.error());
    if (Result<void> others = writeOthers(*id, {}, card.others, false); !others)
        return fail(others.error());
    if (!card.uid.isEmpty()) {
        if (Result<void> kept = m_uids.keep(*id, card.uid); !kept)
            return fail(kept.error());
    }
    return *id;
}

Result<void> CardStore::update(const Existing &contact, const CardContact &card, const QByteArray &photo)
{
    const bool encode = contact.personProtected || card.isProtected;
    if (Result<void> person = updatePerson(contact.records.value(0), card, encode, photo); !person)
        return person;
    if (Result<void> units = writeUnits(contact.id, contact.units, card.units, contact.unitsProtected); !units)
        return units;
    return writeOthers(contact.id, contact.others, card.others, contact.othersProtected);
}

Result<void> CardStore::writeRecord(const Existing &contact, const CardContact &card, const QByteArray &photo)
{
    const int index = card.recordNumber - 1;
    if (index >= 0 && index < contact.records.size())
        return updatePerson(contact.records.at(index), card, contact.personProtected || card.isProtected, photo);
    CardContact record = card;
    record.isProtected = contact.personProtected || card.isProtected;
    return insertPerson(contact.id, record, photo);
}

Result<void> CardStore::writeUnits(const QString &id, const QList<qint64> &rows, const QList<CardUnit> &units,
                                   bool wasProtected)
{
    for (qsizetype i = 0; i < units.size(); ++i) {
        const bool encode = wasProtected || units.at(i).isProtected;
        const Result<void> written = i < rows.size()
                                         ? Sql::exec(m_updateUnit, unitValues(units.at(i), encode) << rows.at(i))
                                         : Sql::exec(m_insertUnit, unitValues(units.at(i), encode) << id);
        if (!written)
            return written;
    }
    for (qsizetype i = units.size(); i < rows.size(); ++i) {
        if (Result<void> deleted = Sql::exec(m_deleteUnit, {rows.at(i)}); !deleted)
            return deleted;
    }
    return {};
}

Result<void> CardStore::writeOthers(const QString &id, const QList<qint64> &rows, const QList<CardOther> &others,
                                    bool wasProtected)
{
    for (qsizetype i = 0; i < others.size(); ++i) {
        const bool encode = wasProtected || others.at(i).isProtected;
        // Kept exactly as written: the other information has no placeholder.
        const QString memo = StoredText::toStore(others.at(i).text, encode, false);
        const Result<void> written = i < rows.size() ? Sql::exec(m_updateOther, {memo, encode, rows.at(i)})
                                                     : Sql::exec(m_insertOther, {memo, encode, id});
        if (!written)
            return written;
    }
    for (qsizetype i = others.size(); i < rows.size(); ++i) {
        if (Result<void> deleted = Sql::exec(m_deleteOther, {rows.at(i)}); !deleted)
            return deleted;
    }
    return {};
}
