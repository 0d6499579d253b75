#include "schedule/windows/Tjob_do.h"

#include "interchange/windows/IcalCommands.h"
#include "lunar/core/LunarDay.h"
#include "lunar/windows/LunarCalendar.h"
#include "platform/ui/Dialogs.h"
#include "schedule/core/JobForm.h"
#include "schedule/core/JobListModel.h"
#include "schedule/core/PlannerHost.h"
#include "schedule/core/ScheduleFormats.h"
#include "schedule/windows/JobPasswordBox.h"
#include "schedule/windows/ListFit.h"
#include "schedule/windows/Tjob_do_sub.h"
#include "search/windows/Tfind_text.h"
#include "store/Clock.h"
#include "store/FieldCodec.h"
#include "store/TimeStamp.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableView>
#include <QTimer>

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kSkyBlue(0xA6, 0xCA, 0xF0);

// The time box: an optional first digit, a required digit, a fixed colon
// and two required digits; "_" marks a position still to be typed.
const QString kTimeMask = QStringLiteral("09:99;_");

QLabel *namedLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

// The widest rows a list meets: the empty-job placeholder, ten Chinese
// characters, the cut Base64 text of a protected job and a reminder.
QList<JobRecord> widestJobs()
{
    JobRecord empty;
    empty.dateId = QStringLiteral("20241231000000");
    JobRecord plain;
    plain.memo = QStringLiteral("国庆节前安排全体员工体检");
    plain.dateId = QStringLiteral("20241231235900");
    plain.reminder = true;
    JobRecord secret;
    secret.memo = FieldCodec::encode(QStringLiteral("银行卡密码更换提醒"));
    secret.dateId = QStringLiteral("20241231000000");
    secret.isProtected = true;
    return {empty, plain, secret};
}

} // namespace

