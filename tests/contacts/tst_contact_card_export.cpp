#include "contacts/card/ContactCard.h"
#include "report/PagePrinter.h"
#include "report/ReportExport.h"
#include "report/ReportRenderer.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace report;

// Each exported file is read back by a program that knows nothing of ours
// (the packages scripts/install-deps.sh installs), and what it reads must
// show the card.
namespace {

const QString kName = QStringLiteral("张三丰");
const QString kCaption = QStringLiteral("身份证号");
const QString kOtherInfo = QStringLiteral("喜欢喝茶 every day");

// Prints the text of an HTML document from stdin or a file, bold runs in
// [b]...[/b], and one line per embedded picture.
const char *const kHtmlText = R"PY(
import sys, html.parser
class P(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(); self.out = []
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == 'b': self.out.append('[b]')
        if tag in ('br', 'div', 'p'): self.out.append('\n')
        if tag == 'img': self.out.append('\n[img %s]\n' % a.get('src', '')[:22])
    def handle_endtag(self, tag):
        if tag == 'b': self.out.append('[/b]')
    def handle_data(self, data): self.out.append(data.replace('\n', ''))
src = open(sys.argv[1], encoding='utf-8').read() if len(sys.argv) > 1 else sys.stdin.read()
p = P(); p.feed(src); sys.stdout.write(''.join(p.out))
)PY";

const char *const kXlsText = R"PY(
import sys, xlrd
book = xlrd.open_workbook(sys.argv[1])
for sheet in book.sheets():
    for r in range(sheet.nrows):
        print('\t'.join(str(c.value) for c in sheet.row(r)))
)PY";

ContactCardValues card()
{
    ContactCardValues v;
    v.name = kName;
    v.sex = QStringLiteral("男");
    v.idNumber = QStringLiteral("110101199001011234");
    v.remarks = QStringLiteral("老朋友\n\n常联系");
    v.otherInfo = kOtherInfo;
    v.photo = QImage(29, 37, QImage::Format_RGB32);
    v.photo.fill(QColor(200, 30, 30));
    return v;
}

QString python()
{
    // Debian's own interpreter carries the python3-* packages.
    if (QFile::exists(QStringLiteral("/usr/bin/python3")))
        return QStringLiteral("/usr/bin/python3");
    return QStandardPaths::findExecutable(QStringLiteral("python3"));
}

// Runs a reader; fails the test when it is missing or fails.
QByteArray run(const QString &program, const QStringList &args, const QByteArray &input = {})
{
    const QString path = program.startsWith(u'/') ? program : QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        QTest::qFail(qPrintable(program + QStringLiteral(" is not installed (scripts/install-deps.sh)")), __FILE__,
                     __LINE__);
        return {};
    }
    QProcess process;
    process.start(path, args);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        QTest::qFail(
            qPrintable(program + QStringLiteral(" failed: ") + QString::fromUtf8(process.readAllStandardError())),
            __FILE__, __LINE__);
        return {};
    }
    return process.readAllStandardOutput();
}

QString wmfText(const QString &file, const QString &svg)
{
    run(QStringLiteral("wmf2svg"), {QStringLiteral("-o"), svg, file});
    QFile in(svg);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    // The player passes the metafile's text bytes through as they are: the
    // font's character set (GB2312) says how to read them.
    QStringDecoder gbk("GBK");
    QString text;
    // The player writes text as it is, "<" and "&" unescaped.
    static const QRegularExpression element(QStringLiteral("<text[^>]*>(.*?)</text>"),
                                            QRegularExpression::DotMatchesEverythingOption);
    const QString raw = QString::fromLatin1(in.readAll());
    for (auto it = element.globalMatch(raw); it.hasNext();)
        text += gbk.decode(it.next().captured(1).toLatin1()) + u'\n';
    return text;
}

// The box, in mm, of the first word `word` that pdftotext finds on page 1.
QRectF wordBox(const QString &pdf, const QString &word)
{
    const QStringList args = {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                              QStringLiteral("-l"),    QStringLiteral("1"),  pdf,
                              QStringLiteral("-")};
    const QString page = QString::fromUtf8(run(QStringLiteral("pdftotext"), args));
    const QRegularExpression element(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                                                    "yMax=\"([0-9.]+)\">%1</word>")
                                         .arg(QRegularExpression::escape(word)));
    const QRegularExpressionMatch m = element.match(page);
    if (!m.hasMatch())
        return {};
    const double mmPerPt = 25.4 / 72.0;
    return QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) * mmPerPt,
                  QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()) * mmPerPt);
}

