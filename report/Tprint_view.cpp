#include "report/Tprint_view.h"

#include "platform/ui/Dialogs.h"
#include "report/PagePrinter.h"
#include "report/PageView.h"
#include "report/ReportExport.h"
#include "report/ReportRenderer.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

constexpr int kToolBarHeight = 41;

struct ExportChoice
{
    const char16_t *entry;
    const char16_t *patterns;
    report::ExportFormat format;
};

const ExportChoice kExportChoices[] = {
    {u"网页文件(*.html)", u"*.htm *.html", report::ExportFormat::Html},
    {u"文本文件(*.txt)", u"*.txt", report::ExportFormat::Text},
    {u"Excel文件(*.xls)", u"*.xls", report::ExportFormat::Xls},
    {u"RTF文件(*.rtf)", u"*.rtf", report::ExportFormat::Rtf},
    {u"Wmf图形(*.wmf)", u"*.wmf", report::ExportFormat::Wmf},
    {u"PDF图形格式", u"*.pdf", report::ExportFormat::Pdf},
};

} // namespace

Tprint_view::Tprint_view(QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_view(new PageView(this))
    , m_pageNumber(new QLabel(this))
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("Tprint_view"));
    setWindowTitle(QStringLiteral("打印预览"));
    m_view->setObjectName(QStringLiteral("PageView"));
    m_pageNumber->setObjectName(QStringLiteral("PageNumber"));

    auto *toolBar = new QWidget(this);
    toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_bar = new QHBoxLayout(toolBar);
    m_bar->setContentsMargins(4, 2, 4, 2);
    // The buttons' own padding parts them; a narrow screen keeps them whole.
    m_bar->setSpacing(0);
    m_bar->addWidget(new QLabel(QStringLiteral("页数:"), toolBar));
    m_bar->addWidget(m_pageNumber);
    // Room for a four-digit page number in the desktop's font.
    m_pageNumber->setMinimumWidth(m_pageNumber->fontMetrics().horizontalAdvance(QStringLiteral("0000")));

    m_print = addButton(QStringLiteral("PrintButton"), QStringLiteral("打印"), {});
    m_print->setEnabled(false);
    connect(m_print, &QToolButton::clicked, this, &Tprint_view::printPages);
    connect(addButton(QStringLiteral("PageSetupButton"), QStringLiteral("页面设置"), {}), &QToolButton::clicked, this,
            &Tprint_view::pageSetup);
    connect(addButton(QStringLiteral("ExportButton"), QStringLiteral("导出文件"),
                      QStringLiteral("推荐以WMF格式导出,兼容中英字体")),
            &QToolButton::clicked, this, &Tprint_view::exportFile);
    connect(addButton(QStringLiteral("WholePageButton"), QStringLiteral("整页显示"), {}), &QToolButton::clicked, m_view,
            &PageView::zoomToWholePage);
    connect(addButton(QStringLiteral("PageWidthButton"), QStringLiteral("页宽显示"), {}), &QToolButton::clicked, this,
            [this] { m_view->setZoom(100); });
    connect(addButton(QStringLiteral("NextPageButton"), QStringLiteral("下一页"), QStringLiteral("下一页")),
            &QToolButton::clicked, this, &Tprint_view::nextPage);
    connect(addButton(QStringLiteral("PreviousPageButton"), QStringLiteral("上一页"), QStringLiteral("上一页")),
            &QToolButton::clicked, this, &Tprint_view::previousPage);
    connect(addButton(QStringLiteral("CloseButton"), QStringLiteral("关闭窗口"), {}), &QToolButton::clicked, this,
            &QWidget::close);
    m_bar->addStretch();
    // Taller only when a large desktop font needs it.
    toolBar->setFixedHeight(std::max(kToolBarHeight, m_bar->sizeHint().height()));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(m_view);

    qApp->installEventFilter(this);
}

