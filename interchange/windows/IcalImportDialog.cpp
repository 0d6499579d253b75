#include "interchange/windows/IcalImportDialog.h"

#include "interchange/core/IcalImport.h"
#include "interchange/windows/IcalPlanModel.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ModalScope.h"
#include "platform/ui/ShellOpen.h"
#include "store/Clock.h"

#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// Time one step may take before the window handles its events.
constexpr qint64 kStepMs = 100;
constexpr int kProgressSteps = 1000;
} // namespace

IcalImportDialog::IcalImportDialog(const QSqlDatabase &db, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
{
    setObjectName(QStringLiteral("IcalImportDialog"));
    setWindowTitle(QStringLiteral("从iCalendar文件导入"));
    buildControls();
    m_timer = new QTimer(this);
    m_timer->setInterval(0);
    updateButtons();
    resize(sizeHint().expandedTo(QSize(760, 460)));
}

IcalImportDialog::~IcalImportDialog() = default;

void IcalImportDialog::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    m_open = new QPushButton(QStringLiteral("打开..."), this);
    m_open->setObjectName(QStringLiteral("icalOpen"));
    m_open->setToolTip(QStringLiteral("打开日历程序导出的iCalendar文件(*.ics)"));
    m_file = new QLabel(QStringLiteral("还没有打开文件"), this);
    m_file->setObjectName(QStringLiteral("icalFile"));
    m_file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_shellOpen = new QPushButton(QStringLiteral("用默认程序打开"), this);
    m_shellOpen->setObjectName(QStringLiteral("icalShellOpen"));
    m_shellOpen->setToolTip(QStringLiteral("用系统中打开日历文件的程序查看这个文件"));
    top->addWidget(m_open);
    top->addWidget(m_file, 1);
    top->addWidget(m_shellOpen);
    layout->addLayout(top);
    layout->addLayout(buildRange());

    m_model = new IcalPlanModel(this);
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("icalList"));
    m_list->setModel(m_model);
    m_list->verticalHeader()->hide();
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->horizontalHeader()->setResizeContentsPrecision(200);
    layout->addWidget(m_list, 1);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("icalSummary"));
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("icalProgress"));
    m_progress->setRange(0, kProgressSteps);
    m_progress->hide();
    layout->addWidget(m_progress);

    auto *bottom = new QHBoxLayout;
    m_import = new QPushButton(QStringLiteral("导入"), this);
    m_import->setObjectName(QStringLiteral("icalImport"));
    m_import->setToolTip(QStringLiteral("导入列表中可以导入的工作和日记"));
    m_close = new QPushButton(QStringLiteral("关闭"), this);
    m_close->setObjectName(QStringLiteral("icalClose"));
    bottom->addStretch(1);
    bottom->addWidget(m_import);
    bottom->addWidget(m_close);
    layout->addLayout(bottom);

    connect(m_open, &QPushButton::clicked, this, &IcalImportDialog::open);
    connect(m_shellOpen, &QPushButton::clicked, this, &IcalImportDialog::openInDesktop);
    connect(m_import, &QPushButton::clicked, this, &IcalImportDialog::startImport);
    connect(m_close, &QPushButton::clicked, this, &IcalImportDialog::reject);
}

// The days a recurring event is expanded over: the next twelve months unless
// the user picks others. Picking again reads the file again.
QLayout *IcalImportDialog::buildRange()
{
    const IcalImport::Options defaults = IcalImport::defaults(Clock::now());
    auto *row = new QHBoxLayout;
    auto *caption = new QLabel(QStringLiteral("重复的日程展开: 从"), this);
    caption->setObjectName(QStringLiteral("icalRangeLabel"));
    m_first = new QDateEdit(defaults.first, this);
    m_first->setObjectName(QStringLiteral("icalFrom"));
    m_first->setCalendarPopup(true);
    m_first->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    auto *to = new QLabel(QStringLiteral("到"), this);
    to->setObjectName(QStringLiteral("icalToLabel"));
    m_last = new QDateEdit(defaults.last, this);
    m_last->setObjectName(QStringLiteral("icalTo"));
    m_last->setCalendarPopup(true);
    m_last->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    row->addWidget(caption);
    row->addWidget(m_first);
    row->addWidget(to);
    row->addWidget(m_last);
    row->addStretch(1);
    connect(m_first, &QDateEdit::editingFinished, this, &IcalImportDialog::reread);
    connect(m_last, &QDateEdit::editingFinished, this, &IcalImportDialog::reread);
    return row;
}

// The dialog widens until every column shows its widest cell, as far as the
// screen allows; beyond that the list scrolls.
void IcalImportDialog::fitList()
{
    m_list->resizeColumnsToContents();
    int needed = m_list->frameWidth() * 2 + m_list->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < m_model->columnCount(); ++column)
        needed += m_list->columnWidth(column);
    const int missing = needed - m_list->width();
    if (missing <= 0)
        return;
    const QScreen *screen = this->screen();
    const int room = screen ? screen->availableGeometry().width() - frameGeometry().width() : missing;
    resize(width() + std::min(missing, std::max(room, 0)), height());
}

bool IcalImportDialog::isBusy() const
{
    return m_timer->isActive();
}

// Esc and 关闭 wait while the file is being written: the transaction is
// short, and a stop half way would only undo it.
void IcalImportDialog::reject()
{
    if (m_run && m_run->isWriting())
        return;
    m_timer->stop();
    QDialog::reject();
}

void IcalImportDialog::open()
{
    const QString path = Dialogs::openFileName(this, QStringLiteral("从iCalendar文件导入"),
                                               QStringLiteral("iCalendar文件(*.ics *.ical *.ifb);;所有类型(*)"));
    if (!path.isEmpty())
        openFile(path);
}

