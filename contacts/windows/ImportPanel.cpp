#include "contacts/windows/ImportPanel.h"

#include "contacts/csv/ContactImport.h"
#include "contacts/csv/ImportFile.h"
#include "contacts/windows/ImportGridModel.h"
#include "platform/AppPaths.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ShellOpen.h"
#include "store/Clock.h"

#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kSwapCancel = QStringLiteral("取消交换");
const QString kSwapColumns = QStringLiteral("交换列");
const QString kSwapRows = QStringLiteral("交换行");
// Time one import step may take before the window handles its events: short
// enough that it answers within a moment and the bar moves several times a
// second, long enough that the commit ending each step is a small part of
// it. That commit waits for the disk several times whatever the step wrote,
// and on a disk busy with other programs each wait grows to tens of ms.
constexpr qint64 kStepMs = 200;
} // namespace

ImportPanel::ImportPanel(const QSqlDatabase &db, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
{
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    buildControls();
    m_timer = new QTimer(this);
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &ImportPanel::importStep);
    updateButtons();
}

ImportPanel::~ImportPanel() = default;

const ImportGrid &ImportPanel::grid() const
{
    return m_model->grid();
}

bool ImportPanel::isImporting() const
{
    return m_run != nullptr;
}

QPushButton *ImportPanel::button(const QString &name, const QString &caption, const QString &hint)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setToolTip(hint);
    return b;
}

void ImportPanel::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    m_open = button(QStringLiteral("iOpen"), QStringLiteral("打开"), {});
    QPushButton *help = button(QStringLiteral("iHelp"), QStringLiteral("帮助"), QStringLiteral("查看示例文件"));
    help->setFlat(true);
    auto *lines = new QVBoxLayout;
    lines->addWidget(new QLabel(QStringLiteral("打开 *.csv文件,一般csvoutlook,foxmail等导出"), this));
    lines->addWidget(new QLabel(QStringLiteral("产生文件,在导入后,进行移动\\移除\\修正等"), this));
    top->addWidget(m_open);
    top->addWidget(help);
    top->addLayout(lines, 1);
    layout->addLayout(top);

    auto *box = new QGroupBox(QStringLiteral("操作区"), this);
    box->setObjectName(QStringLiteral("iBox"));
    auto *boxLayout = new QVBoxLayout(box);
    m_model = new ImportGridModel(this);
    m_view = new QTableView(box);
    m_view->setObjectName(QStringLiteral("iGrid"));
    m_view->setModel(m_model);
    m_view->horizontalHeader()->hide();
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(24);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Column widths are measured on the first rows a file shows, so a long
    // file opens as fast as a short one.
    m_view->horizontalHeader()->setResizeContentsPrecision(200);
    boxLayout->addWidget(m_view, 1);
    m_progress = new QProgressBar(m_view);
    m_progress->setObjectName(QStringLiteral("iProgress"));
    m_progress->hide();

    auto *buttons = new QHBoxLayout;
    m_swapColumns = button(QStringLiteral("iSwapColumns"), kSwapColumns,
                           QStringLiteral("点击后,第一点击的列与后点击列进行交换位置."));
    m_swapRows =
        button(QStringLiteral("iSwapRows"), kSwapRows, QStringLiteral("点击后,第一点击的行与后点击行进行交换位置."));
    m_deleteColumn =
        button(QStringLiteral("iDeleteColumn"), QStringLiteral("删除列"), QStringLiteral("删除所点击的列"));
    m_deleteRow = button(QStringLiteral("iDeleteRow"), QStringLiteral("删除行"), QStringLiteral("删除所点击的行"));
    m_import = button(QStringLiteral("iImport"), QStringLiteral("导入"),
                      QStringLiteral("在确定文件及导入信息正确的,进行导入..."));
    m_import->setFlat(true);
    for (QPushButton *b : {m_swapColumns, m_swapRows, m_deleteColumn, m_deleteRow, m_import})
        buttons->addWidget(b);
    boxLayout->addLayout(buttons);
    layout->addWidget(box, 1);

    connect(m_open, &QPushButton::clicked, this, &ImportPanel::open);
    connect(help, &QPushButton::clicked, this, &ImportPanel::help);
    connect(m_swapColumns, &QPushButton::clicked, this, [this] { toggleSwap(ImportGrid::Swap::Columns); });
    connect(m_swapRows, &QPushButton::clicked, this, [this] { toggleSwap(ImportGrid::Swap::Rows); });
    connect(m_deleteColumn, &QPushButton::clicked, this, &ImportPanel::deleteColumn);
    connect(m_deleteRow, &QPushButton::clicked, this, &ImportPanel::deleteRow);
    connect(m_import, &QPushButton::clicked, this, &ImportPanel::startImport);
    connect(m_view, &QAbstractItemView::clicked, this, &ImportPanel::cellClicked);
}

