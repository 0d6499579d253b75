#include "contacts/core/ContactSearch.h"
#include "contacts/core/PinyinOrder.h"
#include "contacts/core/ResultList.h"
#include "store/FieldCodec.h"
#include "store/Sql.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QSqlQuery>
#include <QTest>

#include <memory>

using ContactSearch::Hit;
using ContactSearch::Kind;
using ContactSearch::Order;

Q_DECLARE_METATYPE(ContactSearch::Kind)
Q_DECLARE_METATYPE(ContactSearch::Order)

// The result list read a page at a time: the same rows in the same order as
// one read of them all, however the pages are reached, counted by the
// engine, and as it was found while the store changes under it.
class TstResultList : public QObject
{
    Q_OBJECT

    static bool exec(const QString &sql, const QVariantList &values = {})
    {
        return Sql::run(Store::database(), sql, values).ok();
    }

    // Contact ids are given out of the order rows are written, and two
    // contacts share one, as two saved in the same second do.
    static QString idOf(int i)
    {
        return QStringLiteral("2026%1").arg((i * 7) % 23 + (i == 4 ? 5 : 0), 10, 10, QChar('0'));
    }

    static bool addPerson(const QString &id, const QString &name, bool encoded = false)
    {
        return exec(QStringLiteral("INSERT INTO pe_info (pe_id, pe_name, pe_memo, e_dec_yn) VALUES (?, ?, ?, ?)"),
                    {id, encoded ? FieldCodec::encode(name) : name, QStringLiteral("客户"), encoded});
    }

    // `hits` contacts named 客户..., each with two units 公司... and one
    // other text, among others that no search below finds.
    static bool addContacts(int hits)
    {
        QSqlDatabase db = Store::database();
        db.transaction(); // one write to disk, not one per row
        for (int i = 0; i < hits + 3; ++i) {
            const QString id = idOf(i);
            const QString word = i < hits ? QStringLiteral("客户") : QStringLiteral("路人");
            const QString unit = i < hits ? QStringLiteral("公司") : QStringLiteral("商店");
            if (!addPerson(id, word + QString::number(i))
                || !exec(QStringLiteral("INSERT INTO pe_dw_info (pe_id, dw_name) VALUES (?, ?), (?, ?)"),
                         {id, unit + QStringLiteral("乙"), id, unit + QStringLiteral("甲")})
                || !exec(QStringLiteral("INSERT INTO pe_other_info (pe_id, pe_other_memo) VALUES (?, ?)"), {id, word}))
                return false;
        }
        return db.commit();
    }

    static QStringList keys(const QList<Hit> &hits)
    {
        QStringList keys;
        for (const Hit &hit : hits)
            keys << (hit.isGone() ? QStringLiteral("gone") : QStringLiteral("%1/%2").arg(hit.contactId).arg(hit.rowid));
        return keys;
    }

    static QStringList everyHit(Kind kind, const QString &text)
    {
        const Result<QList<Hit>> all = ContactSearch::run(Store::database(), kind, text);
        return all ? keys(*all) : QStringList{all.error()};
    }

    // The names of the listed contacts, as the user reads them.
    static QStringList names(const ResultList &results)
    {
        QStringList names;
        QSqlQuery query(Store::database());
        query.prepare(QStringLiteral("SELECT pe_name, e_dec_yn FROM pe_info WHERE pe_id = ?"));
        for (const Hit &hit : results.all().valueOr({})) {
            query.addBindValue(hit.contactId);
            if (!query.exec() || !query.next())
                names << QString();
            else
                names << (query.value(1).toBool() ? FieldCodec::decode(query.value(0).toString()).text
                                                  : query.value(0).toString());
        }
        return names;
    }

    std::unique_ptr<TempStore> m_store;

private slots:
    void init()
    {
        m_store = std::make_unique<TempStore>();
        VERIFY_OK(m_store->make());
    }
    void cleanup() { m_store.reset(); }

