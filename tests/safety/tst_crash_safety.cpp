// Kills a worker that runs the organiser's save paths with SIGKILL at random
// moments, then checks the store: intact, every acknowledged save present,
// every row whole. VELMORA_CRASH_KILLS sets the number of kills (50 here; the
// long run uses a thousand or more), VELMORA_CRASH_SEED repeats a run.
#include "SaveCheck.h"
#include "TempStore.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlDatabase>
#include <QTest>
#include <QThread>

namespace {

using SaveCheck::Found;
using SaveCheck::Inspector;
const QString kCheck = QStringLiteral("crash-check");

QString workerPath()
{
    return QStringLiteral(VELMORA_SAFETY_WORKER);
}

} // namespace

class tst_crash_safety final : public QObject
{
    Q_OBJECT

private slots:
    void killedSavesLoseNothing();
};

void tst_crash_safety::killedSavesLoseNothing()
{
    TempStore store;
    VERIFY_OK(store.make(false));
    const int kills =
        qEnvironmentVariableIsSet("VELMORA_CRASH_KILLS") ? qEnvironmentVariableIntValue("VELMORA_CRASH_KILLS") : 50;
    const quint32 seed = qEnvironmentVariableIsSet("VELMORA_CRASH_SEED")
                             ? quint32(qEnvironmentVariableIntValue("VELMORA_CRASH_SEED"))
                             : QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    qInfo("seed %u, %d kills", seed, kills);

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kCheck);
    db.setDatabaseName(store.storePath());
    QVERIFY(db.open());
    const QMap<QString, int> supplied = Inspector(db).foreignRows();
    db.close();

    QSet<qint64> acknowledged;
    qint64 lastPassword = -1;
    qint64 next = 0;
    int unacknowledgedCommits = 0;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess worker;
        worker.start(workerPath(), {store.storePath(), QString::number(next)});
        QVERIFY2(worker.waitForStarted(), qPrintable(worker.errorString()));
        // Half the kills land at start-up or in the first save, half later.
        if (random.bounded(2) == 1)
            worker.waitForReadyRead(5000);
        QThread::usleep(random.bounded(30000));
        worker.kill();
        QVERIFY(worker.waitForFinished(5000));
        QVERIFY2(worker.exitStatus() == QProcess::CrashExit, worker.readAllStandardError().constData());

        for (const QByteArray &line : worker.readAllStandardOutput().split('\n')) {
            if (!line.startsWith("ACK "))
                continue;
            const qint64 n = line.mid(4).toLongLong();
            acknowledged.insert(n);
            if (SavePlan::kindOf(n) == SavePlan::Kind::Password)
                lastPassword = std::max(lastPassword, n);
        }

        QVERIFY(db.open());
        Found found;
        Inspector inspector(db);
        inspector.run(found);
        QMap<QString, int> counts = inspector.foreignRows();
        db.close();
        QVERIFY2(found.faults.isEmpty(),
                 qPrintable(QStringLiteral("kill %1 (seed %2): ").arg(kill).arg(seed) + found.faults.join(u'\n')));
        for (const qint64 n : std::as_const(acknowledged)) {
            if (SavePlan::kindOf(n) != SavePlan::Kind::Password)
                QVERIFY2(found.saves.contains(n), qPrintable(QStringLiteral("save %1 lost").arg(n)));
        }
        QVERIFY2(found.password >= lastPassword, qPrintable(QStringLiteral("password %1 lost").arg(lastPassword)));
        // Nothing but whole saves was added: the rows of each table are the
        // supplied ones plus the saves found whole.
        const QString codes = QStringLiteral("public_code");
        QCOMPARE(counts.take(codes) - supplied.value(codes), found.password >= 0 ? 1 : 0);
        int ours = 0;
        for (auto it = counts.begin(); it != counts.end(); ++it)
            ours += it.value() - supplied.value(it.key());
        QCOMPARE(ours, found.rows);

        unacknowledgedCommits = int(found.saves.size() - (acknowledged & found.saves).size());
        next = std::max(found.highest, next - 1) + 1;
    }
    qInfo("%d kills; %lld saves acknowledged; %d saves committed but killed before their acknowledgement", kills,
          qint64(acknowledged.size()), unacknowledgedCommits);
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(kCheck);
}

QTEST_GUILESS_MAIN(tst_crash_safety)
#include "tst_crash_safety.moc"
