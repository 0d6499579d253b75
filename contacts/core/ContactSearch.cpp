#include "contacts/core/ContactSearch.h"

#include "contacts/core/ContactColumns.h"
#include "store/KeyedRows.h"

namespace ContactSearch {

using namespace ContactColumns;

QString table(Kind kind)
{
    switch (kind) {
    case Kind::Name:
    case Kind::Mobile:
    case Kind::PersonalMemo:
        return kPersonTable;
    case Kind::UnitName:
    case Kind::UnitMemo:
        return kUnitTable;
    case Kind::Other:
        return kOtherTable;
    }
    return kPersonTable;
}

QString column(Kind kind)
{
    switch (kind) {
    case Kind::Name:
        return kPersonTexts[Name];
    case Kind::Mobile:
        return kPersonTexts[Mobile];
    case Kind::PersonalMemo:
        return kPersonTexts[Remarks];
    case Kind::UnitName:
        return kUnitTexts[UnitName];
    case Kind::UnitMemo:
        return kUnitTexts[UnitNotes];
    case Kind::Other:
        return kOtherMemo;
    }
    return kPersonTexts[Name];
}

QString containsPattern(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped += u'%';
    for (const QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            escaped += u'\\';
        escaped += c;
    }
    escaped += u'%';
    return escaped;
}

Result<QList<Hit>> run(const QSqlDatabase &db, Kind kind, const QString &text)
{
    // Ordered by the contact id alone, so that the covering index of the
    // searched column gives the order and the scan never reads the table.
    const QString sql = QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %3 LIKE ? ESCAPE '\\' ORDER BY %1")
                            .arg(kId, table(kind), column(kind));
    QList<Hit> hits;
    const auto add = [&hits](qint64 rowid, const QString &contactId) { hits.append({rowid, contactId}); };
    if (Result<void> read = KeyedRows::read(db, sql, containsPattern(text), add); !read)
        return fail(read.error());
    return hits;
}

} // namespace ContactSearch