Tjob_do::Tjob_do(PlannerHost &host, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_host(host)
    , m_jobs(host.database())
    , m_jobDays(host.database())
{
    setObjectName(QStringLiteral("Tjob_do"));
    setWindowTitle(QStringLiteral("日程安排"));

    auto *top = new QHBoxLayout;
    top->addWidget(buildDateGroup());
    top->addWidget(buildJobGroup(), 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buildListGroup(), 1);
    buildMenu();

    m_panelTimer = new QTimer(this);
    m_panelTimer->setObjectName(QStringLiteral("Timer1"));
    m_panelTimer->setInterval(1000);
    connect(m_panelTimer, &QTimer::timeout, this, &Tjob_do::panelTick);

    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    resize(sizeWithPanel().expandedTo(QSize(720, 620)));
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    showToday();
}

QWidget *Tjob_do::buildDateGroup()
{
    auto *group = new QGroupBox(QStringLiteral("日期设置"), this);
    group->setObjectName(QStringLiteral("GroupBox3"));
    m_calendar = new LunarCalendar(group);
    m_calendar->setObjectName(QStringLiteral("MonthCalendar1"));
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    m_reminder = new QCheckBox(QStringLiteral("  默认时间:"), group);
    m_reminder->setObjectName(QStringLiteral("CheckBox1"));
    m_time = new QLineEdit(group);
    m_time->setObjectName(QStringLiteral("m_time"));
    m_time->setInputMask(kTimeMask);
    // As wide as a time of day, at whatever size the font has.
    m_time->setMaximumWidth(m_time->fontMetrics().horizontalAdvance(QStringLiteral("00:00")) + 24);

    auto *layout = new QGridLayout(group);
    layout->addWidget(m_calendar, 0, 0, 1, 3);
    layout->addWidget(namedLabel(QStringLiteral("Label2"), QStringLiteral("是否需要提醒:"), group), 1, 0);
    layout->addWidget(m_reminder, 1, 1);
    layout->addWidget(m_time, 1, 2);

    // A click lists the day; so does choosing it with the keyboard.
    connect(m_calendar, &QCalendarWidget::clicked, this, &Tjob_do::chooseDay);
    connect(m_calendar, &QCalendarWidget::activated, this, &Tjob_do::chooseDay);
    connect(m_calendar, &QCalendarWidget::currentPageChanged, this, [this] {
        if (!m_selectingDay)
            markJobDays();
    });
    return group;
}

QWidget *Tjob_do::buildJobGroup()
{
    auto *group = new QGroupBox(QStringLiteral("拟订工作内容"), this);
    group->setObjectName(QStringLiteral("GroupBox2"));
    m_dayText = new QLineEdit(group);
    m_dayText->setObjectName(QStringLiteral("Edit1"));
    m_dayText->setReadOnly(true);
    m_lunar = namedLabel(QStringLiteral("lunarLabel"), {}, group);
    m_text = new QPlainTextEdit(group);
    m_text->setObjectName(QStringLiteral("Memo1"));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setTabChangesFocus(true);
    m_protect = new QCheckBox(QStringLiteral("128位加密"), group);
    m_protect->setObjectName(QStringLiteral("CheckBox2"));
    m_save = new QPushButton(QStringLiteral("保存"), group);
    m_save->setObjectName(QStringLiteral("BitBtn1"));
    m_save->setEnabled(false);

    auto *layout = new QGridLayout(group);
    layout->addWidget(namedLabel(QStringLiteral("Label1"), QStringLiteral("拟订安排日期:"), group), 0, 0);
    auto *day = new QHBoxLayout;
    day->addWidget(m_dayText, 1);
    day->addWidget(m_lunar);
    layout->addLayout(day, 0, 1);
    layout->addWidget(namedLabel(QStringLiteral("Label3"), QStringLiteral("工作安排内容:"), group), 1, 0, Qt::AlignTop);
    layout->addWidget(m_text, 1, 1);
    layout->addWidget(namedLabel(QStringLiteral("Label4"), QStringLiteral("是否需要加密:"), group), 2, 0);
    layout->addWidget(m_protect, 2, 1);
    layout->addWidget(m_save, 3, 1, Qt::AlignRight);

    connect(m_text, &QPlainTextEdit::textChanged, this,
            [this] { m_save->setEnabled(JobForm::canSave(m_text->toPlainText())); });
    connect(m_save, &QPushButton::clicked, this, &Tjob_do::saveJob);
    return group;
}

QWidget *Tjob_do::buildListGroup()
{
    auto *group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_listBox = new QGroupBox(QStringLiteral("本日已安排工作"), group);
    m_listBox->setObjectName(QStringLiteral("gb4"));
    m_listModel = new JobListModel(JobListModel::Layout::DayList, this);
    m_list = buildList(QStringLiteral("DBGrid1"), m_listModel, JobListModel::Layout::DayList, kSilver);
    (new QVBoxLayout(m_listBox))->addWidget(m_list);

    m_panelBox = new QGroupBox(group);
    m_panelBox->setObjectName(QStringLiteral("gb5"));
    m_panelModel = new JobListModel(JobListModel::Layout::Panel, this);
    (new QVBoxLayout(m_panelBox))
        ->addWidget(buildList(QStringLiteral("DBGrid2"), m_panelModel, JobListModel::Layout::Panel, kSkyBlue));
    m_panelBox->hide();

    auto *layout = new QHBoxLayout(group);
    layout->addWidget(m_listBox, 3);
    layout->addWidget(m_panelBox, 2);

    m_passBox = new JobPasswordBox(group);
    connect(m_passBox, &JobPasswordBox::entered, this, &Tjob_do::passwordEntered);
    connect(m_passBox, &JobPasswordBox::cancelled, this, &Tjob_do::passwordCancelled);
    connect(m_list, &QTableView::activated, this, &Tjob_do::openCurrent);
    return group;
}

QTableView *Tjob_do::buildList(const QString &name, JobListModel *model, JobListModel::Layout layout,
                               const QColor &colour)
{
    auto *view = new QTableView(this);
    view->setObjectName(name);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    JobListModel samples(layout);
    samples.setJobs(widestJobs());
    // Every column stays in sight: the list is never narrower than its
    // columns, and the last one takes what room is left.
    view->setMinimumWidth(ListFit::fitColumns(view, model->columnWidths(), samples));
    view->horizontalHeader()->setStretchLastSection(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, colour);
    view->setPalette(palette);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this,
            [this, view](const QPoint &pos) { m_menu->popup(view->viewport()->mapToGlobal(pos)); });
    return view;
}

// Room for the day list and the confirmation panel side by side, so the day
// list keeps its columns when the panel appears after a save.
QSize Tjob_do::sizeWithPanel()
{
    m_panelBox->setVisible(true);
    layout()->invalidate();
    const QSize size = layout()->totalSizeHint();
    m_panelBox->setVisible(false);
    layout()->invalidate();
    return size;
}

