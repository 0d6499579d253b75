#include "OtherRepository.h"

#include "ContactColumns.h"
#include "ContactStoreError.h"

#include <QSqlQuery>
#include <QVariant>

using namespace ContactColumns;

namespace {

Written failed(const QSqlQuery &query)
{
    return {false, ContactStoreError::describe(kOtherTable, query.lastError())};
}

} // namespace

OtherRepository::OtherRepository(QSqlDatabase db)
    : m_db(std::move(db))
{
}

Fetched<OtherRecord> OtherRepository::byContact(const QString &id) const
{
    Fetched<OtherRecord> result;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT rowid, %1, %2, %3 FROM %4 WHERE %1 = ? ORDER BY rowid")
                      .arg(kId, kOtherMemo, kEncoded, kOtherTable));
    query.addBindValue(id);
    if (!query.exec()) {
        result.error = ContactStoreError::describe(kOtherTable, query.lastError());
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
    query.prepare(QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (?, ?, ?)")
                      .arg(kOtherTable, kId, kOtherMemo, kEncoded));
    query.addBindValue(record.id);
    query.addBindValue(record.memo);
    query.addBindValue(record.encoded);
    if (!query.exec())
        return failed(query);
    record.rowid = query.lastInsertId().toLongLong();
    return {};
}

Written OtherRepository::update(const OtherRecord &record) const
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ? WHERE rowid = ?")
                      .arg(kOtherTable, kOtherMemo, kEncoded));
    query.addBindValue(record.memo);
    query.addBindValue(record.encoded);
    query.addBindValue(record.rowid);
    return query.exec() ? Written{} : failed(query);
}

Written OtherRepository::remove(qint64 rowid) const
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kOtherTable));
    query.addBindValue(rowid);
    return query.exec() ? Written{} : failed(query);
}
