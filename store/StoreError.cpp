#include "store/StoreError.h"

#include <QRegularExpression>

namespace StoreError {

namespace {

// Result codes of the engine (the low byte of an extended code).
enum Code {
    GenericError = 1,
    Busy = 5,
    Locked = 6,
    ReadOnly = 8,
    IoError = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    NotADatabase = 26
};
constexpr int kReadOnlyMoved = ReadOnly | (4 << 8);

QString engineText(const QSqlError &error)
{
    const QString engine = error.databaseText().trimmed();
    return engine.isEmpty() ? error.text().trimmed() : engine;
}

int codeOfText(const QString &engine)
{
    if (engine.contains(QStringLiteral("database or disk is full")))
        return Full;
    if (engine.contains(QStringLiteral("disk I/O error")))
        return IoError;
    return GenericError;
}

// The plain explanation; empty for errors the user cannot mend.
QString explanation(const QSqlError &error)
{
    bool known = false;
    int code = error.nativeErrorCode().toInt(&known);
    // A failed commit comes without a code, and a full-text index passes a
    // write that failed under it on with the plain one: the engine's own
    // words tell what happened.
    if (!known || code == GenericError)
        code = codeOfText(engineText(error));
    if (code == kReadOnlyMoved)
        return QStringLiteral("记录文件已被移走或删除,无法写入。请重新启动程序。");
    switch (code & 0xff) {
    case Full:
        return QStringLiteral("磁盘空间已满,无法写入记录文件。请清理磁盘后重试。");
    case Busy:
    case Locked:
        return QStringLiteral("记录文件正被其他程序使用。请稍后重试。");
    case ReadOnly:
        return QStringLiteral("记录文件不能写入。请检查记录文件及其文件夹的权限。");
    case IoError:
    case CantOpen:
        return QStringLiteral("读写记录文件时出错。记录文件可能已被移走、删除,或磁盘出了问题。");
    case Corrupt:
    case NotADatabase:
        return QStringLiteral("记录文件已损坏。请用备份的记录文件恢复。");
    default:
        return {};
    }
}

} // namespace

QString text(const QSqlError &error)
{
    const QString engine = engineText(error);
    if (engine.isEmpty() && error.nativeErrorCode().isEmpty())
        return kNotOpen;
    const QString plain = explanation(error);
    return plain.isEmpty() ? engine : plain + QStringLiteral("\n(") + engine + u')';
}

std::optional<TooLong> tooLong(const QSqlError &error)
{
    return tooLong(error.databaseText() + u' ' + error.text());
}

std::optional<TooLong> tooLong(const QString &errorText)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(CHECK constraint failed:\s*length\((\w+)\)\s*<=\s*(\d+))"));
    const auto match = pattern.match(errorText);
    if (!match.hasMatch())
        return std::nullopt;
    return TooLong{match.captured(1), match.captured(2).toInt()};
}

} // namespace StoreError
