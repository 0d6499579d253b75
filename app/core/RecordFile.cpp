#include "app/core/RecordFile.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <QFile>
#include <QFileInfo>
#include <vector>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

QString systemError(int code)
{
    return qt_error_string(code);
}

bool sameFile(const QString &a, const QString &b)
{
    std::error_code ignored;
    return std::filesystem::equivalent(std::filesystem::path(a.toStdU16String()),
                                       std::filesystem::path(b.toStdU16String()), ignored);
}

// Gives the target its final length up front. Where the file system can,
// the space is reserved as well, so a full disk is reported before the copy
// starts instead of part-way through it.
Result<void> reserve(QFile &target, qint64 size)
{
    if (size == 0)
        return {};
#if defined(Q_OS_LINUX)
    if (::fallocate(target.handle(), 0, 0, size) == 0)
        return {};
    if (errno != EOPNOTSUPP && errno != ENOSYS)
        return fail(systemError(errno));
#endif
    if (!target.resize(size))
        return fail(target.errorString());
    return {};
}

// Moves byte ranges from one open file to another. The kernel copies between
// the two files directly where it can; otherwise the bytes pass through one
// large buffer. Offsets are explicit, so both ways can mix.
class RangeCopier final
{
public:
    RangeCopier(QFile &source, QFile &target)
        : m_source(source)
        , m_target(target)
    {
    }

    // Copies `length` bytes at `offset`, or says why it could not.
    Result<void> copy(qint64 offset, qint64 length)
    {
#if defined(Q_OS_LINUX)
        if (m_kernelCopy) {
            Result<void> copied = kernelCopy(offset, length);
            if (copied || m_kernelCopy)
                return copied; // done, or a real error and not a missing facility
        }
#endif
        return bufferedCopy(offset, length);
    }

private:
    static constexpr qint64 kBufferSize = 8 * 1024 * 1024;

#if defined(Q_OS_LINUX)
    // Clears m_kernelCopy (and fails with no text) when the kernel cannot
    // copy between these files at all.
    Result<void> kernelCopy(qint64 offset, qint64 length)
    {
        loff_t in = offset;
        loff_t out = offset;
        qint64 left = length;
        while (left > 0) {
            const ssize_t moved = ::copy_file_range(m_source.handle(), &in, m_target.handle(), &out, size_t(left), 0);
            if (moved > 0) {
                left -= moved;
                continue;
            }
            if (moved == 0)
                return fail(QStringLiteral("记录文件在复制中变短了"));
            if (errno == EINTR)
                continue;
            const bool unsupported =
                errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL || errno == EBADF;
            if (unsupported && left == length) {
                m_kernelCopy = false; // fall back for this and every later range
                return fail({});
            }
            return fail(systemError(errno));
        }
        return {};
    }
#endif

    Result<void> bufferedCopy(qint64 offset, qint64 length)
    {
        if (m_buffer.empty())
            m_buffer.resize(size_t(std::min(kBufferSize, std::max<qint64>(length, 1))));
        if (!m_source.seek(offset) || !m_target.seek(offset))
            return fail(m_source.error() != QFileDevice::NoError ? m_source.errorString() : m_target.errorString());
        qint64 left = length;
        while (left > 0) {
            const qint64 want = std::min<qint64>(left, qint64(m_buffer.size()));
            const qint64 got = m_source.read(m_buffer.data(), want);
            if (got < 0)
                return fail(m_source.errorString());
            if (got == 0)
                return fail(QStringLiteral("记录文件在复制中变短了"));
            if (m_target.write(m_buffer.data(), got) != got)
                return fail(m_target.errorString());
            left -= got;
        }
        return {};
    }

    QFile &m_source;
    QFile &m_target;
    std::vector<char> m_buffer;
    bool m_kernelCopy = true;
};

QString cannotWrite(const QString &path, const QString &why)
{
    return QStringLiteral("无法写入文件\"%1\": %2").arg(QFileInfo(path).absoluteFilePath(), why);
}

bool syncFile(QFile &file)
{
#if defined(Q_OS_UNIX)
    return ::fsync(file.handle()) == 0;
#else
    return file.flush();
#endif
}

QString partName(const QString &target)
{
    return target + QStringLiteral(".part");
}

// Renames `part` over `target` and makes the new name durable.
Result<void> replaceWith(const QString &part, const QString &target)
{
#if defined(Q_OS_UNIX)
    if (::rename(QFile::encodeName(part).constData(), QFile::encodeName(target).constData()) != 0)
        return fail(systemError(errno));
    const int folder = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
#else
    QFile::remove(target);
    if (!QFile::rename(part, target))
        return fail(QStringLiteral("rename failed"));
    return {};
#endif
}

} // namespace

