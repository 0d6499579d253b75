#include "store/KeyedRows.h"

#include "store/StoreError.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <memory>
#include <sqlite3.h>

namespace KeyedRows {

namespace {

sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant handle = db.isOpen() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

QString engineError(sqlite3 *handle)
{
    const auto *text = static_cast<const QChar *>(sqlite3_errmsg16(handle));
    return StoreError::text(QSqlError(QStringLiteral("Unable to fetch row"), QString(text), QSqlError::StatementError,
                                      QString::number(sqlite3_extended_errcode(handle))));
}

struct Finalize
{
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};

bool bind(sqlite3_stmt *statement, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &value = values.at(i);
        int bound = SQLITE_OK;
        if (value.isNull())
            bound = sqlite3_bind_null(statement, i + 1);
        else if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString();
            bound = sqlite3_bind_text16(statement, i + 1, text.utf16(), int(text.size() * sizeof(char16_t)),
                                        SQLITE_TRANSIENT);
        } else {
            bound = sqlite3_bind_int64(statement, i + 1, value.toLongLong());
        }
        if (bound != SQLITE_OK)
            return false;
    }
    return true;
}

} // namespace

Result<FirstRows> firstRows(const QSqlDatabase &db, const QString &sql, const QVariantList &values, int keep)
{
    sqlite3 *handle = handleOf(db);
    if (!handle)
        return fail(StoreError::kNotOpen);
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare16_v2(handle, sql.utf16(), int(sql.size() * sizeof(char16_t)), &raw, nullptr) != SQLITE_OK)
        return fail(engineError(handle));
    const std::unique_ptr<sqlite3_stmt, Finalize> statement(raw);
    if (!bind(raw, values))
        return fail(engineError(handle));
    FirstRows first;
    const int columns = sqlite3_column_count(raw);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
        if (first.count++ >= keep)
            continue;
        QStringList row;
        for (int c = 0; c < columns; ++c) {
            // The store keeps text as UTF-8: taken as stored, with no
            // conversion by the engine.
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(raw, c));
            row << (text ? QString::fromUtf8(text, sqlite3_column_bytes(raw, c)) : QString());
        }
        first.rows << row;
    }
    if (step != SQLITE_DONE)
        return fail(engineError(handle));
    return first;
}

} // namespace KeyedRows
