#include "interchange/windows/VCardImportPanel.h"

#include "interchange/core/VCardImport.h"
#include "interchange/windows/CardPlanModel.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ShellOpen.h"
#include "store/Clock.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// Time one step may take before the window handles its events.
constexpr qint64 kStepMs = 100;
constexpr int kProgressSteps = 1000;
} // namespace

VCardImportPanel::VCardImportPanel(const QSqlDatabase &db, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
{
    buildControls();
    m_timer = new QTimer(this);
    m_timer->setInterval(0);
    updateButtons();
}

VCardImportPanel::~VCardImportPanel() = default;

void VCardImportPanel::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    m_open = new QPushButton(QStringLiteral("打开"), this);
    m_open->setObjectName(QStringLiteral("vOpen"));
    m_open->setToolTip(QStringLiteral("打开手机, 邮件程序或通讯录导出的vCard文件(*.vcf)"));
    m_file = new QLabel(this);
    m_file->setObjectName(QStringLiteral("vFile"));
    m_file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_shellOpen = new QPushButton(QStringLiteral("用默认程序打开"), this);
    m_shellOpen->setObjectName(QStringLiteral("vShellOpen"));
    m_shellOpen->setToolTip(QStringLiteral("用系统中打开vCard文件的程序查看这个文件"));
    top->addWidget(m_open);
    top->addWidget(m_file, 1);
    top->addWidget(m_shellOpen);
    layout->addLayout(top);
    auto *note = new QLabel(QStringLiteral("vCard 2.1, 3.0或4.0文件.导入前先列出每张卡片: 新建的, 更新已有联系人的, "
                                           "不能导入的和值太长的."),
                            this);
    note->setObjectName(QStringLiteral("vNote"));
    note->setWordWrap(true);
    layout->addWidget(note);

    m_model = new CardPlanModel(this);
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("vList"));
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
    m_summary->setObjectName(QStringLiteral("vSummary"));
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("vProgress"));
    m_progress->setRange(0, kProgressSteps);
    m_progress->hide();
    layout->addWidget(m_progress);

    auto *bottom = new QHBoxLayout;
    m_cut = new QCheckBox(QStringLiteral("值太长的卡片截短后导入"), this);
    m_cut->setObjectName(QStringLiteral("vCut"));
    m_cut->setToolTip(QStringLiteral("不选时,有值超过栏位长度的卡片不导入"));
    m_import = new QPushButton(QStringLiteral("导入"), this);
    m_import->setObjectName(QStringLiteral("vImport"));
    m_import->setToolTip(QStringLiteral("导入列表中可以导入的卡片"));
    bottom->addWidget(m_cut, 1);
    bottom->addWidget(m_import);
    layout->addLayout(bottom);

    connect(m_open, &QPushButton::clicked, this, &VCardImportPanel::open);
    connect(m_shellOpen, &QPushButton::clicked, this, &VCardImportPanel::openInDesktop);
    connect(m_import, &QPushButton::clicked, this, &VCardImportPanel::startImport);
}

bool VCardImportPanel::isBusy() const
{
    return m_timer->isActive();
}

void VCardImportPanel::open()
{
    const QString path = Dialogs::openFileName(this, {}, QStringLiteral("vCard文件(*.vcf *.vcard);;所有类型(*)"));
    if (!path.isEmpty())
        openFile(path);
}

void VCardImportPanel::openFile(const QString &path)
{
    Result<VCardImport> opened = VCardImport::open(m_db, path);
    if (!opened) {
        Dialogs::error(this, opened.error());
        return;
    }
    m_model->show(nullptr);
    m_run = std::make_unique<VCardImport>(std::move(opened).value());
    m_path = path;
    m_done = false;
    m_file->setText(QDir::toNativeSeparators(path));
    m_summary->setText(QStringLiteral("正在读取卡片..."));
    m_progress->setValue(0);
    m_progress->show();
    m_timer->disconnect(this);
    connect(m_timer, &QTimer::timeout, this, &VCardImportPanel::readStep);
    m_timer->start();
    updateButtons();
}

void VCardImportPanel::openInDesktop()
{
    if (!ShellOpen::openFile(m_path))
        Dialogs::error(this, QStringLiteral("没有可以打开文件 %1 的程序").arg(QDir::toNativeSeparators(m_path)));
}

void VCardImportPanel::readStep()
{
    const bool more = m_run->readStep(kStepMs);
    if (m_run->readSize() > 0)
        m_progress->setValue(int(m_run->readPosition() * kProgressSteps / m_run->readSize()));
    if (!more)
        finishReading();
}

