#pragma once

#include "contacts/core/ContactRecords.h"

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// How the contact repositories reach the engine: every statement prepared,
// every value bound in order, and every failure, preparing included, turned
// into the text the user sees with the engine's own words in it.
namespace ContactQuery {

// Prepares `sql` on `query`, binds `values` and runs it. `table` names the
// table whose column captions explain a value that was too long.
Written run(QSqlQuery &query, const QString &table, const QString &sql, const QVariantList &values = {});

// Runs an UPDATE or DELETE of one row addressed by its rowid. A row that is
// no longer there (deleted meanwhile) fails with ContactStoreError::kGone.
Written changeOne(QSqlQuery &query, const QString &table, const QString &sql, const QVariantList &values);

} // namespace ContactQuery
