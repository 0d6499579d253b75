#include "contacts/core/PersonRepository.h"
#include "contacts/core/StoredForm.h"
#include "contacts/csv/ContactExport.h"
#include "contacts/csv/ContactImport.h"
#include "contacts/csv/CsvText.h"
#include "contacts/csv/ImportGrid.h"
#include "store/Clock.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QTest>

using Kind = ContactSearch::Kind;

// Grid rows into new contacts, and contacts back out as lines.
class TstContactImport : public QObject
{
    Q_OBJECT

    const QDateTime m_now{QDate(2026, 5, 1), QTime(8, 0, 0)};

    // Imports `lines` as opened from a file; returns the import when done.
    static void importAll(ContactImport &run, const QDateTime &now)
    {
        while (run.step(now, 50)) { }
    }
    static QList<ContactSearch::Hit> allHits()
    {
        QList<ContactSearch::Hit> hits;
        QSqlQuery query(Store::database());
        query.exec(QStringLiteral("SELECT rowid, pe_id FROM pe_info ORDER BY rowid"));
        while (query.next())
            hits << ContactSearch::Hit{query.value(0).toLongLong(), query.value(1).toString()};
        return hits;
    }
    static QString gbk(const QByteArray &bytes)
    {
        QStringDecoder decoder("GB18030");
        return decoder.decode(bytes);
    }

private slots:
    void initTestCase() { VERIFY_OK(m_store.make()); }
    void init() { QSqlQuery(Store::database()).exec(QStringLiteral("DELETE FROM pe_info")); }

