#include "diary/windows/This_note_pad.h"
#include "diary/windows/Tnote_pad.h"
#include "ScriptedDialogs.h"
#include "store/Clock.h"
#include "store/FieldCodec.h"
#include "store/Store.h"
#include "TempStore.h"
#include "TextFit.h"
#include "Widgets.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QToolButton>

// Every caption of the diary's windows can be read whole, with or without
// notes, at the fonts of this desktop and at larger ones.
namespace {

// One note a day, each written at a minute to midnight.
void storeNotes(int count)
{
    QSqlDatabase database = Store::database();
    QVERIFY(database.transaction());
    QSqlQuery sql(database);
    QVERIFY(sql.prepare(QStringLiteral("insert into note_pad (date_id, note_memo) values (?, ?)")));
    const QDateTime first(QDate(2022, 1, 1), QTime(23, 59, 59));
    for (int i = 0; i < count; ++i) {
        sql.addBindValue(first.addDays(i).toString(QStringLiteral("yyyyMMddhhmmss")));
        sql.addBindValue(FieldCodec::encode(QStringLiteral("今天和客户谈妥了合同,心情不错。")));
        QVERIFY2(sql.exec(), qPrintable(sql.lastError().text()));
    }
    QVERIFY(database.commit());
}

void expectAllReadable(QWidget &window)
{
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TextFit::saveShot(&window, QString::fromLatin1(QTest::currentDataTag()));
    const QStringList faults = TextFit::faults(&window);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

} // namespace

class TstDiaryTextFit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }
    void cleanup() { Clock::reset(); }

    void editor_data()
    {
        QTest::addColumn<qreal>("fontScale");
        QTest::newRow("editor") << 1.0;
        QTest::newRow("editor, larger font") << 1.5;
    }
    void editor()
    {
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        Clock::setNow(QDateTime(QDate(2024, 12, 28), QTime(23, 59, 59)));
        Tnote_pad editor(Store::database());
        editor.show();
        expectAllReadable(editor);
    }

    void history_data()
    {
        QTest::addColumn<int>("notes");
        QTest::addColumn<qreal>("fontScale");
        QTest::newRow("history, no notes") << 0 << 1.0;
        QTest::newRow("history, a thousand notes") << 1000 << 1.0;
        QTest::newRow("history, larger font") << 1000 << 1.5;
    }
    void history()
    {
        QFETCH(int, notes);
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        ScriptedDialogs dialogs;
        TempStore store;
        VERIFY_OK(store.make());
        storeNotes(notes);
        This_note_pad browser(Store::database());
        browser.show();
        // The oldest note: the position counter as long as the total.
        FIND_CHILD(last, QToolButton, &browser, "sp4");
        last->click();
        expectAllReadable(browser);
    }
};

QTEST_MAIN(TstDiaryTextFit)
#include "tst_diary_text_fit.moc"
