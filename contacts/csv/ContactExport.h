#pragma once
#include "contacts/core/ContactRecords.h"
#include "contacts/core/ContactSearch.h"
#include "store/Result.h"

#include <QByteArray>
#include <QSqlDatabase>

// Writes contacts as comma-separated lines: id, the nine personal columns
// of the grid, sex as "男"/"女", "-" for empty. Values are written as the
// user reads them: a protected contact's are decoded, so that the file
// serves other address books and comes back whole through "导入".
namespace ContactExport {
QString line(const PersonRecord &record);

struct Exported
{
    QByteArray bytes; // GBK, every line ended by CR LF
    int lines = 0;
};
// One line per hit of a personal search (name, mobile, personal memo); for
// the other kinds the personal record of each listed contact, once each, in
// list order.
Result<Exported> build(const QSqlDatabase &db, ContactSearch::Kind kind, const QList<ContactSearch::Hit> &hits);

// The export list: name, sex as "true"/"false", address and mobile of the
// personal record of every hit, one row per hit (empty when there is none).
Result<QList<QStringList>> list(const QSqlDatabase &db, ContactSearch::Kind kind,
                                const QList<ContactSearch::Hit> &hits);
} // namespace ContactExport