Tprint_view::~Tprint_view()
{
    qApp->removeEventFilter(this);
}

QPointer<Tprint_view> &Tprint_view::reference()
{
    static QPointer<Tprint_view> current;
    return current;
}

QToolButton *Tprint_view::addButton(const QString &name, const QString &text, const QString &hint)
{
    auto *button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    m_bar->addWidget(button);
    return button;
}

void Tprint_view::attach(const report::Report &definition)
{
    m_definition = definition;
    report::PagePrinter::prepare(*m_printer, m_definition.page);
    layOut();
    m_view->setZoom(100);
}

// The pages are laid out for the paper the printer is set to, so the
// preview shows what the printer gets.
void Tprint_view::layOut()
{
    auto rendered = std::make_shared<const report::RenderedReport>(
        report::ReportRenderer::render(m_definition, report::PagePrinter::paperOf(*m_printer)));
    const int pages = int(rendered->pages.size());
    m_view->setReport(std::move(rendered));
    for (int page = 1; page <= pages; ++page)
        pageAvailable(page);
}

void Tprint_view::pageAvailable(int page)
{
    m_pageNumber->setText(QString::number(page));
    m_print->setEnabled(true);
}

QString Tprint_view::exportFilter()
{
    QStringList entries;
    for (const ExportChoice &choice : kExportChoices)
        entries << QStringLiteral("%1 (%2)").arg(QString::fromUtf16(choice.entry), QString::fromUtf16(choice.patterns));
    return entries.join(QStringLiteral(";;"));
}

void Tprint_view::printPages()
{
    if (!m_view->report())
        return;
    if (!report::PagePrinter::printerAvailable()) {
        Dialogs::information(this, QStringLiteral("没有安装打印机,无法打印."));
        return;
    }
    if (const Result<void> printed = report::PagePrinter::print(*m_view->report(), *m_printer); !printed)
        Dialogs::error(this, printed.error());
}

void Tprint_view::pageSetup()
{
    if (!report::PagePrinter::printerAvailable()) {
        Dialogs::information(this, QStringLiteral("没有安装打印机,无法进行页面设置."));
        return;
    }
    QPageSetupDialog dialog(m_printer.get(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    report::PagePrinter::keepPageSetup(m_printer->pageLayout());
    layOut();
}

void Tprint_view::exportFile()
{
    if (!m_view->report())
        return;
    int index = 0;
    QString fileName = Dialogs::saveFileName(this, QStringLiteral("导出文件"), exportFilter(), {}, &index);
    if (fileName.isEmpty())
        return;
    const int count = int(std::size(kExportChoices));
    const ExportChoice &choice = kExportChoices[std::clamp(index, 0, count - 1)];
    // A name typed without an extension gets the chosen format's.
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QString::fromUtf16(choice.patterns).section(u' ', 0, 0).mid(1);
    if (const Result<void> written = report::ReportExport::writeFile(*m_view->report(), choice.format, fileName);
        !written)
        Dialogs::error(this, written.error());
}

void Tprint_view::nextPage()
{
    m_view->setPage(m_view->page() + 1);
}

void Tprint_view::previousPage()
{
    m_view->setPage(m_view->page() - 1);
}

bool Tprint_view::eventFilter(QObject *watched, QEvent *event)
{
    // Each wheel turn reaches the application once as an event for a window
    // (and again for every widget it is passed on to); acting on the window
    // event alone scrolls by one page per turn, wherever the pointer is.
    if (event->type() == QEvent::Wheel && watched->isWindowType()) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        const QPoint delta = wheel->angleDelta();
        const int turn = delta.y() != 0 ? delta.y() : delta.x();
        m_view->verticalScrollBar()->triggerAction(turn > 0 ? QAbstractSlider::SliderPageStepSub
                                                            : QAbstractSlider::SliderPageStepAdd);
    }
    return false; // the wheel's own target still gets it
}

void Tprint_view::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    emit closed();
}