void Tjob_do::buildMenu()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    m_done = m_menu->addAction(QStringLiteral("已完成"), this, &Tjob_do::markDone);
    m_done->setObjectName(QStringLiteral("N1"));
    m_menu->addSeparator();
    m_delete = m_menu->addAction(QStringLiteral("删除本条工作记录"), this, &Tjob_do::deleteJob);
    m_delete->setObjectName(QStringLiteral("N2"));
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("刷新内容"), this, &Tjob_do::refreshList)->setObjectName(QStringLiteral("N5"));
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("显示本月工作安排"), this, &Tjob_do::showMonth)
        ->setObjectName(QStringLiteral("N7"));
    // Jobs leave and come in as iCalendar tasks, after the items above.
    m_menu->addSeparator();
    IcalCommands::addTo(m_menu, this,
                        {m_host.database(), IcalExport::What::Jobs,
                         [this] { return std::pair(m_listPrefix, m_listBox->title()); },
                         [this] { return m_host.currentPassword(); },
                         [this] {
                             refreshList();
                             m_host.reloadReminders();
                         }});
    m_menu->addSeparator();
    Tfind_text::addTo(m_menu, this,
                      {m_host.database(), [this] { return m_host.currentPassword(); }, false,
                       [this](const SearchHit &hit) { openHit(hit); }});
    connect(m_menu, &QMenu::aboutToShow, this, &Tjob_do::updateMenu);
}

void Tjob_do::showToday()
{
    const QDate today = Clock::now().date();
    m_time->setText(m_host.defaultReminderTime());
    selectDay(today);
    m_dayText->setText(ScheduleFormats::shortDate(today));
    m_lunar->setText(LunarDay::of(today).displayText());
    m_text->clear();
    m_text->setFocus();
    loadList(TimeStamp::dayKey(today.startOfDay()));
    m_listBox->setTitle(m_listBox->title() + u'(' + today.toString(QStringLiteral("yyyy-MM-dd")) + u')');
}

bool Tjob_do::loadList(const QString &prefix, qint64 keepRowid)
{
    m_listPrefix = prefix;
    const int oldRow = m_list->currentIndex().row();
    const Result<QList<JobRecord>> jobs = m_jobs.listByDatePrefix(prefix);
    m_listModel->setJobs(jobs.valueOr({}));
    if (!jobs) {
        Dialogs::error(this, jobs.error());
        return false;
    }
    // The list is read again after every change to the jobs.
    markJobDays();
    int row = keepRowid >= 0 ? m_listModel->rowOf(keepRowid) : -1;
    if (row < 0 && keepRowid >= 0)
        row = std::min(oldRow, m_listModel->rowCount() - 1);
    if (m_listModel->rowCount() > 0)
        m_list->setCurrentIndex(m_listModel->index(std::max(row, 0), 0));
    return true;
}

std::optional<JobRecord> Tjob_do::currentJob() const
{
    const int row = m_list->currentIndex().row();
    if (row < 0 || row >= m_listModel->rowCount())
        return std::nullopt;
    return m_listModel->job(row);
}

