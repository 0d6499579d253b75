#include "app/core/RecordFile.h"
#include "FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

class TstRecordFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static QByteArray randomBytes(qsizetype size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        for (char &byte : bytes)
            byte = char(QRandomGenerator::global()->bounded(256));
        return bytes;
    }

    static void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    static QByteArray readFile(const QString &name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        for (const QString &name : QDir(m_dir.path()).entryList(QDir::Files))
            QFile::remove(path(name));
    }

    void copiesInHundredths_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("pieces");
        QTest::newRow("one byte") << 1 << 1;
        QTest::newRow("less than a hundred bytes") << 37 << 37;
        QTest::newRow("multiple of 100") << 100000 << 100;
        // The last, shorter piece takes the remainder.
        QTest::newRow("not a multiple of 100") << 100099 << 101;
        QTest::newRow("empty") << 0 << 0;
    }
    void copiesInHundredths()
    {
        QFETCH(int, size);
        QFETCH(int, pieces);
        const QByteArray original = randomBytes(size);
        writeFile(path("pad.db"), original);
        QList<int> positions;
        const auto copied = RecordFile::copy(path("pad.db"), path("copy"), [&](int p) { positions << p; });
        QVERIFY2(copied.ok(), qPrintable(copied.error()));
        QVERIFY(QFile::exists(path("copy")));
        QCOMPARE(readFile(path("copy")), original);
        QCOMPARE(readFile(path("pad.db")), original);
        QCOMPARE(positions.size(), pieces);
        if (pieces > 0) {
            QCOMPARE(positions.first(), 0);
            QVERIFY(std::is_sorted(positions.begin(), positions.end()));
            QVERIFY(positions.last() < 100);
        }
    }

    void replacesALongerTargetWhole()
    {
        const QByteArray original = randomBytes(4321);
        writeFile(path("pad.db"), original);
        writeFile(path("old.pck"), randomBytes(50000));
        QVERIFY(RecordFile::copy(path("pad.db"), path("old.pck")).ok());
        QCOMPARE(readFile(path("old.pck")), original);
    }

    void failedCopyLeavesNoTargetAndRecordFileIntact_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("recordFileGone");
        QTest::addColumn<int>("shrinkAt");
        QTest::newRow("target folder missing") << "no such folder/copy.pck" << false << -1;
        QTest::newRow("target is the record file") << "pad.db" << false << -1;
        QTest::newRow("target is the record file by another name") << "./pad.db" << false << -1;
        QTest::newRow("record file gone") << "copy.pck" << true << -1;
        QTest::newRow("record file cut short while copying") << "copy.pck" << false << 50;
    }
    void failedCopyLeavesNoTargetAndRecordFileIntact()
    {
        QFETCH(QString, target);
        QFETCH(bool, recordFileGone);
        QFETCH(int, shrinkAt);
        const QByteArray original = randomBytes(10000);
        writeFile(path("pad.db"), original);
        if (recordFileGone)
            QFile::remove(path("pad.db"));
        const auto copied = RecordFile::copy(path("pad.db"), path(target), [&](int position) {
            if (position == shrinkAt)
                QFile(path("pad.db")).resize(10);
        });
        QVERIFY(!copied.ok());
        QVERIFY(!copied.error().isEmpty());
        if (shrinkAt < 0 && !recordFileGone)
            QCOMPARE(readFile(path("pad.db")), original);
        if (!target.endsWith("pad.db"))
            QVERIFY(!QFile::exists(path(target)));
    }

    // A backup that fails part way, over the backup made last time: that one
    // is kept whole, and no scrap stays beside it.
    void failedCopyKeepsTheEarlierBackup_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("record file cut short while copying") << false;
        QTest::newRow("disk full") << true;
    }
    void failedCopyKeepsTheEarlierBackup()
    {
        QFETCH(bool, fullDisk);
        const QByteArray earlier = randomBytes(150000);
        writeFile(path("backup.pck"), earlier);
        writeFile(path("pad.db"), randomBytes(200000));
        FileSizeLimit full;
        if (fullDisk)
            VERIFY_OK(full.set(100000));
        const auto copied = RecordFile::copy(path("pad.db"), path("backup.pck"), [&](int position) {
            if (position == 50 && !fullDisk)
                QFile(path("pad.db")).resize(10);
        });
        full.lift();
        QVERIFY(!copied.ok());
        QVERIFY2(copied.error().contains(path("backup.pck")), qPrintable(copied.error()));
        QCOMPARE(readFile(path("backup.pck")), earlier);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), (QStringList{"backup.pck", "pad.db"}));
    }

    // A file size limit refuses the copy's space the way a full disk does.
    void fullDiskLeavesNoTarget()
    {
        writeFile(path("pad.db"), randomBytes(200000));
        FileSizeLimit full;
        VERIFY_OK(full.set(100000));
        const auto copied = RecordFile::copy(path("pad.db"), path("copy.pck"));
        full.lift();
        QVERIFY(!copied.ok());
        QVERIFY(copied.error().contains(path("copy.pck")));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"pad.db"});
    }

    void fillers()
    {
        const QByteArray first = RecordFile::firstFiller();
        const QByteArray second = RecordFile::secondFiller();
        QCOMPARE(first.size(), 58897);
        QCOMPARE(second.size(), 178909);
        QVERIFY(first.startsWith("0\r\n1\r\n2\r\n"));
        QVERIFY(first.endsWith("\r\n9999\r\n10000\r\n"));
        QVERIFY(second.startsWith(first));
        QCOMPARE(second.mid(first.size()), QByteArray("FFFFFFFFFF\r\n").repeated(10001));
    }

    void shred_data()
    {
        QTest::addColumn<int>("transferSize"); // -1: no transfer file
        QTest::addColumn<bool>("shredded");
        QTest::newRow("whole transfer file") << 258048 << true;
        QTest::newRow("transfer file cut short") << 258047 << false;
        QTest::newRow("transfer file missing") << -1 << false;
    }
    void shred()
    {
        QFETCH(int, transferSize);
        QFETCH(bool, shredded);
        const QByteArray original = randomBytes(258048);
        writeFile(path("pad.db"), original);
        if (transferSize >= 0)
            writeFile(path("out.pck"), original.left(transferSize));
        // A second name for the record file keeps what it held at its deletion.
        QCOMPARE(::link(QFile::encodeName(path("pad.db")).constData(), QFile::encodeName(path("last")).constData()), 0);
        QList<QByteArray> seen;
        const auto outcome = RecordFile::shred(path("pad.db"), path("out.pck"), [&](int position) {
            QCOMPARE(position, 10001);
            seen << readFile(path("pad.db"));
        });
        QCOMPARE(outcome.ok(), shredded);
        QCOMPARE(QFile::exists(path("pad.db")), !shredded);
        if (shredded) {
            QCOMPARE(seen, (QList<QByteArray>{RecordFile::firstFiller(), RecordFile::secondFiller()}));
            QCOMPARE(readFile(path("last")), RecordFile::secondFiller());
        } else {
            QVERIFY(!outcome.error().isEmpty());
            QVERIFY(seen.isEmpty());
            QCOMPARE(readFile(path("pad.db")), original);
        }
    }
};

QTEST_GUILESS_MAIN(TstRecordFile)
#include "tst_record_file.moc"
