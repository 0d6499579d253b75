#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

// Reads the three region tables of the store; never writes them.
class RegionRepository final
{
public:
    struct Region
    {
        QString key;  // provinceID, cityID or areaID
        QString name; // province, city or area
    };

    struct Rows
    {
        QList<Region> regions;
        QString error; // the store's text when the read failed
    };

    // The `area` row with this father holds the start-up password flag.
    static inline const QString kReservedFather = QStringLiteral("671000");

    explicit RegionRepository(QSqlDatabase database) : m_database(std::move(database)) {}

    Rows provinces() const;
    Rows citiesOf(const QString &provinceKey) const;
    // Never the reserved flag row, whatever city is asked for.
    Rows areasOf(const QString &cityKey) const;

private:
    Rows read(const QString &sql, const QList<QPair<QString, QString>> &bindings) const;

    QSqlDatabase m_database;
};
