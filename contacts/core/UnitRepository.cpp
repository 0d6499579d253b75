#include "UnitRepository.h"

#include "ContactColumns.h"
#include "ContactStoreError.h"

#include <QSqlQuery>
#include <QVariant>

using namespace ContactColumns;

namespace {

Written failed(const QSqlQuery &query)
{
    return {false, ContactStoreError::describe(kUnitTable, query.lastError())};
}

void bindValues(QSqlQuery &query, const UnitRecord &record)
{
    for (int i = 0; i < UnitTextCount; ++i)
        query.addBindValue(record.texts.value(i));
    query.addBindValue(record.encoded);
}

} // namespace

UnitRepository::UnitRepository(QSqlDatabase db)
    : m_db(std::move(db))
{
}

Fetched<UnitRecord> UnitRepository::byContact(const QString &id) const
{
    Fetched<UnitRecord> result;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT rowid, %1, %2, %3 FROM %4 WHERE %1 = ? ORDER BY rowid")
                      .arg(kId, kUnitTexts.join(QStringLiteral(", ")), kEncoded, kUnitTable));
    query.addBindValue(id);
    if (!query.exec()) {
        result.error = ContactStoreError::describe(kUnitTable, query.lastError());
        return result;
    }
    while (query.next()) {
        UnitRecord record;
        record.rowid = query.value(0).toLongLong();
        record.id = query.value(1).toString();
        for (int i = 0; i < UnitTextCount; ++i)
            record.texts << query.value(2 + i).toString();
        record.encoded = query.value(2 + UnitTextCount).toBool();
        result.rows << record;
    }
    return result;
}

Written UnitRepository::append(UnitRecord &record) const
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (?%5)")
                      .arg(kUnitTable, kUnitTexts.join(QStringLiteral(", ")), kEncoded, kId,
                           QStringLiteral(", ?").repeated(UnitTextCount + 1)));
    bindValues(query, record);
    query.addBindValue(record.id);
    if (!query.exec())
        return failed(query);
    record.rowid = query.lastInsertId().toLongLong();
    return {};
}

Written UnitRepository::update(const UnitRecord &record) const
{
    QStringList sets;
    for (const QString &column : kUnitTexts + QStringList{kEncoded})
        sets << column + QStringLiteral(" = ?");
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(kUnitTable, sets.join(u',')));
    bindValues(query, record);
    query.addBindValue(record.rowid);
    return query.exec() ? Written{} : failed(query);
}

Written UnitRepository::remove(qint64 rowid) const
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kUnitTable));
    query.addBindValue(rowid);
    return query.exec() ? Written{} : failed(query);
}
