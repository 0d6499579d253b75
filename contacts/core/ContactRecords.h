#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Rows of the three contact tables as their repositories read and write them.
// Texts are in stored form (placeholders, encoded when `encoded`). A row that
// was read carries its rowid, by which it is updated or deleted.

struct PersonRecord
{
    qint64 rowid = -1;
    QString id;
    QStringList texts; // ContactColumns::kPersonTexts order
    bool male = true;
    QByteArray photo; // bytes of a BMP file, or empty
    bool encoded = false;
};

struct UnitRecord
{
    qint64 rowid = -1;
    QString id;
    QStringList texts; // ContactColumns::kUnitTexts order
    bool encoded = false;
};

struct OtherRecord
{
    qint64 rowid = -1;
    QString id;
    QString memo;
    bool encoded = false;
};

// What an UPDATE or DELETE of one row (by its rowid) did: a row deleted
// meanwhile is gone, and nothing was written.
enum class RowChange { Done, Gone };
