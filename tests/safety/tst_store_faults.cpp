// Faults of the disk and of other programs met while saving: each save ends
// in a clear message, later saves work once the fault is gone, and the store
// keeps every record it had.
#include "FileSizeLimit.h"
#include "platform/ProfileFile.h"
#include "SaveCheck.h"
#include "SaveRunner.h"
#include "store/StartChecks.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString kOther = QStringLiteral("other-program");

// One save of each kind, from save number `first` on; false at the first refusal.
bool saveOneOfEach(QSqlDatabase db, qint64 first, QString *error)
{
    for (qint64 n = first; n < first + qint64(SavePlan::Kind::Count); ++n) {
        if (!SavePlan::save(db, n, error))
            return false;
    }
    return true;
}

SaveCheck::Found inspect(const QString &path, const QString &name = QStringLiteral("fault-check"))
{
    SaveCheck::Found found;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open())
            SaveCheck::Inspector(db).run(found);
        else
            found.faults << db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return found;
}

QSet<qint64> oneOfEach(qint64 first)
{
    QSet<qint64> saves;
    for (qint64 n = first; n < first + qint64(SavePlan::Kind::Count); ++n) {
        if (SavePlan::kindOf(n) != SavePlan::Kind::Password)
            saves.insert(n);
    }
    return saves;
}

} // namespace

class tst_store_faults final : public QObject
{
    Q_OBJECT

private slots:
    void fullDiskStopsWithMessageAndKeepsSaves();
    void readOnlyStoreRefusesSaves();
    void storeRemovedWhileRunningRefusesSaves_data();
    void storeRemovedWhileRunningRefusesSaves();
    void storeLockedByAnotherProgram();
    void profileReplacedByFolder();
    void profileOnFullDiskKeepsOldSettings();
};

// A file size limit refuses the store's growth as a full disk would. The
// worker saves until a save fails, reports it and ends by itself.
void tst_store_faults::fullDiskStopsWithMessageAndKeepsSaves()
{
    TempStore store;
    VERIFY_OK(store.make(false));
    const qint64 limit = QFileInfo(store.storePath()).size() + 256 * 1024;
    QProcess worker;
    worker.setChildProcessModifier([limit] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{rlim_t(limit), rlim_t(limit)};
        setrlimit(RLIMIT_FSIZE, &size);
    });
    worker.start(QStringLiteral(VELMORA_SAFETY_WORKER), {store.storePath(), QStringLiteral("0")});
    QVERIFY(worker.waitForFinished(60000));
    QCOMPARE(worker.exitStatus(), QProcess::NormalExit);
    const QByteArray report = worker.readAllStandardError();
    QCOMPARE(worker.exitCode(), 4);
    // A file size limit shows as a short write (a full disk) or as a write
    // error, depending on where it strikes; both are explained.
    QVERIFY2(report.contains("failed: ")
                 && (QString::fromUtf8(report).contains(QStringLiteral("磁盘空间已满"))
                     || QString::fromUtf8(report).contains(QStringLiteral("读写记录文件时出错"))),
             report.constData());

    QSet<qint64> acknowledged;
    for (const QByteArray &line : worker.readAllStandardOutput().split('\n')) {
        if (line.startsWith("ACK "))
            acknowledged.insert(line.mid(4).toLongLong());
    }
    QVERIFY(acknowledged.size() > 7);
    const SaveCheck::Found found = inspect(store.storePath());
    QVERIFY2(found.faults.isEmpty(), qPrintable(found.faults.join(u'\n')));
    for (const qint64 n : std::as_const(acknowledged)) {
        if (SavePlan::kindOf(n) != SavePlan::Kind::Password)
            QVERIFY2(found.saves.contains(n), qPrintable(QStringLiteral("save %1 lost").arg(n)));
    }

    // Room again: saving goes on.
    QCOMPARE(Store::open(store.storePath()).status, Store::Status::Ready);
    QString error;
    QVERIFY2(saveOneOfEach(Store::database(), found.highest + 1, &error), qPrintable(error));
}

// The program opens pad.db with a real write, so a store it may only read is
// caught at start. The engine's read-only open stands in for a file without
// write permission, which does not bind the root user tests may run as.
void tst_store_faults::readOnlyStoreRefusesSaves()
{
    TempStore store;
    VERIFY_OK(store.make());
    QString error;
    QVERIFY2(saveOneOfEach(Store::database(), 0, &error), qPrintable(error));
    Store::close();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kOther);
        db.setDatabaseName(store.storePath());
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QVERIFY(db.open());
        const Result<Store::Status> checked = StartChecks::run(db);
        QVERIFY(!checked);
        QVERIFY(!Store::message({Store::Status::Unusable, checked.error()}).isEmpty());
        for (qint64 n = 100; n < 100 + qint64(SavePlan::Kind::Count); ++n) {
            error.clear();
            QVERIFY(!SavePlan::save(db, n, &error));
            QVERIFY2(error.startsWith(QStringLiteral("记录文件不能写入。")), qPrintable(error));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(kOther);
    const SaveCheck::Found found = inspect(store.storePath());
    QVERIFY(found.faults.isEmpty());
    QCOMPARE(found.saves, oneOfEach(0));
    QCOMPARE(found.password, qint64(SavePlan::Kind::Password));
}

