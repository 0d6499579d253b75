// Reading a number never fails other than by giving its message, and whatever
// it reads is a finite value that reads back the same from its general form.
#include "tools/core/NumberText.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QChar separator : {QChar(u'.'), QChar(u',')}) {
        const Result<long double> value = NumberText::toNumber(input, separator);
        if (!value)
            continue;
        if (!std::isfinite(*value))
            __builtin_trap();
        const QString shown = NumberText::general(*value, separator);
        if (!NumberText::toNumber(shown, separator))
            __builtin_trap();
        (void)NumberText::fixed(*value, 4, separator);
    }
    return 0;
}