    void isMale_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("male");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("男") << QStringLiteral("男") << true;
        QTest::newRow("true") << QStringLiteral("true") << true;
        QTest::newRow("女") << QStringLiteral("女") << false;
        QTest::newRow("True") << QStringLiteral("True") << false;
        QTest::newRow(" 男") << QStringLiteral(" 男") << false;
    }
    void isMale()
    {
        QFETCH(QString, cell);
        QFETCH(bool, male);
        QCOMPARE(ContactImport::isMale(cell), male);
    }

    void importsFourFieldLine()
    {
        ContactImport run(Store::database(), {{"张三", "男", "", "13900000000"}}, "BM");
        importAll(run, m_now);
        QVERIFY(!run.failed());
        QSqlQuery query(Store::database());
        QVERIFY(query.exec(QStringLiteral("SELECT pe_name, pe_sex, n_add, pe_mib, pe_other, net_con, pe_memo, "
                                          "pe_img, e_dec_yn FROM pe_info")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("张三"));
        QCOMPARE(query.value(1).toBool(), true);
        QCOMPARE(query.value(2).toString(), QStringLiteral("-"));
        QCOMPARE(query.value(3).toString(), QStringLiteral("13900000000"));
        QCOMPARE(query.value(4).toString(), QStringLiteral("-"));
        QCOMPARE(query.value(5).toString(), QStringLiteral("-"));
        QCOMPARE(query.value(6).toString(), QStringLiteral("-"));
        QCOMPARE(query.value(7).toByteArray(), QByteArray("BM"));
        QCOMPARE(query.value(8).toBool(), false);
    }

    // Every row its own id, without waiting a second per row.
    void givesEveryRowItsOwnId()
    {
        QList<QStringList> rows(50, QStringList{"同名"});
        ContactImport first(Store::database(), rows, {});
        importAll(first, m_now);
        ContactImport second(Store::database(), rows, {}); // pressing "导入" again
        importAll(second, m_now);
        QSqlQuery query(Store::database());
        QVERIFY(query.exec(QStringLiteral("SELECT count(*), count(DISTINCT pe_id), min(pe_id) FROM pe_info")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 100);
        QCOMPARE(query.value(1).toInt(), 100);
        QCOMPARE(query.value(2).toString(), QStringLiteral("20260501080000"));
    }

    void storeErrorStopsAtThatRowKeepingEarlierOnes()
    {
        QSqlQuery(Store::database())
            .exec(QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE INSERT ON pe_info WHEN NEW.pe_name = 'bad' "
                                 "BEGIN SELECT RAISE(ABORT, 'refused by store'); END"));
        ContactImport run(Store::database(), {{"a"}, {"b"}, {"bad"}, {"c"}}, {});
        importAll(run, m_now);
        QSqlQuery(Store::database()).exec(QStringLiteral("DROP TRIGGER refuse"));
        QVERIFY(run.failed());
        QVERIFY(run.error().contains(QStringLiteral("refused by store")));
        QCOMPARE(run.done(), 2);
        QCOMPARE(allHits().size(), 2);
    }

    // Rows go through statements prepared once: a value too long for its
    // column still stops at that row with the column's caption and limit.
    void overlongValueStopsAtThatRowNamingTheColumn()
    {
        ContactImport run(Store::database(), {{"a"}, {QString(51, QLatin1Char('x'))}, {"c"}}, {});
        importAll(run, m_now);
        QVERIFY(run.failed());
        QVERIFY2(run.error().contains(QStringLiteral("最多50个字符")), qPrintable(run.error()));
        QCOMPARE(run.done(), 1);
        QCOMPARE(allHits().size(), 1);
    }

    // A step whose time is up at once still imports a row, and commits it
    // before the window handles events again: the bar moves, and whatever
    // the user saves meanwhile is not caught in the import's batch.
    void stepWithNoTimeLeftImportsOneRowAndCommitsIt()
    {
        ContactImport run(Store::database(), {{"a"}, {"b"}, {"c"}}, {});
        for (int done = 1; done <= 3; ++done) {
            QCOMPARE(run.step(m_now, 0), done < 3);
            QCOMPARE(run.done(), done);
            QCOMPARE(allHits().size(), done);
            QVERIFY(Store::database().transaction());
            QVERIFY(Store::database().rollback());
        }
        QCOMPARE(allHits().constLast().contactId, QStringLiteral("20260501080002"));
    }

    // An id a contact holds already is passed over wherever it lies: at the
    // first row's second, between the rows, after them, or beside an id
    // that is not text (which sorts after every text).
    void passesOverIdsContactsHold_data()
    {
        QTest::addColumn<QVariantList>("held");
        QTest::addColumn<QStringList>("given");
        const auto at = [](int second) {
            return QStringLiteral("202605010800%1").arg(second, 2, 10, QLatin1Char('0'));
        };
        QTest::newRow("none") << QVariantList{} << QStringList{at(0), at(1), at(2)};
        QTest::newRow("the first row's") << QVariantList{at(0)} << QStringList{at(1), at(2), at(3)};
        QTest::newRow("between the rows") << QVariantList{at(1)} << QStringList{at(0), at(2), at(3)};
        QTest::newRow("after the rows") << QVariantList{at(30)} << QStringList{at(0), at(1), at(2)};
        QTest::newRow("beside an id that is not text")
            << QVariantList{QByteArray("\x01"), at(0)} << QStringList{at(1), at(2), at(3)};
    }
    void passesOverIdsContactsHold()
    {
        QFETCH(QVariantList, held);
        QFETCH(QStringList, given);
        QSqlQuery insert(Store::database());
        QVERIFY(insert.prepare(QStringLiteral("INSERT INTO pe_info (pe_id, pe_name) VALUES (?, 'held')")));
        for (const QVariant &id : held) {
            insert.bindValue(0, id);
            QVERIFY2(insert.exec(), qPrintable(insert.lastError().text()));
        }
        ContactImport run(Store::database(), {{"a"}, {"b"}, {"c"}}, {});
        importAll(run, m_now);
        QVERIFY(!run.failed());
        QSqlQuery query(Store::database());
        QVERIFY(query.exec(QStringLiteral("SELECT pe_id FROM pe_info WHERE pe_name <> 'held' ORDER BY rowid")));
        QStringList ids;
        while (query.next())
            ids << query.value(0).toString();
        QCOMPARE(ids, given);
    }

    // The store may refuse the commit that ends a batch, as a full disk
    // does: no row of the batch stays, the count says so, and the next save
    // is not caught in a batch left open.
    void refusedCommitKeepsNoRowOfItsBatch()
    {
        QSqlQuery setUp(Store::database());
        for (const char *statement :
             {"PRAGMA foreign_keys = ON", "CREATE TEMP TABLE owner (id INTEGER PRIMARY KEY)",
              "CREATE TEMP TABLE owned (owner INTEGER REFERENCES owner (id) DEFERRABLE INITIALLY DEFERRED)",
              "CREATE TEMP TRIGGER orphan AFTER INSERT ON pe_info WHEN NEW.pe_name = 'b' "
              "BEGIN INSERT INTO owned VALUES (1); END"})
            QVERIFY2(setUp.exec(QString::fromLatin1(statement)), statement);
        ContactImport run(Store::database(), {{"a"}, {"b"}, {"c"}}, {});
        const bool more = run.step(m_now, 60000);
        for (const char *statement :
             {"DROP TRIGGER orphan", "DROP TABLE owned", "DROP TABLE owner", "PRAGMA foreign_keys = OFF"})
            QSqlQuery(Store::database()).exec(QString::fromLatin1(statement));
        QVERIFY(!more);
        QVERIFY(run.failed());
        QVERIFY2(run.error().contains(QStringLiteral("FOREIGN KEY")), qPrintable(run.error()));
        QCOMPARE(run.done(), 0);
        QCOMPARE(allHits().size(), 0);
        QVERIFY(Store::database().transaction());
        QVERIFY(Store::database().rollback());
    }

    void exportsThreeRecordsInTheLineForm()
    {
        ContactImport run(Store::database(),
                          {{"甲", "男", "地址"}, {"乙", "女"}, {"丙", "", "", "", "", "", "", "", "", "qq"}}, {});
        importAll(run, m_now);
        const Result<ContactExport::Exported> result = ContactExport::build(Store::database(), Kind::Name, allHits());
        QVERIFY(result.ok());
        QCOMPARE(result->lines, 3);
        QCOMPARE(gbk(result->bytes), QStringLiteral("20260501080000,甲,男,地址,-,-,-,-,-,-,-\r\n"
                                                    "20260501080001,乙,女,-,-,-,-,-,-,-,-\r\n"
                                                    "20260501080002,丙,男,-,-,-,-,-,-,-,qq\r\n"));
    }

    // A protected contact is written as the user reads it, not in its
    // stored (encoded) form, which no address book could read back.
    void exportsProtectedContactReadable()
    {
        PersonRecord secret;
        secret.texts = StoredForm::toStore({"秘密", "", "139", "", "", "", "", "", "qq:1", "备注"}, true);
        secret.encoded = true;
        secret.male = false;
        QVERIFY(PersonRepository(Store::database()).append(secret, m_now).ok());
        const Result<ContactExport::Exported> result = ContactExport::build(Store::database(), Kind::Name, allHits());
        QCOMPARE(gbk(result->bytes), QStringLiteral("20260501080000,秘密,女,-,139,-,-,-,-,-,qq:1\r\n"));
    }

    // Values with commas and quotes come back unchanged after the user
    // deletes the id column of an exported file.
    void roundTripKeepsCommas()
    {
        const QStringList fields{"李四", "女", "北京市,海淀区", "139", "say \"hi\"", "-", "100000", "-", "-"};
        ContactImport run(Store::database(), {fields}, {});
        importAll(run, m_now);
        const Result<ContactExport::Exported> out = ContactExport::build(Store::database(), Kind::Name, allHits());
        ImportGrid grid;
        grid.open(CsvText::parse(CsvText::decode(out->bytes)));
        grid.deleteColumn(1);
        QCOMPARE(grid.fields(1).mid(0, fields.size()), fields);
    }

    // Searches over other tables list a contact once per hit row: export each once.
    void exportsListedContactsOnceForOtherSearches()
    {
        ContactImport run(Store::database(), {{"甲"}, {"乙"}}, {});
        importAll(run, m_now);
        const QList<ContactSearch::Hit> hits = allHits();
        const QList<ContactSearch::Hit> listed{
            {-1, hits[1].contactId}, {-2, hits[1].contactId}, {-3, hits[0].contactId}};
        const Result<ContactExport::Exported> out = ContactExport::build(Store::database(), Kind::Other, listed);
        QCOMPARE(out->lines, 2);
        QVERIFY(gbk(out->bytes).startsWith(hits[1].contactId + QStringLiteral(",乙")));
    }

private:
    TempStore m_store;
};

QTEST_GUILESS_MAIN(TstContactImport)
#include "tst_contact_import.moc"
