// The collections, tokens and items a sync keeps between runs: one
// collection's address forgotten with what it held, items found by key and
// by address, and what a server sends kept whole or refused.
#include "store/Store.h"
#include "sync/core/SyncState.h"
#include "TempStore.h"

#include <QTest>

namespace {

const QString kContact = QStringLiteral("20240101120000");
const QString kJob = QStringLiteral("20240102080000");
const QString kNote = QStringLiteral("20240104090000");

} // namespace

Q_DECLARE_METATYPE(SyncState::Item)

class TstSyncStateApi : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Store::remove(); }

    void collectionAndToken();
    void itemsByKeyAndAddress();
    void overLongValuesAreRefused_data();
    void overLongValuesAreRefused();
};

void TstSyncStateApi::collectionAndToken()
{
    TempStore store;
    VERIFY_OK(store.make());
    QSqlDatabase db = Store::database();
    const QString calendar = QStringLiteral("https://dav.example/cal/work/");
    QCOMPARE(SyncState::collectionUrl(db, SyncKind::Job).value(), std::nullopt);
    QVERIFY(!SyncState::setToken(db, SyncKind::Job, QStringLiteral("t1")));

    // Jobs and notes share one calendar.
    VERIFY_OK(SyncState::setCollection(db, SyncKind::Job, calendar));
    VERIFY_OK(SyncState::setCollection(db, SyncKind::Note, calendar));
    VERIFY_OK(SyncState::setToken(db, SyncKind::Job, QStringLiteral("t1")));
    VERIFY_OK(SyncState::setToken(db, SyncKind::Note, QStringLiteral("n1")));
    VERIFY_OK(SyncState::keep(db, {SyncKind::Job, kJob, calendar + "a.ics", "\"e1\"", "a"}));
    VERIFY_OK(SyncState::keep(db, {SyncKind::Note, kNote, calendar + "b.ics", "\"e2\"", "b"}));
    VERIFY_OK(SyncState::markChanged(db, SyncKind::Job, kJob));
    QCOMPARE(SyncState::collectionUrl(db, SyncKind::Job).value(), std::optional<QString>(calendar));
    QCOMPARE(SyncState::token(db, SyncKind::Job).value(), std::optional<QString>("t1"));

    // The same address again keeps everything.
    VERIFY_OK(SyncState::setCollection(db, SyncKind::Job, calendar));
    QCOMPARE(SyncState::token(db, SyncKind::Job).value(), std::optional<QString>("t1"));
    QCOMPARE(SyncState::items(db, SyncKind::Job)->size(), 1);

    // Another calendar: what the old one held is forgotten, the local
    // changes are not, and the notes keep theirs.
    VERIFY_OK(SyncState::setCollection(db, SyncKind::Job, QStringLiteral("https://dav.example/cal/home/")));
    QCOMPARE(SyncState::token(db, SyncKind::Job).value(), std::nullopt);
    QCOMPARE(SyncState::items(db, SyncKind::Job).value(), QList<SyncState::Item>());
    QCOMPARE(SyncState::changedKeys(db, SyncKind::Job).value(), QStringList{kJob});
    QCOMPARE(SyncState::token(db, SyncKind::Note).value(), std::optional<QString>("n1"));
    QCOMPARE(SyncState::items(db, SyncKind::Note)->size(), 1);

    // A rejected token is cleared.
    VERIFY_OK(SyncState::setToken(db, SyncKind::Note, QString()));
    QCOMPARE(SyncState::token(db, SyncKind::Note).value(), std::nullopt);

    VERIFY_OK(SyncState::forget(db, SyncKind::Note));
    QCOMPARE(SyncState::collectionUrl(db, SyncKind::Note).value(), std::nullopt);
    QCOMPARE(SyncState::items(db, SyncKind::Note).value(), QList<SyncState::Item>());
    QCOMPARE(SyncState::collectionUrl(db, SyncKind::Job).value(),
             std::optional<QString>("https://dav.example/cal/home/"));
}

