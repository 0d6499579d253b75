// The change marks a sync reads. Every way a user writes a record, from
// the address book's tabs to the file imports, the planner, its completion
// log and the diary, marks exactly the records it changed, under the keys
// the interchange gives them; what a sync writes under Quiet and what a
// transaction rolls back mark nothing.
#include "contacts/core/OtherRepository.h"
#include "contacts/core/PersonRepository.h"
#include "contacts/core/UnitRepository.h"
#include "contacts/csv/ContactImport.h"
#include "diary/core/NoteHistory.h"
#include "diary/core/NoteRepository.h"
#include "interchange/core/IcalImport.h"
#include "interchange/core/VCardImport.h"
#include "schedule/core/JobEntryRepository.h"
#include "schedule/core/JobRepository.h"
#include "store/ContactColumns.h"
#include "store/SchemaSteps.h"
#include "store/Sql.h"
#include "store/Store.h"
#include "sync/core/SyncState.h"
#include "TempStore.h"

#include <QFile>
#include <QTest>

#include <functional>
#include <type_traits>

namespace {

using Write = std::function<Result<void>(const QSqlDatabase &)>;

const QDateTime kNow(QDate(2026, 5, 1), QTime(8, 0));
const QString kNewStamp = QStringLiteral("20260501080000"); // what kNow gives a new record
const QString kContact = QStringLiteral("20240101120000");
const QString kJob = QStringLiteral("20240102080000");        // rowid 10
const QString kSharedJob = QStringLiteral("20240103080000");  // rowids 20 and 21
const QString kNote = QStringLiteral("20240104090000");       // rowid 30
const QString kSharedNote = QStringLiteral("20240105090000"); // rowids 40 and 41
const QString kContactUid = QStringLiteral("uid-of-the-contact");
const QString kJobUid = QStringLiteral("uid-of-the-job");
const QString kNoteUid = QStringLiteral("uid-of-the-note");
const QString kSharedNoteUid = QStringLiteral("uid-of-the-first-shared-note");

// A contact with a personal record, a unit and other information; jobs and
// notes, two of each sharing a stamp as stores written before stamps were
// unique may hold them; UIDs that files and servers know two of them by.
Result<void> addKeptRecords(const QSqlDatabase &db)
{
    return Sql::runAll(
        db,
        {
            QStringLiteral("INSERT INTO pe_info (pe_id, pe_name) VALUES ('%1', '张三')").arg(kContact),
            QStringLiteral("INSERT INTO pe_dw_info (pe_id, dw_name) VALUES ('%1', '第一单位')").arg(kContact),
            QStringLiteral("INSERT INTO pe_other_info (pe_id, pe_other_memo) VALUES ('%1', '备注')").arg(kContact),
            QStringLiteral("INSERT INTO job_do (rowid, id, date_id, job_memo, complete_yn) VALUES "
                           "(10, '%1', '20240102090000', '开会', '未完成..'), "
                           "(20, '%2', '20240103090000', '旧甲', '未完成..'), "
                           "(21, '%2', '20240103100000', '旧乙', '未完成..')")
                .arg(kJob, kSharedJob),
            QStringLiteral("INSERT INTO job_do_sub (id, date_id, job_memo_sub) VALUES ('%1', '20240102100000', '记录')")
                .arg(kJob),
            QStringLiteral("INSERT INTO note_pad (rowid, date_id, note_memo) VALUES "
                           "(30, '%1', ''), (40, '%2', ''), (41, '%2', '')")
                .arg(kNote, kSharedNote),
            QStringLiteral("INSERT INTO record_uid (kind, record_key, uid) VALUES ('contact', '%1', '%2'), "
                           "('job', '%3', '%4'), ('note', '%5', '%6'), ('note', '%7', '%8')")
                .arg(kContact, kContactUid, kJob, kJobUid, kNote, kNoteUid, kSharedNote, kSharedNoteUid),
            QStringLiteral("DELETE FROM sync_change"),
        });
}

QStringList marks()
{
    QStringList all;
    Result<QSqlQuery> read =
        Sql::read(Store::database(),
                  QStringLiteral("SELECT kind || ':' || record_key FROM sync_change ORDER BY kind, record_key"));
    while (read && read->next())
        all << read->value(0).toString();
    return all;
}

template <typename T> Result<void> changed(const Result<T> &result)
{
    if (!result)
        return fail(result.error());
    if constexpr (std::is_same_v<T, RowChange>) {
        if (*result != RowChange::Done)
            return fail(QStringLiteral("the row was gone"));
    }
    return {};
}

// The address book's three tabs.
Result<void> addPerson(const QSqlDatabase &db)
{
    PersonRecord record;
    record.texts = QStringList(ContactColumns::PersonTextCount, QStringLiteral("-"));
    record.texts[ContactColumns::Name] = QStringLiteral("李四");
    return PersonRepository(db).append(record, kNow);
}

Result<void> editPerson(const QSqlDatabase &db)
{
    Result<QList<PersonRecord>> rows = PersonRepository(db).byContact(kContact);
    if (!rows || rows->isEmpty())
        return fail(QStringLiteral("no personal record"));
    PersonRecord record = rows->first();
    record.texts[ContactColumns::Name] = QStringLiteral("张三丰");
    return changed(PersonRepository(db).update(record));
}

Result<void> deletePerson(const QSqlDatabase &db)
{
    Result<QList<PersonRecord>> rows = PersonRepository(db).byContact(kContact);
    if (!rows || rows->isEmpty())
        return fail(QStringLiteral("no personal record"));
    return changed(PersonRepository(db).remove(rows->first().rowid));
}

Result<void> addUnit(const QSqlDatabase &db)
{
    UnitRecord record;
    record.id = kContact;
    record.texts = QStringList(ContactColumns::UnitTextCount, QStringLiteral("-"));
    record.texts[ContactColumns::UnitName] = QStringLiteral("第二单位");
    return UnitRepository(db).append(record);
}

Result<void> editUnit(const QSqlDatabase &db)
{
    Result<QList<UnitRecord>> rows = UnitRepository(db).byContact(kContact);
    if (!rows || rows->isEmpty())
        return fail(QStringLiteral("no unit"));
    UnitRecord record = rows->first();
    record.texts[ContactColumns::UnitName] = QStringLiteral("改名单位");
    return changed(UnitRepository(db).update(record));
}

Result<void> deleteUnit(const QSqlDatabase &db)
{
    Result<QList<UnitRecord>> rows = UnitRepository(db).byContact(kContact);
    if (!rows || rows->isEmpty())
        return fail(QStringLiteral("no unit"));
    return changed(UnitRepository(db).remove(rows->first().rowid));
}

Result<void> addOther(const QSqlDatabase &db)
{
    OtherRecord record;
    record.id = kContact;
    record.memo = QStringLiteral("又一条");
    return OtherRepository(db).append(record);
}

Result<void> editOther(const QSqlDatabase &db)
{
    Result<QList<OtherRecord>> rows = OtherRepository(db).byContact(kContact);
    if (!rows || rows->isEmpty())
        return fail(QStringLiteral("no other information"));
    OtherRecord record = rows->first();
    record.memo = QStringLiteral("改过的备注");
    return changed(OtherRepository(db).update(record));
}

Result<void> deleteOther(const QSqlDatabase &db)
{
    Result<QList<OtherRecord>> rows = OtherRepository(db).byContact(kContact);
    if (!rows || rows->isEmpty())
        return fail(QStringLiteral("no other information"));
    return changed(OtherRepository(db).remove(rows->first().rowid));
}

// The imports.
Result<void> importCsv(const QSqlDatabase &db)
{
    ContactImport run(db, {{"王五", "男", "", "13900000000"}, {"赵六", "女", "", "13900000001"}}, "BM");
    while (run.step(kNow, 50)) { }
    return run.failed() ? fail(run.error()) : Result<void>();
}

Result<void> importVCard(const QSqlDatabase &db)
{
    const QByteArray cards = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:孙七\r\nN:孙;七;;;\r\nUID:new-card\r\nEND:VCARD\r\n"
                             "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:张三\r\nN:张;三;;;\r\nTEL:010-1234\r\nUID:"
                             + kContactUid.toUtf8() + "\r\nEND:VCARD\r\n";
    Result<VCardImport> import = VCardImport::fromBytes(db, cards);
    if (!import)
        return fail(import.error());
    while (import->readStep(50)) { }
    import->startWriting({true, false}, kNow);
    while (import->writeStep(50)) { }
    if (!import->error().isEmpty())
        return fail(import->error());
    if (import->count(CardPlan::Outcome::Added) != 1 || import->count(CardPlan::Outcome::Updated) != 1)
        return fail(QStringLiteral("the cards were not one added and one updated"));
    return {};
}

Result<void> importCalendar(const QSqlDatabase &db)
{
    const QByteArray file = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
                            "BEGIN:VTODO\r\nUID:new-todo\r\nDTSTAMP:20260101T000000Z\r\nCREATED:20250601T080000Z\r\n"
                            "DTSTART:20260502T090000Z\r\nSUMMARY:新工作\r\nEND:VTODO\r\n"
                            "BEGIN:VTODO\r\nUID:"
                            + kJobUid.toUtf8()
                            + "\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:20240102T090000Z\r\nSUMMARY:开会改时间\r\n"
                              "END:VTODO\r\n"
                              "BEGIN:VJOURNAL\r\nUID:new-journal\r\nDTSTAMP:20260101T000000Z\r\n"
                              "DTSTART:20250301T073000Z\r\nDESCRIPTION:日记\r\nEND:VJOURNAL\r\nEND:VCALENDAR\r\n";
    IcalImport::Options options = IcalImport::defaults(kNow);
    options.zone = QTimeZone::utc();
    Result<IcalImport> import = IcalImport::run(db, file, options);
    return import ? Result<void>() : fail(import.error());
}

// A file read again in which a note has another time: the note moves to
// that stamp.
Result<void> importMovedNote(const QSqlDatabase &db, const QString &uid)
{
    const QByteArray file =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VJOURNAL\r\nUID:" + uid.toUtf8()
        + "\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:20250301T073000Z\r\nDESCRIPTION:挪了\r\n"
          "END:VJOURNAL\r\nEND:VCALENDAR\r\n";
    IcalImport::Options options = IcalImport::defaults(kNow);
    options.zone = QTimeZone::utc();
    Result<IcalImport> import = IcalImport::run(db, file, options);
    if (!import)
        return fail(import.error());
    if (import->count(IcalPlan::Outcome::Updated) != 1)
        return fail(QStringLiteral("the note was not updated"));
    return {};
}

// The planner and its completion log.
Result<void> saveJob(const QSqlDatabase &db)
{
    JobRecord job;
    job.dateId = QStringLiteral("20260502000000");
    job.memo = QStringLiteral("新工作");
    job.completion = JobRecord::kOpenJob;
    return JobRepository(db).append(job, kNow);
}

Result<void> jobDone(const QSqlDatabase &db, qint64 rowid)
{
    return JobRepository(db).markDone(rowid, QStringLiteral("20260501080000"));
}

Result<void> addEntry(const QSqlDatabase &db, const QString &jobId)
{
    JobEntry entry;
    entry.jobId = jobId;
    entry.dateId = QStringLiteral("20260501080000");
    entry.memo = QStringLiteral("做完一半");
    return JobEntryRepository(db).append(entry);
}

// The diary and its history browser, whose list is newest first: of two
// notes sharing a stamp, the later row shows first.
Result<void> onNote(const QSqlDatabase &db, const QString &stamp, const std::function<Result<void>(NoteHistory &)> &act)
{
    NoteHistory history(db);
    if (Result<void> opened = history.open(); !opened)
        return opened;
    if (history.isEmpty())
        return fail(QStringLiteral("no notes"));
    history.first();
    do {
        if (history.current().dateId == stamp)
            return act(history);
    } while (history.next());
    return fail(QStringLiteral("no note ") + stamp);
}

QList<std::pair<const char *, Write>> contactPaths()
{
    return {
        {"personal record edited", editPerson},
        {"personal record deleted", deletePerson},
        {"unit added", addUnit},
        {"unit edited", editUnit},
        {"unit deleted", deleteUnit},
        {"other information added", addOther},
        {"other information edited", editOther},
        {"other information deleted", deleteOther},
    };
}

} // namespace

