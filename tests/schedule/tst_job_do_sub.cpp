#include "schedule/windows/Tjob_do_sub.h"
#include "ScriptedDialogs.h"
#include "store/Clock.h"
#include "store/FieldCodec.h"
#include "store/Store.h"
#include "TempStore.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

namespace {

const QDateTime kNow(QDate(2024, 5, 4), QTime(10, 15, 7));
const QString kJob = QStringLiteral("20240501080000");

void insertJob(const QString &memo, bool isProtected, const QString &completion)
{
    QSqlQuery query(Store::database());
    query.prepare(QStringLiteral("INSERT INTO job_do VALUES (?, '20240501093000', ?, 1, ?, ?)"));
    query.addBindValue(kJob);
    query.addBindValue(memo);
    query.addBindValue(isProtected);
    query.addBindValue(completion);
    QVERIFY(query.exec());
}

void insertEntry(const QString &jobId, const QString &dateId, const QString &memo, bool isProtected)
{
    QSqlQuery query(Store::database());
    query.prepare(QStringLiteral("INSERT INTO job_do_sub VALUES (?, ?, ?, ?)"));
    query.addBindValue(jobId);
    query.addBindValue(dateId);
    query.addBindValue(memo);
    query.addBindValue(isProtected);
    QVERIFY(query.exec());
}

struct StoredEntry
{
    QString dateId, memo;
    bool isProtected = false;
};

QList<StoredEntry> storedEntries()
{
    QSqlQuery query(Store::database());
    query.exec(QStringLiteral("SELECT date_id, job_memo_sub, e_dec_yn FROM job_do_sub ORDER BY rowid"));
    QList<StoredEntry> entries;
    while (query.next())
        entries.append({query.value(0).toString(), query.value(1).toString(), query.value(2).toBool()});
    return entries;
}

// The row of the first job saved under `id`, as the planner's list knows it.
qint64 jobRowid(const QString &id = kJob)
{
    QSqlQuery query(Store::database());
    query.prepare(QStringLiteral("SELECT rowid FROM job_do WHERE id = ? ORDER BY rowid LIMIT 1"));
    query.addBindValue(id);
    return query.exec() && query.next() ? query.value(0).toLongLong() : -1;
}

QString completion()
{
    QSqlQuery query(Store::database());
    query.exec(QStringLiteral("SELECT complete_yn FROM job_do"));
    query.next();
    return query.value(0).toString();
}

// The days the log lists (without the list: a line naming it, which no
// comparison expects).
QStringList listed(const Tjob_do_sub &log)
{
    const QString name = QStringLiteral("DBGrid1");
    const auto *list = Widgets::find<QTableView>(&log, name);
    if (!list)
        return {QString::fromUtf8(Widgets::missing<QTableView>(&log, name))};
    QStringList days;
    const QAbstractItemModel *model = list->model();
    for (int r = 0; r < model->rowCount(); ++r)
        days << model->index(r, 0).data().toString();
    return days;
}

} // namespace

