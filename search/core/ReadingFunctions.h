#pragma once

// The SQL functions of the readings, added to every connection of the
// program (store/SqlFunctions.h) before main() runs:
//
//   reading_of_name(name)          "张三" -> "zhang san" (surname table applied)
//   reading_of_text(text)          any other text, a unit's name for one
//   reading_initials(syllables)    "zhang san" -> "zs"
//   reading_matches(syllables, q)  1 when the search text q reads the name
//                                  (PinyinReading::matches, q as typed)
//
// The first three are what the reading triggers call; the last is for
// searches, so a search over the reading tables runs inside the engine.
namespace ReadingFunctions {

inline const char *const kReadingMatches = "reading_matches";

} // namespace ReadingFunctions
