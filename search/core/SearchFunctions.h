#pragma once

#include <string_view>

// The SQL functions of the search, added to every connection of the program
// (store/SqlFunctions.h) before main() runs:
//
//   reading_of_name(name)          "张三" -> "zhang san" (surname table applied)
//   reading_of_text(text)          any other text, a unit's name for one
//   reading_initials(syllables)    "zhang san" -> "zs"
//   reading_matches(syllables, q)  1 when the search text q reads the name
//                                  (PinyinReading::matches, q as typed)
//   text_contains(text, term)      1 when `term` stands in `text`, Latin
//                                  letters of any case
//
// The first three are what the reading triggers call; the others are for
// searches, so a search runs inside the engine.
namespace SearchFunctions {

inline const char *const kReadingMatches = "reading_matches";
inline const char *const kTextContains = "text_contains";

// Whether `term` stands in `text` (UTF-8 both), ASCII letters compared
// regardless of case.
bool contains(std::string_view text, std::string_view term);

} // namespace SearchFunctions
