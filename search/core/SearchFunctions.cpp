#include "search/core/SearchFunctions.h"

#include "search/core/PinyinReading.h"
#include "store/IndexSchema.h"
#include "store/SqlFunctions.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

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

void textContains(sqlite3_context *context, int, sqlite3_value **values)
{
    sqlite3_result_int(context, SearchFunctions::contains(argumentBytes(values[0]), argumentBytes(values[1])) ? 1 : 0);
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr size_t kMostCaseLetters = 4;

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

const bool kAdded = [] {
    SqlFunctions::add({IndexSchema::kReadingOfName, 1, readingOfName});
    SqlFunctions::add({IndexSchema::kReadingOfText, 1, readingOfText});
    SqlFunctions::add({IndexSchema::kReadingInitials, 1, readingInitials});
    SqlFunctions::add({SearchFunctions::kReadingMatches, 2, readingMatches});
    SqlFunctions::add({SearchFunctions::kTextContains, 2, textContains});
    return true;
}();

} // namespace

// A short term is looked for in every text of the store, so this is the
// whole cost of its search: memmem() reads a text many bytes at a time,
// where the engine's instr() compares at each character.
bool SearchFunctions::contains(std::string_view text, std::string_view term)
{
    if (term.empty())
        return true;
    if (std::none_of(term.begin(), term.end(), isAsciiLetter))
        return memmem(text.data(), text.size(), term.data(), term.size()) != nullptr;
    // A short term has few letters: each way of writing them is looked for
    // as it is. UTF-8 bytes of other characters are never ASCII letters.
    std::vector<size_t> letters;
    for (size_t i = 0; i < term.size(); ++i) {
        if (isAsciiLetter(term[i]))
            letters.push_back(i);
    }
    if (letters.size() <= kMostCaseLetters) {
        std::string spelled(term);
        for (unsigned cases = 0; cases < (1u << letters.size()); ++cases) {
            for (size_t n = 0; n < letters.size(); ++n) {
                const char lower = asciiLower(term[letters[n]]);
                spelled[letters[n]] = (cases >> n) & 1u ? char(lower - 'a' + 'A') : lower;
            }
            if (memmem(text.data(), text.size(), spelled.data(), spelled.size()))
                return true;
        }
        return false;
    }
    for (size_t at = 0; at + term.size() <= text.size(); ++at) {
        size_t n = 0;
        while (n < term.size() && asciiLower(text[at + n]) == asciiLower(term[n]))
            ++n;
        if (n == term.size())
            return true;
    }
    return false;
}

// Named by the store's link options so that every program linking the store
// links this file, and with it the additions above.
extern "C" const bool velmora_search_functions = kAdded;