double svgWidth(const QString &svg)
{
    static const QRegularExpression width(QStringLiteral("<svg[^>]*\\bwidth=\"([0-9.]+)"));
    return width.match(svg).captured(1).toDouble();
}

QString readBack(ExportFormat format, const QString &file, const QTemporaryDir &dir)
{
    switch (format) {
    case ExportFormat::Html:
        return QString::fromUtf8(run(python(), {QStringLiteral("-c"), kHtmlText, file}));
    case ExportFormat::Text: {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? QString::fromUtf8(in.readAll()) : QString();
    }
    case ExportFormat::Xls:
        return QString::fromUtf8(run(python(), {QStringLiteral("-c"), kXlsText, file}));
    case ExportFormat::Rtf:
        return QString::fromUtf8(run(python(), {QStringLiteral("-c"), kHtmlText},
                                     run(QStringLiteral("unrtf"), {QStringLiteral("--html"), file})));
    case ExportFormat::Wmf:
        return wmfText(file, dir.filePath(QStringLiteral("card.svg")));
    case ExportFormat::Pdf:
        return QString::fromUtf8(run(QStringLiteral("pdftotext"),
                                     {QStringLiteral("-enc"), QStringLiteral("UTF-8"), file, QStringLiteral("-")}));
    }
    return {};
}

} // namespace

class TestContactCardExport final : public QObject
{
    Q_OBJECT

private:
    RenderedReport m_card;
    QTemporaryDir m_dir;

    QString printed(const RenderedReport &report, const QString &name)
    {
        const QString file = m_dir.filePath(name);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        PagePrinter::prepare(printer, PageSetup{});
        if (!PagePrinter::print(report, printer))
            QTest::qFail("the printer did not start", __FILE__, __LINE__);
        return file;
    }

    QString exported(ExportFormat format, const QString &name)
    {
        const QString file = m_dir.filePath(name);
        if (const Result<void> written = ReportExport::writeFile(m_card, format, file); !written)
            QTest::qFail(qPrintable(written.error()), __FILE__, __LINE__);
        return file;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_card = ReportRenderer::render(ContactCard::layout(card()));
    }

