// Jobs and notes through an iCalendar file and back: an export imported into
// an empty store gives the same records field by field, completion logs
// included, in any local zone; importing again updates instead of adding;
// and the file is one other programs read: zones they know, times in UTC
// where the standard asks for it.
#include "IcalRows.h"
#include "interchange/core/IcalExport.h"
#include "interchange/core/IcalImport.h"
#include "interchange/core/Libical.h"
#include "interchange/core/RecordUids.h"
#include "TempStore.h"

#include <QTest>

namespace {

const QDateTime kNow(QDate(2026, 5, 1), QTime(8, 0));

struct Snapshot
{
    QStringList jobs;
    QStringList entries;
    QStringList notes;
};

Snapshot snapshot()
{
    return {IcalRows::jobs(), IcalRows::entries(), IcalRows::notes()};
}

// Every shape a job, an entry or a note takes in the store.
bool addRecords()
{
    using namespace IcalRows;
    return addJob(QStringLiteral("20240430101010"), QStringLiteral("20240501093000"), QStringLiteral("A"), true, false,
                  QStringLiteral("未完成.."))
           && addJob(QStringLiteral("20240430101011"), QStringLiteral("20240501000000"),
                     QStringLiteral("季度报告\n第二行; 逗号, 反斜杠\\ 结束  "), false, false,
                     QStringLiteral("20240503174501"))
           && addJob(QStringLiteral("20240430101012"), QStringLiteral("20241105234500"),
                     QStringLiteral("银行卡密码更换提醒"), true, true, QStringLiteral("未完成.."))
           && addJob(QStringLiteral("20240430101013"), QStringLiteral("20240715000000"), QString(), false, false,
                     QStringLiteral("未完成.."))
           // Marks an old copy may have left: a day without its time, a
           // completion that is no moment.
           && addJob(QStringLiteral("20240430101014"), QStringLiteral("20240716"), QStringLiteral("旧记录"), false,
                     false, QStringLiteral("done"))
           && addJob(QStringLiteral("20240430101015"), QStringLiteral("20241231235900"),
                     QStringLiteral("\n\n跨年前最后一分钟\n"), true, false, QStringLiteral("20250101000001"))
           && addEntry(QStringLiteral("20240430101011"), QStringLiteral("20240502101507"), QStringLiteral("初稿完成"),
                       false)
           && addEntry(QStringLiteral("20240430101011"), QStringLiteral("20240503090000"),
                       QStringLiteral("交给经理\n附件两份"), true)
           && addEntry(QStringLiteral("20240430101012"), QStringLiteral("20241105000000"), QStringLiteral("已换"),
                       false)
           && addNote(QStringLiteral("20240101080000"), QStringLiteral("新年第一天"))
           && addNote(QStringLiteral("20240701123456"), QStringLiteral("夏天\n\n  很热  "))
           && addNote(QStringLiteral("20241027023000"), QString(QStringLiteral("长")).repeated(400));
}

QByteArray exported(IcalExport::What what, const QTimeZone &zone)
{
    IcalExport::Options options;
    options.what = what;
    options.passwordGiven = true;
    options.zone = zone;
    options.now = kNow;
    Result<IcalExport> run = IcalExport::run(Store::database(), options);
    if (!run) {
        qWarning() << run.error();
        return {};
    }
    return run->bytes();
}

Result<IcalImport> imported(const QByteArray &file, const QTimeZone &zone)
{
    IcalImport::Options options = IcalImport::defaults(kNow.toTimeZone(zone));
    options.zone = zone;
    return IcalImport::run(Store::database(), file, options);
}

} // namespace

class TestIcalRoundtrip : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void importAgainUpdates();
    void uidWithControlCharacters();
    void sharedIdsKeepTheirOwnUids();
    void fileShape_data();
    void fileShape();
    void passwordGating_data();
    void passwordGating();
};

void TestIcalRoundtrip::roundTrip_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::newRow("UTC") << QByteArray("UTC");
    QTest::newRow("Shanghai") << QByteArray("Asia/Shanghai");
    QTest::newRow("Berlin, summer and winter time") << QByteArray("Europe/Berlin");
    QTest::newRow("Lord Howe, half an hour of summer time") << QByteArray("Australia/Lord_Howe");
}

