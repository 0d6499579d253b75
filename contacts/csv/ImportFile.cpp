#include "contacts/csv/ImportFile.h"

#include "contacts/csv/CsvText.h"

#include <QFile>
#include <QFileInfo>

namespace {

// An exported line: the contact id, then the fields the import takes.
constexpr int kExportedFields = CsvText::kMaxFields + 1;

bool isContactId(const QString &field)
{
    if (field.size() != 14)
        return false;
    for (const QChar c : field) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// Every line that holds anything is in the exported form; a file from
// elsewhere that merely starts a line with digits is taken as it is.
bool isOwnExport(const QList<QStringList> &lines)
{
    bool any = false;
    for (const QStringList &line : lines) {
        if (line.isEmpty())
            continue;
        if (line.size() != kExportedFields || !isContactId(line.first()))
            return false;
        any = true;
    }
    return any;
}

} // namespace

namespace ImportFile {

Result<Lines> read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("无法打开文件“%1”: %2").arg(QFileInfo(path).fileName(), file.errorString()));
    const QString tooLarge = QStringLiteral("文件太大(超过 %1 MB),不是通讯录导出文件.").arg(kMaxBytes / (1024 * 1024));
    if (file.size() > kMaxBytes)
        return fail(tooLarge);
    // Bounded even where the size is not known beforehand (a device or a pipe).
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("无法读取文件“%1”: %2").arg(QFileInfo(path).fileName(), file.errorString()));
    if (bytes.size() > kMaxBytes)
        return fail(tooLarge);
    return fromBytes(bytes);
}

Result<Lines> fromBytes(const QByteArray &bytes)
{
    // Text files never hold NUL bytes (UTF-16 files included, which we do not read).
    if (bytes.contains('\0'))
        return fail(QStringLiteral("该文件不是文本文件,无法导入."));
    // One field more than an exported line holds tells a longer line apart.
    QList<QStringList> lines = CsvText::parse(CsvText::decode(bytes), kExportedFields + 1);
    const bool ownExport = isOwnExport(lines);
    for (QStringList &line : lines) {
        if (ownExport && !line.isEmpty())
            line.removeFirst();
        else if (line.size() > CsvText::kMaxFields)
            line.resize(CsvText::kMaxFields);
    }
    return lines;
}

} // namespace ImportFile
