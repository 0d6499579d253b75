#include "contacts/core/UnitRepository.h"

#include "contacts/core/ContactColumns.h"
#include "contacts/core/ContactQuery.h"

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

Fetched<UnitRecord> UnitRepository::byContact(const QString &id) const
{
    Fetched<UnitRecord> result;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    const Written read = ContactQuery::run(
        query, kUnitTable,
        QStringLiteral("SELECT rowid, %1, %2, %3 FROM %4 WHERE %1 = ? ORDER BY rowid")
            .arg(kId, kUnitTexts.join(QStringLiteral(", ")), kEncoded, kUnitTable),
        {id});
    if (!read.ok) {
        result.error = read.error;
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
    const Written written = ContactQuery::run(
        query, kUnitTable,
        QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (?%5)")
            .arg(kUnitTable, kUnitTexts.join(QStringLiteral(", ")), kEncoded, kId,
                 QStringLiteral(", ?").repeated(UnitTextCount + 1)),
        values(record) << record.id);
    if (written.ok)
        record.rowid = query.lastInsertId().toLongLong();
    return written;
}

Written UnitRepository::update(const UnitRecord &record) const
{
    QStringList sets;
    for (const QString &column : kUnitTexts + QStringList{kEncoded})
        sets << column + QStringLiteral(" = ?");
    QSqlQuery query(m_db);
    return ContactQuery::changeOne(query, kUnitTable,
                             QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(kUnitTable, sets.join(u',')),
                             values(record) << record.rowid);
}

Written UnitRepository::remove(qint64 rowid) const
{
    QSqlQuery query(m_db);
    return ContactQuery::changeOne(query, kUnitTable, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kUnitTable),
                             {rowid});
}
