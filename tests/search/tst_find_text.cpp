// The search window driven as a user drives it.
#include "ScriptedDialogs.h"
#include "search/windows/Tfind_text.h"
#include "store/FieldCodec.h"
#include "store/Sql.h"
#include "store/Store.h"
#include "TempStore.h"
#include "TextFit.h"
#include "Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

qint64 insert(const QString &statement, const QVariantList &values)
{
    const Result<QSqlQuery> done = Sql::run(Store::database(), statement, values);
    return done ? done->lastInsertId().toLongLong() : -1;
}

// The window with the controls a user touches.
struct Window
{
    std::unique_ptr<Tfind_text> window;
    QLineEdit *term = nullptr;
    QPushButton *find = nullptr;
    QCheckBox *protectedToo = nullptr;
    QLabel *status = nullptr;
    QTableView *list = nullptr;

    Result<void> make(const Tfind_text::Setup &setup)
    {
        window = std::make_unique<Tfind_text>(setup);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return fail(QStringLiteral("the window is not shown"));
        for (Result<void> found : {Widgets::take(term, window.get(), QStringLiteral("Edit1")),
                                   Widgets::take(find, window.get(), QStringLiteral("BitBtn1")),
                                   Widgets::take(protectedToo, window.get(), QStringLiteral("CheckBox1")),
                                   Widgets::take(status, window.get(), QStringLiteral("Label2")),
                                   Widgets::take(list, window.get(), QStringLiteral("DBGrid1"))}) {
            if (!found)
                return found;
        }
        return {};
    }

    void search(const QString &text)
    {
        term->setText(text);
        QTest::mouseClick(find, Qt::LeftButton);
    }

    int rows() const { return list->model()->rowCount(); }
    QString cell(int row, int column) const { return list->model()->index(row, column).data().toString(); }
};

} // namespace