void tst_store_faults::storeRemovedWhileRunningRefusesSaves_data()
{
    QTest::addColumn<bool>("deleted");
    QTest::newRow("renamed") << false;
    // A second name for the file lets the test read what it held.
    QTest::newRow("deleted") << true;
}

// A store deleted or moved while the program runs: the engine notices the
// file has gone, so saves are refused instead of vanishing into a file
// nobody will open again.
void tst_store_faults::storeRemovedWhileRunningRefusesSaves()
{
    QFETCH(bool, deleted);
    TempStore store;
    VERIFY_OK(store.make());
    QString error;
    QVERIFY2(saveOneOfEach(Store::database(), 0, &error), qPrintable(error));
    const QString kept = store.filePath(QStringLiteral("kept.db"));
    if (deleted) {
        QCOMPARE(::link(QFile::encodeName(store.storePath()).constData(), QFile::encodeName(kept).constData()), 0);
        QVERIFY(QFile::remove(store.storePath()));
    } else {
        QVERIFY(QFile::rename(store.storePath(), kept));
    }
    for (qint64 n = 100; n < 100 + qint64(SavePlan::Kind::Count); ++n) {
        error.clear();
        QVERIFY2(!SavePlan::save(Store::database(), n, &error), qPrintable(QString::number(n)));
        QVERIFY2(error.startsWith(QStringLiteral("记录文件已被移走或删除")), qPrintable(error));
    }
    Store::remove();
    const SaveCheck::Found found = inspect(kept);
    QVERIFY(found.faults.isEmpty());
    QCOMPARE(found.saves, oneOfEach(0));
}

// Another program holds the store for writing: the save waits a little,
// then is refused with a message that says so; once the other program
// has gone, saving works and nothing was lost.
void tst_store_faults::storeLockedByAnotherProgram()
{
    TempStore store;
    VERIFY_OK(store.make());
    QString error;
    QVERIFY2(saveOneOfEach(Store::database(), 0, &error), qPrintable(error));
    QProcess other;
    other.start(QStringLiteral(VELMORA_SAFETY_WORKER), {store.storePath(), QStringLiteral("hold")});
    QVERIFY(other.waitForReadyRead(10000));
    QCOMPARE(other.readAllStandardOutput(), QByteArray("HELD\n"));
    for (qint64 n = 100; n < 100 + qint64(SavePlan::Kind::Count); ++n) {
        error.clear();
        QVERIFY(!SavePlan::save(Store::database(), n, &error));
        QVERIFY2(error.startsWith(QStringLiteral("记录文件正被其他程序使用。"))
                     && error.contains(QLatin1String("locked")),
                 qPrintable(error));
    }
    other.kill();
    QVERIFY(other.waitForFinished(5000));
    QVERIFY2(saveOneOfEach(Store::database(), 200, &error), qPrintable(error));
    Store::remove();
    const SaveCheck::Found found = inspect(store.storePath());
    QVERIFY(found.faults.isEmpty());
    QCOMPARE(found.saves, oneOfEach(0) + oneOfEach(200));
}

// A folder where main.ini should be cannot be written, even by root: the
// write is refused with a message and the folder and its content stay.
void tst_store_faults::profileReplacedByFolder()
{
    TempStore store;
    VERIFY_OK(store.make(false));
    QVERIFY(QDir(store.folder()).mkpath(QStringLiteral("main.ini")));
    QFile inside(store.filePath(QStringLiteral("main.ini/keep.txt")));
    QVERIFY(inside.open(QIODevice::WriteOnly));
    inside.write("kept");
    inside.close();
    const ProfileFile profile(store.filePath(QStringLiteral("main.ini")));
    QCOMPARE(profile.read(QStringLiteral("time"), QStringLiteral("alter"), QStringLiteral("09:00")),
             QStringLiteral("09:00"));
    const Result<void> written =
        profile.write(QStringLiteral("time"), QStringLiteral("alter"), QStringLiteral("10:00"));
    QVERIFY(!written);
    QVERIFY(!written.error().isEmpty());
    QVERIFY(QFileInfo(store.filePath(QStringLiteral("main.ini"))).isDir());
    QVERIFY(QFile::exists(inside.fileName()));
}

// A settings file small enough to sit in the write buffer used to fail only
// at the final flush, unnoticed: the truncated file replaced the old one.
void tst_store_faults::profileOnFullDiskKeepsOldSettings()
{
    TempStore store;
    VERIFY_OK(store.make(false));
    const ProfileFile profile(store.filePath(QStringLiteral("main.ini")));
    VERIFY_OK(profile.write(QStringLiteral("time"), QStringLiteral("alter"), QStringLiteral("09:00")));
    QString error;
    {
        FileSizeLimit full;
        VERIFY_OK(full.set(8));
        const Result<void> written =
            profile.write(QStringLiteral("time"), QStringLiteral("alter"), QStringLiteral("10:30"));
        QVERIFY(!written);
        error = written.error();
    }
    QVERIFY(error.contains(store.filePath(QStringLiteral("main.ini"))));
    QCOMPARE(profile.read(QStringLiteral("time"), QStringLiteral("alter"), QString()), QStringLiteral("09:00"));
    QCOMPARE(QDir(store.folder()).entryList({QStringLiteral("main.ini*")}, QDir::Files), QStringList{"main.ini"});
}

QTEST_GUILESS_MAIN(tst_store_faults)
#include "tst_store_faults.moc"
