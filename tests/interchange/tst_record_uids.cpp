// The UIDs other programs know records by: made once and kept, found again
// by UID, moved when a file ties a UID to another record, and kept apart by
// kind.
#include "interchange/core/RecordUids.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QTest>

#include <optional>

using RecordUids::Kind;

class tst_record_uids final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store.emplace();
        VERIFY_OK(m_store->make());
    }
    void cleanup()
    {
        Store::remove();
        m_store.reset();
    }

    void aRecordKeepsTheUidItWasGiven()
    {
        const QSqlDatabase db = Store::database();
        Result<QString> first = RecordUids::uidFor(db, Kind::Contact, QStringLiteral("20240101120000"));
        VERIFY_OK(first);
        QVERIFY(!first->isEmpty());
        Result<QString> again = RecordUids::uidFor(db, Kind::Contact, QStringLiteral("20240101120000"));
        VERIFY_OK(again);
        QCOMPARE(*again, *first);
        Result<QString> other = RecordUids::uidFor(db, Kind::Contact, QStringLiteral("20240101120001"));
        VERIFY_OK(other);
        QVERIFY(*other != *first);
        Result<std::optional<QString>> key = RecordUids::keyFor(db, Kind::Contact, *first);
        VERIFY_OK(key);
        QCOMPARE(key->value_or(QString()), QStringLiteral("20240101120000"));
    }

    void kindsAreApart()
    {
        const QSqlDatabase db = Store::database();
        VERIFY_OK(RecordUids::keep(db, Kind::Job, QStringLiteral("k"), QStringLiteral("same-uid")));
        VERIFY_OK(RecordUids::keep(db, Kind::Note, QStringLiteral("n"), QStringLiteral("same-uid")));
        QCOMPARE(RecordUids::keyFor(db, Kind::Job, QStringLiteral("same-uid"))->value_or(QString()),
                 QStringLiteral("k"));
        QCOMPARE(RecordUids::keyFor(db, Kind::Note, QStringLiteral("same-uid"))->value_or(QString()),
                 QStringLiteral("n"));
        QVERIFY(!RecordUids::keyFor(db, Kind::Contact, QStringLiteral("same-uid"))->has_value());
    }

    // A file that ties a known UID to another record moves it there; the
    // record that had it gets a new one when next asked.
    void aUidNamesOneRecord()
    {
        const QSqlDatabase db = Store::database();
        VERIFY_OK(RecordUids::keep(db, Kind::Contact, QStringLiteral("a"), QStringLiteral("uid-1")));
        VERIFY_OK(RecordUids::keep(db, Kind::Contact, QStringLiteral("b"), QStringLiteral("uid-1")));
        QCOMPARE(RecordUids::keyFor(db, Kind::Contact, QStringLiteral("uid-1"))->value_or(QString()),
                 QStringLiteral("b"));
        Result<QString> freshForA = RecordUids::uidFor(db, Kind::Contact, QStringLiteral("a"));
        VERIFY_OK(freshForA);
        QVERIFY(*freshForA != QStringLiteral("uid-1"));

        VERIFY_OK(RecordUids::forget(db, Kind::Contact, QStringLiteral("b")));
        QVERIFY(!RecordUids::keyFor(db, Kind::Contact, QStringLiteral("uid-1"))->has_value());
    }

    void anOverlongUidIsRefusedInPlainWords()
    {
        const Result<void> kept =
            RecordUids::keep(Store::database(), Kind::Contact, QStringLiteral("a"), QString(1001, QLatin1Char('x')));
        QVERIFY(!kept);
        QVERIFY(!kept.error().isEmpty());
        QVERIFY(!RecordUids::keyFor(Store::database(), Kind::Contact, QString(1001, QLatin1Char('x')))->has_value());
    }

    // An export asks for many UIDs at once: the kept ones come back, the
    // missing ones are made once and kept.
    void manyUidsAtOnce()
    {
        const QSqlDatabase db = Store::database();
        VERIFY_OK(RecordUids::keep(db, Kind::Contact, QStringLiteral("a"), QStringLiteral("uid-a")));
        VERIFY_OK(RecordUids::keep(db, Kind::Job, QStringLiteral("b"), QStringLiteral("job-b")));
        const QStringList keys = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        Result<QHash<QString, QString>> first = RecordUids::uidsFor(db, Kind::Contact, keys);
        VERIFY_OK(first);
        QCOMPARE(first->value(QStringLiteral("a")), QStringLiteral("uid-a"));
        QVERIFY(!first->value(QStringLiteral("b")).isEmpty());
        QVERIFY(first->value(QStringLiteral("b")) != QStringLiteral("job-b"));
        QVERIFY(first->value(QStringLiteral("b")) != first->value(QStringLiteral("c")));
        Result<QHash<QString, QString>> again = RecordUids::uidsFor(db, Kind::Contact, keys);
        VERIFY_OK(again);
        for (const QString &key : keys)
            QCOMPARE(again->value(key), first->value(key));
        QCOMPARE(RecordUids::keyFor(db, Kind::Contact, first->value(QStringLiteral("c")))->value_or(QString()),
                 QStringLiteral("c"));
    }

private:
    std::optional<TempStore> m_store;
};

QTEST_GUILESS_MAIN(tst_record_uids)
#include "tst_record_uids.moc"
