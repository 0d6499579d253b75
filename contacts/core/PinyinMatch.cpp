#include "contacts/core/PinyinMatch.h"

#include "search/core/PinyinReading.h"
#include "store/SqlFunctions.h"

#include <QByteArray>

#include <sqlite3.h>

namespace {

constexpr size_t kMostWords = 64;

bool sameLetter(char query, char reading)
{
    return query == reading || (query == 'u' && reading == 'v');
}

// At most kMostWords words of a spaced reading; gives their number.
size_t split(std::string_view syllables, std::string_view (&words)[kMostWords])
{
    size_t count = 0;
    for (size_t at = 0; at < syllables.size() && count < kMostWords;) {
        const size_t blank = std::min(syllables.find(' ', at), syllables.size());
        if (blank > at)
            words[count++] = syllables.substr(at, blank - at);
        at = blank + 1;
    }
    return count;
}

bool initialsFrom(const std::string_view *words, size_t count, std::string_view query)
{
    if (query.size() > count)
        return false;
    for (size_t i = 0; i < query.size(); ++i) {
        if (!sameLetter(query[i], words[i][0]))
            return false;
    }
    return true;
}

bool wholeWordsFrom(const std::string_view *words, size_t count, std::string_view query)
{
    for (size_t w = 0; w < count && !query.empty(); ++w) {
        const std::string_view word = words[w];
        const size_t shared = std::min(word.size(), query.size());
        for (size_t i = 0; i < shared; ++i) {
            if (!sameLetter(query[i], word[i]))
                return false;
        }
        if (query.size() <= word.size())
            return true; // the last syllable, whole or cut short
        query.remove_prefix(word.size());
    }
    return false;
}

void contactReadingMatches(sqlite3_context *context, int, sqlite3_value **values)
{
    // The search text is the same for every row of one search: it is read
    // once and kept with the statement.
    auto *query = static_cast<QByteArray *>(sqlite3_get_auxdata(context, 1));
    if (!query) {
        const auto *typed = reinterpret_cast<const char *>(sqlite3_value_text(values[1]));
        const QString text = typed ? QString::fromUtf8(typed, sqlite3_value_bytes(values[1])) : QString();
        query = new QByteArray(PinyinReading::queryOf(text).toUtf8());
        sqlite3_set_auxdata(context, 1, query, [](void *kept) { delete static_cast<QByteArray *>(kept); });
        query = static_cast<QByteArray *>(sqlite3_get_auxdata(context, 1));
        if (!query) {
            sqlite3_result_error_nomem(context);
            return;
        }
    }
    const auto *syllables = reinterpret_cast<const char *>(sqlite3_value_text(values[0]));
    const std::string_view reading =
        syllables ? std::string_view(syllables, size_t(sqlite3_value_bytes(values[0]))) : std::string_view();
    sqlite3_result_int(context,
                       PinyinMatch::matches(reading, std::string_view(query->constData(), size_t(query->size()))));
}

const char *const kFunction = "contact_reading_matches";

// Added before main(), so every connection of the program has it.
const bool kAdded = [] {
    SqlFunctions::add({kFunction, 2, contactReadingMatches});
    return true;
}();

} // namespace

namespace PinyinMatch {

bool matches(std::string_view syllables, std::string_view query)
{
    if (query.empty())
        return false;
    std::string_view words[kMostWords];
    const size_t count = split(syllables, words);
    for (size_t first = 0; first < count; ++first) {
        if (initialsFrom(words + first, count - first, query) || wholeWordsFrom(words + first, count - first, query))
            return true;
    }
    return false;
}

const char *function()
{
    return kAdded ? kFunction : nullptr;
}

} // namespace PinyinMatch
