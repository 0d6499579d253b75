#pragma once

#include "Store.h"

#include <QSqlDatabase>
#include <QStringList>

// What the program checks of a store before the launcher may use it.
namespace StartChecks {

struct Result
{
    Store::Status status = Store::Status::Ready;
    QString detail;
};

inline const QStringList kRequiredTables = {QStringLiteral("public_code"), QStringLiteral("area")};
inline const QStringList kPasswordColumns = {
    QStringLiteral("pub_id"),          QStringLiteral("pub_code"),
    QStringLiteral("pub_end"),         QStringLiteral("pub_static"),
    QStringLiteral("pub_static_do_n"), QStringLiteral("pub_static_do_d"),
};

Result run(QSqlDatabase &db);

} // namespace StartChecks
