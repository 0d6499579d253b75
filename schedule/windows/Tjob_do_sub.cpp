#include "schedule/windows/Tjob_do_sub.h"

#include "platform/ui/Dialogs.h"
#include "schedule/core/JobCells.h"
#include "schedule/core/JobEntryListModel.h"
#include "schedule/core/JobForm.h"
#include "schedule/core/ScheduleFormats.h"
#include "schedule/windows/ListFit.h"
#include "store/Clock.h"
#include "store/FieldCodec.h"
#include "store/TimeStamp.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);

QLabel *namedLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QPushButton *namedButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// A text area that shows lines of `characters` Chinese characters and at
// least `lines` of them.
void showAtLeast(QPlainTextEdit *area, int characters, int lines)
{
    const QFontMetrics metrics(area->font());
    area->setMinimumSize(characters * metrics.horizontalAdvance(u'中'),
                         lines * metrics.lineSpacing() + 2 * (area->frameWidth() + 4));
}

void useSilver(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, kSilver);
    widget->setPalette(palette);
}

// The text to show of a stored value; nullopt when protected text does not decode.
std::optional<QString> readable(const QString &stored, bool isProtected)
{
    if (!isProtected)
        return stored;
    const FieldCodec::Decoded decoded = FieldCodec::decode(stored);
    if (!decoded.ok)
        return std::nullopt;
    return decoded.text;
}

} // namespace

Tjob_do_sub::Tjob_do_sub(QSqlDatabase db, QWidget *parent)
    : QDialog(parent)
    , m_jobs(db)
    , m_entryStore(db)
{
    setObjectName(QStringLiteral("Tjob_do_sub"));
    setWindowTitle(QStringLiteral("工作细节"));

    // The entries and the new entry share the right side; the job, which is
    // read once, takes the narrower left.
    auto *right = new QVBoxLayout;
    right->addWidget(buildEntryGroup(), 1);
    right->addWidget(buildNewEntryGroup(), 1);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(buildJobGroup(), 2);
    layout->addLayout(right, 3);

    resize(sizeHint().expandedTo(QSize(640, 480)));
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    resetNewEntry();
}

