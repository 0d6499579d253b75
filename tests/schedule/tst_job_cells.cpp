#include "schedule/core/JobCells.h"
#include "schedule/core/JobForm.h"
#include "store/FieldCodec.h"

#include <QTest>

class TstJobCells : public QObject
{
    Q_OBJECT

private slots:
    void leadingBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        const QString twelve = QStringLiteral("一二三四五六七八九十百千");
        QTest::newRow("ascii cut at twenty") << QString(25, u'x') << QString(20, u'x');
        QTest::newRow("twelve Chinese show ten") << twelve << twelve.left(10);
        QTest::newRow("straddling character dropped") << (u'a' + twelve) << (u'a' + twelve.left(9));
        QTest::newRow("four-byte character dropped") << (QString(18, u'x') + QStringLiteral("😀")) << QString(18, u'x');
        QTest::newRow("short text whole") << QStringLiteral("备忘 A") << QStringLiteral("备忘 A");
        QTest::newRow("protected shows Base64 start")
            << FieldCodec::encode(twelve) << FieldCodec::encode(twelve).left(20);
    }
    void leadingBytes()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(JobCells::leadingBytes(text), shown);
        QVERIFY(FieldCodec::textToBytes(JobCells::leadingBytes(text)).size() <= 20);
    }

    void cells()
    {
        QCOMPARE(JobCells::dayListMemo({}), QStringLiteral("本日没有工作安排 ....."));
        QCOMPARE(JobCells::panelMemo({}), QString());
        QCOMPARE(JobCells::day(QStringLiteral("20240501093000")), QStringLiteral("2024-05-01"));
        QCOMPARE(JobCells::day({}), QString());
        QCOMPARE(JobCells::reminder(true, QStringLiteral("20240501093000")), QStringLiteral("提醒于  09:30"));
        QCOMPARE(JobCells::reminder(false, QStringLiteral("20240501000000")), QStringLiteral("不提醒"));
        QCOMPARE(JobCells::completion(QStringLiteral("未完成..")), QStringLiteral("未完成.."));
        QCOMPARE(JobCells::completion(QStringLiteral("20240503174501")), QStringLiteral("于2024-05-03结束"));
    }

    void sharedIdIsSaidOnlyWhenAnotherJobHasIt_data()
    {
        QTest::addColumn<int>("jobsWithId");
        QTest::addColumn<QString>("note");
        QTest::newRow("gone") << 0 << QString();
        QTest::newRow("its own") << 1 << QString();
        QTest::newRow("one other") << 2
                                   << QStringLiteral(
                                          "另有1条工作安排与本条共用编号,右边的完成记录(包括新增的)为它们共有。");
        QTest::newRow("two others") << 3
                                    << QStringLiteral(
                                           "另有2条工作安排与本条共用编号,右边的完成记录(包括新增的)为它们共有。");
    }
    void sharedIdIsSaidOnlyWhenAnotherJobHasIt()
    {
        QFETCH(int, jobsWithId);
        QFETCH(QString, note);
        QCOMPARE(JobCells::sharedId(jobsWithId), note);
    }

    // What Esc, 取消 and 重写 ask about in the planner and the log, whose
    // text areas start empty and are emptied by each save.
    void unsavedIsTextWorthSaving_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("unsaved");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blanks and line breaks") << " \t\r\n " << false;
        QTest::newRow("ideographic space") << QStringLiteral("\u3000") << false;
        QTest::newRow("typed among blanks") << "\n 开会 " << true;
    }
    void unsavedIsTextWorthSaving()
    {
        QFETCH(QString, text);
        QFETCH(bool, unsaved);
        QCOMPARE(JobForm::holdsUnsaved(text), unsaved);
    }

    void build_data()
    {
        QTest::addColumn<bool>("reminder");
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("protect");
        QTest::addColumn<QString>("dateId");
        QTest::addColumn<QString>("memo");
        QTest::newRow("reminder") << true << "09:30" << false << "20240501093000"
                                  << "A";
        QTest::newRow("one-digit hour") << true << "9:05" << false << "20240501090500"
                                        << "A";
        QTest::newRow("no reminder ignores the box") << false << "" << false << "20240501000000"
                                                     << "A";
        QTest::newRow("protected") << false << "09:30" << true << "20240501000000"
                                   << "QQ==";
    }
    void build()
    {
        QFETCH(bool, reminder);
        QFETCH(QString, time);
        QFETCH(bool, protect);
        QFETCH(QString, dateId);
        QFETCH(QString, memo);
        const auto built = JobForm::build({QDate(2024, 5, 1), reminder, time, protect, "A"});
        QVERIFY(built);
        QCOMPARE(built->dateId, dateId);
        QCOMPARE(built->reminder, reminder);
        QCOMPARE(built->isProtected, protect);
        QCOMPARE(built->memo, memo);
        QCOMPARE(built->completion, QStringLiteral("未完成.."));
    }

    void invalidTimeStopsTheSave_data()
    {
        QTest::addColumn<QString>("time");
        QTest::newRow("blank box") << ":";
        QTest::newRow("hour 25") << "25:00";
        QTest::newRow("minute 60") << "10:60";
        QTest::newRow("one minute digit") << "10:5";
    }
    void invalidTimeStopsTheSave()
    {
        QFETCH(QString, time);
        const auto built = JobForm::build({QDate(2024, 5, 1), true, time, false, "A"});
        QVERIFY(!built);
        QCOMPARE(built.error(), QStringLiteral("'%1' is not a valid date and time").arg(time));
    }
};

QTEST_APPLESS_MAIN(TstJobCells)
#include "tst_job_cells.moc"
