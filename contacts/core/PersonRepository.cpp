#include "contacts/core/PersonRepository.h"

#include "contacts/core/ContactColumns.h"
#include "contacts/core/ContactStoreError.h"
#include "store/Sql.h"
#include "store/UniqueStamp.h"

#include <QVariant>

using namespace ContactColumns;

namespace {

QString textColumns()
{
    return kPersonTexts.join(QStringLiteral(", "));
}

// The ten texts, the sex, the photo and the flag, in the order of the
// INSERT and UPDATE statements below.
QVariantList values(const PersonRecord &record)
{
    QVariantList list;
    for (int i = 0; i < PersonTextCount; ++i)
        list << record.texts.value(i);
    list << record.male;
    // A missing photo is stored empty, not NULL, as the table describes it.
    list << (record.photo.isNull() ? QByteArray("") : record.photo);
    list << record.encoded;
    return list;
}

} // namespace

PersonRepository::PersonRepository(QSqlDatabase db)
    : m_db(std::move(db))
{
}

Result<QList<PersonRecord>> PersonRepository::byContact(const QString &id) const
{
    Result<QSqlQuery> query = ContactStoreError::named(
        kPersonTable, Sql::read(m_db,
                                QStringLiteral("SELECT rowid, %1, %2, %3, %4, %5 FROM %6 WHERE %1 = ? ORDER BY rowid")
                                    .arg(kId, textColumns(), kSex, kPhoto, kEncoded, kPersonTable),
                                {id}));
    if (!query)
        return fail(query.error());
    QList<PersonRecord> rows;
    while (query->next()) {
        PersonRecord record;
        record.rowid = query->value(0).toLongLong();
        record.id = query->value(1).toString();
        for (int i = 0; i < PersonTextCount; ++i)
            record.texts << query->value(2 + i).toString();
        record.male = query->value(2 + PersonTextCount).toBool();
        record.photo = query->value(3 + PersonTextCount).toByteArray();
        record.encoded = query->value(4 + PersonTextCount).toBool();
        rows << record;
    }
    return rows;
}

Result<void> PersonRepository::append(PersonRecord &record, const QDateTime &now) const
{
    Result<PersonAppender> appender = PersonAppender::make(m_db);
    if (!appender)
        return fail(appender.error());
    if (Result<qint64> appended = appender->append(record, now.toSecsSinceEpoch()); !appended)
        return fail(appended.error());
    return {};
}

Result<RowChange> PersonRepository::update(const PersonRecord &record) const
{
    QStringList sets;
    for (const QString &column : kPersonTexts + QStringList{kSex, kPhoto, kEncoded})
        sets << column + QStringLiteral(" = ?");
    return ContactStoreError::rowChange(
        kPersonTable,
        Sql::run(m_db, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(kPersonTable, sets.join(u',')),
                 values(record) << record.rowid));
}

Result<RowChange> PersonRepository::remove(qint64 rowid) const
{
    return ContactStoreError::rowChange(
        kPersonTable, Sql::run(m_db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kPersonTable), {rowid}));
}

PersonAppender::PersonAppender(QSqlQuery taken, QSqlQuery insert, std::optional<QString> highest)
    : m_taken(std::move(taken))
    , m_insert(std::move(insert))
    , m_highest(std::move(highest))
{
}

Result<PersonAppender> PersonAppender::make(const QSqlDatabase &db)
{
    // The inner max() is answered from the index on the id.
    Result<QSqlQuery> highest = ContactStoreError::named(
        kPersonTable,
        Sql::read(db, QStringLiteral("SELECT typeof(m), m FROM (SELECT max(%1) AS m FROM %2)").arg(kId, kPersonTable)));
    if (!highest)
        return fail(highest.error());
    std::optional<QString> bound;
    if (highest->next() && highest->value(0).toString() != QLatin1String("blob"))
        bound = highest->value(1).toString();
    Result<QSqlQuery> taken = Sql::prepare(db, UniqueStamp::takenStatement(kPersonTable, kId));
    if (!taken)
        return fail(taken.error());
    Result<QSqlQuery> insert = ContactStoreError::named(
        kPersonTable, Sql::prepare(db, QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5, %6) VALUES (?%7)")
                                           .arg(kPersonTable, textColumns(), kSex, kPhoto, kEncoded, kId,
                                                QStringLiteral(", ?").repeated(PersonTextCount + 3))));
    if (!insert)
        return fail(insert.error());
    return PersonAppender(std::move(taken).value(), std::move(insert).value(), std::move(bound));
}

Result<QString> PersonAppender::freeId(qint64 &moment)
{
    for (;; ++moment) {
        const QString stamp = m_stamps.format(moment);
        if (m_highest && stamp > *m_highest)
            return stamp;
        if (Result<void> asked = Sql::exec(m_taken, {stamp}); !asked)
            return fail(ContactStoreError::describe(kPersonTable, asked.error()));
        const bool taken = m_taken.next();
        m_taken.finish();
        if (!taken)
            return stamp;
    }
}

Result<qint64> PersonAppender::append(PersonRecord &record, qint64 from)
{
    qint64 moment = from;
    const Result<QString> id = freeId(moment);
    if (!id)
        return fail(id.error());
    if (Result<void> inserted = Sql::exec(m_insert, values(record) << *id); !inserted)
        return fail(ContactStoreError::describe(kPersonTable, inserted.error()));
    record.id = *id;
    record.rowid = m_insert.lastInsertId().toLongLong();
    if (m_highest && *id > *m_highest)
        m_highest = *id;
    return moment;
}
