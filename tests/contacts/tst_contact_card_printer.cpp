#include "contacts/card/ContactCardPrint.h"
#include "report/PagePrinter.h"
#include "report/PageView.h"
#include "report/Tprint_box.h"
#include "report/Tprint_view.h"
#include "Widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace report;

struct PageChoice
{
    QPageSize::PageSizeId size;
    QPageLayout::Orientation orientation;
    double margin; // mm, all four sides
};
Q_DECLARE_METATYPE(PageChoice)

// The card printed through a real print server: ctest starts a private one
// (scripts/print-server.sh) with a cups-pdf queue as the default printer,
// and the server's spool keeps the document the program sent.
namespace {

constexpr double kMmPerPt = 25.4 / 72.0;

ContactCardValues fullContact()
{
    ContactCardValues v;
    v.name = QStringLiteral("张三丰");
    v.sex = QStringLiteral("男");
    v.mobile = QStringLiteral("13800000000");
    v.homePhone = QStringLiteral("010-88886666");
    v.idNumber = QStringLiteral("11010119900101123X");
    v.currentAddress = QStringLiteral("北京市海淀区中关村大街1号");
    v.registeredAddress = QStringLiteral("湖北省十堰市武当山");
    v.postcode = QStringLiteral("100080");
    v.other = QStringLiteral("微信zsf1990");
    v.online = QStringLiteral("zsf@example.cn");
    v.remarks = QStringLiteral("太极拳创始人\n\n武当派祖师");
    v.photo = QImage(145, 185, QImage::Format_RGB32);
    v.photo.fill(QColor(90, 120, 160));
    v.unitName = QStringLiteral("武当山道教协会");
    v.unitAddress = QStringLiteral("湖北省丹江口市武当山特区");
    v.officePhone = QStringLiteral("0719-5665678");
    v.officeFax = QStringLiteral("0719-5665679");
    v.webAddress = QStringLiteral("www.wudang.example.cn");
    v.unitNotes = QStringLiteral("每周一上午例会");
    v.otherInfo = QStringLiteral("喜欢喝茶\n爱好书法");
    return v;
}

QStringList valuesOf(const ContactCardValues &v)
{
    return {v.name,
            v.mobile,
            v.homePhone,
            v.idNumber,
            v.currentAddress,
            v.registeredAddress,
            v.postcode,
            v.other,
            v.online,
            QStringLiteral("太极拳创始人"),
            QStringLiteral("武当派祖师"),
            v.unitName,
            v.unitAddress,
            v.officePhone,
            v.officeFax,
            v.webAddress,
            v.unitNotes,
            QStringLiteral("喜欢喝茶"),
            QStringLiteral("爱好书法")};
}

// Fills the page set-up dialog as a user would: millimetres, the paper, the
// orientation, the margins, then OK (or Cancel).
void fillPageSetup(QPageSetupDialog *dialog, const PageChoice &choice, bool accept)
{
    const bool landscape = choice.orientation == QPageLayout::Landscape;
    FIND_CHILD(units, QComboBox, dialog, "unitCombo");
    FIND_CHILD(sizes, QComboBox, dialog, "pageSizeCombo");
    FIND_CHILD(orientation, QRadioButton, dialog, landscape ? "landscape" : "portrait");
    units->setCurrentIndex(units->findData(QVariant::fromValue(QPageLayout::Millimeter)));
    for (int i = 0; i < sizes->count(); ++i)
        if (sizes->itemData(i).value<QPageSize>().id() == choice.size)
            sizes->setCurrentIndex(i);
    orientation->click();
    for (const char *side : {"topMargin", "leftMargin", "rightMargin", "bottomMargin"}) {
        FIND_CHILD(margin, QDoubleSpinBox, dialog, QLatin1String(side));
        margin->setValue(choice.margin);
    }
    auto *buttons = dialog->findChild<QDialogButtonBox *>();
    QVERIFY(buttons);
    QPushButton *answer = buttons->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
    QVERIFY(answer);
    answer->click();
}

// Answers the page set-up dialog that is about to open.
void answerPageSetup(const PageChoice &choice, bool accept = true)
{
    QTimer::singleShot(0, qApp, [choice, accept] {
        auto *dialog = qobject_cast<QPageSetupDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            QTest::qFail("no page set-up dialog", __FILE__, __LINE__);
            return;
        }
        fillPageSetup(dialog, choice, accept);
        if (dialog->isVisible()) // a control was missing: the test has failed, and must not wait here
            dialog->reject();
    });
}

