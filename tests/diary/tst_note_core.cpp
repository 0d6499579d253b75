#include "diary/core/NoteHistory.h"
#include "diary/core/NotePage.h"
#include "diary/core/NoteRepository.h"
#include "store/Clock.h"
#include "store/FieldCodec.h"
#include "store/Store.h"
#include "store/TimeStamp.h"
#include "TempStore.h"

#include <QLocale>
#include <QSqlQuery>
#include <QTest>

class TstNoteCore : public QObject
{
    Q_OBJECT

    static void seed(const QStringList &stamps)
    {
        NoteRepository notes(Store::database());
        for (const QString &stamp : stamps)
            QVERIFY(notes.append(stamp, QStringLiteral("note ") + stamp).ok());
    }

    static QStringList stampsInOrder(NoteHistory &history)
    {
        QStringList stamps;
        if (history.isEmpty())
            return stamps;
        history.first();
        do
            stamps << history.current().dateId;
        while (history.next());
        return stamps;
    }

private slots:
    void cleanup()
    {
        Clock::reset();
        QLocale::setDefault(QLocale::c());
    }

    // Whatever the user's date form, reading the label back gives the stamp.
    void labelShowsTheStampedMoment_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("stamp");
        QTest::addColumn<bool>("showsTime");
        const QDateTime afternoon(QDate(2009, 3, 7), QTime(15, 4, 59, 870));
        const QDateTime midnight(QDate(2024, 5, 1), QTime(0, 0));
        for (const char *locale : {"C", "zh_CN", "en_US", "de_DE"}) {
            QTest::addRow("%s afternoon", locale) << locale << afternoon << "20090307150459" << true;
            QTest::addRow("%s midnight", locale) << locale << midnight << "20240501000000" << false;
            QTest::addRow("%s second after midnight", locale)
                << locale << midnight.addSecs(1) << "20240501000001" << true;
        }
    }
    void labelShowsTheStampedMoment()
    {
        QFETCH(QString, locale);
        QFETCH(QDateTime, now);
        QFETCH(QString, stamp);
        QFETCH(bool, showsTime);
        QLocale::setDefault(QLocale(locale));
        Clock::setNow(now);
        NotePage page;
        page.start();
        QCOMPARE(page.stamp(), stamp);
        const QString label = page.label();
        QCOMPARE(label.contains(u':'), showsTime);
        const QDateTime shown = QLocale().toDateTime(label, NotePage::labelFormat(page.moment()));
        QCOMPARE(TimeStamp::format(shown), stamp);
    }

    void onlyTextWithContentCanBeSaved_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("saveable");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blanks and line breaks") << " \t\r\n  \n" << false;
        QTest::newRow("ideographic space only") << QStringLiteral("\u3000") << false;
        QTest::newRow("one character among blanks") << "\n  中 \n" << true;
    }
    void onlyTextWithContentCanBeSaved()
    {
        QFETCH(QString, text);
        QFETCH(bool, saveable);
        QCOMPARE(NotePage::canSave(text), saveable);
    }

    // What "取消", Esc and "重写" ask about: text worth saving that differs
    // from what this page saved.
    void unsavedIsTextTheSaveDidNotTake_data()
    {
        QTest::addColumn<QString>("saved"); // the text the page saved; null for none
        QTest::addColumn<bool>("newPage");  // a page started after that save
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("unsaved");
        QTest::newRow("fresh page, empty") << QString() << false << "" << false;
        QTest::newRow("fresh page, white space") << QString() << false << " \n\t" << false;
        QTest::newRow("fresh page, typed") << QString() << false << "今天" << true;
        QTest::newRow("saved as it stands") << "今天" << false << "今天" << false;
        QTest::newRow("typed on after the save") << "今天" << false << "今天晴" << true;
        QTest::newRow("next page, same words again") << "今天" << true << "今天" << true;
    }
    void unsavedIsTextTheSaveDidNotTake()
    {
        QFETCH(QString, saved);
        QFETCH(bool, newPage);
        QFETCH(QString, text);
        QFETCH(bool, unsaved);
        NotePage page;
        page.start();
        if (!saved.isNull())
            page.markSaved(saved);
        if (newPage)
            page.start();
        QCOMPARE(page.holdsUnsaved(text), unsaved);
    }

    void timeTextIsBuiltFromTheStamp()
    {
        QCOMPARE(NoteHistory::timeText(QStringLiteral("20240501093005")), QStringLiteral("2024年05月01日  09:30:05"));
    }

    void newestFirstWithEqualStampsNewestRowFirst()
    {
        TempStore store;
        VERIFY_OK(store.make());
        seed({"20240101080000", "20240301080000", "20240201080000", "20240301080000"});
        NoteRepository notes(Store::database());
        QVERIFY(notes.append(QStringLiteral("20240301080000"), QStringLiteral("last")).ok());
        NoteHistory history(Store::database());
        QVERIFY(history.open().ok());
        QCOMPARE(history.count(), 5);
        QCOMPARE(history.position(), 1);
        QCOMPARE(history.current().text, QStringLiteral("last"));
        QCOMPARE(stampsInOrder(history), (QStringList{"20240301080000", "20240301080000", "20240301080000",
                                                      "20240201080000", "20240101080000"}));
    }

    void movesStopAtBothEnds()
    {
        TempStore store;
        VERIFY_OK(store.make());
        seed({"20240101080000", "20240201080000", "20240301080000"});
        NoteHistory history(Store::database());
        QVERIFY(history.open().ok());
        QVERIFY(!history.previous());
        QVERIFY(!history.first());
        QCOMPARE(history.position(), 1);
        QVERIFY(history.last());
        QVERIFY(!history.next());
        QCOMPARE(history.position(), 3);
        QCOMPARE(history.current().dateId, QStringLiteral("20240101080000"));
        QVERIFY(history.previous());
        QCOMPARE(history.position(), 2);
    }

    void removeMakesTheNeighbourCurrent_data()
    {
        QTest::addColumn<int>("notes");
        QTest::addColumn<int>("removed");  // position of the removed note
        QTest::addColumn<int>("position"); // position afterwards
        QTest::addColumn<QString>("shown");
        QTest::newRow("the only") << 1 << 1 << 0 << "";
        QTest::newRow("the newest") << 3 << 1 << 1 << "20240201080000";
        QTest::newRow("the middle") << 3 << 2 << 2 << "20240101080000";
        QTest::newRow("the oldest") << 3 << 3 << 2 << "20240201080000";
    }
    void removeMakesTheNeighbourCurrent()
    {
        QFETCH(int, notes);
        QFETCH(int, removed);
        QFETCH(int, position);
        QFETCH(QString, shown);
        TempStore store;
        VERIFY_OK(store.make());
        const QStringList stamps{"20240301080000", "20240201080000", "20240101080000"};
        seed(stamps.mid(0, notes));
        NoteHistory history(Store::database());
        QVERIFY(history.open().ok());
        for (int i = 1; i < removed; ++i)
            history.next();
        QVERIFY(history.removeCurrent().ok());
        QCOMPARE(history.count(), notes - 1);
        QCOMPARE(history.position(), position);
        if (!history.isEmpty())
            QCOMPARE(history.current().dateId, shown);
        // The store agrees with the list.
        NoteHistory reread(Store::database());
        QVERIFY(reread.open().ok());
        QCOMPARE(stampsInOrder(reread), stampsInOrder(history));
    }

    void rewriteKeepsTheStampAndRowsWithTheSameStamp()
    {
        TempStore store;
        VERIFY_OK(store.make());
        seed({"20240101080000", "20240101080000"});
        NoteHistory history(Store::database());
        QVERIFY(history.open().ok());
        QVERIFY(history.rewriteCurrent(QStringLiteral(" 改过 \n")).ok());
        QVERIFY(history.open().ok());
        QCOMPARE(history.current().text, QStringLiteral(" 改过 \n"));
        QCOMPARE(history.current().dateId, QStringLiteral("20240101080000"));
        history.next();
        QCOMPARE(history.current().text, QStringLiteral("note 20240101080000"));
    }

    void storeErrorsComeBackAsText()
    {
        TempStore store;
        VERIFY_OK(store.make());
        seed({"20240101080000"});
        QSqlQuery sql(Store::database());
        QVERIFY(sql.exec(QStringLiteral("create trigger refuse before insert on note_pad begin "
                                        "select raise(abort, '磁盘已满'); end")));
        NoteRepository notes(Store::database());
        const Result<void> refused = notes.append(QStringLiteral("20240102080000"), QStringLiteral("x"));
        QVERIFY(!refused);
        QCOMPARE(refused.error(), QStringLiteral("磁盘已满"));
        NoteHistory history(Store::database());
        QVERIFY(history.open().ok());
        QCOMPARE(history.count(), 1);
        // A note deleted behind the list's back is reported, not shown as empty.
        QVERIFY(sql.exec(QStringLiteral("delete from note_pad")));
        const NoteHistory::Note gone = history.current();
        QVERIFY(!gone.decoded);
        QCOMPARE(gone.error, NoteRepository::kGone);
        const Result<void> lost = history.rewriteCurrent(QStringLiteral("y"));
        QVERIFY(!lost);
        QCOMPARE(lost.error(), NoteRepository::kGone);
    }

    void undecodableNoteReportsTheDecoderError()
    {
        TempStore store;
        VERIFY_OK(store.make());
        QSqlQuery sql(Store::database());
        QVERIFY(sql.prepare(QStringLiteral("insert into note_pad (date_id, note_memo) values (?, ?)")));
        sql.addBindValue(QStringLiteral("20240101080000"));
        sql.addBindValue(QStringLiteral("1tA= 1tA="));
        QVERIFY(sql.exec());
        NoteHistory history(Store::database());
        QVERIFY(history.open().ok());
        const NoteHistory::Note note = history.current();
        QVERIFY(!note.decoded);
        QCOMPARE(note.error, FieldCodec::kDecodeError);
        QCOMPARE(note.dateId, QStringLiteral("20240101080000"));
    }
};

QTEST_GUILESS_MAIN(TstNoteCore)
#include "tst_note_core.moc"
