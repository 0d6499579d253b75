// The vCard codec on its own: text rules, the reader on the shapes phones,
// mail programs and address books write, the mapping of their properties to
// the address book's fields, and the writer read back by the reader.
#include "interchange/core/VCardMapping.h"
#include "interchange/core/VCardReader.h"
#include "interchange/core/VCardText.h"
#include "interchange/core/VCardWriter.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QStringEncoder>
#include <QTest>

using namespace ContactColumns;

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(VCARD_FIXTURES "/") + name;
}

QList<VCard::Card> readAll(const QByteArray &bytes)
{
    Result<VCardReader> reader = VCardReader::fromBytes(bytes);
    QList<VCard::Card> cards;
    if (!reader)
        return cards;
    while (std::optional<VCard::Card> card = reader->next())
        cards << *card;
    return cards;
}

QList<VCardMapping::Mapped> mappedFile(const QString &name)
{
    QList<VCardMapping::Mapped> mapped;
    Result<VCardReader> reader = VCardReader::fromFile(fixture(name));
    if (!reader)
        return mapped;
    while (std::optional<VCard::Card> card = reader->next())
        mapped << VCardMapping::toContact(*card);
    return mapped;
}

// "person:<column>", "unit<n>:<column>", "other<n>", "sex", "uid", "notes".
QString field(const VCardMapping::Mapped &m, const QString &which)
{
    const CardContact &c = m.contact;
    const QStringList parts = which.split(u':');
    if (parts.at(0) == QStringLiteral("person"))
        return c.personTexts.value(kPersonTexts.indexOf(parts.at(1)));
    if (parts.at(0).startsWith(QStringLiteral("unit"))) {
        const int n = parts.at(0).mid(4).toInt();
        return n < c.units.size() ? c.units.at(n).texts.value(kUnitTexts.indexOf(parts.at(1))) : QStringLiteral("?");
    }
    if (parts.at(0).startsWith(QStringLiteral("other"))) {
        const int n = parts.at(0).mid(5).toInt();
        return n < c.others.size() ? c.others.at(n).text : QStringLiteral("?");
    }
    if (which == QStringLiteral("sex"))
        return c.male ? (*c.male ? QStringLiteral("男") : QStringLiteral("女")) : QStringLiteral("-");
    if (which == QStringLiteral("uid"))
        return c.uid;
    if (which == QStringLiteral("units"))
        return QString::number(c.units.size());
    if (which == QStringLiteral("error"))
        return m.error;
    return QStringLiteral("?");
}

CardContact everyField()
{
    CardContact c;
    c.uid = QStringLiteral("6a1f4f0e-2b7e-4c39-9d43-1f0b6f5a9e21");
    c.personTexts = {QStringLiteral("欧阳;明,\\月"),
                     QStringLiteral("上海市浦东新区世纪大道100号环球金融中心第88层东侧的办公室"),
                     QStringLiteral("13900001111"),
                     QStringLiteral("微信: oy_ming"),
                     QStringLiteral("021-12345678"),
                     QStringLiteral("200120"),
                     QStringLiteral("310101199001011234"),
                     QStringLiteral("湖南省长沙市"),
                     QStringLiteral("QQ 123456"),
                     QStringLiteral("  两行\n备注: a;b,c\\d 😀  ")};
    c.male = false;
    c.isProtected = true;
    CardUnit first;
    first.texts = {QStringLiteral("甲公司;总部"),
                   QStringLiteral("北京"),
                   QStringLiteral("010-1"),
                   QStringLiteral("010-2"),
                   QStringLiteral("https://a.example/x?y=1,2"),
                   QStringLiteral("\n 说明保留空白 \n")};
    CardUnit second;
    second.texts = {QString(), QString(), QStringLiteral("020-3"), QString(), QString(), QString()};
    second.isProtected = true;
    c.units = {first, second};
    c.others = {CardOther{QStringLiteral(" 其他\r\n信息 "), false}, CardOther{QString(), true}};
    return c;
}

} // namespace

