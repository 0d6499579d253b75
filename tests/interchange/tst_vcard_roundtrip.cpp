// Contacts through a vCard file and back: an export imported into an empty
// store gives the same records field by field (photos pixel for pixel),
// importing again updates instead of adding, and a card is written whole or
// not at all.
#include "interchange/core/RecordUids.h"
#include "interchange/core/VCardExport.h"
#include "interchange/core/VCardImport.h"
#include "store/ContactColumns.h"
#include "store/FieldCodec.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QBuffer>
#include <QImage>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <optional>

using namespace ContactColumns;

namespace {

const QDateTime kNow(QDate(2026, 5, 1), QTime(8, 0));

QByteArray bmpPhoto(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 11 % 256, (x + y) * 5 % 256));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

bool run(const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(Store::database());
    query.prepare(sql);
    for (const QVariant &v : values)
        query.addBindValue(v);
    if (!query.exec())
        qWarning() << sql << query.lastError().text();
    return !query.lastError().isValid();
}

QVariant scalar(const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(Store::database());
    query.prepare(sql);
    for (const QVariant &v : values)
        query.addBindValue(v);
    return query.exec() && query.next() ? query.value(0) : QVariant();
}

QStringList stored(const QStringList &texts, bool encode)
{
    QStringList out;
    for (const QString &t : texts)
        out << (encode ? FieldCodec::encode(t) : t);
    return out;
}

void addPerson(const QString &id, const QStringList &texts, bool male, const QByteArray &photo, bool encode)
{
    QVariantList values{id};
    for (const QString &t : stored(texts, encode))
        values << t;
    values << male << photo << encode;
    QVERIFY(run(QStringLiteral("INSERT INTO pe_info (pe_id, %1, pe_sex, pe_img, e_dec_yn) VALUES (?%2)")
                    .arg(kPersonTexts.join(u','), QStringLiteral(", ?").repeated(PersonTextCount + 3)),
                values));
}

void addUnit(const QString &id, const QStringList &texts, bool encode)
{
    QVariantList values{id};
    for (const QString &t : stored(texts, encode))
        values << t;
    values << encode;
    QVERIFY(run(QStringLiteral("INSERT INTO pe_dw_info (pe_id, %1, e_dec_yn) VALUES (?%2)")
                    .arg(kUnitTexts.join(u','), QStringLiteral(", ?").repeated(UnitTextCount + 1)),
                values));
}

void addOther(const QString &id, const QString &memo, bool encode)
{
    QVERIFY(run(QStringLiteral("INSERT INTO pe_other_info (pe_id, pe_other_memo, e_dec_yn) VALUES (?, ?, ?)"),
                {id, encode ? FieldCodec::encode(memo) : memo, encode}));
}

// Every column of every contact row but the ids, contacts in name order,
// photos as their pixels. Equal snapshots are equal address books.
QStringList snapshot()
{
    QStringList lines;
    QSqlQuery people(Store::database());
    people.exec(QStringLiteral("SELECT pe_id, %1, pe_sex, pe_img, e_dec_yn FROM pe_info ORDER BY rowid")
                    .arg(kPersonTexts.join(u',')));
    QMap<QString, QStringList> byContact; // first name -> lines
    QMap<QString, QString> firstName;
    while (people.next()) {
        const QString id = people.value(0).toString();
        QStringList row;
        for (int i = 1; i <= PersonTextCount + 2; ++i)
            row << people.value(i).toString();
        const QImage photo =
            QImage::fromData(people.value(PersonTextCount + 2).toByteArray()).convertToFormat(QImage::Format_RGB32);
        row.last() = photo.isNull() ? QStringLiteral("no photo")
                                    : QString::number(qHashBits(photo.constBits(), photo.sizeInBytes()))
                                          + QStringLiteral(" %1x%2").arg(photo.width()).arg(photo.height());
        row << people.value(PersonTextCount + 3).toString();
        if (!firstName.contains(id))
            firstName.insert(id, row.first());
        byContact[firstName.value(id)] << QStringLiteral("person ") + row.join(u'|');
    }
    for (const auto &[table, columns] :
         {std::pair{QStringLiteral("pe_dw_info"), kUnitTexts.join(u',') + QStringLiteral(",e_dec_yn")},
          std::pair{QStringLiteral("pe_other_info"), QStringLiteral("pe_other_memo,e_dec_yn")}}) {
        QSqlQuery rows(Store::database());
        rows.exec(QStringLiteral("SELECT pe_id, %1 FROM %2 ORDER BY rowid").arg(columns, table));
        while (rows.next()) {
            QStringList row;
            for (int i = 1; i < rows.record().count(); ++i)
                row << rows.value(i).toString();
            byContact[firstName.value(rows.value(0).toString(), QStringLiteral("(orphan)"))]
                << table + u' ' + row.join(u'|');
        }
    }
    for (auto it = byContact.cbegin(); it != byContact.cend(); ++it)
        lines << it.key() << it.value();
    return lines;
}

