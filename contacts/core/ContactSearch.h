#pragma once

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

struct Outcome
{
    QList<Hit> hits; // ordered by contact id, oldest first
    QString error;   // the store's text when the query failed
    bool ok() const { return error.isEmpty(); }
};

// A LIKE pattern that matches `text` literally anywhere ("\" escapes).
QString containsPattern(const QString &text);

// `text` is already trimmed and not empty.
Outcome run(const QSqlDatabase &db, Kind kind, const QString &text);

} // namespace ContactSearch
