#include "StartChecks.h"

#include "StoreError.h"

#include <QSqlError>
#include <QSqlQuery>

namespace StartChecks {

namespace {

// Lower-cased names of the user tables and views; names are compared
// without regard to case. An unreadable file fails here with the engine's text.
bool listTables(QSqlDatabase &db, QStringList &names, QString &error)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type IN ('table', 'view') AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'"))) {
        error = StoreError::text(query.lastError());
        return false;
    }
    while (query.next())
        names << query.value(0).toString().toLower();
    return true;
}

bool listColumns(QSqlDatabase &db, const QString &table, QStringList &names, QString &error)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
    query.addBindValue(table);
    if (!query.exec()) {
        error = StoreError::text(query.lastError());
        return false;
    }
    while (query.next())
        names << query.value(0).toString().toLower();
    return true;
}

bool containsAll(const QStringList &have, const QStringList &need)
{
    for (const QString &name : need) {
        if (!have.contains(name.toLower()))
            return false;
    }
    return true;
}

QString actualName(const QStringList &lowerNames, const QString &wanted)
{
    return lowerNames.contains(wanted) ? wanted : QString();
}

// A real write, rolled back, so a store that can only be read is caught at
// start and not at the first save.
bool probeWrite(QSqlDatabase &db, QString &error)
{
    QSqlQuery query(db);
    int version = 0;
    if (query.exec(QStringLiteral("PRAGMA user_version")) && query.next())
        version = query.value(0).toInt();
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        error = StoreError::text(query.lastError());
        return false;
    }
    const bool wrote = query.exec(QStringLiteral("PRAGMA user_version=%1").arg(version));
    if (!wrote)
        error = StoreError::text(query.lastError());
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return wrote;
}

} // namespace

Result run(QSqlDatabase &db)
{
    QStringList tables;
    QString error;
    if (!listTables(db, tables, error))
        return {Store::Status::Unusable, error};
    if (!containsAll(tables, kRequiredTables))
        return {Store::Status::Damaged, {}};

    QStringList columns;
    // pragma_table_info matches the table name without regard to case.
    if (!listColumns(db, actualName(tables, QStringLiteral("public_code")), columns, error))
        return {Store::Status::Unusable, error};
    if (!containsAll(columns, kPasswordColumns))
        return {Store::Status::Damaged, {}};
    if (!probeWrite(db, error))
        return {Store::Status::Unusable, error};
    return {};
}

} // namespace StartChecks