qint64 RecordFile::chunkSize(qint64 size)
{
    return std::max<qint64>(1, size / 100);
}

Result<void> RecordFile::copy(const QString &source, const QString &target, const Progress &progress)
{
    // Writing the record file onto itself would truncate it before a byte
    // was read.
    if (sameFile(source, target))
        return fail(QStringLiteral("备份文件不能是记录文件本身: %1").arg(QFileInfo(target).absoluteFilePath()));

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(
            QStringLiteral("无法读取记录文件\"%1\": %2").arg(QFileInfo(source).absoluteFilePath(), in.errorString()));
    // The copy grows beside the target and takes its name only when whole
    // and on the disk: an earlier file of that name (the last backup) stays
    // as it was until then, and a failure leaves nothing that looks whole.
    const QString part = partName(target);
    if (QFileInfo(part).isFile())
        QFile::remove(part); // scrap of a copy that never finished
    QFile out(part);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return fail(cannotWrite(target, out.errorString()));

    const auto abandon = [&](const QString &why) {
        out.close();
        QFile::remove(part);
        return Result<void>(
            fail(QStringLiteral("复制记录文件到\"%1\"时出错: %2").arg(QFileInfo(target).absoluteFilePath(), why)));
    };

    const qint64 size = in.size();
    if (const Result<void> reserved = reserve(out, size); !reserved)
        return abandon(reserved.error());

    RangeCopier copier(in, out);
    const qint64 chunk = chunkSize(size);
    qint64 remaining = size;
    while (remaining > 0) {
        if (progress)
            progress(int((size - remaining) * 100 / size));
        const qint64 piece = std::min(chunk, remaining);
        if (const Result<void> copied = copier.copy(size - remaining, piece); !copied)
            return abandon(copied.error());
        remaining -= piece;
    }
    if (!syncFile(out))
        return abandon(systemError(errno));
    out.close();
    if (out.error() != QFileDevice::NoError)
        return abandon(out.errorString());
    if (const Result<void> replaced = replaceWith(part, target); !replaced)
        return abandon(replaced.error());
    return {};
}

Result<void> RecordFile::shred(const QString &path, const QString &transferFile, const Progress &progress)
{
    // The transfer file is all that will be left of the records: it must be
    // whole and on the disk before the record file is destroyed.
    QFile kept(transferFile);
    if (!kept.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("无法读取文件\"%1\": %2")
                        .arg(QFileInfo(transferFile).absoluteFilePath(), kept.errorString()));
    if (kept.size() != QFileInfo(path).size())
        return fail(QStringLiteral("转移文件与记录文件大小不同,记录文件未删除: %1")
                        .arg(QFileInfo(transferFile).absoluteFilePath()));
    if (!syncFile(kept))
        return fail(cannotWrite(transferFile, systemError(errno)));
    kept.close();

    for (const QByteArray &filler : {firstFiller(), secondFiller()}) {
        if (Result<void> written = overwrite(path, filler); !written)
            return written;
        if (progress)
            progress(kOverwrittenPosition);
    }
    return remove(path);
}

Result<void> RecordFile::overwrite(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return fail(cannotWrite(path, file.errorString()));
    if (file.write(content) != content.size())
        return fail(cannotWrite(path, file.errorString()));
    // Only what reaches the disk replaces the old records there.
    if (!syncFile(file))
        return fail(cannotWrite(path, systemError(errno)));
    return {};
}

Result<void> RecordFile::remove(const QString &path)
{
    QFile file(path);
    if (!file.remove())
        return fail(
            QStringLiteral("无法删除文件\"%1\": %2").arg(QFileInfo(path).absoluteFilePath(), file.errorString()));
    return {};
}

namespace {

constexpr int kLastNumberLine = 10000;

QByteArray numberLines()
{
    QByteArray text;
    for (int i = 0; i <= kLastNumberLine; ++i)
        text += QByteArray::number(i) + "\r\n";
    return text;
}

} // namespace

QByteArray RecordFile::firstFiller()
{
    static const QByteArray filler = numberLines();
    return filler;
}

QByteArray RecordFile::secondFiller()
{
    static const QByteArray filler = numberLines() + QByteArray("FFFFFFFFFF\r\n").repeated(kLastNumberLine + 1);
    return filler;
}