Q_DECLARE_METATYPE(Write)

class TstSyncState : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Store::remove(); }

    void everyWritePathMarksItsRecords_data();
    void everyWritePathMarksItsRecords();
    void writesUnderQuietMarkNothing();
    void rolledBackWritesMarkNothing();
    void quietEndsWithItsTransaction();
    void changeMarksAreReadAndCleared();
    void storeOfTheVersionBeforeMarksAfterUpgrade();
};

void TstSyncState::everyWritePathMarksItsRecords_data()
{
    QTest::addColumn<Write>("write");
    QTest::addColumn<QStringList>("expected");
    const QString contact = QStringLiteral("contact:") + kContact;
    for (const auto &[name, write] : contactPaths())
        QTest::newRow(name) << write << QStringList{contact};
    // A new contact's id is the stamp of its save.
    QTest::newRow("personal record added") << Write(addPerson) << QStringList{QStringLiteral("contact:") + kNewStamp};

    QTest::newRow("comma-separated import")
        << Write(importCsv) << QStringList{"contact:20260501080000", "contact:20260501080001"};
    QTest::newRow("vCard import adding one and updating one")
        << Write(importVCard) << QStringList{contact, "contact:20260501080000"};
    QTest::newRow("iCalendar import adding and updating")
        << Write(importCalendar)
        << QStringList{QStringLiteral("job:") + kJob, "job:20250601080000", "note:20250301073000"};

    QTest::newRow("planner job saved") << Write(saveJob) << QStringList{QStringLiteral("job:") + kNewStamp};
    QTest::newRow("job marked done") << Write([](const QSqlDatabase &db) { return jobDone(db, 10); })
                                     << QStringList{QStringLiteral("job:") + kJob};
    QTest::newRow("job deleted") << Write([](const QSqlDatabase &db) { return JobRepository(db).remove(10); })
                                 << QStringList{QStringLiteral("job:") + kJob};
    QTest::newRow("log entry added") << Write([](const QSqlDatabase &db) { return addEntry(db, kJob); })
                                     << QStringList{QStringLiteral("job:") + kJob};
    // Any writer removing an entry, though the log window only adds them.
    QTest::newRow("log entry removed") << Write([](const QSqlDatabase &db) {
        return changed(Sql::run(db, QStringLiteral("DELETE FROM job_do_sub WHERE id = ?"), {kJob}));
    }) << QStringList{QStringLiteral("job:") + kJob};

    // Two jobs of an old store sharing an id: the first keeps the id as its
    // key, the other is "id#rowid"; an entry of that id belongs to both.
    const QString firstShared = QStringLiteral("job:") + kSharedJob;
    const QString secondShared = firstShared + QStringLiteral("#21");
    QTest::newRow("second job sharing an id done")
        << Write([](const QSqlDatabase &db) { return jobDone(db, 21); }) << QStringList{secondShared};
    QTest::newRow("first job sharing an id done")
        << Write([](const QSqlDatabase &db) { return jobDone(db, 20); }) << QStringList{firstShared};
    QTest::newRow("log entry of a shared id added")
        << Write([](const QSqlDatabase &db) { return addEntry(db, kSharedJob); })
        << QStringList{firstShared, secondShared};
    // The second one takes over the id as its key: both keys change.
    QTest::newRow("first job sharing an id deleted")
        << Write([](const QSqlDatabase &db) { return JobRepository(db).remove(20); })
        << QStringList{firstShared, secondShared};
    QTest::newRow("second job sharing an id deleted")
        << Write([](const QSqlDatabase &db) { return JobRepository(db).remove(21); }) << QStringList{secondShared};

    QTest::newRow("diary note saved") << Write([](const QSqlDatabase &db) {
        return NoteRepository(db).append(kNewStamp, QStringLiteral("今天"));
    }) << QStringList{QStringLiteral("note:") + kNewStamp};
    QTest::newRow("note rewritten in the history") << Write([](const QSqlDatabase &db) {
        return onNote(db, kNote, [](NoteHistory &h) { return h.rewriteCurrent(QStringLiteral("改过")); });
    }) << QStringList{QStringLiteral("note:") + kNote};
    QTest::newRow("note deleted in the history") << Write([](const QSqlDatabase &db) {
        return onNote(db, kNote, [](NoteHistory &h) { return h.removeCurrent(); });
    }) << QStringList{QStringLiteral("note:") + kNote};
    QTest::newRow("later note sharing a stamp rewritten") << Write([](const QSqlDatabase &db) {
        return onNote(db, kSharedNote, [](NoteHistory &h) { return h.rewriteCurrent(QStringLiteral("改过")); });
    }) << QStringList{QStringLiteral("note:") + kSharedNote + QStringLiteral("#41")};
    QTest::newRow("note of a shared stamp saved again") << Write([](const QSqlDatabase &db) {
        return NoteRepository(db).append(kSharedNote, QStringLiteral("同一秒"));
    }) << QStringList{QStringLiteral("note:") + kSharedNote + QStringLiteral("#42")};
    QTest::newRow("note moved to another time by an import")
        << Write([](const QSqlDatabase &db) { return importMovedNote(db, kNoteUid); })
        << QStringList{QStringLiteral("note:") + kNote, "note:20250301073000"};
    // The note left behind takes the stamp as its key.
    QTest::newRow("first note sharing a stamp moved by an import")
        << Write([](const QSqlDatabase &db) { return importMovedNote(db, kSharedNoteUid); })
        << QStringList{QStringLiteral("note:") + kSharedNote, QStringLiteral("note:") + kSharedNote + "#41",
                       "note:20250301073000"};
    QTest::newRow("first note sharing a stamp deleted")
        << Write([](const QSqlDatabase &db) { return NoteRepository(db).remove(40); })
        << QStringList{QStringLiteral("note:") + kSharedNote, QStringLiteral("note:") + kSharedNote + "#41"};
}

