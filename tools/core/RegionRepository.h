#pragma once

#include "store/Result.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

// Reads the three region tables of the store; never writes them.
class RegionRepository final
{
public:
    struct Region
    {
        QString key;  // provinceID, cityID or areaID
        QString name; // province, city or area
    };

    using Rows = QList<Region>;

    // The `area` row with this father holds the start-up password flag.
    static inline const QString kReservedFather = QStringLiteral("671000");

    explicit RegionRepository(QSqlDatabase database)
        : m_database(std::move(database))
    {
    }

    Result<Rows> provinces() const;
    Result<Rows> citiesOf(const QString &provinceKey) const;
    // Never the reserved flag row, whatever city is asked for.
    Result<Rows> areasOf(const QString &cityKey) const;

private:
    Result<Rows> read(const QString &sql, const QVariantList &values) const;

    QSqlDatabase m_database;
};
