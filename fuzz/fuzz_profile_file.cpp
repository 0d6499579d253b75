// Any file content reads without harm, and a key written into it reads back
// as written while the file's other keys keep their values.
#include "platform/ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("main.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const ProfileFile profile(path);
    const QString before = profile.read(QStringLiteral("backgroup"), QStringLiteral("bg"), QStringLiteral("no"));
    profile.read(QStringLiteral("system set"), QStringLiteral("hided"), QStringLiteral("0"));

    if (!profile.write(QStringLiteral("time"), QStringLiteral("alter"), QStringLiteral("08:30")))
        return 0;
    if (profile.read(QStringLiteral("time"), QStringLiteral("alter"), {}) != u"08:30")
        __builtin_trap();
    // Writing one key leaves a key of another section alone.
    if (profile.read(QStringLiteral("backgroup"), QStringLiteral("bg"), QStringLiteral("no")) != before)
        __builtin_trap();
    return 0;
}
