#include "contacts/core/ContactSearch.h"
#include "contacts/core/OtherRepository.h"
#include "contacts/core/PersonRepository.h"
#include "contacts/core/StoredForm.h"
#include "contacts/core/UnitRepository.h"
#include "store/Clock.h"
#include "store/FieldCodec.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QSqlQuery>
#include <QTest>

using Kind = ContactSearch::Kind;

// Repositories, stored form and the six searches over a private store.
class TstContactStore : public QObject
{
    Q_OBJECT

    static PersonRecord person(const QString &name, const QString &mobile = QStringLiteral("-"),
                               const QString &remarks = QStringLiteral("-"))
    {
        PersonRecord record;
        record.texts = StoredForm::withPlaceholders({name, {}, mobile, {}, {}, {}, {}, {}, {}, remarks});
        return record;
    }

    static QString addPerson(PersonRecord record)
    {
        return PersonRepository(Store::database()).append(record, Clock::now()).ok() ? record.id : QString();
    }

    static void addUnit(const QString &id, const QString &name, const QString &notes)
    {
        UnitRecord unit{-1, id, {name, "-", "-", "-", "-", notes}, false};
        QVERIFY(UnitRepository(Store::database()).append(unit).ok());
    }

    static void addOther(const QString &id, const QString &memo)
    {
        OtherRecord other{-1, id, memo, false};
        QVERIFY(OtherRepository(Store::database()).append(other).ok());
    }