QStringList allIds()
{
    QStringList ids;
    QSqlQuery query(Store::database());
    query.exec(QStringLiteral("SELECT DISTINCT pe_id FROM pe_info ORDER BY pe_id"));
    while (query.next())
        ids << query.value(0).toString();
    return ids;
}

void emptyStore()
{
    for (const char *table : {"pe_info", "pe_dw_info", "pe_other_info", "record_uid"})
        QVERIFY(run(QStringLiteral("DELETE FROM ") + QLatin1String(table)));
}

// Reads the whole file and writes it with `choice`.
std::optional<VCardImport> imported(const QByteArray &bytes, VCardImport::Choice choice = {})
{
    Result<VCardImport> import = VCardImport::fromBytes(Store::database(), bytes);
    if (!import) {
        qWarning() << import.error();
        return std::nullopt;
    }
    while (import->readStep(50)) { }
    import->startWriting(choice, kNow);
    while (import->writeStep(50)) { }
    return std::move(import).value();
}

QByteArray exported(VCardWriter::Version version = VCardWriter::Version::V30)
{
    Result<VCardExport> run = VCardExport::run(Store::database(), allIds(), version);
    return run ? run->bytes() : QByteArray();
}

QByteArray card(const QString &name, const QString &uid, const QString &more = {})
{
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nFN:%2\r\n%3END:VCARD\r\n")
        .arg(uid, name, more)
        .toUtf8();
}

} // namespace

