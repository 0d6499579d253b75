#include "platform/HomeFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TstHomeFolder : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString exeDir() const { return m_root.filePath(QStringLiteral("usr/bin")); }
    QString shareDir() const { return m_root.filePath(QStringLiteral("usr/share/velmora")); }
    QString userDir() const { return m_root.filePath(QStringLiteral("home/.local/share/velmora")); }

    static void writeFile(const QString &path, const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        QVERIFY(m_root.isValid()); // else the folder emptied below would be the current one
        QDir(m_root.path()).removeRecursively();
        QDir().mkpath(exeDir());
        writeFile(shareDir() + "/pad.db", "supplied store");
        writeFile(shareDir() + "/pic/copy.bmp", "about picture");
        writeFile(shareDir() + "/pic/null_pic.bmp", "placeholder");
        writeFile(shareDir() + "/sample/test123.htm", "help");
    }

    void portableWhenStoreBesideExecutable()
    {
        writeFile(exeDir() + "/pad.db", "portable store");
        const auto choice = HomeFolder::choose(exeDir(), shareDir(), userDir());
        QCOMPARE(choice.home, exeDir() + u'/');
        QVERIFY(!choice.installed);
        QVERIFY(!QDir(userDir()).exists());
    }

    void firstStartCopiesSuppliedFiles()
    {
        const auto choice = HomeFolder::choose(exeDir(), shareDir(), userDir());
        QVERIFY(choice.installed);
        QVERIFY(choice.firstStart);
        QCOMPARE(choice.home, userDir() + u'/');
        QCOMPARE(readFile(userDir() + "/pad.db"), QByteArray("supplied store"));
        QCOMPARE(readFile(userDir() + "/pic/null_pic.bmp"), QByteArray("placeholder"));
        QCOMPARE(readFile(userDir() + "/sample/test123.htm"), QByteArray("help"));
    }

    void laterStartKeepsTheUsersStore()
    {
        HomeFolder::choose(exeDir(), shareDir(), userDir());
        writeFile(userDir() + "/pad.db", "years of notes");
        const auto choice = HomeFolder::choose(exeDir(), shareDir(), userDir());
        QVERIFY(!choice.firstStart);
        QCOMPARE(readFile(userDir() + "/pad.db"), QByteArray("years of notes"));
    }

    void storeGoneAfterTransferIsNotBroughtBack()
    {
        HomeFolder::choose(exeDir(), shareDir(), userDir());
        QVERIFY(QFile::remove(userDir() + "/pad.db"));
        const auto choice = HomeFolder::choose(exeDir(), shareDir(), userDir());
        QCOMPARE(choice.home, userDir() + u'/');
        QVERIFY(!QFile::exists(userDir() + "/pad.db"));
    }

    // A store brought from another machine (or put back by hand) before the
    // first start is the user's: only what is missing is supplied.
    void firstStartKeepsWhatTheUserHas()
    {
        writeFile(userDir() + "/pad.db", "brought along");
        writeFile(userDir() + "/pic/copy.bmp", "own picture");
        writeFile(userDir() + "/main.ini", "[time]\nalter=07:30\n");
        const auto choice = HomeFolder::choose(exeDir(), shareDir(), userDir());
        QVERIFY(choice.installed);
        QVERIFY(choice.firstStart);
        QCOMPARE(choice.home, userDir() + u'/');
        QCOMPARE(readFile(userDir() + "/pad.db"), QByteArray("brought along"));
        QCOMPARE(readFile(userDir() + "/pic/copy.bmp"), QByteArray("own picture"));
        QCOMPARE(readFile(userDir() + "/main.ini"), QByteArray("[time]\nalter=07:30\n"));
        QCOMPARE(readFile(userDir() + "/pic/null_pic.bmp"), QByteArray("placeholder"));
        QCOMPARE(readFile(userDir() + "/sample/test123.htm"), QByteArray("help"));
    }

    void ownStoreNeedsNoSuppliedOne()
    {
        QVERIFY(QFile::remove(shareDir() + "/pad.db"));
        writeFile(userDir() + "/pad.db", "brought along");
        const auto choice = HomeFolder::choose(exeDir(), shareDir(), userDir());
        QCOMPARE(choice.home, userDir() + u'/');
        QCOMPARE(readFile(userDir() + "/pad.db"), QByteArray("brought along"));
    }

    // After a transfer a portable folder keeps its program and pictures but
    // not its store: it stays the home, so the start checks say the store is lost.
    void portableFolderThatLostItsStoreStaysPortable()
    {
        const QString portable = m_root.filePath(QStringLiteral("usb/velmora"));
        writeFile(portable + "/pic/copy.bmp", "about picture");
        writeFile(portable + "/main.ini", "");
        const auto choice = HomeFolder::choose(portable, QDir::cleanPath(portable + "/../share/velmora"), userDir());
        QCOMPARE(choice.home, portable + u'/');
        QVERIFY(!choice.installed);
        QVERIFY(choice.error.isEmpty());
        QVERIFY(!QDir(userDir()).exists());
    }

    void incompleteInstallationIsAnError()
    {
        QVERIFY(QFile::remove(shareDir() + "/pad.db"));
        const auto choice = HomeFolder::choose(exeDir(), shareDir(), userDir());
        QVERIFY(choice.home.isEmpty());
        QVERIFY(!choice.error.isEmpty());
        // The next start tries again instead of taking the half-made folder.
        writeFile(shareDir() + "/pad.db", "supplied store");
        QCOMPARE(HomeFolder::choose(exeDir(), shareDir(), userDir()).home, userDir() + u'/');
    }
};

QTEST_GUILESS_MAIN(TstHomeFolder)
#include "tst_home_folder.moc"