// Esc and the title bar: a job typed and never saved goes only when the user
// agrees.
void Tjob_do::closeEvent(QCloseEvent *event)
{
    if (!Dialogs::mayDropUnsaved(this, JobForm::holdsUnsaved(m_text->toPlainText()))) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void Tjob_do::chooseDay()
{
    showDay(m_calendar->selectedDate(), -1);
}

void Tjob_do::selectDay(const QDate &day)
{
    m_selectingDay = true;
    m_calendar->setSelectedDate(day);
    m_selectingDay = false;
}

void Tjob_do::markJobDays()
{
    const Result<QSet<QDate>> days = m_jobDays.inMonth(m_calendar->yearShown(), m_calendar->monthShown());
    if (!days) {
        Dialogs::error(this, days.error());
        return;
    }
    m_calendar->setMarkedDays(*days);
}

void Tjob_do::showDay(const QDate &day, qint64 keepRowid)
{
    m_dayText->setText(ScheduleFormats::shortDate(day));
    m_lunar->setText(LunarDay::of(day).displayText());
    loadList(TimeStamp::dayKey(day.startOfDay()), keepRowid);
    m_listBox->setTitle(u'(' + day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(")工作记录"));
}

void Tjob_do::showJob(const QDate &day, qint64 jobRowid)
{
    selectDay(day);
    showDay(day, jobRowid);
    m_list->setFocus();
}

void Tjob_do::saveJob()
{
    const QString text = m_text->toPlainText();
    if (!JobForm::canSave(text))
        return;
    const Result<JobRecord> built = JobForm::build(
        {m_calendar->selectedDate(), m_reminder->isChecked(), m_time->text(), m_protect->isChecked(), text});
    if (!built) {
        Dialogs::error(this, built.error());
        return;
    }
    JobRecord job = *built;
    if (const Result<void> saved = m_jobs.append(job, Clock::now()); !saved) {
        Dialogs::error(this, saved.error());
        return;
    }
    showPanel(job);
    loadList(m_listPrefix);
    Dialogs::information(this, kSaved);
    m_host.reloadReminders();
    m_text->clear();
    m_text->setFocus();
    // A further save while the panel shows does not restart its count.
    if (!m_panelTimer->isActive())
        m_panelTimer->start();
}

// The chosen day's jobs, with the one just saved at the end.
void Tjob_do::showPanel(const JobRecord &saved)
{
    m_panelBox->show();
    Result<QList<JobRecord>> read = m_jobs.listByDatePrefix(saved.dateId.left(TimeStamp::kDayKeyLength));
    if (!read) {
        m_panelModel->setJobs({saved});
        Dialogs::error(this, read.error());
        return;
    }
    QList<JobRecord> jobs = std::move(read).value();
    jobs.removeIf([&saved](const JobRecord &job) { return job.rowid == saved.rowid; });
    jobs.append(saved);
    m_panelModel->setJobs(jobs);
}

void Tjob_do::panelTick()
{
    if (m_panelTicks >= 5) {
        m_panelTicks = 0;
        m_panelBox->hide();
        m_panelTimer->stop();
    } else {
        ++m_panelTicks;
    }
}

void Tjob_do::updateMenu()
{
    const bool any = m_listModel->rowCount() > 0;
    m_done->setEnabled(any);
    m_delete->setEnabled(any);
}

void Tjob_do::markDone()
{
    const auto job = currentJob();
    if (!job || !Dialogs::confirm(this, kConfirmDone))
        return;
    if (const Result<void> marked = m_jobs.markDone(job->rowid, TimeStamp::now()); !marked) {
        Dialogs::error(this, marked.error());
        return;
    }
    loadList(m_listPrefix, job->rowid);
}

void Tjob_do::deleteJob()
{
    const auto job = currentJob();
    if (!job || !Dialogs::confirm(this, kConfirmDelete))
        return;
    if (const Result<void> removed = m_jobs.remove(job->rowid); !removed) {
        Dialogs::error(this, removed.error());
        return;
    }
    loadList(m_listPrefix, job->rowid);
    // A deleted job must not be reminded any more.
    m_host.reloadReminders();
}

void Tjob_do::refreshList()
{
    loadList(m_listPrefix);
}

void Tjob_do::showMonth()
{
    const QDate today = Clock::now().date();
    loadList(today.toString(QStringLiteral("yyyyMM")));
    m_listBox->setTitle(QStringLiteral("本月(") + ScheduleFormats::abbreviatedMonth(today.month())
                        + QStringLiteral(")工作记录"));
}

void Tjob_do::openCurrent()
{
    const auto job = currentJob();
    if (!job)
        return;
    // With no password set there is nothing to ask for.
    if (!job->isProtected || !m_host.currentPassword())
        openLog(job->rowid);
    else
        m_passBox->ask();
}

void Tjob_do::passwordEntered(const QString &password)
{
    if (password != m_host.currentPassword())
        return;
    m_passBox->hide();
    if (const auto job = currentJob())
        openLog(job->rowid);
}

void Tjob_do::passwordCancelled()
{
    m_list->setFocus();
    m_passBox->hide();
}

void Tjob_do::openLog(qint64 jobRowid)
{
    auto *log = new Tjob_do_sub(m_host.database(), this);
    if (!log->load(jobRowid)) {
        delete log;
        return;
    }
    log->setAttribute(Qt::WA_DeleteOnClose);
    log->setWindowModality(Qt::ApplicationModal);
    log->show();
}

// A job's hit opens its day; an entry's, the day of its job, or its own day
// when no job holds its id any more.
void Tjob_do::openHit(const SearchHit &hit)
{
    if (hit.kind == SearchHit::Kind::Note) {
        emit noteChosen(hit.rowid);
        return;
    }
    const bool ofAJob = hit.kind == SearchHit::Kind::Job || hit.jobRowid < 0;
    const QString day = ofAJob ? hit.stamp : hit.jobStamp;
    showJob(QDate::fromString(day.left(TimeStamp::kDayKeyLength), QStringLiteral("yyyyMMdd")),
            hit.kind == SearchHit::Kind::Job ? hit.rowid : hit.jobRowid);
    raise();
    activateWindow();
}
