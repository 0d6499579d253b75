#include "report/PagePrinter.h"
#include "report/PageView.h"
#include "report/Tprint_box.h"
#include "report/Tprint_view.h"
#include "ScriptedDialogs.h"
#include "TextFit.h"
#include "Widgets.h"

#include <QApplication>
#include <QLabel>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

using namespace report;

namespace {

// Two pages: a tall detail band per row.
Report twoPages()
{
    Report r;
    r.title = QStringLiteral("测试");
    r.titleBand.height = 10;
    r.titleBand.elements << Element::label(0, 0, QStringLiteral("标题"), ReportFont{});
    r.detailBand.height = 250;
    r.detailBand.elements << Element::label(0, 0, QStringLiteral("明细"), ReportFont{});
    r.rowCount = 2;
    return r;
}

void sendWheel(QWidget *target, int delta)
{
    const QPointF at(5, 5);
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target->windowHandle(), &wheel);
}

} // namespace

class TestPrintView final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QWidget> m_owner;

    Tprint_view *openPreview()
    {
        auto *box = new Tprint_box(m_owner.get());
        box->setAttribute(Qt::WA_DeleteOnClose);
        Tprint_box::reference() = box;
        box->setReport(twoPages());
        Tprint_view *view = box->preview();
        if (!QTest::qWaitForWindowExposed(view))
            return nullptr;
        return view;
    }

