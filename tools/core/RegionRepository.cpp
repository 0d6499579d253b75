#include "RegionRepository.h"

#include "store/StoreError.h"

#include <QSqlQuery>

// Rows come in the store's own order; within a detail list they share one
// father, so that is also the order by father.
RegionRepository::Rows RegionRepository::provinces() const
{
    return read(QStringLiteral("SELECT provinceID, province FROM povince ORDER BY rowid"), {});
}

RegionRepository::Rows RegionRepository::citiesOf(const QString &provinceKey) const
{
    return read(QStringLiteral("SELECT cityID, city FROM city WHERE father = :father ORDER BY rowid"),
                {{QStringLiteral(":father"), provinceKey}});
}

RegionRepository::Rows RegionRepository::areasOf(const QString &cityKey) const
{
    return read(QStringLiteral("SELECT areaID, area FROM area WHERE father = :father"
                               " AND father <> :reserved ORDER BY rowid"),
                {{QStringLiteral(":father"), cityKey}, {QStringLiteral(":reserved"), kReservedFather}});
}

RegionRepository::Rows RegionRepository::read(const QString &sql,
                                              const QList<QPair<QString, QString>> &bindings) const
{
    Rows rows;
    QSqlQuery query(m_database);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        rows.error = StoreError::text(query.lastError());
        return rows;
    }
    for (const auto &[name, value] : bindings)
        query.bindValue(name, value);
    if (!query.exec()) {
        rows.error = StoreError::text(query.lastError());
        return rows;
    }
    while (query.next())
        rows.regions.append({query.value(0).toString(), query.value(1).toString()});
    return rows;
}