class tst_vcard_codec final : public QObject
{
    Q_OBJECT

private slots:
    void unescapesByVersion_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("v21");
        QTest::addColumn<QString>("text");
        QTest::newRow("3.0 escapes") << QStringLiteral("a\\nb\\Nc\\,d\\;e\\\\f") << false
                                     << QStringLiteral("a\nb\nc,d;e\\f");
        QTest::newRow("3.0 unknown escape kept") << QStringLiteral("a\\tb") << false << QStringLiteral("a\\tb");
        QTest::newRow("2.1 path kept") << QStringLiteral("C:\\new\\dir") << true << QStringLiteral("C:\\new\\dir");
        QTest::newRow("2.1 semicolon") << QStringLiteral("a\\;b") << true << QStringLiteral("a;b");
        QTest::newRow("trailing backslash") << QStringLiteral("a\\") << false << QStringLiteral("a\\");
    }
    void unescapesByVersion()
    {
        QFETCH(QString, value);
        QFETCH(bool, v21);
        QFETCH(QString, text);
        QCOMPARE(VCardText::unescape(value, v21), text);
    }

    void escapeComesBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("separators") << QStringLiteral("a;b,c\\d");
        QTest::newRow("line breaks") << QStringLiteral("one\ntwo\n\nthree");
        QTest::newRow("escape look-alike") << QStringLiteral("\\n is not a break");
        QTest::newRow("emoji and han") << QStringLiteral("中文😀");
    }
    void escapeComesBack()
    {
        QFETCH(QString, text);
        const QString escaped = VCardText::escape(text);
        QCOMPARE(VCardText::split(escaped, u';').size(), 1);
        QCOMPARE(VCardText::unescape(escaped, false), text);
    }

    void foldingKeepsCharactersWhole()
    {
        const QByteArray line = (QStringLiteral("NOTE:") + QString(QStringLiteral("中文😀a")).repeated(40)).toUtf8();
        QByteArray out;
        VCardText::appendFolded(out, line);
        const QList<QByteArray> physical = out.split('\n');
        for (const QByteArray &l : physical) {
            QVERIFY2(l.size() <= 76, l.constData()); // 75 octets and the CR
            QVERIFY(QString::fromUtf8(l).toUtf8() == l);
        }
        const QList<VCard::Card> cards = readAll("BEGIN:VCARD\r\nVERSION:3.0\r\n" + out + "END:VCARD\r\n");
        QCOMPARE(cards.size(), 1);
        QCOMPARE(cards.at(0).properties.constLast().value.toUtf8(), line.mid(5));
    }

    void parametersInEverySpelling_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("2.1 bare words") << QByteArray("TEL;HOME;VOICE:1");
        QTest::newRow("3.0 list") << QByteArray("TEL;TYPE=home,voice:1");
        QTest::newRow("3.0 repeated") << QByteArray("TEL;type=HOME;type=VOICE:1");
        QTest::newRow("4.0 quoted list") << QByteArray("TEL;TYPE=\"home,voice\":1");
        QTest::newRow("mixed case name") << QByteArray("tel;Type=Home;tYpE=vOiCe:1");
        QTest::newRow("group and blanks") << QByteArray("item1.TEL; TYPE = home , voice :1");
    }
    void parametersInEverySpelling()
    {
        QFETCH(QByteArray, line);
        const QList<VCard::Card> cards = readAll("BEGIN:VCARD\nVERSION:3.0\n" + line + "\nEND:VCARD\n");
        QCOMPARE(cards.size(), 1);
        const VCard::Property &tel = cards.at(0).properties.constLast();
        QCOMPARE(tel.name, QStringLiteral("TEL"));
        QVERIFY(tel.hasType(QStringLiteral("HOME")));
        QVERIFY(tel.hasType(QStringLiteral("voice")));
        QVERIFY(!tel.hasType(QStringLiteral("CELL")));
        QCOMPARE(tel.value, QStringLiteral("1"));
    }

    void lineEndsAndMarks_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray card = "BEGIN:VCARD|VERSION:3.0|FN:张三|END:VCARD|BEGIN:VCARD|VERSION:3.0|FN:李四|END:VCARD|";
        QTest::newRow("CR LF") << QByteArray(card).replace('|', "\r\n");
        QTest::newRow("LF") << QByteArray(card).replace('|', "\n");
        QTest::newRow("CR") << QByteArray(card).replace('|', "\r");
        QTest::newRow("BOM") << "\xEF\xBB\xBF" + QByteArray(card).replace('|', "\r\n");
        QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        const QByteArray wide = utf16.encode(QString::fromUtf8(QByteArray(card).replace('|', "\r\n")));
        QTest::newRow("UTF-16 with BOM") << wide;
        QTest::newRow("no end of line at the end") << QByteArray(card).replace('|', "\n").chopped(1);
    }
    void lineEndsAndMarks()
    {
        QFETCH(QByteArray, bytes);
        const QList<VCard::Card> cards = readAll(bytes);
        QCOMPARE(cards.size(), 2);
        QCOMPARE(VCardMapping::toContact(cards.at(0)).contact.personTexts.at(Name), QStringLiteral("张三"));
        QCOMPARE(VCardMapping::toContact(cards.at(1)).contact.personTexts.at(Name), QStringLiteral("李四"));
        QVERIFY(cards.at(1).error.isEmpty());
    }

    void fixturesMapToFields_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("card");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        const QString v21 = QStringLiteral("v21_gbk_quoted_printable.vcf");
        const QString v30 = QStringLiteral("v30_folded_photo_groups.vcf");
        const QString v40 = QStringLiteral("v40_data_uri_birthday.vcf");
        const auto row = [](const char *name, const QString &file, int card, const char *field, const QString &v) {
            QTest::newRow(name) << file << card << QString::fromLatin1(field) << v;
        };
        row("2.1 GBK name", v21, 0, "person:pe_name", QStringLiteral("张三"));
        row("2.1 bare CELL", v21, 0, "person:pe_mib", QStringLiteral("13800138000"));
        row("2.1 bare HOME", v21, 0, "person:pe_h_tel", QStringLiteral("010-62345678"));
        row("2.1 soft break in GBK", v21, 0, "person:n_add", QStringLiteral("北京市海淀区中关村大街1号"));
        row("2.1 postcode", v21, 0, "person:post", QStringLiteral("100080"));
        row("2.1 mail", v21, 0, "person:net_con", QStringLiteral("zhangsan@example.com"));
        row("2.1 GB2312 note", v21, 0, "person:pe_memo", QStringLiteral("老同学\r\n喜欢喝茶"));
        row("2.1 no gender", v21, 0, "sex", QStringLiteral("-"));
        row("2.1 soft break inside UTF-8", v21, 1, "person:pe_name", QStringLiteral("李四"));
        row("2.1 GB18030 org", v21, 1, "unit0:dw_name", QStringLiteral("华东贸易公司"));
        row("2.1 work fax", v21, 1, "unit0:dw_fax", QStringLiteral("021-5555000"));
        row("2.1 title in notes", v21, 1, "unit0:pe_memo", QStringLiteral("职务: 经理"));
        row("3.0 FN", v30, 0, "person:pe_name", QStringLiteral("王小明"));
        row("3.0 grouped cell", v30, 0, "person:pe_mib", QStringLiteral("139 1111 2222"));
        row("3.0 untyped tel", v30, 0, "person:pe_h_tel", QStringLiteral("+86 10 8888 9999"));
        row("3.0 org and department", v30, 0, "unit0:dw_name", QStringLiteral("星河科技有限公司 研发部"));
        row("3.0 work tel", v30, 0, "unit0:dw_tel", QStringLiteral("010-66668888"));
        row("3.0 work fax", v30, 0, "unit0:dw_fax", QStringLiteral("010-66668889"));
        row("3.0 folded work address", v30, 0, "unit0:dw_add",
            QStringLiteral("中国 北京 北京 海淀区上地十街10号 100085"));
        row("3.0 escaped url", v30, 0, "unit0:dw_url", QStringLiteral("https://example.com/a,b"));
        row("3.0 first mail", v30, 0, "person:net_con", QStringLiteral("xm@example.org"));
        row("3.0 escapes", v30, 0, "person:pe_memo", QStringLiteral("第一行\n第二行; 含分号, 逗号 和反斜杠 \\ 结束"));
        row("3.0 the rest kept", v30, 0, "other0",
            QStringLiteral("电子邮件(work): wang@example.com\n生日: 1988-12-01\n昵称: 小明"));
        row("3.0 uid", v30, 0, "uid", QStringLiteral("0f5c8a4e-6d1b-4f0e-9a77-3c2b1d4e5f60"));
        row("3.0 fold inside a character", v30, 1, "person:pe_name", QString(QStringLiteral("欧阳")).repeated(20));
        row("4.0 name", v40, 0, "person:pe_name", QStringLiteral("赵六"));
        row("4.0 gender", v40, 0, "sex", QStringLiteral("女"));
        row("4.0 tel uri", v40, 0, "person:pe_mib", QStringLiteral("+86-137-0000-1111"));
        row("4.0 home tel", v40, 0, "person:pe_h_tel", QStringLiteral("+86-20-1234-5678"));
        row("4.0 address", v40, 0, "person:n_add", QStringLiteral("中国 广东省 广州市 天河路1号"));
        row("4.0 postcode", v40, 0, "person:post", QStringLiteral("510000"));
        row("4.0 urn uid", v40, 0, "uid", QStringLiteral("4fbe8971-0bc3-424c-9c26-36c3e1eff6b1"));
        row("4.0 birthday without year", v40, 0, "other0",
            QStringLiteral("生日: 04-15\n即时通讯: xmpp:zhao@example.cn"));
    }
    void fixturesMapToFields()
    {
        QFETCH(QString, file);
        QFETCH(int, card);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        const QList<VCardMapping::Mapped> mapped = mappedFile(file);
        QVERIFY(card < mapped.size());
        QVERIFY2(mapped.at(card).error.isEmpty(), qPrintable(mapped.at(card).error));
        QCOMPARE(::field(mapped.at(card), field), expected);
    }

    void photosOfFixturesArePictures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("3.0 folded base64") << QStringLiteral("v30_folded_photo_groups.vcf");
        QTest::newRow("4.0 data URI") << QStringLiteral("v40_data_uri_birthday.vcf");
    }
    void photosOfFixturesArePictures()
    {
        QFETCH(QString, file);
        const QList<VCardMapping::Mapped> mapped = mappedFile(file);
        QVERIFY(!mapped.isEmpty());
        QFile png(fixture(QStringLiteral("photo.png")));
        QVERIFY(png.open(QIODevice::ReadOnly));
        QCOMPARE(mapped.at(0).contact.photo, png.readAll());
    }

    // A UID reads back as written in both versions, a UUID that only begins
    // a longer UID included: 4.0 writes a bare UUID as its URN, anything else
    // as escaped text.
    void uidsReadBack_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("uid");
        const QString uuid = QStringLiteral("4fbe8971-0bc3-424c-9c26-3c1e36eff6b1");
        for (const auto &[name, version] :
             {std::pair("3.0", VCardWriter::Version::V30), std::pair("4.0", VCardWriter::Version::V40)}) {
            QTest::addRow("%s UUID", name) << int(version) << uuid;
            QTest::addRow("%s UUID then escapes", name) << int(version) << uuid + QStringLiteral(";a,b\\\\c");
            QTest::addRow("%s plain text", name) << int(version) << QStringLiteral("张三@example.com");
        }
    }
    void uidsReadBack()
    {
        QFETCH(int, version);
        QFETCH(QString, uid);
        CardContact written;
        written.uid = uid;
        written.personTexts[Name] = QStringLiteral("赵六");
        QByteArray out;
        VCardWriter::append(out, written, VCardWriter::Version(version));
        const QList<VCard::Card> cards = readAll(out);
        QCOMPARE(cards.size(), 1);
        QCOMPARE(VCardMapping::toContact(cards.at(0)).contact.uid, uid);
    }

    void writtenCardsReadBack_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("3.0") << int(VCardWriter::Version::V30);
        QTest::newRow("4.0") << int(VCardWriter::Version::V40);
    }
    void writtenCardsReadBack()
    {
        QFETCH(int, version);
        CardContact written = everyField();
        QImage image(3, 2, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(image.save(&buffer, "PNG"));
        }
        written.photo = png;
        QByteArray out;
        VCardWriter::append(out, written, VCardWriter::Version(version));
        CardContact extra;
        extra.personTexts[Name] = QStringLiteral("第二条");
        extra.recordOf = written.uid;
        extra.recordNumber = 2;
        VCardWriter::append(out, extra, VCardWriter::Version(version));
        for (const QByteArray &line : out.split('\n'))
            QVERIFY2(line.size() <= 76, line.constData());

        const QList<VCard::Card> cards = readAll(out);
        QCOMPARE(cards.size(), 2);
        const VCardMapping::Mapped read = VCardMapping::toContact(cards.at(0));
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QVERIFY2(read.notes.isEmpty(), qPrintable(read.notes.join(u'\n')));
        const CardContact &c = read.contact;
        QCOMPARE(c.uid, written.uid);
        QCOMPARE(c.personTexts, written.personTexts);
        QCOMPARE(c.male, written.male);
        QCOMPARE(c.isProtected, written.isProtected);
        QCOMPARE(c.photo, written.photo);
        QCOMPARE(c.units.size(), written.units.size());
        for (int i = 0; i < c.units.size(); ++i) {
            QCOMPARE(c.units.at(i).texts, written.units.at(i).texts);
            QCOMPARE(c.units.at(i).isProtected, written.units.at(i).isProtected);
        }
        QCOMPARE(c.others.size(), written.others.size());
        // Line breaks travel as \n.
        QCOMPARE(c.others.at(0).text, QStringLiteral(" 其他\n信息 "));
        QCOMPARE(c.others.at(1).text, QString());
        QCOMPARE(c.others.at(1).isProtected, true);
        const CardContact second = VCardMapping::toContact(cards.at(1)).contact;
        QCOMPARE(second.recordOf, written.uid);
        QCOMPARE(second.recordNumber, 2);
    }

    void onlineContactIsMailOnlyWhenItIsAnAddress_data()
    {
        QTest::addColumn<QString>("online");
        QTest::addColumn<bool>("mail");
        QTest::newRow("address") << QStringLiteral("li.si@example.com.cn") << true;
        QTest::newRow("messenger") << QStringLiteral("QQ: 12345") << false;
        QTest::newRow("two addresses") << QStringLiteral("a@b.cn; c@d.cn") << false;
        QTest::newRow("no domain dot") << QStringLiteral("user@localhost") << false;
    }
    void onlineContactIsMailOnlyWhenItIsAnAddress()
    {
        QFETCH(QString, online);
        QFETCH(bool, mail);
        CardContact contact;
        contact.personTexts[Name] = QStringLiteral("n");
        contact.personTexts[OnlineContact] = online;
        QByteArray out;
        VCardWriter::append(out, contact, VCardWriter::Version::V30);
        QCOMPARE(out.contains("\r\nEMAIL;"), mail);
        QCOMPARE(out.contains("\r\nX-VELMORA-ONLINE:"), !mail);
        const QList<VCard::Card> cards = readAll(out);
        QCOMPARE(VCardMapping::toContact(cards.at(0)).contact.personTexts.at(OnlineContact), online);
    }

    void nameFallsBackToNThenOrg_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("name");
        QTest::newRow("han N") << QByteArray("N:司马;相如;;;") << QStringLiteral("司马相如");
        QTest::newRow("latin N") << QByteArray("N:Smith;John;Q;Dr.;Jr.") << QStringLiteral("Dr. John Q Smith Jr.");
        QTest::newRow("org only") << QByteArray("ORG:某某公司") << QStringLiteral("某某公司");
        QTest::newRow("FN wins") << QByteArray("N:甲;乙;;;\nFN:丙") << QStringLiteral("丙");
        QTest::newRow("line break in N") << QByteArray("N;ENCODING=QUOTED-PRINTABLE:=E7=94=B2=0D=0A=E4=B9=99;;;;")
                                         << QStringLiteral("甲 乙");
        QTest::newRow("NUL in FN dropped")
            << QByteArray("FN;ENCODING=QUOTED-PRINTABLE:=E7=94=B2=00=E4=B9=99") << QStringLiteral("甲乙");
    }
    void nameFallsBackToNThenOrg()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, name);
        const QList<VCard::Card> cards = readAll("BEGIN:VCARD\nVERSION:3.0\n" + lines + "\nEND:VCARD\n");
        QCOMPARE(VCardMapping::toContact(cards.at(0)).contact.personTexts.at(Name), name);
    }

    void cardWithoutNameIsRefused()
    {
        const QList<VCard::Card> cards = readAll("BEGIN:VCARD\nVERSION:3.0\nTEL:1\nEND:VCARD\n");
        QVERIFY(!VCardMapping::toContact(cards.at(0)).error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_vcard_codec)
#include "tst_vcard_codec.moc"
