// iCalendar files that are broken, hostile or odd: a file that is not whole
// is refused with the line that breaks it and nothing is written; a bad
// value refuses only the job it belongs to, with libical's complaint; rules
// that would fill the store stop at a limit; and a store error half way
// leaves the store as it was.
#include "IcalRows.h"
#include "interchange/core/IcalImport.h"
#include "interchange/core/RecordUids.h"
#include "TempStore.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

const QTimeZone kShanghai("Asia/Shanghai");
const QDateTime kNow(QDate(2026, 5, 1), QTime(8, 0), kShanghai);

QByteArray calendar(const QByteArray &body)
{
    QByteArray text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\n" + body + "END:VCALENDAR\r\n";
    return text.replace("\r\n", "\n").replace("\n", "\r\n");
}

QByteArray todo(const QByteArray &uid, const QByteArray &lines)
{
    return "BEGIN:VTODO\nUID:" + uid + "\nDTSTAMP:20260101T000000Z\n" + lines + "END:VTODO\n";
}

QByteArray utf16(const QByteArray &utf8)
{
    const QString text = QString::fromUtf8(utf8);
    return QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

IcalImport::Options options()
{
    IcalImport::Options options = IcalImport::defaults(kNow);
    options.zone = kShanghai;
    return options;
}

// What the store holds, to show nothing changed.
QStringList everything()
{
    return IcalRows::jobs() + IcalRows::entries() + IcalRows::notes()
           + IcalRows::rows(QStringLiteral("SELECT kind, record_key, uid FROM record_uid"));
}

bool seed()
{
    return IcalRows::addJob(QStringLiteral("20260101000000"), QStringLiteral("20260102000000"),
                            QStringLiteral("已有的工作"), false, false, QStringLiteral("未完成.."))
           && IcalRows::addNote(QStringLiteral("20260101000000"), QStringLiteral("已有的日记"));
}

const IcalPlan *planWithUid(const IcalImport &import, const QString &uid)
{
    for (const IcalPlan &plan : import.plans()) {
        if (plan.uid() == uid)
            return &plan;
    }
    return nullptr;
}

} // namespace

class TestIcalHostile : public QObject
{
    Q_OBJECT

private slots:
    void refusedWhole_data();
    void refusedWhole();
    void hundredMegabytes();
    void badValue_data();
    void badValue();
    void denseRulesStop_data();
    void denseRulesStop();
    void storeErrorUndoesAll();
    void oddButReadable_data();
    void oddButReadable();
};

void TestIcalHostile::refusedWhole_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    const QByteArray good = todo("a", "SUMMARY:fine\n");
    QTest::newRow("NUL byte") << calendar(good + "BEGIN:VTODO\nUID:b\nSUMMARY:x" + QByteArray(1, '\0')
                                          + "y\nEND:VTODO\n")
                              << QStringLiteral("文件第11行含有空字符(NUL)");
    QTest::newRow("task never ends") << calendar(good + "BEGIN:VTODO\nUID:b\nSUMMARY:cut\n")
                                     << QStringLiteral("文件第9行的BEGIN:VTODO没有结束(缺少END:VTODO)");
    QTest::newRow("calendar never ends") << QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n")
                                                + todo("a", "").replace("\n", "\r\n")
                                         << QStringLiteral("文件第1行的BEGIN:VCALENDAR没有结束");
    QTest::newRow("END closes another") << calendar("BEGIN:VEVENT\nUID:a\nDTSTART:20260501T090000\nEND:VTODO\n")
                                        << QStringLiteral("文件第7行的END:VTODO与第4行的BEGIN:VEVENT不配对");
    QTest::newRow("event inside event") << calendar(
        "BEGIN:VEVENT\nUID:a\nDTSTART:20260501T090000\nBEGIN:VEVENT\nUID:b\nEND:VEVENT\nEND:VEVENT\n")
                                        << QStringLiteral("文件第7行: VEVENT不能放在第4行开始的VEVENT之中");
    QTest::newRow("alarm inside journal")
        << calendar("BEGIN:VJOURNAL\nUID:a\nBEGIN:VALARM\nTRIGGER:PT0S\nEND:VALARM\nEND:VJOURNAL\n")
        << QStringLiteral("VALARM不能放在第4行开始的VJOURNAL之中");
    QTest::newRow("task outside calendar")
        << todo("a", "").replace("\n", "\r\n") + calendar("") << QStringLiteral("VTODO不能放在VCALENDAR之外");
    QTest::newRow("END without BEGIN") << calendar("END:VEVENT\n") << QStringLiteral("END:VEVENT之前没有对应的BEGIN");
    QTest::newRow("vCalendar 1.0") << QByteArray("BEGIN:VCALENDAR\r\nVERSION:1.0\r\nEND:VCALENDAR\r\n")
                                   << QStringLiteral("vCalendar 1.0");
    QTest::newRow("no calendar at all") << QByteArray("Dear customer,\r\nplease find attached\r\n")
                                        << QStringLiteral("没有VCALENDAR");
    QTest::newRow("UTF-16 cut in half a character") << QByteArray("\xFF\xFE"
                                                                  "B\0E\0G\0I\0N\0:\0V\0C\0A\0L\0\x3D")
                                                    << QStringLiteral("不是完整的UTF-16文本");
}

