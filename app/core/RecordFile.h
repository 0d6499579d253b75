#pragma once

#include "store/Result.h"

#include <functional>
#include <QByteArray>
#include <QString>

// Byte-level work on the record file for backup and transfer: the copy in
// hundredths, the two filler overwrites and the deletion. Nothing here knows
// about windows or the shared connection; the caller closes the connection
// first and shows what goes wrong.
class RecordFile final
{
public:
    // Called before each hundredth is copied, with the progress position
    // 0..100 of what is already done. The caller may run pending events here.
    using Progress = std::function<void(int position)>;

    // Length of each copied piece: one hundredth of `size`, at least one byte.
    static qint64 chunkSize(qint64 size);

    // Copies `source` to `target` byte for byte, creating or replacing the
    // target. The copy is written beside the target ("<target>.part"),
    // synced, and renamed over it only when whole: on failure an earlier
    // target is left as it was and no half copy remains; `source` is never
    // written.
    static Result<void> copy(const QString &source, const QString &target, const Progress &progress = {});

    // Progress position after each filler overwrite, of a range 0..20000.
    static constexpr int kShredRange = 20000;
    static constexpr int kOverwrittenPosition = 10001;

    // Ends the record file after a transfer: overwrites it with the first,
    // then the second filler and deletes it. Nothing is touched unless
    // `transferFile` is on the disk with the record file's full length.
    static Result<void> shred(const QString &path, const QString &transferFile, const Progress &progress = {});

    // Replaces the whole content of `path` with `content`, on the disk.
    static Result<void> overwrite(const QString &path, const QByteArray &content);
    static Result<void> remove(const QString &path);

    // The lines "0" to "10000", each ended by CR LF.
    static QByteArray firstFiller();
    // The first filler followed by 10001 lines "FFFFFFFFFF", each ended by CR LF.
    static QByteArray secondFiller();

private:
    RecordFile() = delete;
};
