// Times the backup copy of a large record file against `cp` of the same file
// in the same run. Usage: bench_backup [MiB] [folder]; the default is a
// 1024 MiB file in a temporary folder under the current directory. Every
// file made here is deleted at the end.
#include "app/core/RecordFile.h"

#include <algorithm>
#include <cstdio>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <unistd.h>

namespace {

constexpr int kRuns = 3;

bool makeSource(const QString &path, qint64 mib)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray block(1024 * 1024, Qt::Uninitialized);
    for (qint64 i = 0; i < mib; ++i) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
        if (file.write(block) != block.size())
            return false;
    }
    return true;
}

// Starts each run with nothing dirty waiting to be written.
void settle()
{
    ::sync();
}

double timeCp(const QString &source, const QString &target)
{
    settle();
    QElapsedTimer timer;
    timer.start();
    const int code = QProcess::execute(QStringLiteral("cp"), {source, target});
    const double seconds = timer.nsecsElapsed() / 1e9;
    QFile::remove(target);
    return code == 0 ? seconds : -1;
}

double timeBackup(const QString &source, const QString &target)
{
    settle();
    QElapsedTimer timer;
    timer.start();
    // The window runs pending events before every hundredth; so does this.
    const auto copied = RecordFile::copy(source, target, [](int) { QCoreApplication::processEvents(); });
    const double seconds = timer.nsecsElapsed() / 1e9;
    const bool whole = QFileInfo(target).size() == QFileInfo(source).size();
    QFile::remove(target);
    if (!copied)
        std::fprintf(stderr, "backup failed: %s\n", qPrintable(copied.error()));
    return copied && whole ? seconds : -1;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qint64 mib = args.size() > 1 ? args[1].toLongLong() : 1024;
    QTemporaryDir dir(QDir(args.size() > 2 ? args[2] : QDir::currentPath()).filePath("bench_backup-XXXXXX"));
    if (!dir.isValid() || mib <= 0)
        return 2;
    const QString source = dir.filePath(QStringLiteral("pad.db"));
    if (!makeSource(source, mib)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(source));
        return 2;
    }

    QList<double> cpTimes;
    QList<double> backupTimes;
    for (int run = 0; run < kRuns; ++run) {
        // Alternate the order so neither side always finds the cache warmer.
        if (run % 2 == 0) {
            cpTimes << timeCp(source, dir.filePath("cp.pck"));
            backupTimes << timeBackup(source, dir.filePath("backup.pck"));
        } else {
            backupTimes << timeBackup(source, dir.filePath("backup.pck"));
            cpTimes << timeCp(source, dir.filePath("cp.pck"));
        }
        std::printf("run %d: cp %.3f s, backup %.3f s\n", run + 1, cpTimes.last(), backupTimes.last());
    }
    if (std::min(*std::min_element(cpTimes.begin(), cpTimes.end()),
                 *std::min_element(backupTimes.begin(), backupTimes.end()))
        < 0)
        return 1;
    // Fast is worth nothing unless the copy is exact.
    const QString check = dir.filePath("check.pck");
    if (!RecordFile::copy(source, check) || QProcess::execute("cmp", {"-s", source, check}) != 0) {
        std::fprintf(stderr, "the backup differs from the record file\n");
        return 1;
    }
    QFile::remove(check);
    const double cp = median(cpTimes);
    const double backup = median(backupTimes);
    std::printf("%lld MiB, median of %d: cp %.3f s, backup %.3f s, ratio %.2f (goal <= 1.30)\n", mib, kRuns, cp, backup,
                backup / cp);
    return backup / cp <= 1.3 ? 0 : 1;
}