void TestIcalHostile::refusedWhole()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    TempStore store;
    VERIFY_OK(store.make());
    QVERIFY(seed());
    const QStringList before = everything();
    const Result<IcalImport> import = IcalImport::run(Store::database(), file, options());
    QVERIFY(!import);
    QVERIFY2(import.error().contains(message), qPrintable(import.error()));
    QVERIFY2(import.error().contains(QStringLiteral("没有导入任何记录")), qPrintable(import.error()));
    QCOMPARE(everything(), before);
}

void TestIcalHostile::hundredMegabytes()
{
    TempStore store;
    VERIFY_OK(store.make());
    QFile big(store.filePath(QStringLiteral("big.ics")));
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.write(calendar(todo("a", "SUMMARY:x\n"))) > 0);
    QVERIFY(big.resize(100 * 1024 * 1024));
    big.close();
    const QStringList before = everything();
    const Result<IcalImport> import = IcalImport::open(Store::database(), big.fileName(), options());
    QVERIFY(!import);
    QCOMPARE(import.error(), QStringLiteral("文件太大(超过64 MB),不是可以导入的日历文件,没有导入任何记录."));
    QCOMPARE(everything(), before);
}

void TestIcalHostile::badValue_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("told");
    QTest::newRow("start that is no time")
        << QByteArray("DTSTART:2026AB01T100000\n") << true << QStringLiteral("DTSTART");
    QTest::newRow("due that is no time") << QByteArray("DUE:tomorrow\n") << true << QStringLiteral("DUE");
    QTest::newRow("rule that is no rule")
        << QByteArray("DTSTART:20260501T100000\nRRULE:FREQ=FORTNIGHTLY\n") << true << QStringLiteral("RRULE");
    QTest::newRow("alarm time that is no duration")
        << QByteArray("DTSTART:20260501T100000\nBEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-PTxM\nEND:VALARM\n") << true
        << QStringLiteral("TRIGGER");
    QTest::newRow("year outside what the store keeps")
        << QByteArray("DTSTART:00050101T100000\n") << true << QStringLiteral("1000年到9999年");
    // What the store does not keep costs the task nothing; the user is told.
    QTest::newRow("position that is no position")
        << QByteArray("DTSTART:20260501T100000\nGEO:north;east\n") << false << QStringLiteral("GEO");
    QTest::newRow("property of no known name")
        << QByteArray("DTSTART:20260501T100000\nFOO;BAR=\"x:y\n") << false << QStringLiteral("FOO");
}