class TstFindText : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store = std::make_unique<TempStore>();
        VERIFY_OK(m_store->make());
        m_note = insert(QStringLiteral("INSERT INTO note_pad (date_id, note_memo) VALUES ('20240501073012', ?)"),
                        {FieldCodec::encode(QStringLiteral("今天要见东方精密的陈经理,先把报价单再核对一遍。"))});
        m_job = insert(QStringLiteral("INSERT INTO job_do (id, date_id, job_memo) VALUES ('20240501080000', "
                                      "'20240502093000', '给陈经理回电话确认报价')"),
                       {});
        m_secret = insert(QStringLiteral("INSERT INTO job_do (id, date_id, job_memo, e_dec_yn) VALUES "
                                         "('20240501080300', '20240503000000', ?, 1)"),
                          {FieldCodec::encode(QStringLiteral("续签仓库租赁合同,报价另谈"))});
        QVERIFY(m_note > 0 && m_job > 0 && m_secret > 0);
        m_opened.clear();
    }
    void cleanup() { m_store.reset(); }

    void typedTextListsTheHitsNewestFirst()
    {
        Window w;
        VERIFY_OK(w.make(plannerSetup(QStringLiteral("secret"))));
        QCOMPARE(w.window->windowTitle(), QStringLiteral("查找日记和日程"));
        w.search(QStringLiteral("陈经理"));
        QCOMPARE(w.rows(), 2);
        QCOMPARE(w.cell(0, 0), QStringLiteral("2024-05-02"));
        QCOMPARE(w.cell(0, 1), QStringLiteral("日程"));
        QCOMPARE(w.cell(0, 2), QStringLiteral("给陈经理回电话确认报价"));
        QCOMPARE(w.cell(1, 0), QStringLiteral("2024-05-01 07:30"));
        QCOMPARE(w.cell(1, 1), QStringLiteral("日记"));
        QVERIFY(w.status->text().startsWith(QStringLiteral("找到 2 条记录")));
        QVERIFY(w.status->text().contains(QStringLiteral("加密的日程需要密码")));
        // The match is marked where it stands in the text.
        const QPoint match = w.list->model()->index(1, 2).data(SearchHitModel::kMatchRole).toPoint();
        QCOMPARE(w.cell(1, 2).mid(match.x(), match.y()), QStringLiteral("陈经理"));
        // Enter in the box searches too.
        w.term->setText(QStringLiteral("出差"));
        QTest::keyClick(w.term, Qt::Key_Return);
        QCOMPARE(w.rows(), 0);
        QCOMPARE(w.status->text(), QStringLiteral("没有找到含有“出差”的记录(加密的日程需要密码,没有查找)"));
    }

    void emptyTextIsRefused()
    {
        ScriptedDialogs dialogs;
        Window w;
        VERIFY_OK(w.make(plannerSetup(std::nullopt)));
        w.search(QStringLiteral("   "));
        QCOMPARE(dialogs.texts(), QStringList{Tfind_text::kEmpty});
        QCOMPARE(w.rows(), 0);
    }

    void doubleClickAndEnterOpenTheHit()
    {
        Window w;
        VERIFY_OK(w.make(plannerSetup(std::nullopt)));
        w.search(QStringLiteral("报价"));
        QCOMPARE(w.rows(), 3);
        const QRect second = w.list->visualRect(w.list->model()->index(1, 2));
        QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, second.center());
        QTest::mouseDClick(w.list->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened[0].kind, SearchHit::Kind::Job);
        QCOMPARE(m_opened[0].rowid, m_job);
        QCOMPARE(m_opened[0].stamp, QStringLiteral("20240502093000"));
        w.list->setCurrentIndex(w.list->model()->index(2, 0));
        QTest::keyClick(w.list, Qt::Key_Return);
        QCOMPARE(m_opened.size(), 2);
        QCOMPARE(m_opened[1].kind, SearchHit::Kind::Note);
        QCOMPARE(m_opened[1].rowid, m_note);
    }

    // Protected jobs are listed only after the launcher's password was
    // given here; with no password set there is nothing to give.
    void protectedJobsAfterThePassword()
    {
        ScriptedDialogs dialogs;
        Window w;
        VERIFY_OK(w.make(plannerSetup(QStringLiteral("secret"))));
        QVERIFY(w.protectedToo->isEnabled());
        w.search(QStringLiteral("报价"));
        QCOMPARE(w.rows(), 2);
        dialogs.answer(Dialogs::Answer::Ok, QStringLiteral("wrong"));
        w.protectedToo->click();
        QCOMPARE(dialogs.texts(), (QStringList{QStringLiteral(" "), Tfind_text::kWrongPassword}));
        QVERIFY(!w.protectedToo->isChecked());
        QCOMPARE(w.rows(), 2);
        dialogs.answer(Dialogs::Answer::Cancel);
        w.protectedToo->click();
        QVERIFY(!w.protectedToo->isChecked());
        dialogs.texts();
        dialogs.answer(Dialogs::Answer::Ok, QStringLiteral("secret"));
        w.protectedToo->click();
        QVERIFY(w.protectedToo->isChecked());
        QCOMPARE(w.rows(), 3);
        QCOMPARE(w.cell(0, 1), QStringLiteral("日程(加密)"));
        QCOMPARE(w.cell(0, 2), QStringLiteral("续签仓库租赁合同,报价另谈"));
        // Unticked, they go again.
        w.protectedToo->click();
        QCOMPARE(w.rows(), 2);
    }

    void noPasswordSetListsEverything()
    {
        Window w;
        VERIFY_OK(w.make(plannerSetup(std::nullopt)));
        QVERIFY(w.protectedToo->isChecked());
        QVERIFY(!w.protectedToo->isEnabled());
        w.search(QStringLiteral("报价"));
        QCOMPARE(w.rows(), 3);
        QCOMPARE(w.status->text(), QStringLiteral("找到 3 条记录"));
    }

    // From the history browser: the diary is open, the launcher's password
    // is not known there, so protected jobs stay out.
    void fromTheDiary()
    {
        Window w;
        VERIFY_OK(w.make({Store::database(), {}, true, [this](const SearchHit &hit) { m_opened << hit; }}));
        QVERIFY(!w.protectedToo->isEnabled());
        w.search(QStringLiteral("报价"));
        QCOMPARE(w.rows(), 2);
    }

    // From the planner, notes are listed when the diary is not behind the
    // password, or once the password was given.
    void diaryBehindThePassword()
    {
        VERIFY_OK(Sql::run(Store::database(), QStringLiteral("INSERT INTO public_code (pub_id, pub_code, "
                                                             "pub_static_do_n) VALUES ('2', 'x', 1)")));
        ScriptedDialogs dialogs;
        Window w;
        VERIFY_OK(w.make(plannerSetup(QStringLiteral("secret"))));
        w.search(QStringLiteral("陈经理"));
        QCOMPARE(w.rows(), 1);
        QVERIFY(w.status->text().contains(QStringLiteral("日记和加密的日程需要密码")));
        dialogs.answer(Dialogs::Answer::Ok, QStringLiteral("secret"));
        w.protectedToo->click();
        QCOMPARE(w.rows(), 2);
    }

    void textFits_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("desktop font") << 1.0;
        QTest::newRow("larger text") << 1.5;
    }
    void textFits()
    {
        QFETCH(qreal, scale);
        TextFit::ScaledFont font(scale);
        insert(QStringLiteral("INSERT INTO job_do_sub (id, date_id, job_memo_sub, e_dec_yn) VALUES ('20240501080300', "
                              "'20240504000000', ?, 1)"),
               {FieldCodec::encode(QStringLiteral(
                   "一二三四五六七八九十一二三四五六七八九十报价一二三四五六七八九十一二三四五六七八九十"))});
        Window w;
        VERIFY_OK(w.make(plannerSetup(std::nullopt)));
        QStringList faults = TextFit::faults(w.window.get());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
        w.search(QStringLiteral("报价"));
        QCOMPARE(w.rows(), 4);
        QCOMPARE(w.cell(0, 1), QStringLiteral("完成记录(加密)"));
        TextFit::saveShot(w.window.get(), QStringLiteral("find_text_%1").arg(scale));
        faults = TextFit::faults(w.window.get());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

private:
    Tfind_text::Setup plannerSetup(std::optional<QString> password)
    {
        return {Store::database(), [password] { return password; }, false,
                [this](const SearchHit &hit) { m_opened << hit; }};
    }

    std::unique_ptr<TempStore> m_store;
    qint64 m_note = -1;
    qint64 m_job = -1;
    qint64 m_secret = -1;
    QList<SearchHit> m_opened;
};

QTEST_MAIN(TstFindText)
#include "tst_find_text.moc"
