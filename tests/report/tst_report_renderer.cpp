#include "report/ExportFilters.h"
#include "report/FontMap.h"
#include "report/LabelFit.h"
#include "report/ReportRenderer.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QTest>

using namespace report;

namespace {

QStringList textsOf(const RenderedPage &page)
{
    QStringList texts;
    for (const PlacedItem &item : page.items)
        texts += item.lines;
    return texts;
}

const PlacedItem *itemWithText(const RenderedPage &page, const QString &text)
{
    for (const PlacedItem &item : page.items)
        if (item.lines.contains(text))
            return &item;
    return nullptr;
}

Report bandsReport(int rows, double detailHeight)
{
    Report r;
    r.titleBand.height = 20;
    r.titleBand.elements << Element::label(0, 0, QStringLiteral("标题"), ReportFont{});
    r.detailBand.height = detailHeight;
    r.detailBand.elements << Element::label(0, 0, QStringLiteral("明细"), ReportFont{});
    r.rowCount = rows;
    r.bindRow = [](int row, Band &band) { band.elements[0].text += QString::number(row); };
    return r;
}

} // namespace

class TestReportRenderer final : public QObject
{
    Q_OBJECT

private slots:
    void pagesFollowRowsAndBandHeights_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<double>("detailHeight");
        QTest::addColumn<QList<int>>("rowsPerPage");
        // A4 with 10 mm margins leaves 277 mm; the title band takes 20.
        QTest::newRow("no rows: title only") << 0 << 256.0 << QList<int>{0};
        QTest::newRow("one card") << 1 << 256.0 << QList<int>{1};
        QTest::newRow("a band that just fits") << 1 << 257.0 << QList<int>{1};
        QTest::newRow("two cards, a page each") << 2 << 256.0 << QList<int>{1, 1};
        QTest::newRow("small bands share pages") << 6 << 100.0 << QList<int>{2, 2, 2};
        QTest::newRow("band too tall to follow the title") << 1 << 270.0 << QList<int>{0, 1};
    }
    void pagesFollowRowsAndBandHeights()
    {
        QFETCH(int, rows);
        QFETCH(double, detailHeight);
        QFETCH(QList<int>, rowsPerPage);

        const RenderedReport out = ReportRenderer::render(bandsReport(rows, detailHeight));

        QCOMPARE(out.pages.size(), rowsPerPage.size());
        int row = 0;
        for (qsizetype p = 0; p < out.pages.size(); ++p) {
            const QStringList texts = textsOf(out.pages[p]);
            QStringList expected;
            if (p == 0)
                expected << QStringLiteral("标题");
            for (int i = 0; i < rowsPerPage[p]; ++i)
                expected << QStringLiteral("明细%1").arg(row++);
            QCOMPARE(texts, expected);
        }
    }

    // On other paper the designed page is scaled down evenly to fit inside
    // the new margins, from their corner; on the designed paper it stays.
    void pagesFitThePaper_data()
    {
        QTest::addColumn<QSizeF>("paper");
        QTest::addColumn<double>("margin");
        QTest::addColumn<double>("scale");
        const QSizeF a4(210, 297);
        QTest::newRow("A4 portrait as designed") << a4 << 10.0 << 1.0;
        QTest::newRow("A4 landscape: the height decides") << a4.transposed() << 10.0 << 190.0 / 277;
        QTest::newRow("A5: the width decides") << QSizeF(148, 210) << 10.0 << 128.0 / 190;
        QTest::newRow("US Letter") << QSizeF(215.9, 279.4) << 10.0 << 259.4 / 277;
        QTest::newRow("A4, narrow margins: never enlarged") << a4 << 5.0 << 1.0;
        QTest::newRow("A4, wide margins") << a4 << 25.0 << 160.0 / 190;
    }
    void pagesFitThePaper()
    {
        QFETCH(QSizeF, paper);
        QFETCH(double, margin);
        QFETCH(double, scale);
        Report r = bandsReport(1, 257.0); // fills the designed page to its bottom margin
        r.detailBand.elements << Element::frame(QRectF(0, 0, 190, 10), QStringLiteral("栏"), ReportFont{});
        r.detailBand.elements << Element::label(150, 250, QStringLiteral("右下"), ReportFont{});
        PageSetup setup;
        setup.size = paper;
        setup.marginLeft = setup.marginTop = setup.marginRight = setup.marginBottom = margin;

        const RenderedReport designed = ReportRenderer::render(r);
        const RenderedReport out = ReportRenderer::render(r, setup);
        QCOMPARE(out.pageSize, paper);
        QCOMPARE(out.pages.size(), designed.pages.size());
        const QRectF content(margin, margin, paper.width() - 2 * margin, paper.height() - 2 * margin);
        for (qsizetype i = 0; i < out.pages.first().items.size(); ++i) {
            const PlacedItem &was = designed.pages.first().items[i];
            const PlacedItem &now = out.pages.first().items[i];
            QVERIFY2(content.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(now.box), qPrintable(now.lines.join(u' ')));
            QVERIFY(qAbs(now.box.width() - was.box.width() * scale) < 1e-6);
            QVERIFY(qAbs(now.font.pointSize - was.font.pointSize * scale) < 1e-6);
            QCOMPARE(now.lines, was.lines);
            const QPointF fromCorner = now.box.topLeft() - QPointF(margin, margin);
            QVERIFY(qAbs(fromCorner.x() - (was.box.left() - 10) * scale) < 1e-6);
        }
        if (margin == 10.0 && scale == 1.0)
            QCOMPARE(out.pages.first().items.first().box, designed.pages.first().items.first().box);
        // Documents that name their paper name this one.
        const auto twips = [](double mm) { return QByteArray::number(qRound(mm / 25.4 * 1440)); };
        QVERIFY(
            ExportFilters::rtf(out).contains("\\paperw" + twips(paper.width()) + "\\paperh" + twips(paper.height())));
    }

    void labelsSizeThemselvesAndWrapAtTheMargin()
    {
        Report r;
        r.detailBand.height = 50;
        const QString shortText = QStringLiteral("张三");
        const QString longText = QString(120, QChar(u'长'));
        r.detailBand.elements << Element::label(5, 0, shortText, ReportFont{});
        r.detailBand.elements << Element::label(100, 10, longText, ReportFont{});
        r.rowCount = 1;

        const RenderedPage page = ReportRenderer::render(r).pages.first();
        const PlacedItem *shortLabel = itemWithText(page, shortText);
        QVERIFY(shortLabel);
        QCOMPARE(shortLabel->box.topLeft(), QPointF(15, 10));
        QVERIFY(qAbs(shortLabel->box.width() - FontMap::textWidth(ReportFont{}, shortText)) < 0.01);

        const PlacedItem *longLabel = nullptr;
        for (const PlacedItem &item : page.items)
            if (item.lines.size() > 1)
                longLabel = &item;
        QVERIFY(longLabel);
        QCOMPARE(longLabel->lines.join(QString()), longText);
        QVERIFY(longLabel->box.right() <= 200.0 + 1e-6);
        QVERIFY(qAbs(longLabel->box.height() - longLabel->lineHeight * longLabel->lines.size()) < 1e-6);
    }

    // Too long for its room even at the smallest size: every character is
    // kept, at that size, and the text runs on below rather than sideways.
    void labelTooLongForItsRoomKeepsEveryCharacter()
    {
        Report r;
        r.detailBand.height = 50;
        const QString longText = QString(300, QChar(u'长'));
        r.detailBand.elements << Element::label(0, 0, longText, ReportFont{});
        r.detailBand.elements << Element::label(0, 8, QStringLiteral("下一行"), ReportFont{});
        r.detailBand.elements << Element::frame(QRectF(60, 0, 20, 20), {}, ReportFont{});
        r.rowCount = 1;

        const RenderedPage page = ReportRenderer::render(r).pages.first();
        const PlacedItem *label = nullptr;
        for (const PlacedItem &item : page.items)
            if (item.lines.size() > 1)
                label = &item;
        QVERIFY(label);
        QCOMPARE(label->lines.join(QString()), longText);
        QCOMPARE(label->font.pointSize, LabelFit::kMinimumPointSize);
        QVERIFY(label->box.right() <= 10 + 60 - LabelFit::kGap + 1e-6);
    }

    void memoKeepsLinesAndStopsAtItsBottom()
    {
        Report r;
        r.detailBand.height = 100;
        const ReportFont font;
        const double lineHeight = FontMap::metrics(font).lineHeight;
        QStringList lines;
        for (int i = 0; i < 10; ++i)
            lines << QStringLiteral("  第%1行").arg(i);
        // Room for three lines and a bit.
        r.detailBand.elements << Element::memo(QRectF(0, 0, 150, lineHeight * 3.5), lines, font);
        r.rowCount = 1;

        const PlacedItem memo = ReportRenderer::render(r).pages.first().items.first();
        QCOMPARE(memo.lines, lines.first(3));
    }

    void labelUnderAPictureShowsOnlyWithoutOne_data()
    {
        QTest::addColumn<bool>("withPicture");
        QTest::newRow("picture") << true;
        QTest::newRow("no picture") << false;
    }
    void labelUnderAPictureShowsOnlyWithoutOne()
    {
        QFETCH(bool, withPicture);
        QImage photo;
        if (withPicture) {
            photo = QImage(4, 4, QImage::Format_RGB32);
            photo.fill(Qt::blue);
        }
        Report r;
        r.detailBand.height = 60;
        r.detailBand.elements << Element::label(10, 10, QStringLiteral("照片"), ReportFont{});
        r.detailBand.elements << Element::image(QRectF(0, 0, 40, 40), photo);
        r.rowCount = 1;

        const QStringList texts = textsOf(ReportRenderer::render(r).pages.first());
        QCOMPARE(texts.contains(QStringLiteral("照片")), !withPicture);
    }

    void chineseFontIsAnInstalledFontWithChineseGlyphs()
    {
        const QString family = FontMap::installedFamily(ReportFont{});
        QVERIFY2(QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese), qPrintable(family));
        QVERIFY(QFontMetricsF(FontMap::qtFont(ReportFont{})).inFont(QChar(u'宋')));
    }
};

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    TestReportRenderer test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_report_renderer.moc"
