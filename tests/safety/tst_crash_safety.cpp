// Kills a worker that runs the organiser's save paths with SIGKILL at random
// moments, then checks the store: intact, every acknowledged save present,
// every row whole. VELMORA_CRASH_KILLS sets the number of kills (50 here; the
// long run uses a thousand or more), VELMORA_CRASH_SEED repeats a run.
#include "ContactColumns.h"
#include "FieldCodec.h"
#include "JobRecord.h"
#include "SavePlan.h"
#include "TempStore.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QThread>

namespace {

const QString kCheck = QStringLiteral("crash-check");

// What one inspection of the store found.
struct Found
{
    QSet<qint64> saves;     // every save number with a whole row
    qint64 password = -1;   // the save number the password row holds
    qint64 highest = -1;    // the highest save number seen anywhere
    QStringList faults;
};

qint64 numberOf(const QString &key)
{
    if (key.size() != 14 || !key.startsWith(u'9'))
        return -1;
    bool ok = false;
    const qint64 n = key.mid(1).toLongLong(&ok);
    return ok ? n : -1;
}

class Inspector final
{
public:
    explicit Inspector(QSqlDatabase db) : m_db(db) {}

    void run(Found &found)
    {
        m_found = &found;
        QSqlQuery integrity(m_db);
        if (!integrity.exec(QStringLiteral("PRAGMA integrity_check")) || !integrity.next()
            || integrity.value(0).toString() != QLatin1String("ok"))
            found.faults << QStringLiteral("integrity_check: ") + integrity.value(0).toString();
        each(QStringLiteral("SELECT date_id, note_memo FROM note_pad"), 0, [](const QSqlQuery &q, qint64 n) {
            // The diary keeps notes in their protection form.
            return q.value(1).toString() == FieldCodec::encode(SavePlan::memo(n, QStringLiteral("note")));
        }, SavePlan::Kind::Note);
        each(QStringLiteral("SELECT date_id, id, job_memo, alter_yn, e_dec_yn, complete_yn FROM job_do"), 0,
             [](const QSqlQuery &q, qint64 n) {
                 return q.value(1).toString().size() == 14
                        && q.value(2).toString() == SavePlan::memo(n, QStringLiteral("job"))
                        && q.value(3).toBool() == SavePlan::flagA(n) && q.value(4).toBool() == SavePlan::flagB(n)
                        && q.value(5).toString() == JobRecord::kOpenJob;
             }, SavePlan::Kind::Job);
        each(QStringLiteral("SELECT id, date_id, job_memo_sub, e_dec_yn FROM job_do_sub"), 0,
             [](const QSqlQuery &q, qint64 n) {
                 return q.value(1).toString() == SavePlan::key(n)
                        && q.value(2).toString() == SavePlan::memo(n, QStringLiteral("entry"))
                        && q.value(3).toBool() == SavePlan::flagA(n);
             }, SavePlan::Kind::Entry);
        each(QStringLiteral("SELECT substr(pe_name, 4), pe_id, %1, pe_sex, pe_img, e_dec_yn FROM pe_info")
                 .arg(ContactColumns::kPersonTexts.join(u',')), 0,
             [](const QSqlQuery &q, qint64 n) {
                 bool whole = q.value(1).toString().size() == 14;
                 for (int c = 0; c < ContactColumns::PersonTextCount; ++c)
                     whole = whole && q.value(2 + c).toString() == SavePlan::field(n, c);
                 const int after = 2 + ContactColumns::PersonTextCount;
                 return whole && q.value(after).toBool() == SavePlan::flagA(n)
                        && q.value(after + 1).toByteArray() == SavePlan::photo(n)
                        && q.value(after + 2).toBool() == SavePlan::flagB(n);
             }, SavePlan::Kind::Contact);
        each(QStringLiteral("SELECT pe_id, %1, e_dec_yn FROM pe_dw_info").arg(ContactColumns::kUnitTexts.join(u',')),
             0, [](const QSqlQuery &q, qint64 n) {
                 bool whole = true;
                 for (int c = 0; c < ContactColumns::UnitTextCount; ++c)
                     whole = whole && q.value(1 + c).toString() == SavePlan::field(n, c);
                 return whole && q.value(1 + ContactColumns::UnitTextCount).toBool() == SavePlan::flagA(n);
             }, SavePlan::Kind::Unit);
        each(QStringLiteral("SELECT pe_id, pe_other_memo, e_dec_yn FROM pe_other_info"), 0,
             [](const QSqlQuery &q, qint64 n) {
                 return q.value(1).toString() == SavePlan::memo(n, QStringLiteral("other"))
                        && q.value(2).toBool() == SavePlan::flagA(n);
             }, SavePlan::Kind::Other);
        password();
    }

