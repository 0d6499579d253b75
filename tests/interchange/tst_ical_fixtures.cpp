// iCalendar files in the shapes calendar programs write, after RFC 5545:
// a zone given only by its VTIMEZONE, a weekly event with an alarm, an
// exception and a changed occurrence, an all-day task already done, a long
// Chinese journal folded in the middle of its characters. Each gives the
// jobs and notes a user of the planner and the diary would expect.
#include "IcalRows.h"
#include "interchange/core/IcalImport.h"
#include "TempStore.h"

#include <QFile>
#include <QTest>

namespace {

const QTimeZone kShanghai("Asia/Shanghai");
const QDateTime kNow(QDate(2026, 5, 1), QTime(8, 0), kShanghai);

QByteArray fileBytes(const QString &name)
{
    QFile file(QStringLiteral(ICAL_FIXTURES "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList jobRows()
{
    return IcalRows::rows(QStringLiteral("SELECT date_id, job_memo, alter_yn, e_dec_yn, complete_yn FROM job_do"));
}

QString journalText()
{
    return QStringLiteral("今天去了西湖,湖边的柳树已经发芽了。").repeated(12) + u'\n'
           + QStringLiteral("晚上和客户吃饭,谈妥了下季度的订单。").repeated(10);
}

Result<IcalImport> import(const QByteArray &file, const QDate &last = {})
{
    IcalImport::Options options = IcalImport::defaults(kNow);
    options.zone = kShanghai;
    if (last.isValid())
        options.last = last;
    return IcalImport::run(Store::database(), file, options);
}

} // namespace

class TestIcalFixtures : public QObject
{
    Q_OBJECT

private slots:
    void fixture_data();
    void fixture();
    void readingAgainUpdates();
    void createdBecomesTheJobId();
};

void TestIcalFixtures::fixture_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QDate>("last");
    QTest::addColumn<QStringList>("jobs");
    QTest::addColumn<QStringList>("notes");
    const QString open = QStringLiteral("未完成..");

    QTest::newRow("zone known only by its VTIMEZONE, alarms before the start and before the end")
        << QStringLiteral("vtimezone_event.ics") << QDate()
        << QStringList{QStringLiteral("20240701214500 | Quarterly review\nRoom 4, second floor | 1 | 0 | ") + open,
                       QStringLiteral("20250115225500 | Call with 上海办事处 | 1 | 0 | ") + open}
        << QStringList();
    const QStringList weekly = {
        QStringLiteral("20260504085000 | 周一例会 | 1 | 0 | ") + open,
        QStringLiteral("20260518133000 | 周一例会(改到下午) | 1 | 0 | ") + open,
        QStringLiteral("20260525085000 | 周一例会 | 1 | 0 | ") + open,
        QStringLiteral("20260601085000 | 周一例会 | 1 | 0 | ") + open,
        QStringLiteral("20260608085000 | 周一例会 | 1 | 0 | ") + open,
    };
    QTest::newRow("weekly event: the excepted Monday left out, the changed one moved")
        << QStringLiteral("weekly_alarm.ics") << QDate() << weekly << QStringList();
    QTest::newRow("weekly event within May only")
        << QStringLiteral("weekly_alarm.ics") << QDate(2026, 5, 31) << weekly.mid(0, 3) << QStringList();
    QTest::newRow("all-day task done, confidential")
        << QStringLiteral("allday_completed_todo.ics") << QDate()
        << QStringList{QStringLiteral("20260410000000 | %1 | 0 | 1 | 20260410163000")
                           .arg(FieldCodec::encode(QStringLiteral("Submit tax forms")))}
        << QStringList();
    // Its title is no line of its text, so it heads the note.
    QTest::newRow("long Chinese journal folded inside its characters")
        << QStringLiteral("long_folded_journal.ics") << QDate() << QStringList()
        << QStringList{QStringLiteral("20260301100000 | ")
                       + FieldCodec::encode(QStringLiteral("西湖\n") + journalText())};
}

void TestIcalFixtures::fixture()
{
    QFETCH(QString, file);
    QFETCH(QDate, last);
    QFETCH(QStringList, jobs);
    QFETCH(QStringList, notes);
    TempStore store;
    VERIFY_OK(store.make());
    const QByteArray bytes = fileBytes(file);
    QVERIFY(!bytes.isEmpty());
    const Result<IcalImport> done = import(bytes, last);
    VERIFY_OK(done);
    QCOMPARE(jobRows(), jobs);
    QCOMPARE(IcalRows::notes(), notes);
}

void TestIcalFixtures::readingAgainUpdates()
{
    TempStore store;
    VERIFY_OK(store.make());
    const QByteArray bytes = fileBytes(QStringLiteral("weekly_alarm.ics"));
    VERIFY_OK(import(bytes));
    const QStringList first = jobRows();
    const Result<IcalImport> again = import(bytes);
    VERIFY_OK(again);
    QCOMPARE(again->count(IcalPlan::Outcome::Added), 0);
    QCOMPARE(again->count(IcalPlan::Outcome::Updated), 5);
    QCOMPARE(jobRows(), first);
}

void TestIcalFixtures::createdBecomesTheJobId()
{
    TempStore store;
    VERIFY_OK(store.make());
    VERIFY_OK(import(fileBytes(QStringLiteral("allday_completed_todo.ics"))));
    QCOMPARE(IcalRows::rows(QStringLiteral("SELECT id FROM job_do")), QStringList{QStringLiteral("20260301090203")});
    // A second job made at that moment gets the next free second instead.
    VERIFY_OK(import(fileBytes(QStringLiteral("allday_completed_todo.ics")).replace("tax-2026", "tax-2027")));
    QCOMPARE(IcalRows::rows(QStringLiteral("SELECT id FROM job_do")),
             QStringList({QStringLiteral("20260301090203"), QStringLiteral("20260501080000")}));
}

QTEST_GUILESS_MAIN(TestIcalFixtures)
#include "tst_ical_fixtures.moc"
