#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <cstdio>

#include <csignal>

// The test runs itself as a child process: "hold" takes the guard and waits,
// "try" reports whether it could take it.
static int childMain(const QString &mode)
{
    SingleInstance guard;
    const bool acquired = guard.acquire() == SingleInstance::Outcome::Acquired;
    if (mode == u"hold") {
        std::puts(acquired ? "held" : "refused");
        std::fflush(stdout);
        QThread::sleep(60);
        return 0;
    }
    return acquired ? 0 : 3;
}

class TstSingleInstance : public QObject
{
    Q_OBJECT

    QProcess *startHolder()
    {
        auto *holder = new QProcess(this);
        holder->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QStringLiteral("hold")});
        if (!holder->waitForReadyRead(10000))
            return nullptr;
        return holder->readAll().startsWith("held") ? holder : nullptr;
    }

    // The second copy's exit code; -1 when it never started or did not end by itself.
    int tryChild()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QStringLiteral("try")});
        if (!child.waitForFinished(10000) || child.exitStatus() != QProcess::NormalExit)
            return -1;
        return child.exitCode();
    }

private slots:
    void secondCopyIsRefusedWhileFirstRuns()
    {
        QProcess *holder = startHolder();
        QVERIFY(holder);
        QCOMPARE(tryChild(), 3);
        QCOMPARE(holder->state(), QProcess::Running); // first copy undisturbed
        holder->kill();
        holder->waitForFinished();
    }

    void guardDiesWithACrashedProcess()
    {
        QProcess *holder = startHolder();
        QVERIFY(holder);
        ::kill(pid_t(holder->processId()), SIGKILL);
        holder->waitForFinished();
        QCOMPARE(tryChild(), 0);
    }

    void releasedAtNormalEnd()
    {
        {
            SingleInstance first;
            QCOMPARE(first.acquire(), SingleInstance::Outcome::Acquired);
            QCOMPARE(tryChild(), 3);
        }
        QCOMPARE(tryChild(), 0);
    }

    // A folder that cannot hold the lock file is not another running copy.
    void unusableFolderIsNotARunningCopy_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("missing") << QStringLiteral("/no-such-folder/runtime");
        QTest::newRow("a file") << QCoreApplication::applicationFilePath();
    }
    void unusableFolderIsNotARunningCopy()
    {
        QFETCH(QString, folder);
        SingleInstance guard(QStringLiteral("velmora test"), folder);
        QCOMPARE(guard.acquire(), SingleInstance::Outcome::Unavailable);
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--child") {
        QCoreApplication app(argc, argv);
        return childMain(QString::fromLatin1(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TstSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_single_instance.moc"
