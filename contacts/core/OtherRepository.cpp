#include "contacts/core/OtherRepository.h"

#include "contacts/core/ContactColumns.h"
#include "contacts/core/ContactQuery.h"

#include <QVariant>

using namespace ContactColumns;

OtherRepository::OtherRepository(QSqlDatabase db)
    : m_db(std::move(db))
{
}

Fetched<OtherRecord> OtherRepository::byContact(const QString &id) const
{
    Fetched<OtherRecord> result;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    const Written read = ContactQuery::run(query, kOtherTable,
                                           QStringLiteral("SELECT rowid, %1, %2, %3 FROM %4 WHERE %1 = ? ORDER BY rowid")
                                               .arg(kId, kOtherMemo, kEncoded, kOtherTable),
                                           {id});
    if (!read.ok) {
        result.error = read.error;
        return result;
    }
    while (query.next()) {
        result.rows << OtherRecord{query.value(0).toLongLong(), query.value(1).toString(),
                                   query.value(2).toString(), query.value(3).toBool()};
    }
    return result;
}

Written OtherRepository::append(OtherRecord &record) const
{
    QSqlQuery query(m_db);
    const Written written = ContactQuery::run(
        query, kOtherTable,
        QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (?, ?, ?)").arg(kOtherTable, kId, kOtherMemo, kEncoded),
        {record.id, record.memo, record.encoded});
    if (written.ok)
        record.rowid = query.lastInsertId().toLongLong();
    return written;
}

Written OtherRepository::update(const OtherRecord &record) const
{
    QSqlQuery query(m_db);
    return ContactQuery::changeOne(
        query, kOtherTable,
        QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ? WHERE rowid = ?").arg(kOtherTable, kOtherMemo, kEncoded),
        {record.memo, record.encoded, record.rowid});
}

Written OtherRepository::remove(qint64 rowid) const
{
    QSqlQuery query(m_db);
    return ContactQuery::changeOne(query, kOtherTable, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kOtherTable),
                             {rowid});
}
