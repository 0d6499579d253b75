#include "contacts/core/OtherRepository.h"

#include "contacts/core/ContactColumns.h"
#include "contacts/core/ContactStoreError.h"
#include "store/Sql.h"

#include <QVariant>

using namespace ContactColumns;

OtherRepository::OtherRepository(QSqlDatabase db)
    : m_db(std::move(db))
{
}

Result<QList<OtherRecord>> OtherRepository::byContact(const QString &id) const
{
    Result<QSqlQuery> query = ContactStoreError::named(
        kOtherTable, Sql::read(m_db,
                               QStringLiteral("SELECT rowid, %1, %2, %3 FROM %4 WHERE %1 = ? ORDER BY rowid")
                                   .arg(kId, kOtherMemo, kEncoded, kOtherTable),
                               {id}));
    if (!query)
        return fail(query.error());
    QList<OtherRecord> rows;
    while (query->next()) {
        rows << OtherRecord{query->value(0).toLongLong(), query->value(1).toString(), query->value(2).toString(),
                            query->value(3).toBool()};
    }
    return rows;
}

Result<void> OtherRepository::append(OtherRecord &record) const
{
    const Result<QSqlQuery> query = ContactStoreError::named(
        kOtherTable,
        Sql::run(
            m_db,
            QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (?, ?, ?)").arg(kOtherTable, kId, kOtherMemo, kEncoded),
            {record.id, record.memo, record.encoded}));
    if (!query)
        return fail(query.error());
    record.rowid = query->lastInsertId().toLongLong();
    return {};
}

Result<RowChange> OtherRepository::update(const OtherRecord &record) const
{
    return ContactStoreError::rowChange(
        kOtherTable,
        Sql::run(m_db,
                 QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ? WHERE rowid = ?").arg(kOtherTable, kOtherMemo, kEncoded),
                 {record.memo, record.encoded, record.rowid}));
}

Result<RowChange> OtherRepository::remove(qint64 rowid) const
{
    return ContactStoreError::rowChange(
        kOtherTable, Sql::run(m_db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kOtherTable), {rowid}));
}