void ImportPanel::open()
{
    const QString path =
        Dialogs::openFileName(this, {}, QStringLiteral("OutLook或Foxmail导出文件(*.csv *.txt);;所有类型(*)"));
    if (!path.isEmpty())
        openFile(path);
}

void ImportPanel::openFile(const QString &path)
{
    const Result<ImportFile::Lines> lines = ImportFile::read(path);
    if (!lines) {
        Dialogs::error(this, lines.error());
        return;
    }
    m_model->grid().open(*lines);
    refreshGrid();
    m_opened = true;
    updateButtons();
}

// Columns as wide as their cells: a grid wider than the tab scrolls sideways.
void ImportPanel::refreshGrid()
{
    m_model->refresh();
    m_view->resizeColumnsToContents();
}

void ImportPanel::help()
{
    const QString page = AppPaths::file(QStringLiteral("sample/test123.htm"));
    if (!ShellOpen::openFile(page))
        Dialogs::error(this, QStringLiteral("无法打开示例文件 %1").arg(page));
}

void ImportPanel::toggleSwap(ImportGrid::Swap mode)
{
    m_model->grid().toggleSwap(mode);
    updateButtons();
}

void ImportPanel::cellClicked(const QModelIndex &index)
{
    if (m_model->grid().click(index.row(), index.column())) {
        refreshGrid();
        updateButtons();
    }
}

void ImportPanel::deleteColumn()
{
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid())
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_model->grid().deleteColumn(current.column());
    refreshGrid();
    QGuiApplication::restoreOverrideCursor();
}

void ImportPanel::deleteRow()
{
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid())
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_model->grid().deleteRow(current.row());
    refreshGrid();
    QGuiApplication::restoreOverrideCursor();
}

void ImportPanel::startImport()
{
    QFile file(AppPaths::file(QStringLiteral("pic/null_pic.bmp")));
    if (!file.open(QIODevice::ReadOnly)) {
        Dialogs::error(this, file.errorString());
        return;
    }
    const QByteArray photo = file.readAll();
    if (QImage::fromData(photo).isNull()) {
        Dialogs::error(this, QStringLiteral("无法读取图片 %1").arg(file.fileName()));
        return;
    }
    QList<QStringList> rows;
    for (int r = 1; r < grid().rowCount(); ++r)
        rows << grid().fields(r);
    m_run = std::make_unique<ContactImport>(m_db, rows, photo);
    m_progress->setRange(0, qMax(1, m_run->total()));
    m_progress->setValue(0);
    m_progress->setGeometry(20, m_view->height() / 2 - 12, qMax(40, m_view->width() - 40), 24);
    m_progress->show();
    updateButtons();
    m_timer->start();
}

void ImportPanel::importStep()
{
    m_run->step(Clock::now(), kStepMs);
    m_progress->setValue(m_run->done());
    m_view->selectRow(qMin(m_run->done() + 1, grid().rowCount() - 1));
    if (m_run->finished())
        finishImport();
}

void ImportPanel::finishImport()
{
    m_timer->stop();
    m_progress->hide();
    const std::unique_ptr<ContactImport> run = std::move(m_run);
    updateButtons();
    if (run->failed())
        Dialogs::error(this, run->error());
}

void ImportPanel::updateButtons()
{
    const ImportGrid::Swap mode = grid().swapMode();
    const bool idle = !isImporting();
    m_open->setEnabled(idle);
    m_swapColumns->setText(mode == ImportGrid::Swap::Columns ? kSwapCancel : kSwapColumns);
    m_swapRows->setText(mode == ImportGrid::Swap::Rows ? kSwapCancel : kSwapRows);
    const bool free = m_opened && idle && mode == ImportGrid::Swap::None;
    m_swapColumns->setEnabled(m_opened && idle && mode != ImportGrid::Swap::Rows);
    m_swapRows->setEnabled(m_opened && idle && mode != ImportGrid::Swap::Columns);
    m_deleteColumn->setEnabled(free);
    m_deleteRow->setEnabled(free);
    m_import->setEnabled(free);
}
