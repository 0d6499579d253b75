#include "store/StartChecks.h"

#include "store/Sql.h"

namespace StartChecks {

namespace {

// Lower-cased names from the first column of `statement`'s rows.
Result<QStringList> lowerNames(QSqlDatabase &db, const QString &statement, const QVariantList &values = {})
{
    Result<QSqlQuery> query = Sql::read(db, statement, values);
    if (!query)
        return fail(query.error());
    QStringList names;
    while (query->next())
        names << query->value(0).toString().toLower();
    return names;
}

// Names of the user tables and views; names are compared without regard to
// case. An unreadable file fails here with the engine's text.
Result<QStringList> listTables(QSqlDatabase &db)
{
    return lowerNames(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view') "
                                         "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'"));
}

Result<QStringList> listColumns(QSqlDatabase &db, const QString &table)
{
    return lowerNames(db, QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table});
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
Result<void> probeWrite(QSqlDatabase &db)
{
    const int version = Sql::scalar(db, QStringLiteral("PRAGMA user_version")).valueOr(QVariant(0)).toInt();
    if (Result<QSqlQuery> begun = Sql::run(db, QStringLiteral("BEGIN IMMEDIATE")); !begun)
        return fail(begun.error());
    const Result<QSqlQuery> wrote = Sql::run(db, QStringLiteral("PRAGMA user_version=%1").arg(version));
    db.rollback();
    if (!wrote)
        return fail(wrote.error());
    return {};
}

} // namespace

Result<Store::Status> run(QSqlDatabase &db)
{
    const Result<QStringList> tables = listTables(db);
    if (!tables)
        return fail(tables.error());
    if (!containsAll(*tables, kRequiredTables))
        return Store::Status::Damaged;

    // pragma_table_info matches the table name without regard to case.
    const Result<QStringList> columns = listColumns(db, actualName(*tables, QStringLiteral("public_code")));
    if (!columns)
        return fail(columns.error());
    if (!containsAll(*columns, kPasswordColumns))
        return Store::Status::Damaged;
    if (const Result<void> wrote = probeWrite(db); !wrote)
        return fail(wrote.error());
    return Store::Status::Ready;
}

} // namespace StartChecks