class tst_vcard_roundtrip final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store.emplace();
        VERIFY_OK(m_store->make());
        emptyStore();
    }
    void cleanup() { m_store.reset(); }

    void exportThenImportGivesTheSameRecords_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("3.0") << int(VCardWriter::Version::V30);
        QTest::newRow("4.0") << int(VCardWriter::Version::V40);
    }
    void exportThenImportGivesTheSameRecords()
    {
        QFETCH(int, version);
        addPerson(QStringLiteral("20240101080000"),
                  {QStringLiteral("张三"), QStringLiteral("北京市海淀区1号"), QStringLiteral("13800138000"),
                   QStringLiteral("微信 zs"), QStringLiteral("010-1"), QStringLiteral("100080"),
                   QStringLiteral("110101199001011234"), QStringLiteral("河北省,保定市;某县"),
                   QStringLiteral("zs@example.com"), QStringLiteral("两行\n备注; 含\\反斜杠")},
                  true, bmpPhoto(29, 37), false);
        addUnit(QStringLiteral("20240101080000"),
                {QStringLiteral("甲公司"), QStringLiteral("北京"), QStringLiteral("010-2"), QStringLiteral("010-3"),
                 QStringLiteral("https://a.example"), QStringLiteral(" 说明\n保留空白 ")},
                false);
        addUnit(QStringLiteral("20240101080000"),
                {QStringLiteral("乙公司"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                 QStringLiteral("-"), QStringLiteral("-")},
                true);
        addOther(QStringLiteral("20240101080000"), QStringLiteral(" 其他信息 "), false);
        // Protected, a woman, no photo, only a few values.
        addPerson(QStringLiteral("20240101080001"),
                  {QStringLiteral("李四"), QStringLiteral("-"), QStringLiteral("13900000000"), QStringLiteral("-"),
                   QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                   QStringLiteral("QQ 12345"), QStringLiteral("-")},
                  false, QByteArray(""), true);
        addOther(QStringLiteral("20240101080001"), QStringLiteral("-"), true);
        // An older store's contact with two personal records under one id.
        addPerson(QStringLiteral("20240101080002"),
                  {QStringLiteral("王五"), QStringLiteral("-"), QStringLiteral("1"), QStringLiteral("-"),
                   QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                   QStringLiteral("-"), QStringLiteral("-")},
                  true, QByteArray(""), false);
        addPerson(QStringLiteral("20240101080002"),
                  {QStringLiteral("王五(旧)"), QStringLiteral("-"), QStringLiteral("2"), QStringLiteral("-"),
                   QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                   QStringLiteral("-"), QStringLiteral("-")},
                  false, bmpPhoto(120, 20), false);
        const QStringList before = snapshot();

        const QByteArray file = exported(VCardWriter::Version(version));
        QCOMPARE(file.count("BEGIN:VCARD"), 4);
        emptyStore();
        const std::optional<VCardImport> import = imported(file);
        QVERIFY(import);
        QVERIFY2(import->error().isEmpty(), qPrintable(import->error()));
        QCOMPARE(import->count(CardPlan::Outcome::Added), 3);
        QCOMPARE(import->count(CardPlan::Outcome::Updated), 1); // the second record joins its contact
        QCOMPARE(snapshot(), before);
        QCOMPARE(scalar(QStringLiteral("SELECT count(DISTINCT pe_id) FROM pe_info")).toInt(), 3);
    }

    void uidsStayAndImportingAgainUpdates()
    {
        addPerson(QStringLiteral("20240101080000"),
                  {QStringLiteral("张三"), QStringLiteral("-"), QStringLiteral("1"), QStringLiteral("-"),
                   QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                   QStringLiteral("-"), QStringLiteral("-")},
                  true, bmpPhoto(4, 4), false);
        const QByteArray first = exported();
        QCOMPARE(exported(), first);

        // Not allowed to update: nothing changes.
        std::optional<VCardImport> again = imported(first);
        QVERIFY(again);
        QCOMPARE(again->plans().at(0).kind, CardPlan::Kind::Update);
        QCOMPARE(again->plans().at(0).existingName, QStringLiteral("张三"));
        QCOMPARE(again->count(CardPlan::Outcome::Skipped), 1);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM pe_info")).toInt(), 1);

        // Allowed: the same contact takes the card's values; the photo stays,
        // as the card has none.
        QByteArray changed = first;
        changed.replace("TEL;TYPE=CELL:1", "TEL;TYPE=CELL:2");
        const qsizetype photo = changed.indexOf("PHOTO");
        changed.remove(photo, changed.indexOf("END:VCARD") - photo);
        again = imported(changed, {true, false});
        QVERIFY(again);
        QCOMPARE(again->count(CardPlan::Outcome::Updated), 1);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM pe_info")).toInt(), 1);
        QCOMPARE(scalar(QStringLiteral("SELECT pe_mib FROM pe_info")).toString(), QStringLiteral("2"));
        QVERIFY(!QImage::fromData(scalar(QStringLiteral("SELECT pe_img FROM pe_info")).toByteArray()).isNull());
    }

    void updateReplacesUnitsAndKeepsProtection()
    {
        addPerson(QStringLiteral("20240101080000"),
                  {QStringLiteral("张三"), QStringLiteral("-"), QStringLiteral("1"), QStringLiteral("-"),
                   QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                   QStringLiteral("-"), QStringLiteral("-")},
                  true, QByteArray(""), true);
        for (const char *name : {"甲", "乙", "丙"})
            addUnit(QStringLiteral("20240101080000"),
                    {QString::fromUtf8(name), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                     QStringLiteral("-"), QStringLiteral("-")},
                    false);
        VERIFY_OK(RecordUids::keep(Store::database(), RecordUids::Kind::Contact, QStringLiteral("20240101080000"),
                                   QStringLiteral("u-1")));
        const std::optional<VCardImport> import = imported(
            card(QStringLiteral("张三丰"), QStringLiteral("u-1"), QStringLiteral("ORG:丁\r\n")), {true, false});
        QVERIFY(import);
        QCOMPARE(import->count(CardPlan::Outcome::Updated), 1);
        QCOMPARE(scalar(QStringLiteral("SELECT e_dec_yn FROM pe_info")).toBool(), true);
        QCOMPARE(FieldCodec::decode(scalar(QStringLiteral("SELECT pe_name FROM pe_info")).toString()).text,
                 QStringLiteral("张三丰"));
        QCOMPARE(scalar(QStringLiteral("SELECT group_concat(dw_name) FROM pe_dw_info")).toString(),
                 QStringLiteral("丁"));
    }

    void tooLongValuesAreNamedAndNeverCutSilently_data()
    {
        QTest::addColumn<bool>("cut");
        QTest::newRow("left out") << false;
        QTest::newRow("cut on choice") << true;
    }
    void tooLongValuesAreNamedAndNeverCutSilently()
    {
        QFETCH(bool, cut);
        const QString longName = QString(60, u'名');
        const std::optional<VCardImport> import =
            imported(card(longName, QStringLiteral("u-2"), QStringLiteral("TEL;TYPE=CELL:123\r\n"))
                         + card(QStringLiteral("短"), QStringLiteral("u-3")),
                     {false, cut});
        QVERIFY(import);
        QCOMPARE(import->tooLongCount(), 1);
        QCOMPARE(import->plans().at(0).tooLong, QStringList{QStringLiteral("姓名60字,最多50字")});
        QCOMPARE(import->plans().at(0).outcome, cut ? CardPlan::Outcome::Added : CardPlan::Outcome::Skipped);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM pe_info")).toInt(), cut ? 2 : 1);
        if (cut)
            QCOMPARE(scalar(QStringLiteral("SELECT pe_name FROM pe_info WHERE pe_mib = '123'")).toString(),
                     longName.left(50));
    }

    // 30 Chinese characters fit the name column as typed, not encoded.
    void widthsAreCheckedInTheFormTheyAreStored()
    {
        addPerson(QStringLiteral("20240101080000"),
                  {QStringLiteral("旧名"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                   QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                   QStringLiteral("-"), QStringLiteral("-")},
                  true, QByteArray(""), true);
        VERIFY_OK(RecordUids::keep(Store::database(), RecordUids::Kind::Contact, QStringLiteral("20240101080000"),
                                   QStringLiteral("u-1")));
        const QString name = QString(30, u'名');
        const std::optional<VCardImport> import =
            imported(card(name, QStringLiteral("u-1")) + card(name, QStringLiteral("u-2")), {true, false});
        QVERIFY(import);
        QCOMPARE(import->plans().at(0).tooLong, QStringList{QStringLiteral("姓名加密后80字,最多50字")});
        QVERIFY(import->plans().at(1).tooLong.isEmpty());
        QCOMPARE(import->count(CardPlan::Outcome::Added), 1);
        QCOMPARE(
            FieldCodec::decode(scalar(QStringLiteral("SELECT pe_name FROM pe_info WHERE e_dec_yn")).toString()).text,
            QStringLiteral("旧名"));
    }

    // A store error inside a card undoes that card; the cards before it stay.
    void aCardIsWrittenWholeOrNotAtAll()
    {
        QVERIFY(run(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON pe_other_info "
                                   "WHEN NEW.pe_other_memo = 'boom' BEGIN SELECT RAISE(ABORT, 'disk trouble'); END")));
        const QByteArray file =
            card(QStringLiteral("甲"), QStringLiteral("a"))
            + card(QStringLiteral("乙"), QStringLiteral("b"), QStringLiteral("ORG:乙公司\r\nother1.NOTE:boom\r\n"))
            + card(QStringLiteral("丙"), QStringLiteral("c"));
        const std::optional<VCardImport> import = imported(file);
        QVERIFY(import);
        QVERIFY(import->error().contains(QStringLiteral("disk trouble")));
        QCOMPARE(scalar(QStringLiteral("SELECT group_concat(pe_name) FROM pe_info")).toString(), QStringLiteral("甲"));
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM pe_dw_info")).toInt(), 0);
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM record_uid WHERE uid = 'b'")).toInt(), 0);
        QCOMPARE(import->plans().at(1).outcome, CardPlan::Outcome::Failed);
        QCOMPARE(import->plans().at(2).outcome, CardPlan::Outcome::Pending);
    }

    // A card the store refuses part way (a value too long for its column
    // that the preview could not see) stays out whole; the cards around it,
    // in the same step, come in.
    void aCardThatFailsPartWayLeavesTheOthersWhole()
    {
        QVERIFY(
            run(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON pe_dw_info WHEN NEW.dw_name = 'bad' "
                               "BEGIN SELECT RAISE(ABORT, 'CHECK constraint failed: length(dw_name) <= 255'); END")));
        const QByteArray file = card(QStringLiteral("甲"), QStringLiteral("a"), QStringLiteral("ORG:good\r\n"))
                                + card(QStringLiteral("乙"), QStringLiteral("b"), QStringLiteral("ORG:bad\r\n"))
                                + card(QStringLiteral("丙"), QStringLiteral("c"), QStringLiteral("ORG:good\r\n"));
        const std::optional<VCardImport> import = imported(file);
        QVERIFY(import);
        QVERIFY2(import->error().isEmpty(), qPrintable(import->error()));
        QCOMPARE(scalar(QStringLiteral("SELECT group_concat(pe_name) FROM pe_info")).toString(),
                 QStringLiteral("甲,丙"));
        QCOMPARE(scalar(QStringLiteral("SELECT count(*) FROM pe_dw_info")).toInt(), 2);
        QCOMPARE(scalar(QStringLiteral("SELECT group_concat(uid) FROM record_uid")).toString(), QStringLiteral("a,c"));
        QCOMPARE(import->plans().at(0).outcome, CardPlan::Outcome::Added);
        QCOMPARE(import->plans().at(1).outcome, CardPlan::Outcome::Failed);
        QCOMPARE(import->plans().at(2).outcome, CardPlan::Outcome::Added);
    }

    void aUidTwiceInOneFileIsRefusedTheSecondTime()
    {
        const std::optional<VCardImport> import = imported(card(QStringLiteral("甲"), QStringLiteral("same"))
                                                           + card(QStringLiteral("乙"), QStringLiteral("same")));
        QVERIFY(import);
        QCOMPARE(import->plans().at(1).kind, CardPlan::Kind::Refused);
        QVERIFY(import->plans().at(1).error.contains(QStringLiteral("第1张")));
        QCOMPARE(scalar(QStringLiteral("SELECT group_concat(pe_name) FROM pe_info")).toString(), QStringLiteral("甲"));
    }

    void importedPhotosAreStoredAsTheAddressBookStoresThem_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("stored");
        QTest::newRow("small kept") << QSize(40, 50) << QSize(40, 50);
        QTest::newRow("large scaled down") << QSize(1000, 500) << QSize(290, 145);
    }
    void importedPhotosAreStoredAsTheAddressBookStoresThem()
    {
        QFETCH(QSize, size);
        QFETCH(QSize, stored);
        QImage image(size, QImage::Format_ARGB32);
        image.fill(QColor(255, 0, 0, 128));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(image.save(&buffer, "PNG"));
        const std::optional<VCardImport> import =
            imported(card(QStringLiteral("甲"), QStringLiteral("p"),
                          QStringLiteral("PHOTO;ENCODING=b;TYPE=PNG:%1\r\n").arg(QString::fromLatin1(png.toBase64()))));
        QVERIFY(import);
        const QByteArray bmp = scalar(QStringLiteral("SELECT pe_img FROM pe_info")).toByteArray();
        QVERIFY(bmp.startsWith("BM"));
        const QImage read = QImage::fromData(bmp);
        QCOMPARE(read.size(), stored);
        QVERIFY(!read.hasAlphaChannel());
    }

private:
    std::optional<TempStore> m_store;
};

QTEST_MAIN(tst_vcard_roundtrip)
#include "tst_vcard_roundtrip.moc"
