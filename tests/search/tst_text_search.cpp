// Finding notes, jobs and completion-log entries by their readable text.
#include "search/core/SearchFunctions.h"
#include "search/core/TextSearch.h"
#include "store/FieldCodec.h"
#include "store/Sql.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QTest>

#include <memory>

namespace {

qint64 insert(const QString &statement, const QVariantList &values)
{
    const Result<QSqlQuery> done = Sql::run(Store::database(), statement, values);
    return done ? done->lastInsertId().toLongLong() : -1;
}

qint64 addNote(const QString &stamp, const QString &text)
{
    return insert(QStringLiteral("INSERT INTO note_pad (date_id, note_memo) VALUES (?, ?)"),
                  {stamp, FieldCodec::encode(text)});
}

qint64 addJob(const QString &id, const QString &day, const QString &text, bool isProtected = false)
{
    return insert(QStringLiteral("INSERT INTO job_do (id, date_id, job_memo, e_dec_yn, complete_yn) VALUES (?, ?, "
                                 "?, ?, '未完成..')"),
                  {id, day, isProtected ? FieldCodec::encode(text) : text, int(isProtected)});
}

qint64 addEntry(const QString &jobId, const QString &date, const QString &text, bool isProtected = false)
{
    return insert(QStringLiteral("INSERT INTO job_do_sub (id, date_id, job_memo_sub, e_dec_yn) VALUES (?, ?, ?, ?)"),
                  {jobId, date, isProtected ? FieldCodec::encode(text) : text, int(isProtected)});
}

} // namespace