QSizeF expectedPaper(const PageChoice &choice)
{
    const QSizeF portrait = QPageSize(choice.size).size(QPageSize::Millimeter);
    return choice.orientation == QPageLayout::Landscape ? portrait.transposed() : portrait;
}

bool near(const QSizeF &a, const QSizeF &b, double tolerance)
{
    return qAbs(a.width() - b.width()) < tolerance && qAbs(a.height() - b.height()) < tolerance;
}

// Runs a reader of the printed document; fails the test when it cannot.
QString run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        QTest::qFail(
            qPrintable(program + QStringLiteral(" failed: ") + QString::fromUtf8(process.readAllStandardError())),
            __FILE__, __LINE__);
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The size of the document's first page, in millimetres.
QSizeF pdfPageSize(const QString &pdf)
{
    static const QRegularExpression size(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"));
    const QRegularExpressionMatch m = size.match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) * kMmPerPt : QSizeF();
}

// Every word on the pages, with its box in millimetres.
QList<QPair<QString, QRectF>> pdfWords(const QString &pdf)
{
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.-]+)\" yMin=\"([0-9.-]+)\" xMax=\"([0-9.-]+)\" "
                       "yMax=\"([0-9.-]+)\">([^<]*)</word>"));
    QList<QPair<QString, QRectF>> words;
    const QString page = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    for (auto it = word.globalMatch(page); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QPointF from(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF to(m.captured(3).toDouble(), m.captured(4).toDouble());
        words.append({m.captured(5), QRectF(from * kMmPerPt, to * kMmPerPt)});
    }
    return words;
}

} // namespace

class TestContactCardPrinter final : public QObject
{
    Q_OBJECT

private:
    QString m_spool;
    std::unique_ptr<QWidget> m_addressBook;

    QStringList spooledDocuments() const
    {
        return QDir(m_spool).entryList({QStringLiteral("d*-001")}, QDir::Files, QDir::Name);
    }

    Tprint_view *openCard()
    {
        Tprint_view *view = ContactCard::printPreview(m_addressBook.get(), fullContact());
        return QTest::qWaitForWindowExposed(view) ? view : nullptr;
    }

    // Presses "打印" and returns the document the print server received.
    QString printAndFetch(QToolButton *print)
    {
        const QStringList before = spooledDocuments();
        QTest::mouseClick(print, Qt::LeftButton);
        QStringList added;
        const bool arrived = QTest::qWaitFor(
            [&] {
                added = spooledDocuments();
                for (const QString &old : before)
                    added.removeAll(old);
                return !added.isEmpty();
            },
            10000);
        return arrived ? QDir(m_spool).filePath(added.last()) : QString();
    }

private slots:
    void initTestCase()
    {
        if (!QFileInfo::exists(QStringLiteral("/usr/sbin/cupsd")))
            QSKIP("cupsd is not installed (scripts/install-deps.sh installs it)");
        m_spool = qEnvironmentVariable("VELMORA_PRINT_SPOOL");
        QVERIFY2(!m_spool.isEmpty(), "run by ctest, which starts the print server");
        QCOMPARE(QPrinterInfo::defaultPrinterName(), QStringLiteral("PDF"));
    }

    void init()
    {
        PagePrinter::forgetPageSetup();
        m_addressBook = std::make_unique<QWidget>();
        m_addressBook->show();
    }

    void cleanup()
    {
        m_addressBook.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        PagePrinter::forgetPageSetup();
    }

