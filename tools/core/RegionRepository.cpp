#include "tools/core/RegionRepository.h"

#include "store/Sql.h"

// Rows come in the store's own order; within a detail list they share one
// father, so that is also the order by father.
Result<RegionRepository::Rows> RegionRepository::provinces() const
{
    return read(QStringLiteral("SELECT provinceID, province FROM povince ORDER BY rowid"), {});
}

Result<RegionRepository::Rows> RegionRepository::citiesOf(const QString &provinceKey) const
{
    return read(QStringLiteral("SELECT cityID, city FROM city WHERE father = ? ORDER BY rowid"), {provinceKey});
}

Result<RegionRepository::Rows> RegionRepository::areasOf(const QString &cityKey) const
{
    return read(QStringLiteral("SELECT areaID, area FROM area WHERE father = ? AND father <> ? ORDER BY rowid"),
                {cityKey, kReservedFather});
}

Result<RegionRepository::Rows> RegionRepository::read(const QString &sql, const QVariantList &values) const
{
    Result<QSqlQuery> query = Sql::read(m_database, sql, values);
    if (!query)
        return fail(query.error());
    Rows rows;
    while (query->next())
        rows.append({query->value(0).toString(), query->value(1).toString()});
    return rows;
}