void TstSyncState::everyWritePathMarksItsRecords()
{
    QFETCH(Write, write);
    QFETCH(QStringList, expected);
    TempStore store;
    VERIFY_OK(store.make());
    VERIFY_OK(addKeptRecords(Store::database()));
    QCOMPARE(marks(), QStringList());
    VERIFY_OK(write(Store::database()));
    QCOMPARE(marks(), expected);
}

void TstSyncState::writesUnderQuietMarkNothing()
{
    TempStore store;
    VERIFY_OK(store.make());
    QSqlDatabase db = Store::database();
    VERIFY_OK(addKeptRecords(db));
    VERIFY_OK(Sql::begin(db));
    {
        Result<SyncState::Quiet> quiet = SyncState::Quiet::begin(db);
        VERIFY_OK(quiet);
        VERIFY_OK(addPerson(db));
        VERIFY_OK(editUnit(db));
        VERIFY_OK(jobDone(db, 21));
        VERIFY_OK(addEntry(db, kSharedJob));
        VERIFY_OK(NoteRepository(db).remove(40));
        VERIFY_OK(quiet->end());
        // What the sync itself made and the server lacks, as a conflict copy.
        VERIFY_OK(SyncState::markChanged(db, SyncKind::Job, QStringLiteral("20250601080000")));
        QCOMPARE(marks(), QStringList{"job:20250601080000"});
        // Saves after the end mark again, also while the Quiet still lives.
        VERIFY_OK(editOther(db));
    }
    VERIFY_OK(Sql::commit(db));
    QCOMPARE(marks(), (QStringList{QStringLiteral("contact:") + kContact, "job:20250601080000"}));
    QCOMPARE(Sql::scalar(db, QStringLiteral("SELECT count(*) FROM sync_quiet"))->toInt(), 0);
}