void TestIcalHostile::badValue()
{
    QFETCH(QByteArray, lines);
    QFETCH(bool, refused);
    QFETCH(QString, told);
    TempStore store;
    VERIFY_OK(store.make());
    const QByteArray file =
        calendar(todo("good-1", "SUMMARY:一\nDTSTART;VALUE=DATE:20260502\n") + todo("bad", "SUMMARY:坏\n" + lines)
                 + todo("good-2", "SUMMARY:二\nDTSTART;VALUE=DATE:20260503\n"));
    const Result<IcalImport> import = IcalImport::run(Store::database(), file, options());
    VERIFY_OK(import);
    const IcalPlan *bad = planWithUid(*import, QStringLiteral("bad"));
    if (refused) {
        QVERIFY(!bad || bad->action == IcalPlan::Action::Refused);
        const IcalPlan &shown = import->plans().at(1);
        QCOMPARE(shown.action, IcalPlan::Action::Refused);
        QVERIFY2(shown.error.contains(told), qPrintable(shown.error));
        QCOMPARE(shown.text(), QStringLiteral("坏"));
        QCOMPARE(IcalRows::count(QStringLiteral("job_do")), 2);
    } else {
        QVERIFY(bad);
        QCOMPARE(bad->outcome, IcalPlan::Outcome::Added);
        QVERIFY2(bad->notes.join(u' ').contains(told), qPrintable(bad->notes.join(u' ')));
        QCOMPARE(IcalRows::count(QStringLiteral("job_do")), 3);
    }
}

void TestIcalHostile::denseRulesStop_data()
{
    QTest::addColumn<QByteArray>("rule");
    QTest::addColumn<QString>("told");
    // Where the range holds more than the limit, the expansion stops at the
    // limit, or at the time limit first on a slow or busy machine: either
    // way the user is told.
    const QString stopped = QStringLiteral("前5000次|只展开了一部分");
    QTest::newRow("every minute for a year")
        << QByteArray("DTSTART:20260501T000000Z\nRRULE:FREQ=MINUTELY\n") << stopped;
    QTest::newRow("every second since 1900, counted")
        << QByteArray("DTSTART:19000101T000000Z\nRRULE:FREQ=SECONDLY;COUNT=2000000000\n")
        << QStringLiteral("只展开了一部分");
    QTest::newRow("every second since 1900, endless")
        << QByteArray("DTSTART:19000101T000000Z\nRRULE:FREQ=SECONDLY\n") << stopped;
}

void TestIcalHostile::denseRulesStop()
{
    QFETCH(QByteArray, rule);
    QFETCH(QString, told);
    TempStore store;
    VERIFY_OK(store.make());
    const QByteArray file =
        calendar("BEGIN:VEVENT\nUID:dense\nDTSTAMP:20260101T000000Z\nSUMMARY:密\n" + rule + "END:VEVENT\n");
    Result<IcalImport> import = IcalImport::fromBytes(Store::database(), file, options());
    VERIFY_OK(import);
    while (import->readStep(100)) { }
    QVERIFY(import->error().isEmpty());
    QVERIFY(import->plans().size() <= 5000);
    QStringList notes;
    for (const IcalPlan &plan : import->plans())
        notes += plan.notes;
    QVERIFY2(notes.join(u' ').contains(QRegularExpression(told)), qPrintable(notes.value(0)));
}

void TestIcalHostile::storeErrorUndoesAll()
{
    TempStore store;
    VERIFY_OK(store.make());
    QVERIFY(seed());
    // The third job is refused by the store after two were written.
    QVERIFY(IcalRows::run(QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE INSERT ON job_do WHEN NEW.job_memo = "
                                         "'三' BEGIN SELECT RAISE(ABORT, 'disk gone'); END")));
    const QStringList before = everything();
    const QByteArray file = calendar(todo("1", "SUMMARY:一\n") + "BEGIN:VJOURNAL\nUID:n\nSUMMARY:记\nEND:VJOURNAL\n"
                                     + todo("2", "SUMMARY:二\n") + todo("3", "SUMMARY:三\n"));
    const Result<IcalImport> import = IcalImport::run(Store::database(), file, options());
    QVERIFY(!import);
    QVERIFY2(import.error().contains(QStringLiteral("没有导入任何记录")), qPrintable(import.error()));
    QVERIFY2(import.error().contains(QStringLiteral("disk gone")), qPrintable(import.error()));
    QCOMPARE(everything(), before);
    QVERIFY(!Store::database().rollback()); // no transaction was left open
}

