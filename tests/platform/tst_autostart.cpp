#include "platform/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TstAutostart : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString configHome() const { return m_dir.filePath(QStringLiteral("config")); }

    static QString readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome()));
    }
    void cleanup() { QDir(m_dir.path()).removeRecursively(); }

    void execValueQuotesThePath_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/opt/velmora/velmora"
                               << "\"/opt/velmora/velmora\"";
        QTest::newRow("blank and Chinese") << "/home/李/my apps/velmora"
                                           << "\"/home/李/my apps/velmora\"";
        QTest::newRow("reserved") << "/a\"b`c$d"
                                  << "\"/a\\\\\"b\\\\`c\\\\$d\"";
        QTest::newRow("backslash") << "/a\\b"
                                   << "\"/a\\\\\\\\b\"";
        QTest::newRow("percent") << "/100%/v"
                                 << "\"/100%%/v\"";
    }
    void execValueQuotesThePath()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        QCOMPARE(XdgAutostart::execValue(program), exec);
    }

    void enableWritesEntryForTheRunningProgram()
    {
        const QString program = QStringLiteral("/usr/local/bin/my velmora");
        XdgAutostart autostart(program);
        QVERIFY(!autostart.isEnabled());
        const Result<void> enabled = autostart.enable();
        QVERIFY2(enabled, qPrintable(enabled.error()));
        QCOMPARE(autostart.entryPath(), configHome() + QStringLiteral("/autostart/com.velmora.notepad.desktop"));
        QVERIFY(autostart.isEnabled());

        const QStringList lines = readAll(autostart.entryPath()).split(u'\n');
        QCOMPARE(lines.first(), QStringLiteral("[Desktop Entry]"));
        QVERIFY(lines.contains(QStringLiteral("Type=Application")));
        QVERIFY(lines.contains(QStringLiteral("Name=Velmora商务记事本")));
        QVERIFY(lines.contains(QStringLiteral("Exec=\"/usr/local/bin/my velmora\"")));

        // Without a program named, the entry starts the copy that is running.
        XdgAutostart running;
        QVERIFY(running.enable());
        QVERIFY(
            readAll(autostart.entryPath()).contains(XdgAutostart::execValue(QCoreApplication::applicationFilePath())));

        QVERIFY(autostart.disable());
        QVERIFY(!QFile::exists(autostart.entryPath()));
        QVERIFY(!autostart.isEnabled());
        QVERIFY2(autostart.disable(), "removing an absent entry succeeds");
    }

    void unsetConfigHomeMeansDotConfig_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("unset") << QByteArray();
        QTest::newRow("relative") << QByteArray("relative/config");
    }
    void unsetConfigHomeMeansDotConfig()
    {
        QFETCH(QByteArray, value);
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(m_dir.path()));
        if (value.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", value);
        const QString folder = XdgAutostart::autostartFolder();
        qputenv("HOME", oldHome);
        QCOMPARE(folder, m_dir.path() + QStringLiteral("/.config/autostart"));
    }

    void unwritableFolderFails()
    {
        // A file where the folder should be: no user, root included, can write there.
        QVERIFY(QDir().mkpath(configHome()));
        QFile blocker(configHome() + QStringLiteral("/autostart"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        XdgAutostart autostart(QStringLiteral("/opt/velmora/velmora"));
        const Result<void> enabled = autostart.enable();
        QVERIFY(!enabled);
        QVERIFY(!enabled.error().isEmpty());
        QVERIFY(!autostart.isEnabled());
    }
};

QTEST_GUILESS_MAIN(TstAutostart)
#include "tst_autostart.moc"