void TstSyncState::rolledBackWritesMarkNothing()
{
    TempStore store;
    VERIFY_OK(store.make());
    QSqlDatabase db = Store::database();
    VERIFY_OK(addKeptRecords(db));
    const Result<void> undone = Sql::inTransaction(db, [&db]() -> Result<void> {
        for (const auto &[name, write] : contactPaths()) {
            if (Result<void> written = write(db); !written)
                return fail(QString::fromLatin1(name) + u' ' + written.error());
        }
        if (Result<void> saved = saveJob(db); !saved)
            return saved;
        if (marks().isEmpty())
            return fail(QStringLiteral("nothing was marked inside the transaction"));
        return fail(QStringLiteral("given up"));
    });
    QCOMPARE(undone.error(), QStringLiteral("given up"));
    QCOMPARE(marks(), QStringList());
}

// A sync killed after Quiet began leaves no row behind: the rollback takes
// it, and the next save marks as before. A Quiet left to its destructor ends.
void TstSyncState::quietEndsWithItsTransaction()
{
    TempStore store;
    VERIFY_OK(store.make());
    QSqlDatabase db = Store::database();
    VERIFY_OK(Sql::begin(db));
    {
        Result<SyncState::Quiet> quiet = SyncState::Quiet::begin(db);
        VERIFY_OK(quiet);
        QVERIFY(db.rollback());
    }
    QCOMPARE(Sql::scalar(db, QStringLiteral("SELECT count(*) FROM sync_quiet"))->toInt(), 0);
    VERIFY_OK(saveJob(db));
    QCOMPARE(marks(), QStringList{QStringLiteral("job:") + kNewStamp});

    VERIFY_OK(Sql::begin(db));
    {
        Result<SyncState::Quiet> quiet = SyncState::Quiet::begin(db);
        VERIFY_OK(quiet);
        SyncState::Quiet moved = std::move(quiet).value();
        VERIFY_OK(NoteRepository(db).append(kNewStamp, QStringLiteral("静")));
    }
    VERIFY_OK(NoteRepository(db).append(kNote, QStringLiteral("响")));
    VERIFY_OK(Sql::commit(db));
    QCOMPARE(marks(), (QStringList{QStringLiteral("job:") + kNewStamp, QStringLiteral("note:") + kNote}));
}