void TestIcalHostile::oddButReadable_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("jobs");
    QTest::addColumn<QString>("told");
    const QString open = QStringLiteral("未完成..");
    QTest::newRow("zone named nowhere: local time")
        << calendar(todo("a", "SUMMARY:x\nDTSTART;TZID=Mars/Olympus:20260501T090000\nBEGIN:VALARM\nTRIGGER:PT0S\n"
                              "ACTION:DISPLAY\nEND:VALARM\n"))
        << QStringList{QStringLiteral("20260501090000 | x | 1 | 0 | ") + open} << QStringLiteral("Mars/Olympus");
    QTest::newRow("zone behind libical's prefix")
        << calendar(todo("a", "SUMMARY:x\nDUE;TZID=/freeassociation.sourceforge.net/Europe/Berlin:20260501T090000\n"
                              "BEGIN:VALARM\nTRIGGER:PT0S\nACTION:DISPLAY\nEND:VALARM\n"))
        << QStringList{QStringLiteral("20260501150000 | x | 1 | 0 | ") + open} << QString();
    QTest::newRow("zone by its Windows name")
        << calendar(todo("a", "SUMMARY:x\nDUE;TZID=Tokyo Standard Time:20260501T090000\n"
                              "BEGIN:VALARM\nTRIGGER:PT0S\nACTION:DISPLAY\nEND:VALARM\n"))
        << QStringList{QStringLiteral("20260501080000 | x | 1 | 0 | ") + open} << QString();
    QTest::newRow("VTIMEZONE whose rules repeat every second is not used")
        << calendar("BEGIN:VTIMEZONE\nTZID:Europe/Berlin\nBEGIN:STANDARD\nDTSTART:19000101T000000\n"
                    "RRULE:FREQ=SECONDLY\nTZOFFSETFROM:+0100\nTZOFFSETTO:+0100\nEND:STANDARD\nEND:VTIMEZONE\n"
                    + todo("a", "SUMMARY:x\nDUE;TZID=Europe/Berlin:20260501T090000\n"
                                "BEGIN:VALARM\nTRIGGER:PT0S\nACTION:DISPLAY\nEND:VALARM\n"))
        << QStringList{QStringLiteral("20260501150000 | x | 1 | 0 | ") + open} << QString();
    QTest::newRow("task without a date: today")
        << calendar(todo("a", "SUMMARY:x\n")) << QStringList{QStringLiteral("20260501000000 | x | 0 | 0 | ") + open}
        << QStringLiteral("没有日期");
    QTest::newRow("cancelled event") << calendar(
        "BEGIN:VEVENT\nUID:c\nDTSTART:20260501T090000Z\nSTATUS:CANCELLED\nSUMMARY:x\nEND:VEVENT\n")
                                     << QStringList() << QStringLiteral("已取消");
    QTest::newRow("one UID twice: the first is taken")
        << calendar(todo("same", "SUMMARY:first\n") + todo("same", "SUMMARY:second\n"))
        << QStringList{QStringLiteral("20260501000000 | first | 0 | 0 | ") + open} << QStringLiteral("UID相同");
    QTest::newRow("UTF-16 with its byte-order mark")
        << utf16(calendar(todo("a", "SUMMARY:中文\n")))
        << QStringList{QStringLiteral("20260501000000 | 中文 | 0 | 0 | ") + open} << QString();
    QTest::newRow("GB18030 text") << QByteArray(
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nUID:g\r\nSUMMARY:\xD6\xD0\xCE\xC4\r\n"
        "END:VTODO\r\nEND:VCALENDAR\r\n")
                                  << QStringList{QStringLiteral("20260501000000 | 中文 | 0 | 0 | ") + open}
                                  << QStringLiteral("GB18030");
}

void TestIcalHostile::oddButReadable()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, jobs);
    QFETCH(QString, told);
    TempStore store;
    VERIFY_OK(store.make());
    const Result<IcalImport> import = IcalImport::run(Store::database(), file, options());
    VERIFY_OK(import);
    QCOMPARE(IcalRows::rows(QStringLiteral("SELECT date_id, job_memo, alter_yn, e_dec_yn, complete_yn FROM job_do")),
             jobs);
    QStringList said = import->notes();
    for (const IcalPlan &plan : import->plans())
        said << plan.notes << plan.error;
    if (!told.isEmpty())
        QVERIFY2(said.join(u' ').contains(told), qPrintable(said.join(u' ')));
}

QTEST_GUILESS_MAIN(TestIcalHostile)
#include "tst_ical_hostile.moc"
