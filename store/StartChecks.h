#pragma once

#include "store/Result.h"
#include "store/Store.h"

#include <QSqlDatabase>
#include <QStringList>

// What the program checks of a store before the launcher may use it.
namespace StartChecks {

inline const QStringList kRequiredTables = {QStringLiteral("public_code"), QStringLiteral("area")};
inline const QStringList kPasswordColumns = {
    QStringLiteral("pub_id"),     QStringLiteral("pub_code"),        QStringLiteral("pub_end"),
    QStringLiteral("pub_static"), QStringLiteral("pub_static_do_n"), QStringLiteral("pub_static_do_d"),
};

// Ready, or Damaged when a table or column the program needs is missing;
// fails with the engine's text when the file cannot be read or written
// (the store is then Unusable).
Result<Store::Status> run(QSqlDatabase &db);

} // namespace StartChecks
