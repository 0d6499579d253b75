#include "ImportFile.h"

#include "CsvText.h"

#include <QFile>

namespace ImportFile {

Read read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, file.errorString()};
    if (file.size() > kMaxBytes)
        return {{}, QStringLiteral("文件太大(超过 %1 MB),不是通讯录导出文件.").arg(kMaxBytes / (1024 * 1024))};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, file.errorString()};
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
