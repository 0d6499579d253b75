#include "interchange/windows/IcalExportDialog.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/ShellOpen.h"
#include "platform/WholeFile.h"
#include "store/Clock.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr qint64 kStepMs = 100;
const QString kWrongPassword = QStringLiteral("1.密码输入错误,请检查后重新输入.....");
} // namespace

IcalExportDialog::IcalExportDialog(Setup setup, QWidget *parent)
    : QDialog(parent)
    , m_setup(std::move(setup))
{
    setObjectName(QStringLiteral("IcalExportDialog"));
    setWindowTitle(QStringLiteral("导出到iCalendar文件"));
    buildControls();
    m_timer = new QTimer(this);
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &IcalExportDialog::step);
    survey();
}

IcalExportDialog::~IcalExportDialog() = default;

void IcalExportDialog::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    const bool jobs = m_setup.what == IcalExport::What::Jobs;
    m_all = new QRadioButton(jobs ? QStringLiteral("全部工作") : QStringLiteral("全部日记"), this);
    m_all->setObjectName(QStringLiteral("icalAll"));
    m_all->setChecked(true);
    layout->addWidget(m_all);
    m_listed = new QRadioButton(QStringLiteral("列表中的工作: %1").arg(m_setup.listedName), this);
    m_listed->setObjectName(QStringLiteral("icalListed"));
    m_listed->setVisible(jobs && !m_setup.listedPrefix.isEmpty());
    layout->addWidget(m_listed);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("icalSummary"));
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    m_withProtected = new QCheckBox(
        jobs ? QStringLiteral("包括加密的工作(需要输入密码)") : QStringLiteral("包括日记(需要输入密码)"), this);
    m_withProtected->setObjectName(QStringLiteral("icalWithProtected"));
    layout->addWidget(m_withProtected);
    m_openAfter = new QCheckBox(QStringLiteral("导出后用默认程序打开文件"), this);
    m_openAfter->setObjectName(QStringLiteral("icalOpenAfter"));
    layout->addWidget(m_openAfter);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("icalProgress"));
    m_progress->hide();
    layout->addWidget(m_progress);

    auto *buttons = new QHBoxLayout;
    m_export = new QPushButton(QStringLiteral("导出..."), this);
    m_export->setObjectName(QStringLiteral("icalExport"));
    m_export->setDefault(true);
    m_close = new QPushButton(QStringLiteral("关闭"), this);
    m_close->setObjectName(QStringLiteral("icalClose"));
    buttons->addStretch(1);
    buttons->addWidget(m_export);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);

    connect(m_all, &QRadioButton::toggled, this, &IcalExportDialog::survey);
    connect(m_export, &QPushButton::clicked, this, &IcalExportDialog::exportFile);
    connect(m_close, &QPushButton::clicked, this, &IcalExportDialog::reject);
}

bool IcalExportDialog::isBusy() const
{
    return m_timer->isActive();
}

void IcalExportDialog::reject()
{
    m_timer->stop();
    QDialog::reject();
}

bool IcalExportDialog::guarded() const
{
    return m_setup.password && m_setup.password().has_value();
}

IcalExport::Options IcalExportDialog::options() const
{
    IcalExport::Options options;
    options.what = m_setup.what;
    options.dayPrefix = m_listed->isVisibleTo(this) && m_listed->isChecked() ? m_setup.listedPrefix : QString();
    options.notesNeedPassword = m_setup.what == IcalExport::What::Notes && guarded();
    // With no password set nothing is behind one.
    options.passwordGiven = !guarded();
    options.now = Clock::now();
    return options;
}

void IcalExportDialog::survey()
{
    Result<IcalExport::Survey> counted = IcalExport::survey(m_setup.db, options());
    if (!counted) {
        m_summary->setText(counted.error());
        m_export->setEnabled(false);
        return;
    }
    m_survey = *counted;
    const bool jobs = m_setup.what == IcalExport::What::Jobs;
    QString text = jobs ? QStringLiteral("将导出%1个工作,每个工作带着它的完成记录.").arg(m_survey.records)
                        : QStringLiteral("将导出%1篇日记.").arg(m_survey.records);
    const bool locked = guarded() && m_survey.isProtected > 0;
    if (locked) {
        text += jobs ? QStringLiteral(" 其中%1个是加密的工作,输入密码后才导出.").arg(m_survey.isProtected)
                     : QStringLiteral(" 日记受密码保护,输入密码后才导出.");
    }
    m_summary->setText(text);
    m_withProtected->setVisible(locked);
    m_export->setEnabled(m_survey.records > 0);
}

// The password, asked the way the launcher asks it.
bool IcalExportDialog::passwordGiven()
{
    const std::optional<QString> password = m_setup.password ? m_setup.password() : std::nullopt;
    if (!password)
        return true;
    const std::optional<QString> entry = Dialogs::input(this, QStringLiteral("安全密码输入"), QStringLiteral(" "));
    if (!entry)
        return false;
    if (*entry == *password)
        return true;
    Dialogs::information(this, kWrongPassword);
    return false;
}

void IcalExportDialog::exportFile()
{
    IcalExport::Options chosen = options();
    if (m_withProtected->isVisibleTo(this) && m_withProtected->isChecked()) {
        if (!passwordGiven())
            return;
        chosen.passwordGiven = true;
    }
    QString path = Dialogs::saveFileName(this, QStringLiteral("导出到iCalendar文件"),
                                         QStringLiteral("iCalendar文件(*.ics);;所有类型(*)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".ics");
    Result<IcalExport> started = IcalExport::start(m_setup.db, chosen);
    if (!started) {
        Dialogs::error(this, started.error());
        return;
    }
    if (started->total() == 0) {
        Dialogs::information(this, QStringLiteral("没有可以导出的记录,没有写文件."));
        return;
    }
    m_run = std::make_unique<IcalExport>(std::move(started).value());
    m_path = path;
    m_progress->setRange(0, m_run->total());
    m_progress->setValue(0);
    m_progress->show();
    m_export->setEnabled(false);
    m_timer->start();
}

void IcalExportDialog::step()
{
    if (m_run->step(kStepMs)) {
        m_progress->setValue(m_run->done());
        return;
    }
    m_timer->stop();
    finish();
}

void IcalExportDialog::finish()
{
    m_progress->hide();
    m_export->setEnabled(true);
    const QString shownPath = QDir::toNativeSeparators(m_path);
    if (m_run->failed()) {
        Dialogs::error(this, m_run->error());
        return;
    }
    if (Result<void> written = WholeFile::replace(m_path, m_run->bytes()); !written) {
        Dialogs::error(this, QStringLiteral("无法写入文件 %1: %2").arg(shownPath, written.error()));
        return;
    }
    const bool jobs = m_setup.what == IcalExport::What::Jobs;
    QString text = jobs ? QStringLiteral("已导出%1个工作到 %2.").arg(m_run->total()).arg(shownPath)
                        : QStringLiteral("已导出%1篇日记到 %2.").arg(m_run->total()).arg(shownPath);
    if (m_run->leftOut() > 0)
        text += QStringLiteral("\n%1个加密的记录没有导出(没有输入密码).").arg(m_run->leftOut());
    if (m_run->entriesLeftOut() > 0)
        text += QStringLiteral("\n%1条加密的完成记录没有导出(没有输入密码).").arg(m_run->entriesLeftOut());
    Dialogs::information(this, text);
    if (m_openAfter->isChecked() && !ShellOpen::openFile(m_path))
        Dialogs::error(this, QStringLiteral("没有可以打开文件 %1 的程序").arg(shownPath));
}
