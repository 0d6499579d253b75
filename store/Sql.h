#pragma once

#include "store/Result.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

// The one way a statement reaches the engine: prepared, every value bound,
// run, and every engine error (prepare() included) turned into the text the
// user is shown, with the plain explanation StoreError gives.
namespace Sql {

// Values bound in order to the statement's "?" placeholders.
Result<QSqlQuery> run(const QSqlDatabase &db, const QString &statement, const QVariantList &values = {});
// Values bound by name (":name" keys).
Result<QSqlQuery> run(const QSqlDatabase &db, const QString &statement, const QVariantMap &values);

// Like run(), for rows read once, front to back: the engine keeps no row
// after it was read, so a long list is not held twice in memory.
Result<QSqlQuery> read(const QSqlDatabase &db, const QString &statement, const QVariantList &values = {});

// A statement prepared once and run for many rows of the same shape, as an
// import does: exec() binds `values` in order to its "?" placeholders.
Result<QSqlQuery> prepare(const QSqlDatabase &db, const QString &statement);
Result<void> exec(QSqlQuery &query, const QVariantList &values);

// Runs a statement whose first row's first column is the answer (a count, a
// flag); a missing row gives an invalid QVariant.
Result<QVariant> scalar(const QSqlDatabase &db, const QString &statement, const QVariantList &values = {});

// Runs statements of no values one after another, up to the first that fails.
Result<void> runAll(const QSqlDatabase &db, const QStringList &statements);

// Runs `work` inside one transaction: committed when it succeeds, rolled
// back when it fails or the commit does.
template <typename Work> Result<void> inTransaction(QSqlDatabase db, Work &&work);

Result<void> begin(QSqlDatabase &db);
Result<void> commit(QSqlDatabase &db);

} // namespace Sql

template <typename Work> Result<void> Sql::inTransaction(QSqlDatabase db, Work &&work)
{
    if (Result<void> begun = begin(db); !begun)
        return begun;
    Result<void> done = work();
    if (!done) {
        db.rollback();
        return done;
    }
    return commit(db);
}
