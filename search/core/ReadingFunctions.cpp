#include "search/core/ReadingFunctions.h"

#include "search/core/PinyinReading.h"
#include "store/IndexSchema.h"
#include "store/SqlFunctions.h"

#include <sqlite3.h>

namespace {

QString argumentText(sqlite3_value *value)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return text ? QString::fromUtf8(text, sqlite3_value_bytes(value)) : QString();
}

std::string_view argumentBytes(sqlite3_value *value)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return text ? std::string_view(text, size_t(sqlite3_value_bytes(value))) : std::string_view();
}

void resultText(sqlite3_context *context, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(context, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void readingOfName(sqlite3_context *context, int, sqlite3_value **values)
{
    resultText(context, PinyinReading::ofName(argumentText(values[0])).spaced());
}

void readingOfText(sqlite3_context *context, int, sqlite3_value **values)
{
    resultText(context, PinyinReading::ofText(argumentText(values[0])).spaced());
}

void readingInitials(sqlite3_context *context, int, sqlite3_value **values)
{
    resultText(context, PinyinReading::initialsOf(argumentText(values[0])));
}

// The search text is the same for every row of one search: it is turned
// into a query once and kept with the statement.
void readingMatches(sqlite3_context *context, int, sqlite3_value **values)
{
    auto *query = static_cast<QByteArray *>(sqlite3_get_auxdata(context, 1));
    if (!query) {
        query = new QByteArray(PinyinReading::queryOf(argumentText(values[1])).toUtf8());
        sqlite3_set_auxdata(context, 1, query, [](void *kept) { delete static_cast<QByteArray *>(kept); });
        query = static_cast<QByteArray *>(sqlite3_get_auxdata(context, 1));
        if (!query) {
            sqlite3_result_error_nomem(context);
            return;
        }
    }
    const std::string_view q(query->constData(), size_t(query->size()));
    sqlite3_result_int(context, PinyinReading::matches(argumentBytes(values[0]), q) ? 1 : 0);
}

const bool kAdded = [] {
    SqlFunctions::add({IndexSchema::kReadingOfName, 1, readingOfName});
    SqlFunctions::add({IndexSchema::kReadingOfText, 1, readingOfText});
    SqlFunctions::add({IndexSchema::kReadingInitials, 1, readingInitials});
    SqlFunctions::add({ReadingFunctions::kReadingMatches, 2, readingMatches});
    return true;
}();

} // namespace

// Named by the store's link options so that every program linking the store
// links this file, and with it the additions above.
extern "C" const bool velmora_reading_functions = kAdded;
