#include "contacts/core/UnitRepository.h"

#include "contacts/core/ContactColumns.h"
#include "contacts/core/ContactStoreError.h"
#include "store/Sql.h"

#include <QVariant>

using namespace ContactColumns;

namespace {

// The six texts and the flag, in the order of the statements below.
QVariantList values(const UnitRecord &record)
{
    QVariantList list;
    for (int i = 0; i < UnitTextCount; ++i)
        list << record.texts.value(i);
    list << record.encoded;
    return list;
}

} // namespace

UnitRepository::UnitRepository(QSqlDatabase db)
    : m_db(std::move(db))
{
}

Result<QList<UnitRecord>> UnitRepository::byContact(const QString &id) const
{
    Result<QSqlQuery> query = ContactStoreError::named(
        kUnitTable, Sql::read(m_db,
                              QStringLiteral("SELECT rowid, %1, %2, %3 FROM %4 WHERE %1 = ? ORDER BY rowid")
                                  .arg(kId, kUnitTexts.join(QStringLiteral(", ")), kEncoded, kUnitTable),
                              {id}));
    if (!query)
        return fail(query.error());
    QList<UnitRecord> rows;
    while (query->next()) {
        UnitRecord record;
        record.rowid = query->value(0).toLongLong();
        record.id = query->value(1).toString();
        for (int i = 0; i < UnitTextCount; ++i)
            record.texts << query->value(2 + i).toString();
        record.encoded = query->value(2 + UnitTextCount).toBool();
        rows << record;
    }
    return rows;
}

Result<void> UnitRepository::append(UnitRecord &record) const
{
    const Result<QSqlQuery> query = ContactStoreError::named(
        kUnitTable, Sql::run(m_db,
                             QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (?%5)")
                                 .arg(kUnitTable, kUnitTexts.join(QStringLiteral(", ")), kEncoded, kId,
                                      QStringLiteral(", ?").repeated(UnitTextCount + 1)),
                             values(record) << record.id));
    if (!query)
        return fail(query.error());
    record.rowid = query->lastInsertId().toLongLong();
    return {};
}

Result<RowChange> UnitRepository::update(const UnitRecord &record) const
{
    QStringList sets;
    for (const QString &column : kUnitTexts + QStringList{kEncoded})
        sets << column + QStringLiteral(" = ?");
    return ContactStoreError::rowChange(
        kUnitTable, Sql::run(m_db, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(kUnitTable, sets.join(u',')),
                             values(record) << record.rowid));
}

Result<RowChange> UnitRepository::remove(qint64 rowid) const
{
    return ContactStoreError::rowChange(
        kUnitTable, Sql::run(m_db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kUnitTable), {rowid}));
}
