#pragma once

#include <QSqlError>
#include <QString>

#include <optional>

namespace StoreError {

// What the error box shows: for a full disk, a locked, read-only, moved or
// damaged store a plain explanation, then the engine's own text in brackets;
// for anything else the engine's text alone.
QString text(const QSqlError &error);

struct TooLong
{
    QString column;
    int limit = 0;
};

// Set when the store refused a value longer than its column allows.
std::optional<TooLong> tooLong(const QSqlError &error);

} // namespace StoreError
