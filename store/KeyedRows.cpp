#include "store/KeyedRows.h"

#include "store/StoreError.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <memory>
#include <sqlite3.h>
#include <string>
#include <string_view>

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

} // namespace

Result<void> read(const QSqlDatabase &db, const QString &sql, const QString &text, const Add &add)
{
    sqlite3 *handle = handleOf(db);
    if (!handle)
        return fail(StoreError::kNotOpen);
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare16_v2(handle, sql.utf16(), int(sql.size() * sizeof(char16_t)), &raw, nullptr) != SQLITE_OK)
        return fail(engineError(handle));
    const std::unique_ptr<sqlite3_stmt, Finalize> statement(raw);
    sqlite3_bind_text16(raw, 1, text.utf16(), int(text.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
    // Keys come sorted, and one key may stand on several rows in a row: the
    // last one is kept (short keys such as ids need no allocation here).
    std::string lastBytes;
    QString lastKey;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
        // The store keeps text as UTF-8: taking it as stored spares the
        // engine a conversion and an allocation per row.
        const auto *key = reinterpret_cast<const char *>(sqlite3_column_text(raw, 1));
        const std::string_view bytes(key ? key : "", size_t(sqlite3_column_bytes(raw, 1)));
        if (bytes != lastBytes) {
            lastBytes.assign(bytes);
            lastKey = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
        }
        add(sqlite3_column_int64(raw, 0), lastKey);
    }
    if (step != SQLITE_DONE)
        return fail(engineError(handle));
    return {};
}

} // namespace KeyedRows
