// Files that are no good vCard, or only partly: each gets a clear message,
// and no contact is half-written. Whole-file faults refuse the file before
// anything is read into the store; a fault inside one card refuses that card
// and lets the others in.
#include "interchange/core/VCardImport.h"
#include "store/Store.h"
#include "TempStore.h"

#include <QFile>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTest>

#include <optional>

namespace {

QStringList names()
{
    QStringList list;
    QSqlQuery query(Store::database());
    query.exec(QStringLiteral("SELECT pe_name FROM pe_info ORDER BY rowid"));
    while (query.next())
        list << query.value(0).toString();
    return list;
}

int rows(const char *table)
{
    QSqlQuery query(Store::database());
    query.exec(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table));
    return query.next() ? query.value(0).toInt() : -1;
}

QByteArray card(const char *name, const QByteArray &more = {})
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + QByteArray(name) + "\r\nORG:" + name + "的公司\r\n" + more
           + "END:VCARD\r\n";
}

} // namespace

class tst_vcard_hostile final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store.emplace();
        VERIFY_OK(m_store->make());
        QSqlQuery(Store::database()).exec(QStringLiteral("DELETE FROM pe_info"));
        QSqlQuery(Store::database()).exec(QStringLiteral("DELETE FROM pe_dw_info"));
    }
    void cleanup() { m_store.reset(); }

    void wholeFileFaultsRefuseTheFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said");
        QTest::newRow("NUL byte") << card("甲") + QByteArray("FN:\0x\r\n", 7) + card("乙")
                                  << QStringLiteral("第6行含有空字符(NUL)");
        QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        const QByteArray wide = utf16.encode(QString::fromUtf8(card("甲") + QByteArray("FN:\0x\r\n", 7)));
        QTest::newRow("NUL in UTF-16") << wide << QStringLiteral("第6行含有空字符(NUL)");
    }
    void wholeFileFaultsRefuseTheFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        const Result<VCardImport> import = VCardImport::fromBytes(Store::database(), bytes);
        QVERIFY(!import);
        QVERIFY2(import.error().contains(said), qPrintable(import.error()));
        QCOMPARE(rows("pe_info"), 0);
    }

    // Refused by its size before a byte is read: the file is sparse, so the
    // test costs no disk.
    void aHundredMegabyteFileIsRefused()
    {
        const QString path = m_store->filePath(QStringLiteral("huge.vcf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(card("甲")) > 0);
        QVERIFY(file.resize(100 * 1000 * 1000));
        file.close();
        const Result<VCardImport> import = VCardImport::open(Store::database(), path);
        QVERIFY(!import);
        QVERIFY2(import.error().contains(QStringLiteral("太大")), qPrintable(import.error()));
        QVERIFY(import.error().contains(QStringLiteral("huge.vcf")));
        QCOMPARE(rows("pe_info"), 0);
    }

    void faultsInsideACardRefuseThatCard_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("refused"); // the card's place, from 0
        QTest::addColumn<QString>("said");
        QTest::addColumn<QStringList>("written");
        const QStringList both{QStringLiteral("甲"), QStringLiteral("丙")};
        QTest::newRow("broken base64 photo")
            << card("甲") + card("乙", "PHOTO;ENCODING=b;TYPE=PNG:iVBOR*w0KGgo=\r\n") + card("丙") << 1
            << QStringLiteral("不是有效的BASE64编码") << both;
        QTest::newRow("broken data URI photo")
            << card("甲") + card("乙", "PHOTO:data:image/png;base64,@@@@\r\n") + card("丙") << 1
            << QStringLiteral("不是有效的BASE64编码") << both;
        QTest::newRow("photo that is no picture")
            << card("甲") + card("乙", "PHOTO;ENCODING=b;TYPE=PNG:" + QByteArray("not a picture").toBase64() + "\r\n")
                   + card("丙")
            << 1 << QStringLiteral("照片不是可以读取的图片") << both;
        QTest::newRow("unknown charset") << card("甲") + card("乙", "NOTE;CHARSET=X-NOWHERE:abc\r\n") + card("丙") << 1
                                         << QStringLiteral("字符集“X-NOWHERE”无法识别") << both;
        QTest::newRow("card without name")
            << card("甲") + QByteArray("BEGIN:VCARD\r\nTEL:1\r\nEND:VCARD\r\n") + card("丙") << 1
            << QStringLiteral("没有姓名") << both;
        QTest::newRow("unterminated at the end")
            << card("甲") + card("丙") + QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:乙\r\nTEL:1") << 2
            << QStringLiteral("到文件结尾也没有结束") << both;
        QTest::newRow("card begun inside a card")
            << card("甲") + QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:乙\r\n") + card("丙") << 1
            << QStringLiteral("第6行开始的卡片在第9行之前没有结束") << both;
    }
    void faultsInsideACardRefuseThatCard()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, refused);
        QFETCH(QString, said);
        QFETCH(QStringList, written);
        Result<VCardImport> import = VCardImport::fromBytes(Store::database(), bytes);
        VERIFY_OK(import);
        while (import->readStep(50)) { }
        QCOMPARE(import->plans().size(), 3);
        const CardPlan &bad = import->plans().at(refused);
        QCOMPARE(bad.kind, CardPlan::Kind::Refused);
        QVERIFY2(bad.error.contains(said), qPrintable(bad.error));
        import->startWriting({true, true}, QDateTime(QDate(2026, 5, 1), QTime(8, 0)));
        while (import->writeStep(50)) { }
        QVERIFY(import->error().isEmpty());
        QCOMPARE(names(), written);
        QCOMPARE(rows("pe_dw_info"), written.size()); // no unit of the refused card either
    }

    void structureOutsideCardsIsReportedAndSkipped()
    {
        Result<VCardImport> import = VCardImport::fromBytes(Store::database(), "junk line\r\nEND:VCARD\r\n" + card("甲")
                                                                                   + "\r\n\r\nEND:VCARD\r\n");
        VERIFY_OK(import);
        while (import->readStep(50)) { }
        QCOMPARE(import->plans().size(), 1);
        QCOMPARE(import->problems().size(), 2);
        QVERIFY(import->problems().at(0).contains(QStringLiteral("第2行")));
    }

    // A 2.1 card may hold another as its AGENT: the outer one is read, the
    // inner one is left out with a note.
    void anAgentCardIsLeftOutWithANote()
    {
        Result<VCardImport> import = VCardImport::fromBytes(
            Store::database(), "BEGIN:VCARD\r\nVERSION:2.1\r\nN:;甲\r\nAGENT:\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nN:;秘书"
                               "\r\nEND:VCARD\r\nTEL;CELL:1\r\nEND:VCARD\r\n");
        VERIFY_OK(import);
        while (import->readStep(50)) { }
        QCOMPARE(import->plans().size(), 1);
        const CardPlan &plan = import->plans().at(0);
        QVERIFY2(plan.error.isEmpty(), qPrintable(plan.error));
        QCOMPARE(plan.name(), QStringLiteral("甲"));
        QCOMPARE(plan.contact.personTexts.at(ContactColumns::Mobile), QStringLiteral("1"));
        QVERIFY(plan.notes.join(u' ').contains(QStringLiteral("AGENT")));
    }

    void aFileWithoutCardsGivesNoPlans()
    {
        Result<VCardImport> import = VCardImport::fromBytes(Store::database(), "name,phone\r\n张三,1\r\n");
        VERIFY_OK(import);
        while (import->readStep(50)) { }
        QVERIFY(import->plans().isEmpty());
        QVERIFY(import->error().isEmpty());
    }

private:
    std::optional<TempStore> m_store;
};

QTEST_MAIN(tst_vcard_hostile)
#include "tst_vcard_hostile.moc"