private slots:
    void init()
    {
        m_owner = std::make_unique<QWidget>();
        m_owner->resize(300, 200);
        m_owner->show();
    }
    void cleanup()
    {
        PagePrinter::forgetPageSetup();
        m_owner.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void opensMaximisedWithItsToolBar()
    {
        Tprint_view *view = openPreview();
        QVERIFY(view);
        QCOMPARE(view->windowTitle(), QStringLiteral("打印预览"));
        QVERIFY(view->windowState() & Qt::WindowMaximized);
        const Qt::WindowFlags flags = view->windowFlags();
        QVERIFY(flags & Qt::CustomizeWindowHint);
        QVERIFY(!(flags & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));

        const QList<QPair<QString, QString>> expected = {
            {QStringLiteral("打印"), {}},
            {QStringLiteral("页面设置"), {}},
            {QStringLiteral("导出文件"), QStringLiteral("推荐以WMF格式导出,兼容中英字体")},
            {QStringLiteral("整页显示"), {}},
            {QStringLiteral("页宽显示"), {}},
            {QStringLiteral("下一页"), QStringLiteral("下一页")},
            {QStringLiteral("上一页"), QStringLiteral("上一页")},
            {QStringLiteral("关闭窗口"), {}}};
        QList<QToolButton *> buttons = view->findChildren<QToolButton *>();
        std::sort(buttons.begin(), buttons.end(), [](QWidget *a, QWidget *b) { return a->x() < b->x(); });
        QList<QPair<QString, QString>> shown;
        for (QToolButton *b : buttons)
            shown.append({b->text(), b->toolTip()});
        QCOMPARE(shown, expected);
        FIND_CHILD(toolBar, QWidget, view, "ToolBar");
        FIND_CHILD(pageNumber, QLabel, view, "PageNumber");
        FIND_CHILD(print, QToolButton, view, "PrintButton");
        QCOMPARE(toolBar->height(), 41);

        // The page-available notification has run for both pages.
        QCOMPARE(pageNumber->text(), QStringLiteral("2"));
        QVERIFY(print->isEnabled());
        QCOMPARE(view->pageView()->page(), 1);
        QCOMPARE(view->pageView()->zoom(), 100);
    }

    // Every caption of the tool bar is whole, at this desktop's font and at
    // a larger one.
    void captionsAreWhole_data()
    {
        QTest::addColumn<qreal>("fontScale");
        QTest::newRow("desktop font") << 1.0;
        QTest::newRow("larger font") << 1.5;
    }
    void captionsAreWhole()
    {
        QFETCH(qreal, fontScale);
        TextFit::ScaledFont font(fontScale);
        Tprint_view *view = openPreview();
        QVERIFY(view);
        FIND_CHILD(pageNumber, QLabel, view, "PageNumber");
        pageNumber->setText(QStringLiteral("999"));
        TextFit::saveShot(view, QStringLiteral("Tprint_view ") + QTest::currentDataTag());
        const QStringList faults = TextFit::faults(view);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    void printIsDisabledUntilAPageIsAvailable()
    {
        Tprint_view view(m_owner.get());
        FIND_CHILD(print, QToolButton, &view, "PrintButton");
        FIND_CHILD(pageNumber, QLabel, &view, "PageNumber");
        QVERIFY(!print->isEnabled());
        view.pageAvailable(1);
        QVERIFY(print->isEnabled());
        QCOMPARE(pageNumber->text(), QStringLiteral("1"));
    }

    void pageButtonsStayWithinThePages_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<int>("page");
        const QString next = QStringLiteral("NextPageButton");
        const QString previous = QStringLiteral("PreviousPageButton");
        QTest::newRow("previous on page 1") << QStringList{previous} << 1;
        QTest::newRow("next") << QStringList{next} << 2;
        QTest::newRow("next on the last page") << QStringList{next, next, next} << 2;
        QTest::newRow("back to 1") << QStringList{next, previous, previous} << 1;
    }
    void pageButtonsStayWithinThePages()
    {
        QFETCH(QStringList, clicks);
        QFETCH(int, page);
        Tprint_view *view = openPreview();
        QVERIFY(view);
        for (const QString &name : clicks) {
            FIND_CHILD(turn, QToolButton, view, name);
            QTest::mouseClick(turn, Qt::LeftButton);
        }
        QCOMPARE(view->pageView()->page(), page);
    }

    void zoomButtons()
    {
        Tprint_view *view = openPreview();
        QVERIFY(view);
        FIND_CHILD(wholePage, QToolButton, view, "WholePageButton");
        FIND_CHILD(pageWidth, QToolButton, view, "PageWidthButton");
        PageView *pages = view->pageView();
        QTest::mouseClick(wholePage, Qt::LeftButton);
        const QSize room = pages->maximumViewportSize();
        const QSize page = pages->widget()->size();
        QVERIFY2(page.width() <= room.width() && page.height() <= room.height(),
                 qPrintable(QStringLiteral("%1x%2 in %3x%4")
                                .arg(page.width())
                                .arg(page.height())
                                .arg(room.width())
                                .arg(room.height())));
        // Fitted: one side nearly fills the room.
        QVERIFY(page.height() > room.height() * 0.95 || page.width() > room.width() * 0.95);
        QVERIFY(pages->zoom() < 100);

        QTest::mouseClick(pageWidth, Qt::LeftButton);
        QCOMPARE(pages->zoom(), 100);
        QCOMPARE(page.height() < pages->widget()->height(), true);
    }

    void wheelAnywhereScrollsThePreviewByAPage()
    {
        Tprint_view *view = openPreview();
        QVERIFY(view);
        view->pageView()->setZoom(300); // a page several views tall
        QScrollBar *bar = view->pageView()->verticalScrollBar();
        QVERIFY(bar->maximum() > 2 * bar->pageStep());

        // Turned over the owner window, not over the preview.
        sendWheel(m_owner.get(), -120);
        QCOMPARE(bar->value(), bar->pageStep());
        sendWheel(m_owner.get(), -120);
        QCOMPARE(bar->value(), 2 * bar->pageStep());
        sendWheel(m_owner.get(), 120);
        QCOMPARE(bar->value(), bar->pageStep());

        // Once the preview has gone the wheel is nobody's business.
        view->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        sendWheel(m_owner.get(), -120);
    }

    void noPrinterIsSaidClearly_data()
    {
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<QString>("message");
        QTest::newRow("打印") << QStringLiteral("PrintButton") << QStringLiteral("没有安装打印机,无法打印.");
        QTest::newRow("页面设置") << QStringLiteral("PageSetupButton")
                                  << QStringLiteral("没有安装打印机,无法进行页面设置.");
    }
    void noPrinterIsSaidClearly()
    {
        QFETCH(QString, buttonName);
        QFETCH(QString, message);
        // Run with no print server: the machine has no printer at all.
        QVERIFY(QPrinterInfo::availablePrinters().isEmpty());
        ScriptedDialogs dialogs;
        Tprint_view *view = openPreview();
        QVERIFY(view);
        FIND_CHILD(pressed, QToolButton, view, buttonName);
        QTest::mouseClick(pressed, Qt::LeftButton);
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, Dialogs::Kind::Information);
        QCOMPARE(shown.first().text, message);
    }

    void exportWritesTheChosenFormat_data()
    {
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<QString>("typedName");
        QTest::addColumn<QString>("writtenName");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("html, extension added") << 0 << "card"
                                               << "card.htm" << QByteArray("<!DOCTYPE html>");
        QTest::newRow("text") << 1 << "card.txt"
                              << "card.txt" << QByteArray("\xe6\xa0\x87\xe9\xa2\x98");
        QTest::newRow("xls") << 2 << "card"
                             << "card.xls" << QByteArray("\xd0\xcf\x11\xe0");
        QTest::newRow("rtf") << 3 << "card.rtf"
                             << "card.rtf" << QByteArray("{\\rtf1");
        QTest::newRow("wmf") << 4 << "card"
                             << "card.wmf" << QByteArray("\xd7\xcd\xc6\x9a");
        QTest::newRow("pdf, own extension kept") << 5 << "card.PDF"
                                                 << "card.PDF" << QByteArray("%PDF");
    }
    void exportWritesTheChosenFormat()
    {
        QFETCH(int, filterIndex);
        QFETCH(QString, typedName);
        QFETCH(QString, writtenName);
        QFETCH(QByteArray, magic);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ScriptedDialogs dialogs;
        Tprint_view *view = openPreview();
        QVERIFY(view);
        FIND_CHILD(exportButton, QToolButton, view, "ExportButton");
        dialogs.answer(Dialogs::Answer::Ok, dir.filePath(typedName), filterIndex);
        QTest::mouseClick(exportButton, Qt::LeftButton);

        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 1); // the save dialog, and no message after it
        QCOMPARE(shown.first().kind, Dialogs::Kind::SaveFile);
        QCOMPARE(shown.first().text, QStringLiteral("网页文件(*.html) (*.htm *.html);;文本文件(*.txt) (*.txt);;"
                                                    "Excel文件(*.xls) (*.xls);;RTF文件(*.rtf) (*.rtf);;"
                                                    "Wmf图形(*.wmf) (*.wmf);;PDF图形格式 (*.pdf)"));
        QFile file(dir.filePath(writtenName));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith(magic));
    }

    void exportCancelledWritesNothing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ScriptedDialogs dialogs;
        Tprint_view *view = openPreview();
        QVERIFY(view);
        FIND_CHILD(exportButton, QToolButton, view, "ExportButton");
        dialogs.answer(Dialogs::Answer::Cancel);
        QTest::mouseClick(exportButton, Qt::LeftButton);
        QCOMPARE(dialogs.shown().size(), 1);
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void exportThatCannotBeWrittenSaysWhy()
    {
        ScriptedDialogs dialogs;
        Tprint_view *view = openPreview();
        QVERIFY(view);
        FIND_CHILD(exportButton, QToolButton, view, "ExportButton");
        dialogs.answer(Dialogs::Answer::Ok, QStringLiteral("/nonexistent-folder/card.pdf"), 5);
        QTest::mouseClick(exportButton, Qt::LeftButton);
        const auto shown = dialogs.shown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.last().kind, Dialogs::Kind::Error);
        QVERIFY(shown.last().text.contains(QStringLiteral("/nonexistent-folder/card.pdf")));
    }

    void closingThePreviewEndsTheLayout()
    {
        Tprint_view *view = openPreview();
        QVERIFY(view);
        QPointer<Tprint_box> box = Tprint_box::reference();
        QVERIFY(box);
        QCOMPARE(Tprint_view::reference().data(), view);
        QCOMPARE(view->parentWidget(), box.data());

        FIND_CHILD(closeButton, QToolButton, view, "CloseButton");
        QTest::mouseClick(closeButton, Qt::LeftButton);
        QTRY_VERIFY(!box);
        QVERIFY(!Tprint_view::reference());
        QVERIFY(!Tprint_box::reference());
    }

    void aNewPreviewReplacesTheOpenOne()
    {
        QPointer<Tprint_view> first = openPreview();
        QVERIFY(first);
        QPointer<Tprint_view> second = openPreview();
        QVERIFY(second);
        QTRY_VERIFY(!first);
        QCOMPARE(Tprint_view::reference().data(), second.data());
        QVERIFY(second->isVisible());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestPrintView test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_print_view.moc"
