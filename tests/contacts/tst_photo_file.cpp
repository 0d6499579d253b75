#include "contacts/photo/PhotoFile.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

// Photos chosen from BMP, PNG and JPEG files end up as BMP bytes of a sensible size.
class TstPhotoFile : public QObject
{
    Q_OBJECT

    // A green BMP that fits the photo box, saved as photo.bmp in `dir`.
    static QString fittingBmp(const QTemporaryDir &dir)
    {
        QImage picture(145, 185, QImage::Format_RGB888);
        picture.fill(Qt::green);
        const QString path = dir.filePath("photo.bmp");
        return picture.save(path) ? path : QString();
    }

private slots:
    void picturesBecomeBmp_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("stored");
        QTest::newRow("small png") << "png" << QSize(100, 120) << QSize(100, 120);
        QTest::newRow("camera jpeg, landscape") << "jpg" << QSize(4000, 3000) << QSize(290, 217);
        QTest::newRow("tall png") << "png" << QSize(300, 1000) << QSize(111, 370);
        QTest::newRow("large bmp") << "bmp" << QSize(580, 740) << QSize(290, 370);
    }
    void picturesBecomeBmp()
    {
        QFETCH(QString, format);
        QFETCH(QSize, size);
        QFETCH(QSize, stored);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QImage picture(size, QImage::Format_ARGB32);
        picture.fill(QColor(0, 128, 255));
        const QString path = dir.filePath("photo." + format);
        QVERIFY(picture.save(path));
        const auto loaded = PhotoFile::load(path);
        QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
        QVERIFY(loaded->startsWith("BM"));
        QImage back;
        QVERIFY(back.loadFromData((*loaded), "BMP"));
        QCOMPARE(back.size(), stored);
    }

    void fittingBmpIsKeptByteForByte()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = fittingBmp(dir);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(PhotoFile::load(path).value(), file.readAll());
    }

    // Bytes after the picture are not carried into the store.
    void fittingBmpWithTrailingBytesIsWrittenAfresh()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = fittingBmp(dir);
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        file.write(QByteArray(2 * 1024 * 1024, 'j'));
        file.close();
        const auto loaded = PhotoFile::load(path);
        QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
        QVERIFY(loaded->size() <= PhotoFile::kMaxKeptBmpBytes);
        QImage back;
        QVERIFY(back.loadFromData((*loaded), "BMP"));
        QCOMPARE(back.size(), QSize(145, 185));
        QCOMPARE(back.pixelColor(70, 90), QColor(Qt::green));
    }

    // A huge file is refused by its size, before a byte is read.
    void hugeFileIsRefusedUnread()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("film.bmp");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BM");
        QVERIFY(file.resize(PhotoFile::kMaxFileBytes + 1)); // sparse: costs no disk
        file.close();
        const auto loaded = PhotoFile::load(path);
        QVERIFY(!loaded.ok());
        QVERIFY(loaded.valueOr({}).isEmpty());
        QVERIFY2(loaded.error().contains("film.bmp") && loaded.error().contains(QStringLiteral("太大")),
                 qPrintable(loaded.error()));
    }

    // A device has no size; reading it to the end would never stop.
    void endlessDeviceIsRefused()
    {
        const auto loaded = PhotoFile::load(QStringLiteral("/dev/zero"));
        QVERIFY(!loaded.ok());
        QVERIFY2(loaded.error().contains(QStringLiteral("太大")), qPrintable(loaded.error()));
    }

    void fileThatIsNoPictureIsRefused_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray("just some words");
        QTest::newRow("broken png") << QByteArray("\x89PNG\r\n\x1a\n broken", 16);
        QTest::newRow("empty") << QByteArray();
    }
    void fileThatIsNoPictureIsRefused()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("photo.png");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        const auto loaded = PhotoFile::load(path);
        QVERIFY(!loaded.ok());
        QVERIFY(loaded.valueOr({}).isEmpty());
        QVERIFY(loaded.error().contains("photo.png"));
    }
};

QTEST_MAIN(TstPhotoFile)
#include "tst_photo_file.moc"
