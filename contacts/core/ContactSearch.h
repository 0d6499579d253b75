#pragma once

#include "store/Result.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The six ways of finding contacts: a literal substring of one stored column.
// Rows saved with protection are matched against their encoded form.
namespace ContactSearch {

enum class Kind { Name, Mobile, UnitName, PersonalMemo, UnitMemo, Other };
inline constexpr int kKindCount = 6;

// The kind buttons' captions, in Kind order.
inline const QStringList kCaptions = {
    QStringLiteral("姓名"),     QStringLiteral("手机号"),   QStringLiteral("单位名称"),
    QStringLiteral("个人备注"), QStringLiteral("单位备注"), QStringLiteral("其他信息类查询"),
};

QString table(Kind kind);
QString column(Kind kind);

// One found row: the row of the searched table and the contact it belongs to.
struct Hit
{
    qint64 rowid = -1;
    QString contactId;
};

// A LIKE pattern that matches `text` literally anywhere ("\" escapes).
QString containsPattern(const QString &text);

// The hits ordered by contact id, oldest first. `text` is already trimmed
// and not empty.
Result<QList<Hit>> run(const QSqlDatabase &db, Kind kind, const QString &text);

} // namespace ContactSearch