void TestIcalRoundtrip::roundTrip()
{
    QFETCH(QByteArray, zone);
    const QTimeZone local(zone);
    QVERIFY(local.isValid());
    Snapshot before;
    QByteArray jobs;
    QByteArray notes;
    {
        TempStore source;
        VERIFY_OK(source.make());
        QVERIFY(addRecords());
        before = snapshot();
        jobs = exported(IcalExport::What::Jobs, local);
        notes = exported(IcalExport::What::Notes, local);
    }
    QVERIFY(!jobs.isEmpty() && !notes.isEmpty());
    TempStore target;
    VERIFY_OK(target.make());
    QCOMPARE(IcalRows::count(QStringLiteral("job_do")), 0);
    const Result<IcalImport> jobImport = imported(jobs, local);
    VERIFY_OK(jobImport);
    for (const IcalPlan &plan : jobImport->plans())
        QVERIFY2(plan.action != IcalPlan::Action::Refused, qPrintable(plan.error));
    VERIFY_OK(imported(notes, local));
    const Snapshot after = snapshot();
    QCOMPARE(after.jobs, before.jobs);
    QCOMPARE(after.entries, before.entries);
    QCOMPARE(after.notes, before.notes);
}

void TestIcalRoundtrip::importAgainUpdates()
{
    TempStore store;
    VERIFY_OK(store.make());
    QVERIFY(addRecords());
    const QTimeZone local("Asia/Shanghai");
    QByteArray file = exported(IcalExport::What::Jobs, local);
    const Snapshot before = snapshot();

    // The same file, read back into the store it came from, changes nothing.
    Result<IcalImport> again = imported(file, local);
    VERIFY_OK(again);
    QCOMPARE(again->count(IcalPlan::Action::New), 0);
    QCOMPARE(again->count(IcalPlan::Outcome::Updated), 6);
    QCOMPARE(snapshot().jobs, before.jobs);
    QCOMPARE(snapshot().entries, before.entries);

    // A text changed elsewhere comes in over the job; an entry added there
    // joins the log, and one added here since stays.
    QVERIFY(IcalRows::addEntry(QStringLiteral("20240430101011"), QStringLiteral("20240601120000"),
                               QStringLiteral("本地新加"), false));
    file.replace("DESCRIPTION:A\r\n", "DESCRIPTION:B\r\n");
    file.replace("SUMMARY:A\r\n", "SUMMARY:B\r\n");
    file.replace("X-VELMORA-LOG;X-VELMORA-DATE=20240502101507:初稿完成\r\n",
                 "X-VELMORA-LOG;X-VELMORA-DATE=20240502101507:初稿完成\r\n"
                 "X-VELMORA-LOG;X-VELMORA-DATE=20240504080000:别处新加\r\n");
    VERIFY_OK(imported(file, local));
    QCOMPARE(IcalRows::count(QStringLiteral("job_do")), 6);
    QVERIFY(IcalRows::jobs().contains(QStringLiteral("20240430101010 | 20240501093000 | B | 1 | 0 | 未完成..")));
    const QStringList entries = IcalRows::entries();
    QCOMPARE(entries.size(), before.entries.size() + 2);
    QVERIFY(entries.contains(QStringLiteral("20240430101011 | 20240504080000 | 别处新加 | 0")));
    QVERIFY(entries.contains(QStringLiteral("20240430101011 | 20240601120000 | 本地新加 | 0")));
}

