#include "contacts/core/ContactSearch.h"

#include "contacts/core/ContactColumns.h"
#include "search/core/PinyinReading.h"
#include "search/core/SearchFunctions.h"
#include "store/Sql.h"

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

bool isPersonal(Kind kind)
{
    return table(kind) == kPersonTable;
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

bool readsPinyin(Kind kind, const QString &text)
{
    return (kind == Kind::Name || kind == Kind::UnitName) && !PinyinReading::queryOf(text).isEmpty();
}

Filter filter(Kind kind, const QString &text)
{
    Filter found{QStringLiteral("%1 LIKE ? ESCAPE '\\'").arg(column(kind)), {containsPattern(text)}};
    // The readings are kept for the rows whose names the literal match finds
    // too: a protected row has none.
    if (readsPinyin(kind, text)) {
        found.condition =
            QStringLiteral("(%1 OR rowid IN (SELECT source_rowid FROM %2_reading WHERE %3(syllables, ?)))")
                .arg(found.condition, table(kind), QLatin1String(SearchFunctions::kReadingMatches));
        found.values << text;
        found.readsPinyin = true;
    }
    // A row without a contact id can be followed to no contact.
    found.condition += QStringLiteral(" AND %1 IS NOT NULL").arg(kId);
    return found;
}

// The searched column's covering index holds (contact id, text, row) in this
// order, so a scan in it never reads the table and never sorts.
QString orderBy(Kind kind, bool backwards)
{
    const QString way = backwards ? QStringLiteral(" DESC") : QString();
    return QStringLiteral("%1%3, %2%3, rowid%3").arg(kId, column(kind), way);
}

Result<QList<Hit>> run(const QSqlDatabase &db, Kind kind, const QString &text)
{
    const Filter found = filter(kind, text);
    const QString sql = QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %3 ORDER BY %4")
                            .arg(kId, table(kind), found.condition, orderBy(kind));
    Result<QSqlQuery> read = Sql::read(db, sql, found.values);
    if (!read)
        return fail(read.error());
    QList<Hit> hits;
    while (read->next())
        hits.append({read->value(0).toLongLong(), read->value(1).toString()});
    return hits;
}

} // namespace ContactSearch
