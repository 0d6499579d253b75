#include "app/Trecord_backup.h"

#include "app/core/RecordFile.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ModalScope.h"
#include "store/Store.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

const QString kFilter = QStringLiteral(" 转移文件 (*.pck)");
constexpr int kSettleMs = 1000;

// Lets the window repaint while the program waits, without taking input.
void settle(int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, int(deadline.remainingTime()));
}

} // namespace

Trecord_backup::Trecord_backup(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Trecord_backup"));
    setWindowTitle(QStringLiteral("备份或转移记录窗口"));
    buildLayout();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

Trecord_backup::~Trecord_backup() = default;

// From the top: the option with its two lines, the start button, the
// progress bar, and under a rule the close button. 310 by 370 pixels on a
// small font; larger text makes the window larger.
void Trecord_backup::buildLayout()
{
    auto *group = new QGroupBox(QStringLiteral("特殊功能"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));

    m_option = new QCheckBox(QStringLiteral("转移数据后删除原记录文件"), group);
    m_option->setObjectName(QStringLiteral("CheckBox1"));
    QPalette red = m_option->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_option->setPalette(red);
    connect(m_option, &QCheckBox::toggled, this, &Trecord_backup::optionToggled);

    auto *first = new QLabel(QStringLiteral("使用本功能前请关闭其它除主程序外所有"), group);
    first->setObjectName(QStringLiteral("Label1"));
    auto *second = new QLabel(QStringLiteral("子功能,否则在处理中可能会出错."), group);
    second->setObjectName(QStringLiteral("Label2"));
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_option);
    groupLayout->addSpacing(8);
    groupLayout->addWidget(first);
    groupLayout->addWidget(second);

    m_start = new QPushButton(QStringLiteral("开始...(&Start)"), this);
    m_start->setObjectName(QStringLiteral("BitBtn1"));
    m_start->setMinimumSize(120, 32);
    connect(m_start, &QPushButton::clicked, this, &Trecord_backup::start);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    // Its place stays when it hides, so the window does not jump.
    QSizePolicy keepPlace = m_progress->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_progress->setSizePolicy(keepPlace);
    m_progress->hide();

    auto *rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("Bevel1"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    m_close = new QPushButton(QStringLiteral("关闭"), this);
    m_close->setObjectName(QStringLiteral("BitBtn2"));
    m_close->setMinimumSize(80, 30);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 20);
    layout->addWidget(group);
    layout->addSpacing(20);
    layout->addWidget(m_start, 0, Qt::AlignHCenter);
    layout->addSpacing(20);
    layout->addWidget(m_progress);
    layout->addStretch();
    layout->addWidget(rule);
    layout->addSpacing(16);
    layout->addWidget(m_close, 0, Qt::AlignHCenter);
    setFixedSize(layout->totalSizeHint().expandedTo(QSize(310, 370)));
}

void Trecord_backup::optionToggled(bool ticked)
{
    if (ticked && !Dialogs::confirm(this, kWarning))
        m_option->setChecked(false);
}

// The events run between the copied pieces may ask the window to close
// (its own button, or the launcher opening a new copy): the copy must not be
// freed under itself.
void Trecord_backup::closeEvent(QCloseEvent *event)
{
    if (m_busy) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void Trecord_backup::setBusy(bool busy)
{
    m_busy = busy;
    if (busy)
        m_scope = std::make_unique<ModalScope>(this);
    else
        m_scope.reset();
    m_start->setEnabled(!busy);
    m_close->setEnabled(!busy);
    m_option->setEnabled(!busy);
}

void Trecord_backup::showProgress(int maximum)
{
    m_progress->setRange(0, maximum);
    m_progress->setValue(0);
    m_progress->show();
}

void Trecord_backup::hideProgress()
{
    m_progress->hide();
}

void Trecord_backup::start()
{
    if (const QString inUse = m_storeInUse ? m_storeInUse() : QString(); !inUse.isEmpty()) {
        Dialogs::information(this, inUse);
        return;
    }
    const QString target = Dialogs::saveFileName(this, QStringLiteral("另存为"), kFilter);
    if (target.isEmpty())
        return;
    setBusy(true);
    if (!copyTo(target)) {
        reopenStore();
        setBusy(false);
        return;
    }
    if (m_option->isChecked()) {
        if (Dialogs::confirm(this, kWarning)) {
            transfer(target);
            return;
        }
    } else {
        Dialogs::informationYes(this,
                                QStringLiteral("成功备份记录文件到:[ %1 ] ").arg(QFileInfo(target).absoluteFilePath()));
    }
    reopenStore();
    setBusy(false);
}

// Copies with the shared connection closed, so the file is a whole store
// and no statement changes it half-way.
bool Trecord_backup::copyTo(const QString &target)
{
    Store::close();
    showProgress(100);
    const Result<void> copied = RecordFile::copy(Store::path(), target, [this](int position) {
        QCoreApplication::processEvents();
        m_progress->setValue(position);
    });
    hideProgress();
    if (!copied)
        Dialogs::error(this, copied.error());
    return bool(copied);
}

void Trecord_backup::transfer(const QString &target)
{
    Store::close();
    settle(kSettleMs);
    showProgress(RecordFile::kShredRange);
    const Result<void> shredded =
        RecordFile::shred(Store::path(), target, [this](int position) { m_progress->setValue(position); });
    hideProgress();
    if (!shredded) {
        Dialogs::error(this, shredded.error());
        reopenStore();
        setBusy(false);
        return;
    }
    Dialogs::informationYes(this,
                            QStringLiteral("成功转移记录文件到:[ %1 ],并删除原记录文件!\r\n\r\n\r\n程序将自动关闭!")
                                .arg(QFileInfo(target).absoluteFilePath()));
    m_busy = false;
    m_scope.reset();
    emit transferred();
}

void Trecord_backup::reopenStore()
{
    if (const Result<void> reopened = Store::reopen(); !reopened)
        Dialogs::error(this, reopened.error());
}
