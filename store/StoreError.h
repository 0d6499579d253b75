#pragma once

#include <QSqlError>
#include <QString>

#include <optional>

namespace StoreError {

// Said when a statement meets the shared connection closed (a backup copy
// holds it closed): Qt reports that with an empty error.
inline const QString kNotOpen =
    QStringLiteral("记录文件现在没有打开,无法读写记录。如果正在备份记录文件,请等备份完成后再试。");

// What the error box shows: for a full disk, a locked, read-only, moved or
// damaged store a plain explanation, then the engine's own text in brackets;
// for a closed connection kNotOpen; for anything else the engine's text alone.
QString text(const QSqlError &error);

struct TooLong
{
    QString column;
    int limit = 0;
};

// Set when the store refused a value longer than its column allows.
std::optional<TooLong> tooLong(const QSqlError &error);
// The same read from the text a failed call gave back (text() keeps the
// engine's words), for callers that name the column by its caption.
std::optional<TooLong> tooLong(const QString &errorText);

} // namespace StoreError
