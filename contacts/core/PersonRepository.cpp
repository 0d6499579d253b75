#include "contacts/core/PersonRepository.h"

#include "contacts/core/ContactColumns.h"
#include "contacts/core/ContactQuery.h"
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

Fetched<PersonRecord> PersonRepository::byContact(const QString &id) const
{
    Fetched<PersonRecord> result;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    const Written read = ContactQuery::run(
        query, kPersonTable,
        QStringLiteral("SELECT rowid, %1, %2, %3, %4, %5 FROM %6 WHERE %1 = ? ORDER BY rowid")
            .arg(kId, textColumns(), kSex, kPhoto, kEncoded, kPersonTable),
        {id});
    if (!read.ok) {
        result.error = read.error;
        return result;
    }
    while (query.next()) {
        PersonRecord record;
        record.rowid = query.value(0).toLongLong();
        record.id = query.value(1).toString();
        for (int i = 0; i < PersonTextCount; ++i)
            record.texts << query.value(2 + i).toString();
        record.male = query.value(2 + PersonTextCount).toBool();
        record.photo = query.value(3 + PersonTextCount).toByteArray();
        record.encoded = query.value(4 + PersonTextCount).toBool();
        result.rows << record;
    }
    return result;
}

Written PersonRepository::append(PersonRecord &record, const QDateTime &now) const
{
    const Result<QString> stamp = UniqueStamp::next(m_db, kPersonTable, kId, now);
    if (!stamp)
        return {false, stamp.error()};
    const QString &id = *stamp;
    QSqlQuery query(m_db);
    const Written written = ContactQuery::run(
        query, kPersonTable,
        QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5, %6) VALUES (?%7)")
            .arg(kPersonTable, textColumns(), kSex, kPhoto, kEncoded, kId,
                 QStringLiteral(", ?").repeated(PersonTextCount + 3)),
        values(record) << id);
    if (!written.ok)
        return written;
    record.id = id;
    record.rowid = query.lastInsertId().toLongLong();
    return {};
}

Written PersonRepository::update(const PersonRecord &record) const
{
    QStringList sets;
    for (const QString &column : kPersonTexts + QStringList{kSex, kPhoto, kEncoded})
        sets << column + QStringLiteral(" = ?");
    QSqlQuery query(m_db);
    return ContactQuery::changeOne(query, kPersonTable,
                             QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(kPersonTable, sets.join(u',')),
                             values(record) << record.rowid);
}

Written PersonRepository::remove(qint64 rowid) const
{
    QSqlQuery query(m_db);
    return ContactQuery::changeOne(query, kPersonTable, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kPersonTable),
                             {rowid});
}