void VCardImportPanel::finishReading()
{
    m_timer->stop();
    m_progress->hide();
    m_model->show(&m_run->plans());
    fitColumns();
    showSummary();
    updateButtons();
    if (!m_run->error().isEmpty()) {
        Dialogs::error(this, m_run->error());
    } else if (m_run->plans().isEmpty()) {
        Dialogs::information(this,
                             QStringLiteral("文件“%1”中没有vCard卡片(BEGIN:VCARD ... END:VCARD),没有可以导入的联系人.")
                                 .arg(QFileInfo(m_path).fileName()));
    }
}

// Columns as wide as their cells: a list wider than the tab scrolls
// sideways, as the comma-separated grid does.
void VCardImportPanel::fitColumns()
{
    m_list->resizeColumnsToContents();
}

void VCardImportPanel::startImport()
{
    VCardImport::Choice choice;
    choice.cutLongValues = m_cut->isChecked();
    if (const int updates = m_run->updateCount(); updates > 0) {
        choice.updateExisting =
            Dialogs::confirm(this, QStringLiteral("文件中有%1张卡片对应已有的联系人,是否用卡片的内容更新这些联系人? "
                                                  "选“否”只导入新的联系人. (Yes/No)")
                                       .arg(updates));
    }
    m_run->startWriting(choice, Clock::now());
    m_progress->setValue(0);
    m_progress->show();
    m_timer->disconnect(this);
    connect(m_timer, &QTimer::timeout, this, &VCardImportPanel::writeStep);
    m_timer->start();
    updateButtons();
}

void VCardImportPanel::writeStep()
{
    const bool more = m_run->writeStep(kStepMs);
    const qsizetype total = m_run->plans().size();
    m_progress->setValue(total > 0 ? int(qint64(m_run->writePosition()) * kProgressSteps / total) : kProgressSteps);
    if (!more)
        finishWriting();
}

void VCardImportPanel::finishWriting()
{
    m_timer->stop();
    m_progress->hide();
    m_done = true;
    m_model->refresh();
    fitColumns();
    showSummary();
    updateButtons();
    const int added = m_run->count(CardPlan::Outcome::Added);
    const int updated = m_run->count(CardPlan::Outcome::Updated);
    const int left = int(m_run->plans().size()) - added - updated;
    if (added + updated > 0)
        emit imported();
    const QString done =
        QStringLiteral("新建%1个联系人, 更新%2个; %3张卡片没有导入.").arg(added).arg(updated).arg(left);
    if (!m_run->error().isEmpty())
        Dialogs::error(this, QStringLiteral("导入中断: %1\n之前的卡片已导入: %2").arg(m_run->error(), done));
    else
        Dialogs::information(this, QStringLiteral("导入完成: ") + done);
}

void VCardImportPanel::showSummary()
{
    if (!m_run)
        return;
    const int cards = int(m_run->plans().size());
    QString text;
    if (m_done) {
        text = QStringLiteral("共%1张卡片: 已新建%2, 已更新%3, 没有导入%4.")
                   .arg(cards)
                   .arg(m_run->count(CardPlan::Outcome::Added))
                   .arg(m_run->count(CardPlan::Outcome::Updated))
                   .arg(m_run->count(CardPlan::Outcome::Skipped) + m_run->count(CardPlan::Outcome::Failed));
    } else {
        const int refused = m_run->count(CardPlan::Kind::Refused);
        const int updates = m_run->updateCount();
        text = QStringLiteral("共%1张卡片: 新建%2, 更新已有联系人%3, 不能导入%4.")
                   .arg(cards)
                   .arg(cards - refused - updates)
                   .arg(updates)
                   .arg(refused);
        if (const int tooLong = m_run->tooLongCount(); tooLong > 0)
            text += QStringLiteral(" %1张卡片有超过栏位长度的值,选“值太长的卡片截短后导入”才导入它们.").arg(tooLong);
    }
    if (!m_run->problems().isEmpty())
        text += u' ' + m_run->problems().join(u' ');
    m_summary->setText(text);
}

void VCardImportPanel::updateButtons()
{
    const bool busy = isBusy();
    const bool ready = m_run && !busy && !m_done && m_run->error().isEmpty()
                       && m_run->count(CardPlan::Kind::Refused) < m_run->plans().size();
    m_open->setEnabled(!busy);
    m_shellOpen->setEnabled(!m_path.isEmpty());
    m_import->setEnabled(ready);
    m_cut->setEnabled(ready && m_run->tooLongCount() > 0);
}
