#include "ContactCard.h"
#include "ContactCardPrint.h"
#include "PageView.h"
#include "ReportRenderer.h"
#include "Tprint_box.h"
#include "Tprint_view.h"

#include <QApplication>
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
        QTest::newRow("blank lines between paragraphs")
            << "甲\n\n   \n乙" << QStringList{"甲", "乙"};
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
        const RenderedPage page =
            ReportRenderer::render(ContactCard::layout(sample())).pages.first();
        const PlacedItem *title = find(page, QStringLiteral("个人详细信息表"));
        QVERIFY(title);
        QCOMPARE(title->font.pointSize, 17.0);
        QVERIFY(title->font.italic);
        for (const QString &bar : {QStringLiteral("个人信息 "), QStringLiteral("单位信息 "),
                                  QStringLiteral("其他信息 ")}) {
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
        const RenderedPage page =
            ReportRenderer::render(ContactCard::layout(values)).pages.first();
        QCOMPARE(allText(page).contains(QStringLiteral("照片")), !withPhoto);
        bool frameFound = false;
        for (const PlacedItem &item : page.items)
            frameFound |= item.kind == ElementKind::Frame
                          && item.box == QRectF(kBandLeft + 148.2, kBandTop + 12.7, 38.4, 46.8);
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
