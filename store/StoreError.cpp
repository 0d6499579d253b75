#include "StoreError.h"

#include <QRegularExpression>

namespace StoreError {

QString text(const QSqlError &error)
{
    const QString engine = error.databaseText().trimmed();
    return engine.isEmpty() ? error.text().trimmed() : engine;
}

std::optional<TooLong> tooLong(const QSqlError &error)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(CHECK constraint failed:\s*length\((\w+)\)\s*<=\s*(\d+))"));
    const auto match = pattern.match(error.databaseText() + u' ' + error.text());
    if (!match.hasMatch())
        return std::nullopt;
    return TooLong{match.captured(1), match.captured(2).toInt()};
}

} // namespace StoreError