void TstSyncState::changeMarksAreReadAndCleared()
{
    TempStore store;
    VERIFY_OK(store.make());
    QSqlDatabase db = Store::database();
    VERIFY_OK(addKeptRecords(db));
    VERIFY_OK(jobDone(db, 21));
    VERIFY_OK(jobDone(db, 10));
    VERIFY_OK(editPerson(db));
    // Marking twice is one mark.
    VERIFY_OK(SyncState::markChanged(db, SyncKind::Job, kJob));
    QCOMPARE(SyncState::changedKeys(db, SyncKind::Job).value(),
             (QStringList{kJob, kSharedJob + QStringLiteral("#21")}));
    QCOMPARE(SyncState::changedKeys(db, SyncKind::Contact).value(), QStringList{kContact});
    QCOMPARE(SyncState::changedKeys(db, SyncKind::Note).value(), QStringList());

    VERIFY_OK(SyncState::clearChange(db, SyncKind::Job, kJob));
    VERIFY_OK(SyncState::clearChange(db, SyncKind::Contact, kJob)); // another kind's key: nothing
    QCOMPARE(SyncState::changedKeys(db, SyncKind::Job).value(), QStringList{kSharedJob + QStringLiteral("#21")});
    QCOMPARE(SyncState::changedKeys(db, SyncKind::Contact).value(), QStringList{kContact});
}