void IcalImportDialog::openFile(const QString &path)
{
    IcalImport::Options options = IcalImport::defaults(Clock::now());
    options.first = m_first->date();
    options.last = std::max(m_first->date(), m_last->date());
    Result<IcalImport> opened = IcalImport::open(m_db, path, options);
    if (!opened) {
        Dialogs::error(this, opened.error());
        return;
    }
    m_model->show(nullptr);
    m_run = std::make_unique<IcalImport>(std::move(opened).value());
    m_path = path;
    m_done = false;
    m_file->setText(QDir::toNativeSeparators(path));
    m_summary->setText(QStringLiteral("正在读取..."));
    m_progress->setValue(0);
    m_progress->show();
    m_timer->disconnect(this);
    connect(m_timer, &QTimer::timeout, this, &IcalImportDialog::readStep);
    m_timer->start();
    updateButtons();
}

void IcalImportDialog::reread()
{
    if (!m_path.isEmpty() && !m_done && !isBusy())
        openFile(m_path);
}

void IcalImportDialog::openInDesktop()
{
    if (!ShellOpen::openFile(m_path))
        Dialogs::error(this, QStringLiteral("没有可以打开文件 %1 的程序").arg(QDir::toNativeSeparators(m_path)));
}

void IcalImportDialog::readStep()
{
    const bool more = m_run->readStep(kStepMs);
    m_progress->setValue(int(m_run->readProgress() * kProgressSteps));
    if (!more)
        finishReading();
}

void IcalImportDialog::finishReading()
{
    m_timer->stop();
    m_progress->hide();
    m_model->show(&m_run->plans());
    fitList();
    showSummary();
    updateButtons();
    if (!m_run->error().isEmpty()) {
        Dialogs::error(this, m_run->error());
    } else if (m_run->plans().isEmpty()) {
        Dialogs::information(this,
                             QStringLiteral("文件“%1”中没有工作(VTODO, VEVENT)或日记(VJOURNAL),没有可以导入的记录.")
                                 .arg(QFileInfo(m_path).fileName()));
    }
}

void IcalImportDialog::startImport()
{
    bool updateExisting = true;
    if (const int updates = m_run->count(IcalPlan::Action::Update); updates > 0) {
        updateExisting =
            Dialogs::confirm(this, QStringLiteral("文件中有%1条记录是以前导入或导出过的,是否用文件的内容更新"
                                                  "已有的工作和日记? 选“否”只导入新的记录. (Yes/No)")
                                       .arg(updates));
    }
    m_run->startWriting(updateExisting);
    if (!m_run->isWriting()) {
        Dialogs::error(this, m_run->error());
        return;
    }
    m_scope = std::make_unique<ModalScope>(this);
    m_progress->setValue(0);
    m_progress->show();
    m_timer->disconnect(this);
    connect(m_timer, &QTimer::timeout, this, &IcalImportDialog::writeStep);
    m_timer->start();
    updateButtons();
}

void IcalImportDialog::writeStep()
{
    const bool more = m_run->writeStep(kStepMs);
    const qsizetype total = m_run->plans().size();
    m_progress->setValue(total > 0 ? int(qint64(m_run->writePosition()) * kProgressSteps / total) : kProgressSteps);
    if (!more)
        finishWriting();
}

void IcalImportDialog::finishWriting()
{
    m_timer->stop();
    m_scope.reset();
    m_progress->hide();
    m_model->refresh();
    fitList();
    if (!m_run->error().isEmpty()) {
        showSummary();
        updateButtons();
        Dialogs::error(this, m_run->error());
        return;
    }
    m_done = true;
    showSummary();
    updateButtons();
    const int added = m_run->count(IcalPlan::Outcome::Added);
    const int updated = m_run->count(IcalPlan::Outcome::Updated);
    if (added + updated > 0)
        emit imported();
    Dialogs::information(this, QStringLiteral("导入完成: 新建%1条, 更新%2条; %3条没有导入.")
                                   .arg(added)
                                   .arg(updated)
                                   .arg(m_run->count(IcalPlan::Outcome::Skipped)));
}

void IcalImportDialog::showSummary()
{
    if (!m_run)
        return;
    QString text;
    if (m_done) {
        text = QStringLiteral("已新建%1条, 已更新%2条, 没有导入%3条.")
                   .arg(m_run->count(IcalPlan::Outcome::Added))
                   .arg(m_run->count(IcalPlan::Outcome::Updated))
                   .arg(m_run->count(IcalPlan::Outcome::Skipped));
    } else {
        using Kind = IcalPlan::Kind;
        using Action = IcalPlan::Action;
        text = QStringLiteral("新建工作%1个, 日记%2篇; 更新已有的工作%3个, 日记%4篇; 不能导入%5条.")
                   .arg(m_run->count(Kind::Job, Action::New))
                   .arg(m_run->count(Kind::Note, Action::New))
                   .arg(m_run->count(Kind::Job, Action::Update))
                   .arg(m_run->count(Kind::Note, Action::Update))
                   .arg(m_run->count(Action::Refused));
    }
    if (!m_run->notes().isEmpty())
        text += u' ' + m_run->notes().join(u' ');
    m_summary->setText(text);
}

void IcalImportDialog::updateButtons()
{
    const bool busy = isBusy();
    const bool ready = m_run && !busy && !m_done && m_run->error().isEmpty()
                       && m_run->count(IcalPlan::Action::Refused) < m_run->plans().size();
    m_open->setEnabled(!busy);
    m_first->setEnabled(!busy && !m_done);
    m_last->setEnabled(!busy && !m_done);
    m_shellOpen->setEnabled(!m_path.isEmpty());
    m_import->setEnabled(ready);
    m_close->setEnabled(!(m_run && m_run->isWriting()));
}
