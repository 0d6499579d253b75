#pragma once

#include "store/Result.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

// The six ways of finding contacts: a literal substring of one stored column.
// Rows saved with protection are matched against their encoded form. A name
// or unit name is also found by its pinyin when the text is Latin letters:
// "zs", "zhangs", "zhangsan" and "ZhangSan" find 张三 (PinyinReading::matches,
// over the readings the store keeps, which protected rows have none of).
namespace ContactSearch {

enum class Kind { Name, Mobile, UnitName, PersonalMemo, UnitMemo, Other };
inline constexpr int kKindCount = 6;

// The kind buttons' captions, in Kind order.
inline const QStringList kCaptions = {
    QStringLiteral("姓名"),     QStringLiteral("手机号"),   QStringLiteral("单位名称"),
    QStringLiteral("个人备注"), QStringLiteral("单位备注"), QStringLiteral("其他信息类查询"),
};

// The order of the result list: by contact id (the time a contact was made,
// oldest first), or by the contact's name as a Chinese reader sorts it.
enum class Order { ById, Pinyin };

QString table(Kind kind);
QString column(Kind kind);
// Whether the rows found are personal records (else units or other texts).
bool isPersonal(Kind kind);

// One found row: the row of the searched table and the contact it belongs to.
// A row gone from the store since the search has no rowid and no contact.
struct Hit
{
    qint64 rowid = -1;
    QString contactId;

    bool isGone() const { return rowid < 0 && contactId.isEmpty(); }
};

// A LIKE pattern that matches `text` literally anywhere ("\" escapes).
QString containsPattern(const QString &text);

// Whether a search also reads the pinyin of names.
bool readsPinyin(Kind kind, const QString &text);

// What a row of the searched table must meet, with the values bound to its
// "?" placeholders in order. `text` is already trimmed and not empty.
struct Filter
{
    QString condition;
    QVariantList values;
    // The condition reads the readings of names, once for each statement
    // before its scan begins.
    bool readsPinyin = false;
};
Filter filter(Kind kind, const QString &text);

// The order of rows found, as the engine reads it from the searched column's
// index: contact id, then the searched text, then the row.
QString orderBy(Kind kind, bool backwards = false);

// Every hit in the list's order (by contact id), read at once. Rows without
// a contact id belong to no contact and are left out.
Result<QList<Hit>> run(const QSqlDatabase &db, Kind kind, const QString &text);

} // namespace ContactSearch
