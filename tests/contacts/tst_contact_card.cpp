#include "contacts/card/ContactCard.h"
#include "contacts/card/ContactCardPrint.h"
#include "report/FontMap.h"
#include "report/LabelFit.h"
#include "report/PagePainter.h"
#include "report/PageView.h"
#include "report/ReportRenderer.h"
#include "report/Tprint_box.h"
#include "report/Tprint_view.h"

#include <QApplication>
#include <QPainter>
#include <QTest>

using namespace report;

namespace {

// The page origin of the detail band: 10 mm margins and the 17.7 mm title.
constexpr double kBandLeft = 10.0;
constexpr double kBandTop = 27.7;

ContactCardValues sample()
{
    ContactCardValues v;
    v.name = QStringLiteral("张三丰");
    v.sex = QStringLiteral("女");
    v.mobile = QStringLiteral("13800000000");
    v.postcode = QStringLiteral("-");
    v.remarks = QStringLiteral("第一段\n\n  \n  第二段  ");
    v.unitName = QStringLiteral("请输入该单位名称,不能为空!");
    v.otherInfo = QStringLiteral(" 请输入新的备注内容....");
    return v;
}

const PlacedItem *find(const RenderedPage &page, const QString &text)
{
    for (const PlacedItem &item : page.items)
        if (item.lines.contains(text))
            return &item;
    return nullptr;
}

// The card's value fields by name, for test tables.
QString ContactCardValues::*valueField(const QString &name)
{
    using V = ContactCardValues;
    static const QHash<QString, QString V::*> fields = {{"name", &V::name},
                                                        {"mobile", &V::mobile},
                                                        {"homePhone", &V::homePhone},
                                                        {"idNumber", &V::idNumber},
                                                        {"current", &V::currentAddress},
                                                        {"registered", &V::registeredAddress},
                                                        {"postcode", &V::postcode},
                                                        {"other", &V::other},
                                                        {"online", &V::online},
                                                        {"unitName", &V::unitName},
                                                        {"unitAddress", &V::unitAddress},
                                                        {"officePhone", &V::officePhone},
                                                        {"fax", &V::officeFax},
                                                        {"web", &V::webAddress}};
    return fields.value(name);
}

// The rectangle the item's text covers, measured line by line.
QRectF inkBox(const PlacedItem &item)
{
    double width = 0;
    for (const QString &line : item.lines)
        width = std::max(width, FontMap::textWidth(item.font, line));
    return {item.textOrigin, QSizeF(width, item.lineHeight * double(item.lines.size()))};
}

// Where the painted page differs with and without `item`, in mm.
QRectF paintedArea(const RenderedReport &card, const PlacedItem &item)
{
    constexpr double kPxPerMm = 8.0;
    const auto paint = [&](const RenderedPage &page) {
        QImage image((card.pageSize * kPxPerMm).toSize(), QImage::Format_RGB32);
        QPainter painter(&image);
        PagePainter::paint(painter, page, card.pageSize, kPxPerMm);
        return image;
    };
    RenderedPage without = card.pages.first();
    without.items.removeIf([&](const PlacedItem &other) { return other.lines == item.lines; });
    const QImage with = paint(card.pages.first());
    const QImage other = paint(without);
    QRect changed;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (with.pixel(x, y) != other.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
    return QRectF(changed.topLeft() / kPxPerMm, changed.size() / kPxPerMm);
}

QStringList allText(const RenderedPage &page)
{
    QStringList texts;
    for (const PlacedItem &item : page.items)
        texts += item.lines;
    return texts;
}

} // namespace

class TestContactCard final : public QObject
{
    Q_OBJECT

private slots:
    void memoLinesLeaveOutBlankLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("blank lines between paragraphs") << "甲\n\n   \n乙" << QStringList{"甲", "乙"};
        QTest::newRow("surrounding blanks kept") << "  甲 \n\t\n 乙" << QStringList{"  甲 ", " 乙"};
        QTest::newRow("windows line breaks") << "甲\r\n\r\n乙\r\n" << QStringList{"甲", "乙"};
    }
    void memoLinesLeaveOutBlankLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(ContactCard::memoLines(text), lines);
    }

    void sexText()
    {
        QCOMPARE(ContactCard::sexText(true), QStringLiteral("男"));
        QCOMPARE(ContactCard::sexText(false), QStringLiteral("女"));
    }

    void captionsAndValuesStandWhereTheCardPutsThem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<bool>("bold");
        QTest::newRow("name caption") << "姓名:" << 4.2 << 14.8 << true;
        QTest::newRow("name") << "张三丰" << 16.9 << 14.8 << false;
        QTest::newRow("sex") << "女" << 65.6 << 14.8 << false;
        QTest::newRow("mobile") << "13800000000" << 19.1 << 23.3 << false;
        QTest::newRow("id caption") << "身份证号:" << 101.6 << 23.3 << true;
        QTest::newRow("postcode placeholder") << "-" << 14.8 << 40.2 << false;
        QTest::newRow("other caption") << "其它联系方式:" << 52.9 << 40.2 << true;
        QTest::newRow("online caption") << "网络联系方式:" << 4.2 << 48.7 << true;
        QTest::newRow("unit name caption") << "单位名称:" << 4.2 << 108.0 << false;
        QTest::newRow("unit name prompt") << "请输入该单位名称,不能为空!" << 25.4 << 108.0 << false;
        QTest::newRow("fax caption") << "传真:" << 82.5 << 116.4 << false;
        QTest::newRow("web caption") << "网址:" << 4.2 << 120.7 << false;
    }
    void captionsAndValuesStandWhereTheCardPutsThem()
    {
        QFETCH(QString, text);
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(bool, bold);
        const RenderedReport card = ReportRenderer::render(ContactCard::layout(sample()));
        const PlacedItem *item = find(card.pages.first(), text);
        QVERIFY2(item, qPrintable(text));
        QVERIFY(qAbs(item->box.left() - (kBandLeft + x)) < 1e-6);
        QVERIFY(qAbs(item->box.top() - (kBandTop + y)) < 1e-6);
        QCOMPARE(item->font.bold, bold);
        QCOMPARE(item->font.family, QStringLiteral("宋体"));
        QCOMPARE(item->font.charset, kCharsetGb2312);
    }

    void titleBarsAndMemos()
    {
        const RenderedPage page = ReportRenderer::render(ContactCard::layout(sample())).pages.first();
        const PlacedItem *title = find(page, QStringLiteral("个人详细信息表"));
        QVERIFY(title);
        QCOMPARE(title->font.pointSize, 17.0);
        QVERIFY(title->font.italic);
        for (const QString &bar :
             {QStringLiteral("个人信息 "), QStringLiteral("单位信息 "), QStringLiteral("其他信息 ")}) {
            const PlacedItem *frame = find(page, bar);
            QVERIFY2(frame && frame->kind == ElementKind::Frame, qPrintable(bar));
            QCOMPARE(frame->box.size(), QSizeF(188.6, 8.5));
        }
        const PlacedItem *remarks = find(page, QStringLiteral("第一段"));
        QVERIFY(remarks);
        QCOMPARE(remarks->kind, ElementKind::Memo);
        QCOMPARE(remarks->lines, QStringList({"第一段", "  第二段  "}));
        const PlacedItem *other = find(page, QStringLiteral(" 请输入新的备注内容...."));
        QVERIFY(other);
        QCOMPARE(other->kind, ElementKind::Memo);
    }

    // A long value shrinks, then wraps, inside the space before the next
    // element: in the layout every output reads, and on the painted page.
    void longValuesFitBeforeTheNextElement_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("wraps"); // too long for one line even at the smallest size
        QTest::newRow("id number beside the photo") << "idNumber"
                                                    << "11010119900101123X" << false;
        QTest::newRow("name before the sex") << "name"
                                             << "买买提·阿卜杜热合曼·艾力江" << false;
        QTest::newRow("mobile numbers before the home phone") << "mobile"
                                                              << "13800000000 / 13911112222" << false;
        QTest::newRow("registered address beside the photo")
            << "registered"
            << "新疆维吾尔自治区伊犁哈萨克自治州察布查尔锡伯自治县孙扎齐牛录镇" << true;
        QTest::newRow("current address before the registered one")
            << "current"
            << "广东省深圳市南山区粤海街道科技园南区高新南七道深圳湾科技生态园十栋A座三十二层3201室" << true;
        QTest::newRow("other contacts at the right margin")
            << "other"
            << "微信号与QQ号相同:12345678901,备用邮箱见网络联系方式一栏" << false;
        QTest::newRow("online contact before the photo frame")
            << "online"
            << "微信号:张三丰武当山紫霄宫道长,邮箱与QQ号码请见其它联系方式一栏的详细说明" << false;
        QTest::newRow("unit address at the right margin")
            << "unitAddress"
            << "广东省深圳市南山区粤海街道科技园南区高新南七道深圳湾科技生态园十栋A座三十二层3201室,"
               "来访请在一楼大堂登记后乘坐右侧电梯"
            << true;
        QTest::newRow("web address without a blank")
            << "web"
            << "https://www.example.com.cn/about/contact/office/shenzhen/nanshan/"
               "science-park/ecological-park/building-10/floor-32/room-3201/index.html"
            << false;
        QTest::newRow("web address too long for one line")
            << "web" << QStringLiteral("https://www.example.com.cn/") + QString(200, u'x') << true;
    }
    void longValuesFitBeforeTheNextElement()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(bool, wraps);
        ContactCardValues values = sample();
        values.*valueField(field) = value;
        const RenderedReport card = ReportRenderer::render(ContactCard::layout(values));
        const RenderedPage &page = card.pages.first();
        const PlacedItem *item = nullptr;
        for (const PlacedItem &candidate : page.items)
            if (candidate.kind == ElementKind::Label
                && candidate.lines.join(QString()).remove(u' ') == QString(value).remove(u' '))
                item = &candidate;
        QVERIFY2(item, "the value is not on the card whole");
        QCOMPARE(item->lines.size() > 1, wraps);
        QVERIFY(item->font.pointSize >= LabelFit::kMinimumPointSize);
        QVERIFY(item->font.pointSize <= 10.0);
        if (!wraps)
            QVERIFY(item->font.pointSize < 10.0);

        const QRectF ink = inkBox(*item);
        const QRectF painted = paintedArea(card, *item);
        QVERIFY(!painted.isEmpty());
        // Glyphs reach a little past their advance, antialiasing a pixel
        // further: less than the gap the layout keeps before the next element.
        const double slack = LabelFit::kGap * 0.75;
        QVERIFY2(
            ink.adjusted(-slack, -slack, slack, slack).contains(painted),
            qPrintable(
                QStringLiteral("painted up to %1 mm, laid out up to %2 mm").arg(painted.right()).arg(ink.right())));
        for (const PlacedItem &other : page.items) {
            if (&other == item || other.box.contains(ink)) // the title band's background
                continue;
            // A text's box includes its line spacing; frames and pictures are ink throughout.
            const bool text = other.kind == ElementKind::Label;
            QVERIFY2(!ink.intersects(text ? inkBox(other) : other.box) && (text || !painted.intersects(other.box)),
                     qPrintable(QStringLiteral("runs into %1").arg(other.lines.join(u' '))));
        }
    }

    void shortValuesKeepTheirSize()
    {
        const RenderedPage page = ReportRenderer::render(ContactCard::layout(sample())).pages.first();
        for (const PlacedItem &item : page.items)
            if (item.kind == ElementKind::Label && item.lines != QStringList{"个人详细信息表"})
                QCOMPARE(item.font.pointSize, 10.0);
    }

    void photoCoversTheWordPhoto_data()
    {
        QTest::addColumn<bool>("withPhoto");
        QTest::newRow("photo") << true;
        QTest::newRow("no photo") << false;
    }
    void photoCoversTheWordPhoto()
    {
        QFETCH(bool, withPhoto);
        ContactCardValues values = sample();
        if (withPhoto) {
            values.photo = QImage(145, 185, QImage::Format_RGB32);
            values.photo.fill(Qt::darkGreen);
        }
        const RenderedPage page = ReportRenderer::render(ContactCard::layout(values)).pages.first();
        QCOMPARE(allText(page).contains(QStringLiteral("照片")), !withPhoto);
        bool frameFound = false;
        for (const PlacedItem &item : page.items)
            frameFound |=
                item.kind == ElementKind::Frame && item.box == QRectF(kBandLeft + 148.2, kBandTop + 12.7, 38.4, 46.8);
        QVERIFY(frameFound);
    }

    void onePagePerPersonalRecord_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("pages");
        QTest::newRow("one record") << 1 << 1;
        QTest::newRow("two records share the id") << 2 << 2;
        QTest::newRow("no record: the title alone") << 0 << 1;
    }
    void onePagePerPersonalRecord()
    {
        QFETCH(int, records);
        QFETCH(int, pages);
        ContactCardValues values = sample();
        values.recordCount = records;
        const RenderedReport card = ReportRenderer::render(ContactCard::layout(values));
        QCOMPARE(card.pages.size(), pages);
        for (qsizetype p = 0; p < card.pages.size(); ++p) {
            const QStringList texts = allText(card.pages[p]);
            QCOMPARE(texts.contains(QStringLiteral("个人详细信息表")), p == 0);
            QCOMPARE(texts.contains(QStringLiteral("张三丰")), records > 0);
        }
    }

    void printOpensThePreviewAndReplacesAnEarlierOne()
    {
        QWidget addressBook;
        addressBook.show();
        QPointer<Tprint_view> first = ContactCard::printPreview(&addressBook, sample());
        QPointer<Tprint_box> firstBox = Tprint_box::reference();
        QVERIFY(first && firstBox);
        QCOMPARE(firstBox->parentWidget(), &addressBook);
        QVERIFY(!firstBox->isVisible());
        QCOMPARE(firstBox->windowTitle(), QStringLiteral("打印窗口"));
        QVERIFY(first->isVisible());
        QCOMPARE(first->pageView()->report()->pages.size(), 1);

        QPointer<Tprint_view> second = ContactCard::printPreview(&addressBook, sample());
        QTRY_VERIFY(!firstBox);
        QVERIFY(!first);
        QVERIFY(second && second->isVisible());
        QCOMPARE(Tprint_view::reference().data(), second.data());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestContactCard test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_contact_card.moc"