class TstTextSearch : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store = std::make_unique<TempStore>();
        VERIFY_OK(m_store->make());
        m_note =
            addNote(QStringLiteral("20240501073012"), QStringLiteral("今天要见东方精密的陈经理,先把报价单再核对一遍。\n"
                                                                     "Report the Q2 target."));
        m_job = addJob(QStringLiteral("20240501080000"), QStringLiteral("20240502093000"),
                       QStringLiteral("给陈经理回电话确认报价"));
        m_secret = addJob(QStringLiteral("20240501080300"), QStringLiteral("20240503163000"),
                          QStringLiteral("续签仓库租赁合同,报价另谈"), true);
        m_entry = addEntry(QStringLiteral("20240501080000"), QStringLiteral("20240504101507"),
                           QStringLiteral("已电话确认,报价单发出"));
        m_secretEntry = addEntry(QStringLiteral("20240501080300"), QStringLiteral("20240505101507"),
                                 QStringLiteral("合同报价草案"));
        QVERIFY(m_note > 0 && m_job > 0 && m_secret > 0 && m_entry > 0 && m_secretEntry > 0);
    }
    void cleanup() { m_store.reset(); }

    // Three or more characters through the trigram index, fewer by a
    // substring test: either way newest first, and letters of any case.
    void findsByText_data()
    {
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("hits");
        QTest::newRow("three characters") << QStringLiteral("陈经理") << QStringLiteral("job,note");
        QTest::newRow("two characters") << QStringLiteral("报价") << QStringLiteral("entry,job,note");
        QTest::newRow("one character") << QStringLiteral("陈") << QStringLiteral("job,note");
        QTest::newRow("blanks around") << QStringLiteral("  报价单 ") << QStringLiteral("entry,note");
        QTest::newRow("case, trigram") << QStringLiteral("REPORT") << QStringLiteral("note");
        QTest::newRow("case, short") << QStringLiteral("q2") << QStringLiteral("note");
        QTest::newRow("across a line break") << QStringLiteral("遍。\nRe") << QStringLiteral("note");
        QTest::newRow("up to a zero character")
            << QStringLiteral("陈经理") + QChar(0) + QStringLiteral("出差\"") << QStringLiteral("job,note");
        QTest::newRow("byte-order marks first") << QStringLiteral("\uFEFF\uFFFE 陈经理") << QStringLiteral("job,note");
        QTest::newRow("nowhere") << QStringLiteral("出差") << QString();
        QTest::newRow("empty") << QStringLiteral("  ") << QString();
    }
    void findsByText()
    {
        QFETCH(QString, term);
        QFETCH(QString, hits);
        QCOMPARE(kinds(term, {true, false}), hits);
    }

    // A zero character in a record's text does not hide what follows it.
    void findsTextAfterAZeroCharacter_data()
    {
        QTest::addColumn<QString>("term");
        QTest::newRow("indexed") << QStringLiteral("总结会");
        QTest::newRow("short") << QStringLiteral("总结");
        QTest::newRow("across it") << QStringLiteral("言 季");
    }
    void findsTextAfterAZeroCharacter()
    {
        QFETCH(QString, term);
        QVERIFY(addNote(QStringLiteral("20240601080000"),
                        QStringLiteral("前言") + QChar(0) + QStringLiteral("季度总结会议"))
                > 0);
        QCOMPARE(kinds(term, {true, false}), QStringLiteral("note"));
    }

    // The password opens protected records and the diary; an open diary
    // opens only itself. What stays shut is said.
    void scopeSaysWhatItLeavesOut_data()
    {
        QTest::addColumn<bool>("unlocked");
        QTest::addColumn<bool>("diaryOpen");
        QTest::addColumn<bool>("notes");
        QTest::addColumn<bool>("protectedRecords");
        QTest::addColumn<QString>("leftOut");
        QTest::newRow("unlocked") << true << false << true << true << QString();
        QTest::newRow("diary open") << false << true << true << false
                                    << QStringLiteral("(加密的日程需要密码,没有查找)");
        QTest::newRow("both shut") << false << false << false << false
                                   << QStringLiteral("(日记和加密的日程需要密码,没有查找)");
    }
    void scopeSaysWhatItLeavesOut()
    {
        QFETCH(bool, unlocked);
        QFETCH(bool, diaryOpen);
        const SearchScope scope = SearchScope::of(unlocked, diaryOpen);
        QTEST(scope.notes, "notes");
        QTEST(scope.protectedRecords, "protectedRecords");
        QTEST(scope.leftOutText(), "leftOut");
    }

    void summaryCountsTheHits()
    {
        TextSearch::Found found;
        QCOMPARE(TextSearch::summary(found, QStringLiteral("报价")), QStringLiteral("没有找到含有“报价”的记录"));
        found.hits.resize(3);
        QCOMPARE(TextSearch::summary(found, QStringLiteral("报价")), QStringLiteral("找到 3 条记录"));
        found.more = true;
        QCOMPARE(TextSearch::summary(found, QStringLiteral("报价")),
                 QStringLiteral("找到的记录超过 3 条,只列出最新的 3 条"));
    }

    // What the user types is text to find, never search syntax.
    void hostileTermsAreLiteral_data()
    {
        QTest::addColumn<QString>("term");
        QTest::newRow("quote") << QStringLiteral("\"");
        QTest::newRow("quoted") << QStringLiteral("\"草案\"");
        QTest::newRow("star") << QStringLiteral("*");
        QTest::newRow("prefix star") << QStringLiteral("报价*");
        QTest::newRow("near") << QStringLiteral("NEAR(报价 陈");
        QTest::newRow("or") << QStringLiteral("报价 OR 会议");
        QTest::newRow("and not") << QStringLiteral("报价 NOT 合同");
        QTest::newRow("minus") << QStringLiteral("-报价");
        QTest::newRow("caret") << QStringLiteral("^报价");
        QTest::newRow("column filter") << QStringLiteral("body:报价");
        QTest::newRow("other column filter") << QStringLiteral("memo:报价");
        QTest::newRow("braces") << QStringLiteral("{body}:报价");
        QTest::newRow("parentheses") << QStringLiteral("(报价)");
        QTest::newRow("plus") << QStringLiteral("报+价");
        QTest::newRow("sql quote") << QStringLiteral("报'价");
        QTest::newRow("percent") << QStringLiteral("%价");
        QTest::newRow("underscore") << QStringLiteral("报_");
    }
    void hostileTermsAreLiteral()
    {
        QFETCH(QString, term);
        QCOMPARE(kinds(term, {true, true}), QString());
        const qint64 holder =
            addNote(QStringLiteral("20240601000000"), QStringLiteral("前文") + term + QStringLiteral("后文"));
        const Result<TextSearch::Found> found = TextSearch(Store::database()).find(term, {true, true});
        VERIFY_OK(found);
        QCOMPARE(found->hits.size(), 1);
        QCOMPARE(found->hits[0].rowid, holder);
    }

    void protectedRecordsNeedThePassword()
    {
        QCOMPARE(kinds(QStringLiteral("合同"), {true, false}), QString());
        QCOMPARE(kinds(QStringLiteral("合同"), {true, true}), QStringLiteral("entry,job"));
        // An entry of a protected job is behind the password too, though
        // stored plain.
        QCOMPARE(kinds(QStringLiteral("草案"), {true, false}), QString());
        QVERIFY(Sql::run(Store::database(),
                         QStringLiteral("UPDATE job_do_sub SET e_dec_yn = 0, job_memo_sub = ? WHERE "
                                        "rowid = ?"),
                         {QStringLiteral("合同报价草案"), m_secretEntry})
                    .ok());
        QCOMPARE(kinds(QStringLiteral("草案"), {true, false}), QString());
        QCOMPARE(kinds(QStringLiteral("草案"), {true, true}), QStringLiteral("entry"));
        // Notes are the diary's.
        QCOMPARE(kinds(QStringLiteral("陈经理"), {false, true}), QStringLiteral("job"));
    }

    void hitsCarryTheirRecord()
    {
        const Result<TextSearch::Found> found =
            TextSearch(Store::database()).find(QStringLiteral("报价"), {true, true});
        VERIFY_OK(found);
        QCOMPARE(found->hits.size(), 5);
        const SearchHit &newest = found->hits[0];
        QCOMPARE(newest.kind, SearchHit::Kind::Entry);
        QCOMPARE(newest.rowid, m_secretEntry);
        QCOMPARE(newest.stamp, QStringLiteral("20240505101507"));
        QCOMPARE(newest.jobRowid, m_secret);
        QCOMPARE(newest.jobStamp, QStringLiteral("20240503163000"));
        QVERIFY(newest.isProtected == false);
        const SearchHit &secret = found->hits[2];
        QCOMPARE(secret.rowid, m_secret);
        QVERIFY(secret.isProtected);
        QCOMPARE(secret.context, QStringLiteral("续签仓库租赁合同,报价另谈"));
        const SearchHit &note = found->hits[4];
        QCOMPARE(note.kind, SearchHit::Kind::Note);
        QCOMPARE(note.rowid, m_note);
        QCOMPARE(note.recordKey, QStringLiteral("20240501073012"));
        QCOMPARE(note.jobRowid, -1);
    }

    // A little text on each side of the match, on one line, cut ends marked.
    void contextShowsTheMatch_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("term");
        QTest::addColumn<QString>("context");
        QTest::addColumn<int>("start");
        QTest::newRow("whole") << QStringLiteral("给陈经理回电话") << QStringLiteral("回电")
                               << QStringLiteral("给陈经理回电话") << 4;
        QTest::newRow("cut both ends") << QStringLiteral("一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十"
                                                         "报价一二三四五六七八九十一二三四五六七八九十一二三")
                                       << QStringLiteral("报价")
                                       << QStringLiteral("…五六七八九十报价一二三四五六七八九十一二三四五六…") << 7;
        QTest::newRow("line breaks") << QStringLiteral("第一行\n第二行\r\n报价") << QStringLiteral("报价")
                                     << QStringLiteral("第一行 第二行  报价") << 9;
        QTest::newRow("case") << QStringLiteral("the Report") << QStringLiteral("report")
                              << QStringLiteral("the Report") << 4;
        QTest::newRow("surrogates kept whole")
            << QStringLiteral("a𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀报价b") << QStringLiteral("报价")
            << QStringLiteral("…𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀𠀀报价…") << 23;
    }
    void contextShowsTheMatch()
    {
        QFETCH(QString, body);
        QFETCH(QString, term);
        QFETCH(QString, context);
        QFETCH(int, start);
        SearchHit hit;
        TextSearch::placeContext(hit, body, term);
        QCOMPARE(hit.context, context);
        QCOMPARE(hit.matchStart, start);
        QCOMPARE(hit.context.mid(hit.matchStart, hit.matchLength).toLower(), term.toLower());
    }

    void aLongListSaysThereIsMore()
    {
        for (int day = 1; day <= 9; ++day)
            addJob(QStringLiteral("2024060") + QString::number(day) + QStringLiteral("080000"),
                   QStringLiteral("2024060") + QString::number(day) + QStringLiteral("000000"),
                   QStringLiteral("月度报表"));
        const Result<TextSearch::Found> found =
            TextSearch(Store::database()).find(QStringLiteral("报表"), {true, true}, 5);
        VERIFY_OK(found);
        QCOMPARE(found->hits.size(), 5);
        QVERIFY(found->more);
        QCOMPARE(found->hits[0].stamp, QStringLiteral("20240609000000"));
    }

    // The substring test of short terms, on the UTF-8 the engine holds.
    void containsFoldsLatinLettersOnly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("term");
        QTest::addColumn<bool>("found");
        QTest::newRow("chinese") << QStringLiteral("给陈经理回电话") << QStringLiteral("经理") << true;
        QTest::newRow("absent") << QStringLiteral("给陈经理回电话") << QStringLiteral("理经") << false;
        QTest::newRow("case") << QStringLiteral("the Q2 plan") << QStringLiteral("q2") << true;
        QTest::newRow("case, at the end") << QStringLiteral("plan Q") << QStringLiteral("q") << true;
        QTest::newRow("mixed case") << QStringLiteral("a ReporT b") << QStringLiteral("rEPORt") << true;
        QTest::newRow("many letters") << QStringLiteral("xx abcdefg") << QStringLiteral("ABCDEFG") << true;
        QTest::newRow("many letters, absent") << QStringLiteral("xx abcdefg") << QStringLiteral("ABCDEFH") << false;
        QTest::newRow("no folding of other letters") << QStringLiteral("ÄB") << QStringLiteral("äb") << false;
        QTest::newRow("longer than the text") << QStringLiteral("ab") << QStringLiteral("abc") << false;
        QTest::newRow("empty text") << QString() << QStringLiteral("a") << false;
    }
    void containsFoldsLatinLettersOnly()
    {
        QFETCH(QString, text);
        QFETCH(QString, term);
        QFETCH(bool, found);
        const QByteArray t = text.toUtf8();
        const QByteArray q = term.toUtf8();
        QCOMPARE(SearchFunctions::contains({t.constData(), size_t(t.size())}, {q.constData(), size_t(q.size())}),
                 found);
    }

    void phraseQuotesTheTerm() { QCOMPARE(TextSearch::phrase(QStringLiteral("a\"b")), QStringLiteral("\"a\"\"b\"")); }

private:
    // The kinds of the hits for `term`, in the order found, joined.
    QString kinds(const QString &term, const SearchScope &scope)
    {
        const Result<TextSearch::Found> found = TextSearch(Store::database()).find(term, scope);
        if (!found)
            return QStringLiteral("error: ") + found.error();
        QStringList names;
        for (const SearchHit &hit : found->hits)
            names << QStringList{QStringLiteral("note"), QStringLiteral("job"), QStringLiteral("entry")}.at(
                int(hit.kind));
        return names.join(u',');
    }

    std::unique_ptr<TempStore> m_store;
    qint64 m_note = -1;
    qint64 m_job = -1;
    qint64 m_secret = -1;
    qint64 m_entry = -1;
    qint64 m_secretEntry = -1;
};

QTEST_GUILESS_MAIN(TstTextSearch)
#include "tst_text_search.moc"
