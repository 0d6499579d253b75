#include "platform/WholeFile.h"

#include <QSaveFile>

namespace WholeFile {

Result<void> replace(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Unbuffered: a buffered write reports every byte taken, and a short
    // write at the final flush would go unnoticed by the commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            const QString why =
                file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("磁盘空间不足");
            file.cancelWriting();
            return fail(why);
        }
        written += n;
    }
    if (!file.commit())
        return fail(file.errorString());
    return {};
}

} // namespace WholeFile