    // Rows of the supplied store, which no save touches, per table.
    QMap<QString, int> foreignRows() const
    {
        QMap<QString, int> counts;
        for (const QString &table : {QStringLiteral("note_pad"), QStringLiteral("job_do"),
                                     QStringLiteral("job_do_sub"), QStringLiteral("pe_info"),
                                     QStringLiteral("pe_dw_info"), QStringLiteral("pe_other_info"),
                                     QStringLiteral("public_code")}) {
            QSqlQuery q(m_db);
            q.exec(QStringLiteral("SELECT count(*) FROM ") + table);
            counts[table] = q.next() ? q.value(0).toInt() : -1;
        }
        return counts;
    }

private:
    template<typename Whole>
    void each(const QString &sql, int keyColumn, Whole whole, SavePlan::Kind kind)
    {
        QSqlQuery q(m_db);
        if (!q.exec(sql)) {
            m_found->faults << sql + QStringLiteral(": ") + q.lastError().text();
            return;
        }
        while (q.next()) {
            const QString key = q.value(keyColumn).toString();
            const qint64 n = numberOf(key);
            if (n < 0)
                continue; // a row of the supplied store
            m_found->highest = std::max(m_found->highest, n);
            if (SavePlan::kindOf(n) != kind || !whole(q, n) || m_found->saves.contains(n))
                m_found->faults << QStringLiteral("row of save %1 is not whole or not alone").arg(n);
            m_found->saves.insert(n);
        }
    }

    void password()
    {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("SELECT pub_code, pub_static_do_n, pub_static_do_d FROM public_code WHERE pub_id = ?"));
        q.addBindValue(QStringLiteral("2"));
        if (!q.exec() || !q.next())
            return;
        const qint64 n = numberOf(q.value(0).toString().mid(2));
        if (n < 0)
            return;
        m_found->password = n;
        m_found->highest = std::max(m_found->highest, n);
        if (SavePlan::kindOf(n) != SavePlan::Kind::Password || q.value(0).toString() != SavePlan::password(n)
            || q.value(1).toBool() != SavePlan::flagA(n) || q.value(2).toBool() != SavePlan::flagB(n))
            m_found->faults << QStringLiteral("password row of save %1 is not whole").arg(n);
        if (q.next())
            m_found->faults << QStringLiteral("a second password row");
    }

    QSqlDatabase m_db;
    Found *m_found = nullptr;
};

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
    TempStore store(false);
    QVERIFY(store.isValid());
    const int kills = qEnvironmentVariableIsSet("VELMORA_CRASH_KILLS")
                          ? qEnvironmentVariableIntValue("VELMORA_CRASH_KILLS") : 50;
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
        QVERIFY2(found.faults.isEmpty(), qPrintable(QStringLiteral("kill %1 (seed %2): ").arg(kill).arg(seed)
                                                    + found.faults.join(u'\n')));
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
        QCOMPARE(ours, int(found.saves.size()));

        unacknowledgedCommits = int(found.saves.size() - (acknowledged & found.saves).size());
        next = std::max(found.highest, next - 1) + 1;
    }
    qInfo("%d kills; %lld saves acknowledged; %d saves committed but killed before their acknowledgement",
          kills, qint64(acknowledged.size()), unacknowledgedCommits);
    QSqlDatabase::removeDatabase(kCheck);
}

QTEST_GUILESS_MAIN(tst_crash_safety)
#include "tst_crash_safety.moc"
