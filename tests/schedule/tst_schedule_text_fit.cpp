#include "FakePlannerHost.h"
#include "schedule/windows/Tjob_do.h"
#include "schedule/windows/Tjob_do_sub.h"
#include "ScriptedDialogs.h"
#include "store/Clock.h"
#include "store/FieldCodec.h"
#include "TempStore.h"
#include "TextFit.h"
#include "Widgets.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

// Every caption and list of the schedule's windows can be read whole, in
// each state the windows take, at the fonts of this desktop and at larger
// ones.
namespace {

const QDateTime kNow(QDate(2024, 5, 1), QTime(10, 15, 7));
const QString kLongText =
    QStringLiteral("下午三点去客户公司谈下一季度的供货合同,带上报价单和样品,谈完后把会议纪要发给经理。");

void insertJob(const QString &id, const QString &dateId, const QString &memo, bool reminder, bool isProtected,
               const QString &completion = QStringLiteral("未完成.."))
{
    QSqlQuery query(Store::database());
    query.prepare(QStringLiteral("INSERT INTO job_do VALUES (?, ?, ?, ?, ?, ?)"));
    for (const QVariant &value : {QVariant(id), QVariant(dateId), QVariant(memo), QVariant(reminder),
                                  QVariant(isProtected), QVariant(completion)})
        query.addBindValue(value);
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
}

qint64 lastJobRowid()
{
    QSqlQuery query(Store::database());
    return query.exec(QStringLiteral("SELECT max(rowid) FROM job_do")) && query.next() ? query.value(0).toLongLong()
                                                                                       : -1;
}

void insertEntry(const QString &jobId, const QString &dateId, const QString &memo)
{
    QSqlQuery query(Store::database());
    query.prepare(QStringLiteral("INSERT INTO job_do_sub VALUES (?, ?, ?, 0)"));
    query.addBindValue(jobId);
    query.addBindValue(dateId);
    query.addBindValue(memo);
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
}

// A day with a reminder job, a long one and a protected one.
void insertDay()
{
    insertJob(QStringLiteral("20240430090000"), QStringLiteral("20240501093000"), QStringLiteral("给王经理回电话"),
              true, false);
    insertJob(QStringLiteral("20240430090100"), QStringLiteral("20240501000000"), kLongText, false, false);
    insertJob(QStringLiteral("20240430090200"), QStringLiteral("20240501143000"),
              FieldCodec::encode(QStringLiteral("银行密码更换")), true, true);
}

void doubleClickRow(QTableView *list, int row)
{
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

void expectAllReadable(QWidget &window)
{
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TextFit::saveShot(&window, QString::fromLatin1(QTest::currentDataTag()));
    const QStringList faults = TextFit::faults(&window);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

} // namespace

class TstScheduleTextFit : public QObject
{
    Q_OBJECT

    FakePlannerHost m_host;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }
    void init()
    {
        Clock::setNow(kNow);
        m_host = FakePlannerHost();
    }
    void cleanup() { Clock::reset(); }

    void planner_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("askingPassword");
        QTest::addColumn<bool>("month");
        QTest::addColumn<qreal>("fontScale");
        QTest::newRow("planner, a day of jobs") << false << false << false << 1.0;
        QTest::newRow("planner, confirmation panel") << true << false << false << 1.0;
        QTest::newRow("planner, password area") << false << true << false << 1.0;
        QTest::newRow("planner, panel and password area") << true << true << false << 1.0;
        QTest::newRow("planner, month list") << false << false << true << 1.0;
        QTest::newRow("planner, larger font") << true << true << false << 1.5;
    }
    void planner()
    {
        QFETCH(bool, saved);
        QFETCH(bool, askingPassword);
        QFETCH(bool, month);
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        insertDay();
        m_host.password = QStringLiteral("abc");
        Tjob_do planner(m_host);
        planner.show();
        FIND_CHILD(memo, QPlainTextEdit, &planner, "Memo1");
        FIND_CHILD(save, QPushButton, &planner, "BitBtn1");
        FIND_CHILD(panel, QWidget, &planner, "gb5");
        FIND_CHILD(monthItem, QAction, &planner, "N7");
        FIND_CHILD(list, QTableView, &planner, "DBGrid1");
        FIND_CHILD(passwordArea, QWidget, &planner, "pass_box");
        if (saved) {
            memo->setPlainText(kLongText);
            save->click();
            QVERIFY(panel->isVisible());
        }
        if (month)
            monthItem->trigger();
        if (askingPassword) {
            // The protected job, planned last in the day.
            doubleClickRow(list, list->model()->rowCount() - 1);
            QVERIFY(passwordArea->isVisible());
        }
        expectAllReadable(planner);
    }

    void completionLog_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("completion");
        QTest::addColumn<qreal>("fontScale");
        QTest::addColumn<bool>("sharedId"); // another job of an old store has its id
        QTest::newRow("log, no entries") << 0 << "未完成.." << 1.0 << false;
        QTest::newRow("log, entries of a finished job") << 3 << "20240503174501" << 1.0 << false;
        QTest::newRow("log, larger font") << 3 << "20240503174501" << 1.5 << false;
        QTest::newRow("log, id shared") << 3 << "20240503174501" << 1.0 << true;
        QTest::newRow("log, id shared, larger font") << 3 << "20240503174501" << 1.5 << true;
    }
    void completionLog()
    {
        QFETCH(int, entries);
        QFETCH(QString, completion);
        QFETCH(qreal, fontScale);
        QFETCH(bool, sharedId);
        TextFit::ScaledFont font(fontScale);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        const QString id = QStringLiteral("20240430090100");
        if (sharedId)
            insertJob(id, QStringLiteral("20240501000000"), QStringLiteral("先写的"), false, false);
        insertJob(id, QStringLiteral("20240501000000"), kLongText, false, false, completion);
        for (int i = 0; i < entries; ++i)
            insertEntry(id, QStringLiteral("2024050%11200").arg(i + 2), kLongText);
        Tjob_do_sub log(Store::database());
        QVERIFY(log.load(lastJobRowid()));
        log.show();
        FIND_CHILD(note, QLabel, &log, "sharedIdNote");
        QCOMPARE(note->isVisible(), sharedId);
        expectAllReadable(log);
    }
};

QTEST_MAIN(TstScheduleTextFit)
#include "tst_schedule_text_fit.moc"