// A UID broken by a control character (a stray CR inside the line) is kept
// as it is written out again, so the exported file updates, never copies.
void TestIcalRoundtrip::uidWithControlCharacters()
{
    TempStore store;
    VERIFY_OK(store.make());
    const QTimeZone local("Asia/Shanghai");
    const QByteArray file("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\nBEGIN:VTODO\r\n"
                          "UID:call@example.com\r\x12tail\r\nDTSTAMP:20240601T120000Z\r\n"
                          "DUE;VALUE=DATE:20240701\r\nSUMMARY:Call\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
    Result<IcalImport> first = imported(file, local);
    VERIFY_OK(first);
    QCOMPARE(first->count(IcalPlan::Outcome::Added), 1);
    Result<IcalImport> again = imported(exported(IcalExport::What::Jobs, local), local);
    VERIFY_OK(again);
    QCOMPARE(again->count(IcalPlan::Action::New), 0);
    QCOMPARE(IcalRows::count(QStringLiteral("job_do")), 1);
}

// Old stores may hold two jobs with one id: each gets a UID of its own, and
// both carry the log the id shares, so neither is mixed with the other.
void TestIcalRoundtrip::sharedIdsKeepTheirOwnUids()
{
    TempStore store;
    VERIFY_OK(store.make());
    const QString id = QStringLiteral("20240430101010");
    QVERIFY(IcalRows::addJob(id, QStringLiteral("20240501000000"), QStringLiteral("甲"), false, false,
                             QStringLiteral("未完成..")));
    QVERIFY(IcalRows::addJob(id, QStringLiteral("20240502000000"), QStringLiteral("乙"), false, false,
                             QStringLiteral("未完成..")));
    QVERIFY(IcalRows::addEntry(id, QStringLiteral("20240503000000"), QStringLiteral("共用"), false));
    const QTimeZone local("Asia/Shanghai");
    const QByteArray file = exported(IcalExport::What::Jobs, local);
    QCOMPARE(file.count("BEGIN:VTODO"), 2);
    QCOMPARE(file.count("共用"), 2);
    Result<QHash<QString, QString>> uids =
        RecordUids::uidsFor(Store::database(), RecordUids::Kind::Job, {id, id + QStringLiteral("#2")});
    VERIFY_OK(uids);
    QVERIFY(uids->value(id) != uids->value(id + QStringLiteral("#2")));

    // Each comes back onto its own job.
    QByteArray changed = file;
    changed.replace("DESCRIPTION:乙", "DESCRIPTION:乙改");
    changed.replace("SUMMARY:乙", "SUMMARY:乙改");
    Result<IcalImport> again = imported(changed, local);
    VERIFY_OK(again);
    QCOMPARE(again->count(IcalPlan::Outcome::Updated), 2);
    QCOMPARE(IcalRows::jobs(), QStringList({id + QStringLiteral(" | 20240501000000 | 甲 | 0 | 0 | 未完成.."),
                                            id + QStringLiteral(" | 20240502000000 | 乙改 | 0 | 0 | 未完成..")}));
    QCOMPARE(IcalRows::count(QStringLiteral("job_do_sub")), 1);
}

void TestIcalRoundtrip::fileShape_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QByteArrayList>("present");
    QTest::addColumn<QByteArrayList>("absent");
    QTest::newRow("local zone with its VTIMEZONE") << QByteArray("Europe/Berlin")
                                                   << QByteArrayList{"BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n",
                                                                     "BEGIN:DAYLIGHT",
                                                                     "BEGIN:STANDARD",
                                                                     "TZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200",
                                                                     "DTSTART;TZID=Europe/Berlin:20240501T093000",
                                                                     "DUE;TZID=Europe/Berlin:20240501T093000",
                                                                     "COMPLETED:20240503T154501Z",
                                                                     "DTSTART;VALUE=DATE:20240501",
                                                                     "CLASS:PRIVATE",
                                                                     "TRIGGER:PT0S",
                                                                     "ACTION:DISPLAY"}
                                                   << QByteArrayList{"freeassociation", "TZID=/"};
    QTest::newRow("UTC with Z") << QByteArray("UTC")
                                << QByteArrayList{"DTSTART:20240501T093000Z", "COMPLETED:20240503T174501Z",
                                                  "STATUS:COMPLETED", "STATUS:NEEDS-ACTION"}
                                << QByteArrayList{"VTIMEZONE", "TZID"};
}

