#pragma once

#include <string_view>

// How the address book finds a name by its pinyin reading (the syllables the
// store keeps, "zhang san"; the search text as PinyinReading::queryOf gives
// it). The text is read one way or the other, never mixed:
//
// - the initials of a run of syllables: "zs" reads 张三, "s" too;
// - a run of whole syllables, the last one perhaps cut short: "zhangs",
//   "zhangsan" and "san" read 张三.
//
// So "zsa" does not read 张三: after "zs" its "a" would begin a third
// syllable. A "u" of the text also reads the v that stands for ü ("lu" and
// "lv" read 吕).
namespace PinyinMatch {

bool matches(std::string_view syllables, std::string_view query);

// The SQL function of matches(), added to every connection the program
// opens: contact_reading_matches(syllables, typed), where `typed` is the
// search text as the user typed it.
const char *function();

} // namespace PinyinMatch
