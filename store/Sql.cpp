#include "store/Sql.h"

#include "store/StoreError.h"

#include <QSqlError>

namespace {

Result<QSqlQuery> prepared(const QSqlDatabase &db, const QString &statement, bool forwardOnly = false)
{
    QSqlQuery query(db);
    query.setForwardOnly(forwardOnly);
    if (!query.prepare(statement))
        return fail(StoreError::text(query.lastError()));
    return query;
}

Result<QSqlQuery> executed(QSqlQuery query)
{
    if (!query.exec())
        return fail(StoreError::text(query.lastError()));
    return query;
}

} // namespace

Result<QSqlQuery> Sql::run(const QSqlDatabase &db, const QString &statement, const QVariantList &values)
{
    Result<QSqlQuery> query = prepared(db, statement);
    if (!query)
        return query;
    for (const QVariant &value : values)
        query->addBindValue(value);
    return executed(std::move(query).value());
}

Result<QSqlQuery> Sql::read(const QSqlDatabase &db, const QString &statement, const QVariantList &values)
{
    Result<QSqlQuery> query = prepared(db, statement, true);
    if (!query)
        return query;
    for (const QVariant &value : values)
        query->addBindValue(value);
    return executed(std::move(query).value());
}

Result<QSqlQuery> Sql::run(const QSqlDatabase &db, const QString &statement, const QVariantMap &values)
{
    Result<QSqlQuery> query = prepared(db, statement);
    if (!query)
        return query;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        query->bindValue(it.key(), it.value());
    return executed(std::move(query).value());
}

Result<QSqlQuery> Sql::prepare(const QSqlDatabase &db, const QString &statement)
{
    return prepared(db, statement);
}

Result<void> Sql::exec(QSqlQuery &query, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    if (!query.exec())
        return fail(StoreError::text(query.lastError()));
    return {};
}

Result<QVariant> Sql::scalar(const QSqlDatabase &db, const QString &statement, const QVariantList &values)
{
    Result<QSqlQuery> query = run(db, statement, values);
    if (!query)
        return fail(query.error());
    if (!query->next())
        return query->lastError().isValid() ? Result<QVariant>(fail(StoreError::text(query->lastError())))
                                            : Result<QVariant>(QVariant());
    return query->value(0);
}

Result<void> Sql::runAll(const QSqlDatabase &db, const QStringList &statements)
{
    for (const QString &statement : statements) {
        if (Result<QSqlQuery> done = run(db, statement); !done)
            return fail(done.error());
    }
    return {};
}

Result<void> Sql::begin(QSqlDatabase &db)
{
    if (!db.transaction())
        return fail(StoreError::text(db.lastError()));
    return {};
}

Result<void> Sql::commit(QSqlDatabase &db)
{
    if (db.commit())
        return {};
    const QString error = StoreError::text(db.lastError());
    db.rollback();
    return fail(error);
}