    static QStringList foundIds(Kind kind, const QString &text)
    {
        const auto hits = ContactSearch::run(Store::database(), kind, text);
        QStringList ids;
        for (const auto &hit : hits.valueOr({}))
            ids << hit.contactId;
        return ids;
    }

private slots:
    void init() { Clock::setNow(QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53))); }
    void cleanup() { Clock::reset(); }

    void storedForm_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("encode");
        QTest::addColumn<bool>("keepLast");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("placeholders") << QStringList{"张三", "", " ", "\t\r\n"} << false << false
                                      << QStringList{"张三", "-", "-", "-"};
        QTest::newRow("trimmed") << QStringList{"  张三\n", " 北京 ", "备注\r\n"} << false << false
                                 << QStringList{"张三", "北京", "备注"};
        QTest::newRow("notes kept as typed") << QStringList{" 公司 ", "", "  第一行\n第二行 "} << false << true
                                             << QStringList{"公司", "-", "  第一行\n第二行 "};
        QTest::newRow("encoded with placeholders")
            << QStringList{"中", ""} << true << false << QStringList{"1tA=", FieldCodec::encode("-")};
        QTest::newRow("empty name stays empty") << QStringList{"  ", "x"} << true << false << QStringList{"", "x"};
    }
    void storedForm()
    {
        QFETCH(QStringList, typed);
        QFETCH(bool, encode);
        QFETCH(bool, keepLast);
        QFETCH(QStringList, stored);
        QCOMPARE(StoredForm::toStore(typed, encode, keepLast), stored);
        if (encode && !stored.first().isEmpty()) {
            const auto back = StoredForm::shown(stored, true);
            QVERIFY(back.ok());
            QCOMPARE(back.texts, StoredForm::toStore(typed, false, keepLast));
        }
    }

    void undecodableValueIsShownAsStoredWithTheError()
    {
        const auto shown = StoredForm::shown({"1tA=", "not base64!"}, true);
        QCOMPARE(shown.texts, (QStringList{"中", "not base64!"}));
        QCOMPARE(shown.error, FieldCodec::kDecodeError);
    }

    void personRoundTripAndRowidAddressing()
    {
        TempStore store;
        VERIFY_OK(store.make());
        PersonRecord record = person("甲", "13900000000");
        record.male = false;
        record.photo = QByteArray("BM\x00\x01", 4);
        record.encoded = true;
        const QString id = addPerson(record);
        QCOMPARE(id, QStringLiteral("20260314092653"));
        PersonRepository repository(Store::database());
        auto rows = repository.byContact(id).value();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].texts, record.texts);
        QCOMPARE(rows[0].male, false);
        QCOMPARE(rows[0].photo, record.photo);
        QVERIFY(rows[0].encoded);

        // Two rows sharing an id (older stores): an edit touches only its own row.
        QSqlQuery insert(Store::database());
        insert.prepare("INSERT INTO pe_info (pe_id, pe_name) VALUES (?, ?)");
        insert.addBindValue(id);
        insert.addBindValue("乙");
        QVERIFY(insert.exec());
        rows = repository.byContact(id).value();
        QCOMPARE(rows.size(), 2);
        rows[1].texts[0] = "丙";
        QCOMPARE(repository.update(rows[1]).value(), RowChange::Done);
        QCOMPARE(repository.remove(rows[0].rowid).value(), RowChange::Done);
        rows = repository.byContact(id).value();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].texts[0], QStringLiteral("丙"));
    }

    void contactsSavedInOneSecondGetTheirOwnIds()
    {
        TempStore store;
        VERIFY_OK(store.make());
        const QStringList ids{addPerson(person("一")), addPerson(person("二")), addPerson(person("三"))};
        QCOMPARE(ids, (QStringList{"20260314092653", "20260314092654", "20260314092655"}));
        // Their units stay apart.
        addUnit(ids[0], "甲公司", "-");
        QCOMPARE(UnitRepository(Store::database()).byContact(ids[1]).value().size(), 0);
    }

    void overLongEncodedValueIsRefusedWithTheFieldNamed()
    {
        TempStore store;
        VERIFY_OK(store.make());
        PersonRecord record = person("张三");
        // 30 CJK characters fit the 50-character column as typed, not encoded.
        record.texts[2] = QString(30, QChar(0x4E2D));
        QVERIFY(!addPerson(record).isEmpty());
        record.texts = StoredForm::toStore(record.texts, true);
        record.encoded = true;
        const Result<void> written = PersonRepository(Store::database()).append(record, Clock::now());
        QVERIFY(!written);
        QVERIFY2(written.error().contains("“手机”") && written.error().contains("50"), qPrintable(written.error()));
        QSqlQuery count(Store::database());
        QVERIFY(count.exec("SELECT count(*) FROM pe_info") && count.next());
        QCOMPARE(count.value(0).toInt(), 1);
    }

    // Every step a repository or a search takes, by table: the error text
    // it gives (empty when it succeeded).
    static QString attempt(const QString &table, const QString &operation)
    {
        const QSqlDatabase db = Store::database();
        const QString id = QStringLiteral("20260314092653");
        if (operation == u"search") {
            const Kind kind = table == u"pe_info" ? Kind::Name : table == u"pe_dw_info" ? Kind::UnitName : Kind::Other;
            return ContactSearch::run(db, kind, QStringLiteral("甲")).error();
        }
        const qint64 rowid = 1;
        if (table == u"pe_info") {
            PersonRepository repository(db);
            PersonRecord record = person("甲");
            record.rowid = rowid;
            if (operation == u"read")
                return repository.byContact(id).error();
            if (operation == u"append")
                return repository.append(record, Clock::now()).error();
            return operation == u"update" ? repository.update(record).error() : repository.remove(rowid).error();
        }
        if (table == u"pe_dw_info") {
            UnitRepository repository(db);
            UnitRecord record{rowid, id, {"甲公司", "-", "-", "-", "-", "-"}, false};
            if (operation == u"read")
                return repository.byContact(id).error();
            if (operation == u"append")
                return repository.append(record).error();
            return operation == u"update" ? repository.update(record).error() : repository.remove(rowid).error();
        }
        OtherRepository repository(db);
        OtherRecord record{rowid, id, "其他", false};
        if (operation == u"read")
            return repository.byContact(id).error();
        if (operation == u"append")
            return repository.append(record).error();
        return operation == u"update" ? repository.update(record).error() : repository.remove(rowid).error();
    }

    void missingTableIsReportedInTheEngineWords_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("operation");
        for (const char *table : {"pe_info", "pe_dw_info", "pe_other_info"}) {
            for (const char *operation : {"read", "append", "update", "remove", "search"})
                QTest::addRow("%s, %s", table, operation)
                    << QString::fromLatin1(table) << QString::fromLatin1(operation);
        }
    }
    // A store that lost a table (damaged, or written by another program):
    // every statement that cannot even be prepared says so in the engine's
    // words, and writes nothing.
    void missingTableIsReportedInTheEngineWords()
    {
        QFETCH(QString, table);
        QFETCH(QString, operation);
        TempStore store;
        VERIFY_OK(store.make());
        QVERIFY(attempt(table, operation).isEmpty() || operation == u"update" || operation == u"remove");
        QVERIFY(QSqlQuery(Store::database()).exec(QStringLiteral("ALTER TABLE %1 RENAME TO lost_%1").arg(table)));
        const QString error = attempt(table, operation);
        QVERIFY2(error.contains(QStringLiteral("no such table: %1").arg(table)), qPrintable(error));
    }

    void search_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names"); // contacts found, in result order
        QTest::newRow("name") << int(Kind::Name) << "王" << QStringList{"王五", "老王"};
        QTest::newRow("mobile") << int(Kind::Mobile) << "139" << QStringList{"王五"};
        QTest::newRow("personal memo") << int(Kind::PersonalMemo) << "50%" << QStringList{"老王"};
        QTest::newRow("unit name, two units of one contact")
            << int(Kind::UnitName) << "公司" << QStringList{"王五", "王五"};
        QTest::newRow("unit memo") << int(Kind::UnitMemo) << "a_b" << QStringList{"王五"};
        QTest::newRow("other") << int(Kind::Other) << "O'Brien" << QStringList{"老王"};
        QTest::newRow("percent is literal") << int(Kind::PersonalMemo) << "%" << QStringList{"老王"};
        QTest::newRow("underscore is literal") << int(Kind::UnitMemo) << "_" << QStringList{"王五"};
        QTest::newRow("backslash is literal") << int(Kind::Name) << "\\" << QStringList{};
        QTest::newRow("quote is literal") << int(Kind::Other) << "'" << QStringList{"老王"};
        QTest::newRow("encoded name not found") << int(Kind::Name) << "密" << QStringList{};
    }
    void search()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        TempStore store;
        VERIFY_OK(store.make());
        QHash<QString, QString> nameOf;
        const QString wang = addPerson(person("王五", "13900000000", "朋友"));
        const QString lao = addPerson(person("老王", "-", "涨了50%"));
        PersonRecord secret = person("秘密");
        secret.texts = StoredForm::encodedAll(secret.texts);
        secret.encoded = true;
        addPerson(secret);
        nameOf[wang] = "王五";
        nameOf[lao] = "老王";
        addUnit(lao, "-", "ab");
        addUnit(wang, "一公司", "a_b");
        addUnit(wang, "二公司", "-");
        addOther(lao, "O'Brien 的朋友");
        addOther(wang, "-");

        QStringList found;
        for (const QString &id : foundIds(Kind(kind), text))
            found << nameOf.value(id, id);
        QCOMPARE(found, names);
    }

    // Latin text also finds names and unit names by their pinyin: whole
    // syllables or their beginnings, in a run; Chinese text stays literal,
    // protected names stay unfound, the other kinds stay literal.
    void pinyinSearch_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("names"); // contacts found, in result order
        const int name = int(Kind::Name);
        QTest::newRow("initials") << name << "zs" << QStringList{"张三"};
        QTest::newRow("syllable and an initial") << name << "zhangs" << QStringList{"张三"};
        QTest::newRow("full reading") << name << "zhangsan" << QStringList{"张三"};
        QTest::newRow("capitals") << name << "ZhangSan" << QStringList{"张三"};
        QTest::newRow("with a blank") << name << "zhang san" << QStringList{"张三"};
        QTest::newRow("two names of one reading") << name << "zhang" << QStringList{"张三", "张小明"};
        QTest::newRow("surname read as a surname") << name << "zgf" << QStringList{"曾国藩"};
        QTest::newRow("surname in full") << name << "zengguofan" << QStringList{"曾国藩"};
        QTest::newRow("not its common reading") << name << "cengguofan" << QStringList{};
        QTest::newRow("an initial, then a syllable cut short") << name << "zsa" << QStringList{"张三"};
        QTest::newRow("a syllable too many") << name << "zsf" << QStringList{};
        QTest::newRow("not from a syllable's start") << name << "angsan" << QStringList{};
        QTest::newRow("chinese stays literal") << name << "张" << QStringList{"张三", "张小明"};
        QTest::newRow("latin name by its reading") << name << "tl" << QStringList{"Tom Lee"};
        QTest::newRow("latin name, literal only") << name << "om l" << QStringList{"Tom Lee"};
        QTest::newRow("unit name") << int(Kind::UnitName) << "hwjs" << QStringList{"张小明"};
        QTest::newRow("unit name, literal") << int(Kind::UnitName) << "acme" << QStringList{"Tom Lee"};
        QTest::newRow("memo stays literal") << int(Kind::PersonalMemo) << "zs" << QStringList{};
        QTest::newRow("other stays literal") << int(Kind::Other) << "zs" << QStringList{};
    }
    void pinyinSearch()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QStringList, names);
        TempStore store;
        VERIFY_OK(store.make());
        QHash<QString, QString> nameOf;
        for (const QString &each : QStringList{"张三", "曾国藩", "张小明", "Tom Lee"})
            nameOf[addPerson(person(each, "-", "张三的朋友"))] = each;
        PersonRecord secret = person("张三");
        secret.texts = StoredForm::encodedAll(secret.texts);
        secret.encoded = true;
        nameOf[addPerson(secret)] = QStringLiteral("protected 张三");
        addUnit(nameOf.key("张小明"), "华为技术", "-");
        addUnit(nameOf.key("Tom Lee"), "Acme Ltd", "-");
        addOther(nameOf.key("张三"), "张三");

        QStringList found;
        for (const QString &id : foundIds(Kind(kind), text))
            found << nameOf.value(id, id);
        QCOMPARE(found, names);
    }
};

QTEST_GUILESS_MAIN(TstContactStore)
#include "tst_contact_store.moc"
