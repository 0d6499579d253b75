#include "ImportFile.h"

#include "CsvText.h"

#include <QFile>
#include <QFileInfo>

namespace ImportFile {

Read read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("无法打开文件“%1”: %2").arg(QFileInfo(path).fileName(), file.errorString())};
    const QString tooLarge = QStringLiteral("文件太大(超过 %1 MB),不是通讯录导出文件.").arg(kMaxBytes / (1024 * 1024));
    if (file.size() > kMaxBytes)
        return {{}, tooLarge};
    // Bounded even where the size is not known beforehand (a device or a pipe).
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return {{}, QStringLiteral("无法读取文件“%1”: %2").arg(QFileInfo(path).fileName(), file.errorString())};
    if (bytes.size() > kMaxBytes)
        return {{}, tooLarge};
    return fromBytes(bytes);
}

Read fromBytes(const QByteArray &bytes)
{
    // Text files never hold NUL bytes (UTF-16 files included, which we do not read).
    if (bytes.contains('\0'))
        return {{}, QStringLiteral("该文件不是文本文件,无法导入.")};
    return {CsvText::parse(CsvText::decode(bytes)), {}};
}

} // namespace ImportFile