QWidget *Tjob_do_sub::buildJobGroup()
{
    auto *group = new QGroupBox(QStringLiteral("记录安排说明"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    m_day = namedLabel(QStringLiteral("Label6"), {}, group);
    m_jobText = new QPlainTextEdit(group);
    m_jobText->setObjectName(QStringLiteral("Memo1"));
    m_jobText->setReadOnly(true);
    m_jobText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    showAtLeast(m_jobText, 12, 4);
    m_completion = namedLabel(QStringLiteral("Label7"), {}, group);
    m_sharedId = namedLabel(QStringLiteral("sharedIdNote"), {}, group);
    m_sharedId->setWordWrap(true);
    m_sharedId->setStyleSheet(QStringLiteral("color: #b00000"));
    m_sharedId->hide();

    auto *layout = new QGridLayout(group);
    layout->addWidget(namedLabel(QStringLiteral("Label1"), QStringLiteral("安排日期:"), group), 0, 0);
    layout->addWidget(m_day, 0, 1);
    layout->addWidget(namedLabel(QStringLiteral("Label3"), QStringLiteral("内容记录:"), group), 1, 0, Qt::AlignTop);
    layout->addWidget(m_jobText, 1, 1);
    layout->addWidget(namedLabel(QStringLiteral("Label4"), QStringLiteral("完成情况:"), group), 2, 0);
    layout->addWidget(m_completion, 2, 1);
    layout->addWidget(m_sharedId, 3, 0, 1, 2);
    return group;
}

QWidget *Tjob_do_sub::buildEntryGroup()
{
    auto *group = new QGroupBox(QStringLiteral("完成细节记录"), this);
    group->setObjectName(QStringLiteral("GroupBox2"));
    auto *listGroup = new QGroupBox(QStringLiteral("日期排列"), group);
    listGroup->setObjectName(QStringLiteral("GroupBox5"));
    m_entries = new JobEntryListModel(this);
    m_entryList = new QTableView(listGroup);
    m_entryList->setObjectName(QStringLiteral("DBGrid1"));
    m_entryList->setModel(m_entries);
    m_entryList->horizontalHeader()->hide();
    m_entryList->verticalHeader()->hide();
    JobEntry widest;
    widest.dateId = QStringLiteral("20241231235959");
    JobEntryListModel samples;
    samples.setEntries({widest});
    // The list is as wide as its dates; the entry's text takes the rest.
    m_entryList->setFixedWidth(ListFit::fitColumns(m_entryList, {100}, samples));
    m_entryList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_entryList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_entryList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    useSilver(m_entryList);
    (new QVBoxLayout(listGroup))->addWidget(m_entryList);

    auto *textGroup = new QGroupBox(QStringLiteral("说明"), group);
    textGroup->setObjectName(QStringLiteral("GroupBox4"));
    m_entryText = new QPlainTextEdit(textGroup);
    m_entryText->setObjectName(QStringLiteral("Memo3"));
    m_entryText->setReadOnly(true);
    m_entryText->setFrameShape(QFrame::NoFrame);
    useSilver(m_entryText);
    showAtLeast(m_entryText, 16, 4);
    (new QVBoxLayout(textGroup))->addWidget(m_entryText);

    auto *layout = new QHBoxLayout(group);
    layout->addWidget(listGroup);
    layout->addWidget(textGroup, 1);
    connect(m_entryList->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &Tjob_do_sub::entryChosen);
    return group;
}

QWidget *Tjob_do_sub::buildNewEntryGroup()
{
    auto *group = new QGroupBox(QStringLiteral("信息增加"), this);
    group->setObjectName(QStringLiteral("GroupBox3"));
    m_picker = new QDateEdit(group);
    m_picker->setObjectName(QStringLiteral("dp1"));
    m_picker->setCalendarPopup(true);
    m_picker->setDisplayFormat(ScheduleFormats::shortDateFormat());
    m_protect = new QCheckBox(QStringLiteral("基于128位加密"), group);
    m_protect->setObjectName(QStringLiteral("CheckBox1"));
    m_newText = new QPlainTextEdit(group);
    m_newText->setObjectName(QStringLiteral("Memo2"));
    m_newText->setTabChangesFocus(true);
    showAtLeast(m_newText, 16, 3);
    auto *save = namedButton(QStringLiteral("BitBtn1"), QStringLiteral("保存"), group);
    auto *reset = namedButton(QStringLiteral("BitBtn3"), QStringLiteral("重写"), group);
    auto *cancel = namedButton(QStringLiteral("BitBtn2"), QStringLiteral("取消"), group);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(reset);
    buttons->addWidget(cancel);
    auto *layout = new QGridLayout(group);
    layout->addWidget(namedLabel(QStringLiteral("Label8"), QStringLiteral("完成日期:"), group), 0, 0);
    layout->addWidget(m_picker, 0, 1);
    layout->addWidget(namedLabel(QStringLiteral("Label10"), QStringLiteral("是否需要加密处理:"), group), 1, 0);
    layout->addWidget(m_protect, 1, 1);
    layout->addWidget(namedLabel(QStringLiteral("Label9"), QStringLiteral("完成内容:"), group), 2, 0, Qt::AlignTop);
    layout->addWidget(m_newText, 2, 1);
    layout->addLayout(buttons, 3, 0, 1, 2);

    connect(save, &QPushButton::clicked, this, &Tjob_do_sub::addEntry);
    connect(reset, &QPushButton::clicked, this, &Tjob_do_sub::rewrite);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    return group;
}

bool Tjob_do_sub::load(qint64 jobRowid)
{
    const Result<std::optional<JobRecord>> found = m_jobs.findByRowid(jobRowid);
    if (!found) {
        Dialogs::error(this, found.error());
        return false;
    }
    const std::optional<JobRecord> &job = *found;
    if (!job)
        return false;
    const auto text = readable(job->memo, job->isProtected);
    if (!text) {
        Dialogs::error(this, FieldCodec::kDecodeError);
        return false;
    }
    m_job = *job;
    m_jobText->setPlainText(*text);
    m_day->setText(JobCells::day(job->dateId));
    m_completion->setText(JobCells::completion(job->completion));
    const Result<int> sharing = m_jobs.countWithId(job->id);
    if (!sharing) {
        Dialogs::error(this, sharing.error());
        return false;
    }
    m_sharedId->setText(JobCells::sharedId(*sharing));
    m_sharedId->setVisible(*sharing > 1);

    const Result<QList<JobEntry>> entries = m_entryStore.listForJob(job->id);
    if (!entries) {
        Dialogs::error(this, entries.error());
        return false;
    }
    m_entries->setEntries(*entries);
    if (entries->isEmpty()) {
        m_entryText->setPlainText(kNoEntries);
    } else {
        m_entryList->setCurrentIndex(m_entries->index(0));
        if (!showEntry(0))
            return false;
    }
    m_loaded = true;
    return true;
}

bool Tjob_do_sub::showEntry(int row)
{
    const JobEntry &entry = m_entries->entry(row);
    const auto text = readable(entry.memo, entry.isProtected);
    if (!text) {
        m_entryText->clear();
        Dialogs::error(this, FieldCodec::kDecodeError);
        return false;
    }
    m_entryText->setPlainText(*text);
    return true;
}

void Tjob_do_sub::entryChosen(const QModelIndex &current)
{
    if (m_loaded && current.isValid())
        showEntry(current.row());
}

void Tjob_do_sub::addEntry()
{
    const QString text = m_newText->toPlainText();
    if (text.trimmed().isEmpty()) {
        Dialogs::information(this, kEmptyEntry);
        return;
    }
    JobEntry entry;
    entry.jobId = m_job.id;
    entry.dateId = TimeStamp::format(QDateTime(m_picker->date(), m_pickerTime));
    entry.isProtected = m_protect->isChecked();
    entry.memo = entry.isProtected ? FieldCodec::encode(text) : text;
    if (const Result<void> saved = m_entryStore.append(entry); !saved) {
        Dialogs::error(this, saved.error());
        return;
    }
    m_entries->append(entry);
    m_entryList->setCurrentIndex(m_entries->index(m_entries->rowCount() - 1));
    Dialogs::information(this, kEntrySaved);
    resetNewEntry();
}

void Tjob_do_sub::rewrite()
{
    if (Dialogs::mayDropUnsaved(this, JobForm::holdsUnsaved(m_newText->toPlainText())))
        resetNewEntry();
}

// "取消", Esc and the title bar all end here: an entry typed and never saved
// goes only when the user agrees.
void Tjob_do_sub::reject()
{
    if (Dialogs::mayDropUnsaved(this, JobForm::holdsUnsaved(m_newText->toPlainText())))
        QDialog::reject();
}

// The picker edits only the date; the time of day stays the one set here.
void Tjob_do_sub::resetNewEntry()
{
    const QDateTime now = Clock::now();
    m_picker->setDate(now.date());
    m_pickerTime = now.time();
    m_protect->setChecked(false);
    m_newText->clear();
    m_newText->setFocus();
}