void TestIcalRoundtrip::fileShape()
{
    QFETCH(QByteArray, zone);
    QFETCH(QByteArrayList, present);
    QFETCH(QByteArrayList, absent);
    TempStore store;
    VERIFY_OK(store.make());
    QVERIFY(addRecords());
    const QByteArray file =
        exported(IcalExport::What::Jobs, QTimeZone(zone)) + exported(IcalExport::What::Notes, QTimeZone(zone));
    for (const QByteArray &text : present)
        QVERIFY2(file.contains(text), text.constData());
    for (const QByteArray &text : absent)
        QVERIFY2(!file.contains(text), text.constData());
    // Other programs read it as libical does: without a complaint.
    Libical::prepare();
    const qsizetype second = file.indexOf("BEGIN:VCALENDAR", 1);
    for (const QByteArray &calendar : {file.left(second), file.mid(second)}) {
        Libical::Component parsed(icalparser_parse_string(calendar.constData()));
        QVERIFY(parsed);
        QVERIFY2(icalcomponent_count_errors(parsed.get()) == 0,
                 Libical::take(icalcomponent_as_ical_string_r(parsed.get())).constData());
    }
    for (const QByteArray &line : file.split('\n'))
        QVERIFY2(line.size() <= 76, line.constData());
}

void TestIcalRoundtrip::passwordGating_data()
{
    QTest::addColumn<IcalExport::What>("what");
    QTest::addColumn<bool>("notesNeedPassword");
    QTest::addColumn<bool>("given");
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("leftOut");
    QTest::addColumn<int>("entriesLeftOut");
    QTest::addColumn<QStringList>("hidden");
    const QStringList secrets = {QStringLiteral("银行卡密码更换提醒"), QStringLiteral("已换"),
                                 FieldCodec::encode(QStringLiteral("银行卡密码更换提醒")), QStringLiteral("交给经理")};
    QTest::newRow("jobs, no password given: protected job and entry stay")
        << IcalExport::What::Jobs << false << false << 5 << 1 << 1 << secrets;
    QTest::newRow("jobs, password given") << IcalExport::What::Jobs << false << true << 6 << 0 << 0 << QStringList();
    QTest::newRow("diary behind the password, not given")
        << IcalExport::What::Notes << true << false << 0 << 3 << 0 << QStringList{QStringLiteral("新年第一天")};
    QTest::newRow("diary behind the password, given")
        << IcalExport::What::Notes << true << true << 3 << 0 << 0 << QStringList();
    QTest::newRow("diary needing no password")
        << IcalExport::What::Notes << false << false << 3 << 0 << 0 << QStringList();
}

void TestIcalRoundtrip::passwordGating()
{
    QFETCH(IcalExport::What, what);
    QFETCH(bool, notesNeedPassword);
    QFETCH(bool, given);
    QFETCH(int, written);
    QFETCH(int, leftOut);
    QFETCH(int, entriesLeftOut);
    QFETCH(QStringList, hidden);
    TempStore store;
    VERIFY_OK(store.make());
    QVERIFY(addRecords());
    IcalExport::Options options;
    options.what = what;
    options.passwordGiven = given;
    options.notesNeedPassword = notesNeedPassword;
    options.zone = QTimeZone("Asia/Shanghai");
    options.now = kNow;
    const Result<IcalExport::Survey> survey = IcalExport::survey(Store::database(), options);
    VERIFY_OK(survey);
    QCOMPARE(survey->records, written + leftOut);
    const Result<IcalExport> run = IcalExport::run(Store::database(), options);
    VERIFY_OK(run);
    QCOMPARE(run->total(), written);
    QCOMPARE(run->leftOut(), leftOut);
    QCOMPARE(run->entriesLeftOut(), entriesLeftOut);
    const QString file = QString::fromUtf8(run->bytes());
    QCOMPARE(int(file.count(what == IcalExport::What::Jobs ? QStringLiteral("BEGIN:VTODO")
                                                           : QStringLiteral("BEGIN:VJOURNAL"))),
             written);
    for (const QString &secret : hidden)
        QVERIFY2(!file.contains(secret), qPrintable(secret));
}

QTEST_GUILESS_MAIN(TestIcalRoundtrip)
#include "tst_ical_roundtrip.moc"
