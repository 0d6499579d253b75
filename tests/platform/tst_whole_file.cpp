// Replacing a file all or nothing: whatever stops the write, the old file
// stays as it was and nothing is left beside it.
#include "FileSizeLimit.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class tst_whole_file final : public QObject
{
    Q_OBJECT

private slots:
    void replacesOrKeepsTheOldFile_data();
    void replacesOrKeepsTheOldFile();
};

void tst_whole_file::replacesOrKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("limit"); // file size limit in bytes, 0 for none
    QTest::addColumn<bool>("replaced");
    const QByteArray big(64 * 1024, 'x');
    QTest::newRow("written") << "main.ini" << big << 0 << true;
    QTest::newRow("emptied") << "main.ini" << QByteArray() << 0 << true;
    // The write stops part way: a short write, then a refused one. A small
    // file goes through the write buffer and fails only when it is flushed.
    QTest::newRow("disk full part way") << "main.ini" << big << 1000 << false;
    QTest::newRow("disk full, small file") << "main.ini" << QByteArray(200, 'y') << 16 << false;
    QTest::newRow("disk full at the first byte") << "main.ini" << big << 1 << false;
    QTest::newRow("folder missing") << "missing/main.ini" << big << 0 << false;
    QTest::newRow("a folder in the way") << "folder" << big << 0 << false;
}

void tst_whole_file::replacesOrKeepsTheOldFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, limit);
    QFETCH(bool, replaced);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QFile old(dir.filePath(QStringLiteral("main.ini")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("[system set]\nalter=1\n");
    old.close();
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QString why;
    bool written = false;
    {
        FileSizeLimit full;
        if (limit > 0)
            VERIFY_OK(full.set(rlim_t(limit)));
        const Result<void> result = WholeFile::replace(dir.filePath(name), bytes);
        written = result.ok();
        why = result.error();
    }
    QCOMPARE(written, replaced);
    QCOMPARE(why.isEmpty(), replaced);
    QCOMPARE(contentOf(dir.filePath(QStringLiteral("main.ini"))),
             replaced ? bytes : QByteArray("[system set]\nalter=1\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

QTEST_GUILESS_MAIN(tst_whole_file)
#include "tst_whole_file.moc"