    // The pages hold what one read of every hit gives, in its order, whether
    // they are read front to back, from the end or by jumps.
    void pagesHoldWhatOneReadGives_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("hits");
        QTest::addColumn<int>("pageRows");
        QTest::addColumn<QList<int>>("visits");
        const QString customer = QStringLiteral("客户");
        QTest::newRow("names, rows one by one") << Kind::Name << customer << 12 << 1 << QList<int>{11, 0, 5, 6, 4, 10};
        QTest::newRow("names, pages of 3, from the end")
            << Kind::Name << customer << 12 << 3 << QList<int>{11, 10, 9, 8, 7, 0};
        QTest::newRow("names, pages of 5, jumps") << Kind::Name << customer << 12 << 5 << QList<int>{7, 2, 11, 0, 6};
        QTest::newRow("units, two of a contact")
            << Kind::UnitName << QStringLiteral("公司") << 10 << 3 << QList<int>{19, 8, 0, 13, 12};
        QTest::newRow("other texts, one page") << Kind::Other << customer << 10 << 200 << QList<int>{9, 0};
        QTest::newRow("a page and one more row") << Kind::Name << customer << 4 << 3 << QList<int>{3, 0};
        QTest::newRow("exactly a page") << Kind::Name << customer << 3 << 3 << QList<int>{2, 0};
        QTest::newRow("names by pinyin") << Kind::Name << QStringLiteral("kh") << 12 << 5 << QList<int>{11, 3, 5, 0};
        QTest::newRow("units by pinyin, a page and one more")
            << Kind::UnitName << QStringLiteral("gongsi") << 2 << 3 << QList<int>{3, 0, 2};
    }
    void pagesHoldWhatOneReadGives()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, text);
        QFETCH(int, hits);
        QFETCH(int, pageRows);
        QFETCH(QList<int>, visits);
        QVERIFY(addContacts(hits));
        const QStringList expected = everyHit(kind, text);
        QCOMPARE(expected.size(), kind == Kind::UnitName ? 2 * hits : hits);

        ResultList jumping;
        VERIFY_OK(jumping.open(Store::database(), kind, text, Order::ById, pageRows));
        QCOMPARE(jumping.count(), expected.size());
        for (int position : visits) {
            const Result<Hit> hit = jumping.hitAt(position);
            VERIFY_OK(hit);
            QCOMPARE(keys({*hit}).constFirst(), expected.at(position));
        }
        const Result<QList<Hit>> all = jumping.all();
        VERIFY_OK(all);
        QCOMPARE(keys(*all), expected);
    }

    // Rows are listed by contact id, not in the order they were written.
    void listedByContactId()
    {
        QVERIFY(addPerson(QStringLiteral("20260102000000"), QStringLiteral("张二")));
        QVERIFY(addPerson(QStringLiteral("20260101000000"), QStringLiteral("张一")));
        QVERIFY(addPerson(QStringLiteral("20260103000000"), QStringLiteral("张三")));
        ResultList results;
        VERIFY_OK(results.open(Store::database(), Kind::Name, QStringLiteral("张"), Order::ById, 2));
        QCOMPARE(names(results), (QStringList{"张一", "张二", "张三"}));
    }

    void searchFindingNothingIsOpenAndEmpty()
    {
        QVERIFY(addContacts(2));
        ResultList results;
        VERIFY_OK(results.open(Store::database(), Kind::Name, QStringLiteral("无此人"), Order::ById));
        QVERIFY(results.isOpen());
        QCOMPARE(results.count(), 0);
        QCOMPARE(results.position(), -1);
        QCOMPARE(results.currentId(), QString());
        QCOMPARE(results.moveLast().valueOr(true), false);
    }

    void movesStayInsideTheList()
    {
        QVERIFY(addContacts(7));
        const QStringList expected = everyHit(Kind::Name, QStringLiteral("客户"));
        ResultList results;
        VERIFY_OK(results.open(Store::database(), Kind::Name, QStringLiteral("客户"), Order::ById, 3));
        QCOMPARE(results.position(), 0);
        QCOMPARE(results.movePrevious().valueOr(true), false);
        QCOMPARE(results.moveLast().valueOr(false), true);
        QCOMPARE(results.position(), 6);
        QCOMPARE(keys({results.current()}).constFirst(), expected.at(6));
        QCOMPARE(results.moveNext().valueOr(true), false);
        QCOMPARE(results.moveTo(100).valueOr(true), false);
        QCOMPARE(results.moveTo(-5).valueOr(false), true);
        QCOMPARE(results.position(), 0);
        QCOMPARE(keys({results.current()}).constFirst(), expected.at(0));
    }

    // Rows saved after the search come at the next search, not at the end
    // of this list.
    void rowsAddedAfterTheSearchAreLeftOut()
    {
        QVERIFY(addContacts(8));
        const QStringList expected = everyHit(Kind::Name, QStringLiteral("客户"));
        ResultList results;
        VERIFY_OK(results.open(Store::database(), Kind::Name, QStringLiteral("客户"), Order::ById, 3));
        QVERIFY(addPerson(QStringLiteral("20991231235959"), QStringLiteral("新客户")));
        VERIFY_OK(results.moveLast());
        QCOMPARE(keys({results.current()}).constFirst(), expected.last());
        const Result<QList<Hit>> all = results.all();
        VERIFY_OK(all);
        QCOMPARE(keys(*all), expected);
    }

    // Rows deleted before their page was read leave their places gone; the
    // pages read before keep theirs.
    void rowsDeletedAfterTheSearchLeaveGonePlaces()
    {
        QVERIFY(addContacts(8));
        const QStringList expected = everyHit(Kind::Name, QStringLiteral("客户"));
        ResultList results;
        VERIFY_OK(results.open(Store::database(), Kind::Name, QStringLiteral("客户"), Order::ById, 3));
        QVERIFY(exec(QStringLiteral("DELETE FROM pe_info")));
        const Result<QList<Hit>> all = results.all();
        VERIFY_OK(all);
        QCOMPARE(keys(*all), expected.mid(0, 3) + QStringList(5, QStringLiteral("gone")));
        VERIFY_OK(results.moveTo(6));
        QCOMPARE(results.position(), 6);
        QCOMPARE(results.currentId(), QString());
    }

    void positionOfARow_data()
    {
        QTest::addColumn<Order>("order");
        QTest::newRow("by contact id") << Order::ById;
        QTest::newRow("by name") << Order::Pinyin;
    }
    void positionOfARow()
    {
        QFETCH(Order, order);
        QVERIFY(addContacts(9));
        ResultList results;
        VERIFY_OK(results.open(Store::database(), Kind::UnitName, QStringLiteral("公司"), order, 4));
        for (int position : {0, 5, 17}) {
            const Result<Hit> hit = results.hitAt(position);
            VERIFY_OK(hit);
            QCOMPARE(results.positionOf(hit->rowid).valueOr(-2), position);
        }
        QCOMPARE(results.positionOf(999999).valueOr(-2), -1);
    }

    // ICU's Chinese collation in pinyin order: Chinese names by their
    // reading, a surname by its reading as a surname, then Latin names; the
    // name of a protected contact as the user reads it.
    void pinyinOrderSortsNamesAsReadersDo()
    {
        const QStringList saved{"张三", "Alice", "曾国藩", "阿三", "李四", "bob", "单田芳", "赵六"};
        for (int i = 0; i < saved.size(); ++i)
            QVERIFY(addPerson(QStringLiteral("202601010000%1").arg(i, 2, 10, QChar('0')), saved.at(i), i == 4));
        ResultList results;
        VERIFY_OK(results.open(Store::database(), Kind::PersonalMemo, QStringLiteral("客户"), Order::Pinyin));
        QCOMPARE(names(results), (QStringList{"阿三", "李四", "单田芳", "曾国藩", "张三", "赵六", "Alice", "bob"}));

        VERIFY_OK(results.open(Store::database(), Kind::PersonalMemo, QStringLiteral("客户"), Order::ById));
        QCOMPARE(names(results), saved);
    }

    // A list of units or other texts follows the names of their contacts.
    void pinyinOrderOfUnitsFollowsTheirContacts()
    {
        QVERIFY(addPerson(QStringLiteral("20260101000001"), QStringLiteral("王五")));
        QVERIFY(addPerson(QStringLiteral("20260101000002"), QStringLiteral("陈七")));
        QVERIFY(exec(QStringLiteral("INSERT INTO pe_dw_info (pe_id, dw_name) VALUES (?, ?), (?, ?), (?, ?)"),
                     {"20260101000001", "甲公司", "20260101000002", "乙公司", "20269999999999", "丙公司"}));
        ResultList results;
        VERIFY_OK(results.open(Store::database(), Kind::UnitName, QStringLiteral("公司"), Order::Pinyin));
        const Result<QList<Hit>> all = results.all();
        VERIFY_OK(all);
        QStringList ids;
        for (const Hit &hit : *all)
            ids << hit.contactId;
        // A unit whose contact has no personal record sorts as one without a name.
        QCOMPARE(ids, (QStringList{"20269999999999", "20260101000002", "20260101000001"}));
    }

    void keysCompareAsTheCollatorDoes()
    {
        QVERIFY(PinyinOrder::key(QStringLiteral("阿")) < PinyinOrder::key(QStringLiteral("把")));
        QVERIFY(PinyinOrder::key(QStringLiteral("张三")) < PinyinOrder::key(QStringLiteral("张三丰")));
        QVERIFY(PinyinOrder::key(QStringLiteral("Zoe")) > PinyinOrder::key(QStringLiteral("左")));
        QVERIFY(PinyinOrder::key(QString()) < PinyinOrder::key(QStringLiteral("阿")));
    }
};

QTEST_GUILESS_MAIN(TstResultList)
#include "tst_result_list.moc"
