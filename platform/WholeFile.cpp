#include "WholeFile.h"

#include <QSaveFile>

namespace WholeFile {

bool replace(const QString &path, const QByteArray &bytes, QString *why)
{
    QSaveFile file(path);
    // Unbuffered: a buffered write reports every byte taken, and a short
    // write at the final flush would go unnoticed by the commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (why)
            *why = file.errorString();
        return false;
    }
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            if (why)
                *why = file.error() != QFileDevice::NoError ? file.errorString()
                                                            : QStringLiteral("磁盘空间不足");
            file.cancelWriting();
            return false;
        }
        written += n;
    }
    if (!file.commit()) {
        if (why)
            *why = file.errorString();
        return false;
    }
    return true;
}

} // namespace WholeFile
