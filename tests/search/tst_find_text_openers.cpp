// The search window as the history browser and the planner open it, and
// what each does with the hit the user chooses.
#include "diary/windows/This_note_pad.h"
#include "FakePlannerHost.h"
#include "schedule/windows/Tjob_do.h"
#include "search/windows/Tfind_text.h"
#include "store/FieldCodec.h"
#include "store/Sql.h"
#include "store/Store.h"
#include "TempStore.h"
#include "Widgets.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

qint64 insert(const QString &statement, const QVariantList &values = {})
{
    const Result<QSqlQuery> done = Sql::run(Store::database(), statement, values);
    return done ? done->lastInsertId().toLongLong() : -1;
}

// Opens the search from `window`'s menu and searches `term`.
Result<Tfind_text *> searchFrom(QWidget *window, const QString &term)
{
    QAction *open = nullptr;
    for (QMenu *menu : window->findChildren<QMenu *>()) {
        if (QAction *action = menu->findChild<QAction *>(Tfind_text::kAction))
            open = action;
    }
    if (!open)
        return fail(QStringLiteral("no search in the menu"));
    if (open->text() != QStringLiteral("查找日记和日程..."))
        return fail(QStringLiteral("the search reads ") + open->text());
    open->trigger();
    auto *search = window->findChild<Tfind_text *>();
    QLineEdit *box = nullptr;
    QPushButton *find = nullptr;
    if (!search || !QTest::qWaitForWindowExposed(search))
        return fail(QStringLiteral("no search window"));
    for (Result<void> found :
         {Widgets::take(box, search, QStringLiteral("Edit1")), Widgets::take(find, search, QStringLiteral("BitBtn1"))})
        if (!found)
            return fail(found.error());
    box->setText(term);
    find->click();
    return search;
}

void activate(Tfind_text *search, int row)
{
    auto *list = search->findChild<QTableView *>(QStringLiteral("DBGrid1"));
    QVERIFY(list);
    QVERIFY(row < list->model()->rowCount());
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

} // namespace

class TstFindTextOpeners : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store = std::make_unique<TempStore>();
        VERIFY_OK(m_store->make());
        for (const char *stamp : {"20240401080000", "20240501073012", "20240601090000"})
            insert(QStringLiteral("INSERT INTO note_pad (date_id, note_memo) VALUES (?, ?)"),
                   {QString::fromLatin1(stamp), FieldCodec::encode(QStringLiteral("普通的一天"))});
        VERIFY_OK(Sql::run(Store::database(),
                           QStringLiteral("UPDATE note_pad SET note_memo = ? WHERE date_id = '20240501073012'"),
                           {FieldCodec::encode(QStringLiteral("见了陈经理"))}));
        m_note = Sql::scalar(Store::database(),
                             QStringLiteral("SELECT rowid FROM note_pad WHERE date_id = '20240501073012'"))
                     ->toLongLong();
        insert(QStringLiteral("INSERT INTO job_do (id, date_id, job_memo, complete_yn) VALUES "
                              "('20240101080100', '20240502093000', '部门周会', '未完成..')"));
        m_job = insert(QStringLiteral("INSERT INTO job_do (id, date_id, job_memo, complete_yn) VALUES "
                                      "('20240101080000', '20240502100000', '给陈经理回电话', '未完成..')"));
        m_entry = insert(QStringLiteral("INSERT INTO job_do_sub (id, date_id, job_memo_sub) VALUES "
                                        "('20240101080000', '20240503101507', '陈经理已确认')"));
        QVERIFY(m_job > 0 && m_entry > 0);
    }
    void cleanup() { m_store.reset(); }

    void historyBrowserShowsTheNoteChosen()
    {
        This_note_pad browser(Store::database());
        browser.show();
        FIND_CHILD(time, QLabel, &browser, "Label6");
        FIND_CHILD(position, QLabel, &browser, "Label5");
        QCOMPARE(position->text(), QStringLiteral("1"));
        Result<Tfind_text *> search = searchFrom(&browser, QStringLiteral("陈经理"));
        VERIFY_OK(search);
        // Newest first: the entry, the job, the note.
        activate(*search, 2);
        QCOMPARE(position->text(), QStringLiteral("2"));
        QVERIFY(time->text().startsWith(QStringLiteral("2024年05月01日")));
    }

    // The planner is not the diary's to open: the browser hands the job on.
    void historyBrowserHandsJobsOn()
    {
        This_note_pad browser(Store::database());
        browser.show();
        QSignalSpy chosen(&browser, &This_note_pad::jobChosen);
        Result<Tfind_text *> search = searchFrom(&browser, QStringLiteral("陈经理"));
        VERIFY_OK(search);
        activate(*search, 0);
        activate(*search, 1);
        QCOMPARE(chosen.size(), 2);
        // An entry opens the day of its job.
        QCOMPARE(chosen[0][0].toDate(), QDate(2024, 5, 2));
        QCOMPARE(chosen[0][1].toLongLong(), m_job);
        QCOMPARE(chosen[1][0].toDate(), QDate(2024, 5, 2));
        QCOMPARE(chosen[1][1].toLongLong(), m_job);
    }

    void plannerShowsTheJobChosen()
    {
        FakePlannerHost host;
        Tjob_do planner(host);
        planner.show();
        QSignalSpy chosen(&planner, &Tjob_do::noteChosen);
        Result<Tfind_text *> search = searchFrom(&planner, QStringLiteral("陈经理"));
        VERIFY_OK(search);
        activate(*search, 1);
        FIND_CHILD(list, QTableView, &planner, "DBGrid1");
        QCOMPARE(list->model()->rowCount(), 2);
        QCOMPARE(list->currentIndex().row(), 1);
        FIND_CHILD(day, QLineEdit, &planner, "Edit1");
        QVERIFY(!day->text().isEmpty());
        // The note goes to the diary.
        activate(*search, 2);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen[0][0].toLongLong(), m_note);
    }

private:
    std::unique_ptr<TempStore> m_store;
    qint64 m_note = -1;
    qint64 m_job = -1;
    qint64 m_entry = -1;
};

QTEST_MAIN(TstFindTextOpeners)
#include "tst_find_text_openers.moc"
