#include "platform/ProfileFile.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

class TstProfileFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("main.ini")); }
    void writeRaw(const QByteArray &bytes)
    {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray readRaw()
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void cleanup() { QFile::remove(path()); }

    void missingFileReadsDefault()
    {
        QCOMPARE(ProfileFile(path()).read("time", "alter", "09:00"), QStringLiteral("09:00"));
    }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << QByteArray("[system set]\r\nhided=1\r\n") << "1";
        QTest::newRow("case of names") << QByteArray("[SYSTEM SET]\nHided = 1\n") << "1";
        QTest::newRow("other section") << QByteArray("[time]\nhided=1\n") << "0";
        QTest::newRow("missing key") << QByteArray("[system set]\nother=1\n") << "0";
        QTest::newRow("comment") << QByteArray("[system set]\n;hided=1\n") << "0";
        QTest::newRow("stray byte-order mark")
            << QByteArray("\xEF\xBB\xBF\r\xEF\xBB\xBF[system set]\nhided=1\n") << "1";
    }
    void reads()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, value);
        writeRaw(content);
        QCOMPARE(ProfileFile(path()).read("system set", "hided", "0"), value);
    }

    void writeKeepsEverythingElse()
    {
        writeRaw("; settings\r\n[backgroup]\r\nbg=no\r\n\r\n[system set]\r\nhided=0\r\nx=1\r\n");
        ProfileFile file(path());
        QVERIFY(file.write("system set", "hided", "1"));
        QVERIFY(file.write("time", "alter", "08:30"));
        QCOMPARE(readRaw(), QByteArray("; settings\r\n[backgroup]\r\nbg=no\r\n\r\n[system set]\r\nhided=1\r\nx=1\r\n"
                                       "\r\n[time]\r\nalter=08:30\r\n"));
    }

    // Found by fuzzing: a second byte-order mark once made a written key unreadable.
    void writtenKeyReadsBackAfterStrayByteOrderMark()
    {
        writeRaw("\xEF\xBB\xBF\r\xEF\xBB\xBF[time]\n\n\n");
        ProfileFile file(path());
        QVERIFY(file.write("time", "alter", "08:30"));
        QCOMPARE(file.read("time", "alter", "09:00"), QStringLiteral("08:30"));
    }

    // Found by fuzzing: a GB18030 file whose rewrite became valid UTF-8 read
    // differently afterwards, and the key just written was lost.
    void writtenKeyReadsBackAfterEncodingChange()
    {
        writeRaw(QByteArray::fromBase64("Cg3vu79bdGVdCgoKDe+7v1t0aW1lXQoKCmVdCltiYWltZ3IK7w=="));
        ProfileFile file(path());
        QVERIFY(file.write("time", "alter", "08:30"));
        QCOMPARE(file.read("time", "alter", "09:00"), QStringLiteral("08:30"));
    }

    void newKeyGoesIntoItsSection()
    {
        writeRaw("[backgroup]\nbg=no\n\n[time]\nalter=09:00\n");
        QVERIFY(ProfileFile(path()).write("backgroup", "extra", "1"));
        QCOMPARE(readRaw(), QByteArray("[backgroup]\nbg=no\nextra=1\n\n[time]\nalter=09:00\n"));
    }

    void sectionNameWithBlankStays()
    {
        QVERIFY(ProfileFile(path()).write("system set", "hided", "1"));
        QVERIFY(readRaw().contains("[system set]"));
        QCOMPARE(ProfileFile(path()).read("system set", "hided", "0"), QStringLiteral("1"));
    }

    void gbkFileIsReadAndRewrittenAsUtf8()
    {
        QStringEncoder gbk("GB18030");
        QByteArray bytes = gbk.encode(QStringLiteral("[backgroup]\r\nbg=/home/用户/皮肤.bmp\r\n"));
        writeRaw(bytes);
        ProfileFile file(path());
        QCOMPARE(file.read("backgroup", "bg", "no"), QStringLiteral("/home/用户/皮肤.bmp"));
        QVERIFY(file.write("time", "alter", "10:00"));
        QCOMPARE(readRaw(),
                 QStringLiteral("[backgroup]\r\nbg=/home/用户/皮肤.bmp\r\n\r\n[time]\r\nalter=10:00\r\n").toUtf8());
        QCOMPARE(file.read("backgroup", "bg", "no"), QStringLiteral("/home/用户/皮肤.bmp"));
    }

    void unwritableFileReportsError()
    {
        ProfileFile file(m_dir.filePath(QStringLiteral("no-such-folder/main.ini")));
        const Result<void> written = file.write("time", "alter", "10:00");
        QVERIFY(!written);
        QVERIFY(!written.error().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstProfileFile)
#include "tst_profile_file.moc"
