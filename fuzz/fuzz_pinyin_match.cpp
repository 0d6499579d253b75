// Any name and any search text through the pinyin readings and their
// matching: a name the store can keep (up to 255 characters) whose reading is
// plain Latin letters and digits is always found by its whole reading and by
// its initials. The input is the name, a
// zero byte, and the search text.
#include "search/core/PinyinReading.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    const auto *zero = static_cast<const char *>(std::memchr(bytes, 0, size));
    const qsizetype nameSize = zero ? zero - bytes : qsizetype(size);
    const QString name = QString::fromUtf8(bytes, nameSize);
    const QString typed = zero ? QString::fromUtf8(zero + 1, qsizetype(size) - nameSize - 1) : QString();

    for (const PinyinReading &reading : {PinyinReading::ofName(name), PinyinReading::ofText(name)}) {
        const QString spaced = reading.spaced();
        PinyinReading::matches(spaced, PinyinReading::queryOf(typed));
        if (name.size() > 255 || reading.syllables().isEmpty()
            || PinyinReading::queryOf(reading.full()) != reading.full())
            continue;
        if (!PinyinReading::matches(spaced, reading.full()) || !PinyinReading::matches(spaced, reading.initials()))
            __builtin_trap();
    }
    return 0;
}