void TstSyncStateApi::itemsByKeyAndAddress()
{
    TempStore store;
    VERIFY_OK(store.make());
    QSqlDatabase db = Store::database();
    const SyncState::Item card{SyncKind::Contact, kContact, "/book/c1.vcf", "\"1\"", "u1"};
    const SyncState::Item noTag{SyncKind::Contact, "20240101120001", "/book/c2.vcf", QString(), "u2"};
    // Another kind may use the same address.
    const SyncState::Item job{SyncKind::Job, kContact, "/book/c1.vcf", "\"9\"", "u9"};
    for (const SyncState::Item &item : {card, noTag, job})
        VERIFY_OK(SyncState::keep(db, item));

    QCOMPARE(SyncState::itemByKey(db, SyncKind::Contact, kContact).value(), std::optional(card));
    QCOMPARE(SyncState::itemByHref(db, SyncKind::Contact, "/book/c2.vcf").value(), std::optional(noTag));
    QCOMPARE(SyncState::itemByHref(db, SyncKind::Job, "/book/c1.vcf").value(), std::optional(job));
    QCOMPARE(SyncState::itemByHref(db, SyncKind::Note, "/book/c1.vcf").value(), std::nullopt);
    QCOMPARE(SyncState::items(db, SyncKind::Contact).value(), (QList<SyncState::Item>{card, noTag}));

    // A new ETag replaces the old one.
    SyncState::Item edited = card;
    edited.etag = QStringLiteral("\"2\"");
    VERIFY_OK(SyncState::keep(db, edited));
    QCOMPARE(SyncState::itemByKey(db, SyncKind::Contact, kContact).value(), std::optional(edited));

    // A resource now kept for another record leaves the one it was for.
    const SyncState::Item moved{SyncKind::Contact, "20240101120002", "/book/c2.vcf", "\"3\"", "u2"};
    VERIFY_OK(SyncState::keep(db, moved));
    QCOMPARE(SyncState::itemByKey(db, SyncKind::Contact, noTag.key).value(), std::nullopt);
    QCOMPARE(SyncState::itemByHref(db, SyncKind::Contact, "/book/c2.vcf").value(), std::optional(moved));

    VERIFY_OK(SyncState::drop(db, SyncKind::Contact, kContact));
    QCOMPARE(SyncState::items(db, SyncKind::Contact).value(), QList<SyncState::Item>{moved});
    QCOMPARE(SyncState::items(db, SyncKind::Job).value(), QList<SyncState::Item>{job});
}

// What a server sends is kept whole or refused with the store's words; it
// never cuts a value or overwrites what was kept.
void TstSyncStateApi::overLongValuesAreRefused_data()
{
    QTest::addColumn<SyncState::Item>("item");
    const SyncState::Item good{SyncKind::Contact, kContact, "/book/c1.vcf", "\"1\"", "u1"};
    SyncState::Item item = good;
    item.href = QString(2001, u'h');
    QTest::newRow("address") << item;
    item = good;
    item.etag = QString(1001, u'e');
    QTest::newRow("ETag") << item;
    item = good;
    item.uid = QString(1001, u'u');
    QTest::newRow("UID") << item;
    item = good;
    item.uid.clear();
    QTest::newRow("no UID") << item;
    item = good;
    item.href.clear();
    QTest::newRow("no address") << item;
    item = good;
    item.key = QString(65, u'k');
    QTest::newRow("key") << item;
}

void TstSyncStateApi::overLongValuesAreRefused()
{
    QFETCH(SyncState::Item, item);
    TempStore store;
    VERIFY_OK(store.make());
    QSqlDatabase db = Store::database();
    const SyncState::Item kept{SyncKind::Contact, kContact, "/book/kept.vcf", "\"0\"", "u0"};
    VERIFY_OK(SyncState::keep(db, kept));
    const Result<void> refused = SyncState::keep(db, item);
    QVERIFY(!refused);
    QVERIFY2(refused.error().contains(QStringLiteral("constraint failed")), qPrintable(refused.error()));
    QCOMPARE(SyncState::items(db, SyncKind::Contact).value(), QList<SyncState::Item>{kept});

    VERIFY_OK(SyncState::setCollection(db, SyncKind::Contact, QStringLiteral("/book/")));
    QVERIFY(!SyncState::setToken(db, SyncKind::Contact, QString(2001, u't')));
    QVERIFY(!SyncState::setCollection(db, SyncKind::Contact, QString(2001, u'c')));
    QCOMPARE(SyncState::collectionUrl(db, SyncKind::Contact).value(), std::optional<QString>("/book/"));
    QCOMPARE(SyncState::items(db, SyncKind::Contact).value(), QList<SyncState::Item>());
}

QTEST_GUILESS_MAIN(TstSyncStateApi)
#include "tst_sync_state_api.moc"