class TstJobDoSub : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }
    void init() { Clock::setNow(kNow); }
    void cleanup() { Clock::reset(); }

    void showsTheJob_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("isProtected");
        QTest::addColumn<QString>("completion");
        QTest::addColumn<QString>("state");
        QTest::newRow("open") << "打电话" << false << "未完成.."
                              << "未完成..";
        QTest::newRow("done") << "打电话" << false << "20240503174501"
                              << "于2024-05-03结束";
        QTest::newRow("protected") << FieldCodec::encode("打电话") << true << "未完成.."
                                   << "未完成..";
    }
    void showsTheJob()
    {
        QFETCH(QString, stored);
        QFETCH(bool, isProtected);
        QFETCH(QString, completion);
        QFETCH(QString, state);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        insertJob(stored, isProtected, completion);
        Tjob_do_sub log(Store::database());
        QVERIFY(log.load(jobRowid()));
        QCOMPARE(log.windowTitle(), QStringLiteral("工作细节"));
        FIND_CHILD(dateLabel, QLabel, &log, "Label6");
        QCOMPARE(dateLabel->text(), QStringLiteral("2024-05-01"));
        FIND_CHILD(memo, QPlainTextEdit, &log, "Memo1");
        QCOMPARE(memo->toPlainText(), QStringLiteral("打电话"));
        FIND_CHILD(stateLabel, QLabel, &log, "Label7");
        QCOMPARE(stateLabel->text(), state);
        QVERIFY(listed(log).isEmpty());
        FIND_CHILD(memo3, QPlainTextEdit, &log, "Memo3");
        QCOMPARE(memo3->toPlainText(), QStringLiteral("没有记录内容...."));
    }

    void entriesInStoreOrder()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        insertJob("job", false, "未完成..");
        insertEntry(kJob, "20240503120000", "later day, written first", false);
        insertEntry("20240101000000", "20240502000000", "another job's", false);
        insertEntry(kJob, "20240502090000", FieldCodec::encode("保密"), true);
        Tjob_do_sub log(Store::database());
        QVERIFY(log.load(jobRowid()));
        log.show();
        QCOMPARE(listed(log), (QStringList{"2024-05-03", "2024-05-02"}));
        FIND_CHILD(text, QPlainTextEdit, &log, "Memo3");
        QCOMPARE(text->toPlainText(), QStringLiteral("later day, written first"));
        FIND_CHILD(list, QTableView, &log, "DBGrid1");
        list->setCurrentIndex(list->model()->index(1, 0));
        QCOMPARE(text->toPlainText(), QStringLiteral("保密"));
        QCOMPARE(dialogs.shown().size(), 0);
    }

    void addEntry_data()
    {
        QTest::addColumn<bool>("protect");
        QTest::addColumn<QString>("stored");
        QTest::newRow("plain") << false << "已联系 ";
        QTest::newRow("protected") << true << FieldCodec::encode("已联系 ");
    }
    void addEntry()
    {
        QFETCH(bool, protect);
        QFETCH(QString, stored);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        insertJob("job", false, "未完成..");
        Tjob_do_sub log(Store::database());
        QVERIFY(log.load(jobRowid()));
        log.show();
        Clock::advance(5 * 60 * 1000); // the picker keeps the time it was set to
        FIND_CHILD(picker, QDateEdit, &log, "dp1");
        picker->setDate(QDate(2024, 5, 2));
        FIND_CHILD(protectBox, QCheckBox, &log, "CheckBox1");
        protectBox->setChecked(protect);
        FIND_CHILD(memo2, QPlainTextEdit, &log, "Memo2");
        memo2->setPlainText("已联系 ");
        FIND_CHILD(save, QPushButton, &log, "BitBtn1");
        save->click();

        const QList<StoredEntry> entries = storedEntries();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].dateId, QStringLiteral("20240502101507"));
        QCOMPARE(entries[0].memo, stored);
        QCOMPARE(entries[0].isProtected, protect);
        QCOMPARE(completion(), QStringLiteral("未完成.."));
        QCOMPARE(dialogs.texts(), QStringList{Tjob_do_sub::kEntrySaved});
        QCOMPARE(listed(log), QStringList{"2024-05-02"});
        FIND_CHILD(memo3, QPlainTextEdit, &log, "Memo3");
        QCOMPARE(memo3->toPlainText(), QStringLiteral("已联系 "));
        // The new-entry area is reset: picker at now, no protection, no text.
        QCOMPARE(picker->date(), kNow.date());
        QVERIFY(!protectBox->isChecked());
        QVERIFY(memo2->toPlainText().isEmpty());
        memo2->setPlainText("again");
        save->click();
        QCOMPARE(storedEntries().last().dateId, QStringLiteral("20240504102007"));
    }

    void blankEntryIsRefused()
    {
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        insertJob("job", false, "未完成..");
        Tjob_do_sub log(Store::database());
        QVERIFY(log.load(jobRowid()));
        FIND_CHILD(memo2, QPlainTextEdit, &log, "Memo2");
        memo2->setPlainText(" \n ");
        FIND_CHILD(protectBox, QCheckBox, &log, "CheckBox1");
        protectBox->setChecked(true);
        FIND_CHILD(save, QPushButton, &log, "BitBtn1");
        save->click();
        QCOMPARE(dialogs.texts(), QStringList{Tjob_do_sub::kEmptyEntry});
        QVERIFY(storedEntries().isEmpty());
        QCOMPARE(memo2->toPlainText(), QStringLiteral(" \n "));
        QVERIFY(protectBox->isChecked());
    }

    void undecodableText_data()
    {
        QTest::addColumn<bool>("jobBroken");
        QTest::addColumn<bool>("firstEntryBroken");
        QTest::addColumn<bool>("shown");
        QTest::newRow("job") << true << false << false;
        QTest::newRow("first entry") << false << true << false;
        QTest::newRow("later entry") << false << false << true;
    }
    void undecodableText()
    {
        QFETCH(bool, jobBroken);
        QFETCH(bool, firstEntryBroken);
        QFETCH(bool, shown);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        const QString broken = QStringLiteral("不是*编码");
        insertJob(jobBroken ? broken : FieldCodec::encode("ok"), true, "未完成..");
        insertEntry(kJob, "20240501000000", firstEntryBroken ? broken : QStringLiteral("first"), firstEntryBroken);
        insertEntry(kJob, "20240502000000", broken, true);
        Tjob_do_sub log(Store::database());
        QCOMPARE(log.load(jobRowid()), shown);
        if (shown) {
            QCOMPARE(dialogs.shown().size(), 0);
            FIND_CHILD(list, QTableView, &log, "DBGrid1");
            list->setCurrentIndex(list->model()->index(1, 0));
            FIND_CHILD(memo3, QPlainTextEdit, &log, "Memo3");
            QVERIFY(memo3->toPlainText().isEmpty());
        }
        const auto boxes = dialogs.shown();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].kind, Dialogs::Kind::Error);
        QCOMPARE(boxes[0].text, QStringLiteral("Coding table entry not found."));
    }

    // "取消", Esc, the title bar and "重写" drop a typed entry only when the
    // user agrees; an empty entry, or one just saved, goes without a question.
    void typedEntryIsDroppedOnlyWhenAgreed_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("saveFirst");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("agree");
        for (const QString &action :
             {QStringLiteral("取消"), QStringLiteral("Esc"), QStringLiteral("title bar"), QStringLiteral("重写")}) {
            const auto row = [&](const char *tag) -> QTestData & {
                return QTest::addRow("%s, %s", qPrintable(action), tag) << action;
            };
            row("nothing typed") << QString() << false << false << false;
            row("white space") << QStringLiteral(" \n ") << false << false << false;
            row("typed, Yes") << QStringLiteral("已办") << false << true << true;
            row("typed, No") << QStringLiteral("已办") << false << true << false;
            row("saved") << QStringLiteral("已办") << true << false << false;
        }
    }
    void typedEntryIsDroppedOnlyWhenAgreed()
    {
        QFETCH(QString, action);
        QFETCH(QString, typed);
        QFETCH(bool, saveFirst);
        QFETCH(bool, asked);
        QFETCH(bool, agree);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        insertJob("job", false, "未完成..");
        QPointer<Tjob_do_sub> log = new Tjob_do_sub(Store::database());
        QVERIFY(log->load(jobRowid()));
        log->setAttribute(Qt::WA_DeleteOnClose);
        log->show();
        QVERIFY(QTest::qWaitForWindowExposed(log));
        FIND_CHILD(memo2, QPlainTextEdit, log.data(), "Memo2");
        memo2->setPlainText(typed);
        if (saveFirst) {
            FIND_CHILD(save, QPushButton, log.data(), "BitBtn1");
            save->click();
            QCOMPARE(dialogs.texts(), QStringList{Tjob_do_sub::kEntrySaved});
        }
        if (asked)
            dialogs.answer(agree ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        if (action == QStringLiteral("Esc")) {
            QTest::keyClick(memo2, Qt::Key_Escape);
        } else if (action == QStringLiteral("title bar")) {
            log->close();
        } else {
            FIND_CHILD(pressed, QPushButton, log.data(), action == QStringLiteral("取消") ? "BitBtn2" : "BitBtn3");
            pressed->click();
        }

        const QByteArray unexpected = dialogs.unexpectedDropQuestion(asked);
        QVERIFY2(unexpected.isEmpty(), unexpected.constData());
        const bool dropped = !asked || agree;
        if (action == QStringLiteral("重写") || !dropped) {
            QVERIFY(log && log->isVisible());
            QCOMPARE(memo2->toPlainText(), dropped ? QString() : typed);
            delete log;
        } else {
            QTRY_VERIFY(log.isNull());
        }
        QCOMPARE(storedEntries().size(), saveFirst ? 1 : 0);
    }

    // Two jobs of an old store share an id: the log shows the job chosen,
    // lists the entries of that id, and says they are shared.
    void showsTheChosenJobAndSaysWhenItsIdIsShared_data()
    {
        QTest::addColumn<int>("jobs");
        QTest::addColumn<int>("chosen");
        QTest::newRow("one job") << 1 << 0;
        QTest::newRow("first of two") << 2 << 0;
        QTest::newRow("second of two") << 2 << 1;
    }
    void showsTheChosenJobAndSaysWhenItsIdIsShared()
    {
        QFETCH(int, jobs);
        QFETCH(int, chosen);
        const QStringList texts{QStringLiteral("第一条"), QStringLiteral("第二条")};
        const QStringList completions{QStringLiteral("未完成.."), QStringLiteral("20240503174501")};
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        for (int i = 0; i < jobs; ++i)
            insertJob(texts[i], false, completions[i]);
        insertEntry(kJob, QStringLiteral("20240502100000"), QStringLiteral("共用的记录"), false);
        QSqlQuery rows(Store::database());
        QVERIFY(rows.exec(QStringLiteral("SELECT rowid FROM job_do ORDER BY rowid")));
        QList<qint64> rowids;
        while (rows.next())
            rowids << rows.value(0).toLongLong();
        QCOMPARE(rowids.size(), jobs);

        Tjob_do_sub log(Store::database());
        QVERIFY(log.load(rowids[chosen]));
        FIND_CHILD(memo1, QPlainTextEdit, &log, "Memo1");
        FIND_CHILD(state, QLabel, &log, "Label7");
        FIND_CHILD(shared, QLabel, &log, "sharedIdNote");
        QCOMPARE(memo1->toPlainText(), texts[chosen]);
        QCOMPARE(state->text(), chosen == 0 ? QStringLiteral("未完成..") : QStringLiteral("于2024-05-03结束"));
        QCOMPARE(shared->isVisibleTo(&log), jobs > 1);
        if (jobs > 1)
            QCOMPARE(shared->text(),
                     QStringLiteral("另有1条工作安排与本条共用编号,右边的完成记录(包括新增的)为它们共有。"));
        QCOMPARE(listed(log).size(), 1);
    }
};

QTEST_MAIN(TstJobDoSub)
#include "tst_job_do_sub.moc"
