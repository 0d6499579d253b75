#pragma once

#include <QSqlError>
#include <QString>

#include <optional>

namespace StoreError {

// The engine's own text of an error, as the error box shows it.
QString text(const QSqlError &error);

struct TooLong
{
    QString column;
    int limit = 0;
};

// Set when the store refused a value longer than its column allows.
std::optional<TooLong> tooLong(const QSqlError &error);

} // namespace StoreError
