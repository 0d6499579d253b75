#include "PersonRepository.h"

#include "ContactColumns.h"
#include "ContactStoreError.h"
#include "UniqueStamp.h"

#include <QSqlQuery>
#include <QVariant>

using namespace ContactColumns;

namespace {

QString textColumns()
{
    return kPersonTexts.join(QStringLiteral(", "));
}

Written failed(const QSqlQuery &query)
{
    return {false, ContactStoreError::describe(kPersonTable, query.lastError())};
}

void bindValues(QSqlQuery &query, const PersonRecord &record)
{
    for (int i = 0; i < PersonTextCount; ++i)
        query.addBindValue(record.texts.value(i));
    query.addBindValue(record.male);
    // A missing photo is stored empty, not NULL, as the table describes it.
    query.addBindValue(record.photo.isNull() ? QByteArray("") : record.photo);
    query.addBindValue(record.encoded);
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
    query.prepare(QStringLiteral("SELECT rowid, %1, %2, %3, %4, %5 FROM %6 WHERE %1 = ? ORDER BY rowid")
                      .arg(kId, textColumns(), kSex, kPhoto, kEncoded, kPersonTable));
    query.addBindValue(id);
    if (!query.exec()) {
        result.error = ContactStoreError::describe(kPersonTable, query.lastError());
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
    QString error;
    const QString id = UniqueStamp::next(m_db, kPersonTable, kId, now, &error);
    if (id.isEmpty())
        return {false, error};
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5, %6) VALUES (?%7)")
                      .arg(kPersonTable, textColumns(), kSex, kPhoto, kEncoded, kId,
                           QStringLiteral(", ?").repeated(PersonTextCount + 3)));
    bindValues(query, record);
    query.addBindValue(id);
    if (!query.exec())
        return failed(query);
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
    query.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(kPersonTable, sets.join(u',')));
    bindValues(query, record);
    query.addBindValue(record.rowid);
    return query.exec() ? Written{} : failed(query);
}

Written PersonRepository::remove(qint64 rowid) const
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kPersonTable));
    query.addBindValue(rowid);
    return query.exec() ? Written{} : failed(query);
}