    void printedSheetIsThePreview_data()
    {
        QTest::addColumn<PageChoice>("choice");
        QTest::newRow("A4 portrait") << PageChoice{QPageSize::A4, QPageLayout::Portrait, 10};
        QTest::newRow("A4 landscape") << PageChoice{QPageSize::A4, QPageLayout::Landscape, 10};
        QTest::newRow("A5, wide margins") << PageChoice{QPageSize::A5, QPageLayout::Portrait, 15};
        QTest::newRow("US Letter") << PageChoice{QPageSize::Letter, QPageLayout::Portrait, 10};
    }
    void printedSheetIsThePreview()
    {
        QFETCH(PageChoice, choice);
        Tprint_view *view = openCard();
        QVERIFY(view);
        FIND_CHILD(pageSetup, QToolButton, view, "PageSetupButton");
        FIND_CHILD(print, QToolButton, view, "PrintButton");
        FIND_CHILD(pageNumber, QLabel, view, "PageNumber");
        answerPageSetup(choice);
        QTest::mouseClick(pageSetup, Qt::LeftButton);

        // The preview follows the page set-up, page count included.
        const RenderedReport *preview = view->pageView()->report();
        QVERIFY(near(preview->pageSize, expectedPaper(choice), 0.1));
        QCOMPARE(pageNumber->text(), QString::number(preview->pages.size()));
        const QRectF content = QRectF(QPointF(0, 0), preview->pageSize)
                                   .adjusted(choice.margin, choice.margin, -choice.margin, -choice.margin);
        for (const PlacedItem &item : preview->pages.first().items)
            QVERIFY2(content.adjusted(-0.01, -0.01, 0.01, 0.01).contains(item.box), qPrintable(item.lines.join(u' ')));

        const QString sent = printAndFetch(print);
        QVERIFY2(!sent.isEmpty(), "the print server received nothing");
        const QSizeF sentSize = pdfPageSize(sent);
        QVERIFY2(near(sentSize, preview->pageSize, 0.5),
                 qPrintable(QStringLiteral("sent %1 x %2 mm").arg(sentSize.width()).arg(sentSize.height())));

        const QString text = run(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-enc"), QStringLiteral("UTF-8"), sent, QStringLiteral("-")});
        for (const QString &value : valuesOf(fullContact()))
            QVERIFY2(text.contains(value), qPrintable(value + QStringLiteral(" not in:\n") + text));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("性别:\\s*男"))));

        // Every word lies on the page, inside the margins.
        const auto words = pdfWords(sent);
        QVERIFY(words.size() > 20);
        for (const auto &[word, box] : words)
            QVERIFY2(content.adjusted(-1, -1, 1, 1).contains(box),
                     qPrintable(QStringLiteral("%1 at %2,%3").arg(word).arg(box.x()).arg(box.y())));
    }

    void pageSetupHoldsForTheSession()
    {
        const PageChoice a5{QPageSize::A5, QPageLayout::Landscape, 12};
        QPointer<Tprint_view> first = openCard();
        QVERIFY(first);
        FIND_CHILD(firstPageSetup, QToolButton, first.data(), "PageSetupButton");
        answerPageSetup(a5);
        QTest::mouseClick(firstPageSetup, Qt::LeftButton);
        QVERIFY(near(first->pageView()->report()->pageSize, expectedPaper(a5), 0.1));

        // The next "打印" opens a new preview on the same paper.
        Tprint_view *second = openCard();
        QVERIFY(second);
        FIND_CHILD(secondPageSetup, QToolButton, second, "PageSetupButton");
        FIND_CHILD(print, QToolButton, second, "PrintButton");
        QTRY_VERIFY(!first);
        QVERIFY(near(second->pageView()->report()->pageSize, expectedPaper(a5), 0.1));

        // Cancel leaves the choice as it was.
        answerPageSetup({QPageSize::Letter, QPageLayout::Portrait, 10}, false);
        QTest::mouseClick(secondPageSetup, Qt::LeftButton);
        QVERIFY(near(second->pageView()->report()->pageSize, expectedPaper(a5), 0.1));
        const QString sent = printAndFetch(print);
        QVERIFY(!sent.isEmpty());
        QVERIFY(near(pdfPageSize(sent), expectedPaper(a5), 0.5));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestContactCardPrinter test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_contact_card_printer.moc"