    void readersShowTheCard_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("html / html.parser") << ExportFormat::Html << "card.htm";
        QTest::newRow("text") << ExportFormat::Text << "card.txt";
        QTest::newRow("xls / xlrd") << ExportFormat::Xls << "card.xls";
        QTest::newRow("rtf / unrtf") << ExportFormat::Rtf << "card.rtf";
        QTest::newRow("wmf / wmf2svg") << ExportFormat::Wmf << "card.wmf";
        QTest::newRow("pdf / pdftotext") << ExportFormat::Pdf << "card.pdf";
    }
    void readersShowTheCard()
    {
        QFETCH(ExportFormat, format);
        QFETCH(QString, fileName);
        const QString text = readBack(format, exported(format, fileName), m_dir);
        for (const QString &expected :
             {kName, kCaption, kOtherInfo, QStringLiteral("个人详细信息表"), QStringLiteral("常联系")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" not in:\n") + text));
        // Memo lines come without the blank line between them.
        QVERIFY(!text.contains(QStringLiteral("老朋友\n\n")));
    }

    void hostileTextSurvivesEveryExport_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<bool>("beyondGbk"); // the format keeps characters GBK lacks
        QTest::newRow("html") << ExportFormat::Html << true;
        QTest::newRow("text") << ExportFormat::Text << true;
        QTest::newRow("xls") << ExportFormat::Xls << true;
        // Written as its two UTF-16 halves, as RTF wants, which unrtf does not join.
        QTest::newRow("rtf") << ExportFormat::Rtf << false;
        QTest::newRow("wmf") << ExportFormat::Wmf << false;
        QTest::newRow("pdf") << ExportFormat::Pdf << false; // the card's font has no emoji
    }
    // Markup, RTF control characters, quotes and percent signs in a value are
    // text to every writer: the readers show them as typed.
    void hostileTextSurvivesEveryExport()
    {
        QFETCH(ExportFormat, format);
        QFETCH(bool, beyondGbk);
        const QString markup = QStringLiteral("<b>粗</b> &amp; {\\par} \"引\" 100%");
        const QString emoji = QStringLiteral("😀");
        ContactCardValues values = card();
        values.otherInfo = markup + u' ' + emoji;
        const RenderedReport hostile = ReportRenderer::render(ContactCard::layout(values));
        const QString file = m_dir.filePath(QStringLiteral("hostile-%1").arg(int(format)));
        const Result<void> written = ReportExport::writeFile(hostile, format, file);
        QVERIFY2(written.ok(), qPrintable(written.error()));
        const QString text = readBack(format, file, m_dir);
        QVERIFY2(text.contains(markup), qPrintable(text));
        QVERIFY(text.contains(kName));
        if (beyondGbk)
            QVERIFY2(text.contains(emoji), qPrintable(text));
        if (format == ExportFormat::Rtf) {
            QFile raw(file);
            QVERIFY(raw.open(QIODevice::ReadOnly));
            QVERIFY(raw.readAll().contains("\\u-10179\\'3f\\u-8704\\'3f")); // U+1F600 as D83D DE00
        }
    }

    void textFollowsReadingOrder()
    {
        QFile in(exported(ExportFormat::Text, QStringLiteral("order.txt")));
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(in.readAll()).split(u'\n');
        QCOMPARE(lines.value(0), QStringLiteral("个人详细信息表"));
        QCOMPARE(lines.value(2), QStringLiteral("姓名: 张三丰 性别: 男"));
        const qsizetype remarks = lines.indexOf(QStringLiteral("老朋友"));
        QVERIFY(remarks > 0);
        QCOMPARE(lines.value(remarks + 1), QStringLiteral("常联系"));
    }

    void xlsCellsHoldCaptionsAndValues()
    {
        const QStringList rows =
            QString::fromUtf8(run(python(), {QStringLiteral("-c"), kXlsText, exported(ExportFormat::Xls, "cells.xls")}))
                .split(u'\n');
        QVERIFY(rows.contains(QStringLiteral("姓名:\t张三丰\t性别:\t男")));
    }

    void htmlIsOneFileWithThePhotoInside()
    {
        const QString file = exported(ExportFormat::Html, QStringLiteral("photo.htm"));
        const QString text = QString::fromUtf8(run(python(), {QStringLiteral("-c"), kHtmlText, file}));
        QCOMPARE(text.count(QStringLiteral("[img data:image/png;base64")), 1);
        QCOMPARE(text.count(QStringLiteral("[img")), 1);
    }

    void rtfCaptionsAndSectionTitlesAreBold()
    {
        const QString text = QString::fromUtf8(
            run(python(), {QStringLiteral("-c"), kHtmlText},
                run(QStringLiteral("unrtf"), {QStringLiteral("--html"), exported(ExportFormat::Rtf, "bold.rtf")})));
        for (const QString &bold : {QStringLiteral("[b]姓名:[/b]"), QStringLiteral("[b]个人信息 [/b]"),
                                    QStringLiteral("[b]单位信息 [/b]"), QStringLiteral("[b]其他信息 [/b]")})
            QVERIFY2(text.contains(bold), qPrintable(bold + u'\n' + text));
        QVERIFY(!text.contains(QStringLiteral("[b]单位名称:[/b]")));
    }

    void wmfPlaysWithFramesAndThePhoto()
    {
        const QString svg = m_dir.filePath(QStringLiteral("frames.svg"));
        run(QStringLiteral("wmf2svg"), {QStringLiteral("-o"), svg, exported(ExportFormat::Wmf, "frames.wmf")});
        QFile in(svg);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray drawing = in.readAll();
        QVERIFY(drawing.count("<rect") >= 5); // the page, the title band, three bars, the photo frame
        QVERIFY(drawing.contains("<image"));
    }

    void pdfEmbedsItsFonts()
    {
        const QStringList lines =
            QString::fromUtf8(run(QStringLiteral("pdffonts"), {exported(ExportFormat::Pdf, "fonts.pdf")})).split(u'\n');
        // Two heading lines, then one line per font: "name type encoding emb sub uni ...".
        const QStringList fonts = lines.mid(2).filter(QRegularExpression(QStringLiteral("\\S")));
        QVERIFY(!fonts.isEmpty());
        for (const QString &font : fonts) {
            const QStringList columns = font.split(u' ', Qt::SkipEmptyParts);
            QVERIFY2(columns.size() > 4 && columns[columns.size() - 5] == QStringLiteral("yes"), qPrintable(font));
        }
    }

    // The 18-digit id number is set smaller to end before the photo frame;
    // every output that places text draws it at the layout's size and place.
    void idNumberEndsBeforeThePhotoInEveryOutput_data()
    {
        QTest::addColumn<QString>("output");
        QTest::newRow("pdf export") << "pdf";
        QTest::newRow("printed") << "printed";
        QTest::newRow("wmf") << "wmf";
        QTest::newRow("html") << "html";
    }
    void idNumberEndsBeforeThePhotoInEveryOutput()
    {
        QFETCH(QString, output);
        const QString id = card().idNumber;
        const PlacedItem *item = nullptr;
        for (const PlacedItem &candidate : m_card.pages.first().items)
            if (candidate.lines == QStringList{id})
                item = &candidate;
        QVERIFY(item);
        QVERIFY(item->font.pointSize < 10.0);
        // The photo frame's left edge on the page: margin and place in the band.
        const double frameLeftMm = 10.0 + 148.2;
        QVERIFY(item->box.right() < frameLeftMm);

        if (output == QLatin1String("pdf") || output == QLatin1String("printed")) {
            const QString file = output == QLatin1String("pdf") ? exported(ExportFormat::Pdf, QStringLiteral("id.pdf"))
                                                                : printed(m_card, QStringLiteral("id-printed.pdf"));
            const QRectF word = wordBox(file, id);
            QVERIFY2(!word.isEmpty(), "the id number is not one word on the page");
            QVERIFY2(word.right() < frameLeftMm, qPrintable(QStringLiteral("ends at %1 mm").arg(word.right())));
            QVERIFY(qAbs(word.left() - item->box.left()) < 0.5);
        } else if (output == QLatin1String("wmf")) {
            const QString svg = m_dir.filePath(QStringLiteral("id.svg"));
            run(QStringLiteral("wmf2svg"), {QStringLiteral("-o"), svg, exported(ExportFormat::Wmf, "id.wmf")});
            QFile in(svg);
            QVERIFY(in.open(QIODevice::ReadOnly));
            const QString drawing = QString::fromLatin1(in.readAll());
            // The player writes the size into the style and the place into a matrix.
            const QRegularExpression text(
                QStringLiteral("<text[^>]*font-size:([0-9.]+);[^>]*matrix\\([-0-9. ]+ ([0-9.]+) "
                               "[0-9.]+\\)\"\\s*>")
                + QRegularExpression::escape(id));
            const QRegularExpressionMatch match = text.match(drawing);
            QVERIFY2(match.hasMatch(), qPrintable(drawing.left(2000)));
            const double pageWidth = svgWidth(drawing);
            QVERIFY(pageWidth > 0);
            const double mmPerUnit = m_card.pageSize.width() / pageWidth;
            const double sizeMm = match.captured(1).toDouble() * mmPerUnit;
            QVERIFY2(qAbs(sizeMm - item->font.pointSize * 25.4 / 72.0) < 0.1, qPrintable(match.captured(0)));
            QVERIFY(qAbs(match.captured(2).toDouble() * mmPerUnit - item->box.left()) < 0.2);
        } else {
            QFile in(exported(ExportFormat::Html, QStringLiteral("id.htm")));
            QVERIFY(in.open(QIODevice::ReadOnly));
            const QString page = QString::fromUtf8(in.readAll());
            const QRegularExpression div(QStringLiteral("font-size:([0-9.]+)pt[^>]*>")
                                         + QRegularExpression::escape(id));
            const QRegularExpressionMatch match = div.match(page);
            QVERIFY(match.hasMatch());
            QCOMPARE(match.captured(1).toDouble(), item->font.pointSize);
        }
    }

    void printingDrawsTheSamePages()
    {
        const QString file = m_dir.filePath(QStringLiteral("printed.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        QVERIFY(PagePrinter::print(m_card, printer));
        const QString text = QString::fromUtf8(run(
            QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), file, QStringLiteral("-")}));
        QVERIFY(text.contains(kName));
        QVERIFY(text.contains(kOtherInfo));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestContactCardExport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_contact_card_export.moc"