// A store of the version before sync came: the upgrade adds the tables and
// triggers, keeps every record and marks none of them, and saves mark after.
void TstSyncState::storeOfTheVersionBeforeMarksAfterUpgrade()
{
    TempStore store;
    VERIFY_OK(store.make(false));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("older program"));
        db.setDatabaseName(store.storePath());
        QVERIFY(db.open());
        QStringList drops;
        Result<QSqlQuery> triggers =
            Sql::read(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'trigger' "
                                         "AND name LIKE 'sync\\_mark\\_%' ESCAPE '\\'"));
        VERIFY_OK(triggers);
        while (triggers->next())
            drops << QStringLiteral("DROP TRIGGER ") + triggers->value(0).toString();
        triggers->finish();
        QCOMPARE(drops.size(), 18);
        for (const char *table : {"sync_collection", "sync_item", "sync_change", "sync_quiet"})
            drops << QStringLiteral("DROP TABLE ") + QLatin1String(table);
        VERIFY_OK(Sql::runAll(db, drops));
        VERIFY_OK(Sql::runAll(
            db, {QStringLiteral("INSERT INTO job_do (rowid, id, date_id) VALUES (10, '%1', '20240102')").arg(kJob),
                 QStringLiteral("PRAGMA user_version = 2")}));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("older program"));

    QCOMPARE(Store::open(store.storePath()).status, Store::Status::Ready);
    QSqlDatabase db = Store::database();
    QCOMPARE(Schema::version(db).value(), Schema::currentVersion());
    QCOMPARE(marks(), QStringList());
    VERIFY_OK(jobDone(db, 10));
    VERIFY_OK(addPerson(db));
    QCOMPARE(marks(), (QStringList{QStringLiteral("contact:") + kNewStamp, QStringLiteral("job:") + kJob}));
}

QTEST_GUILESS_MAIN(TstSyncState)
#include "tst_sync_state.moc"
