#include "search/windows/Tfind_text.h"

#include "platform/ui/Dialogs.h"
#include "platform/ui/WindowOpener.h"
#include "search/windows/HitDelegate.h"
#include "search/windows/IndexFillProgress.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

namespace {

// Room for the widest text a hit shows: the context and its two marks.
constexpr int kContextCharacters = 30;
constexpr int kListedRows = 12;

} // namespace

Tfind_text::Tfind_text(Setup setup, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_setup(std::move(setup))
    , m_search(m_setup.db)
{
    setObjectName(QStringLiteral("Tfind_text"));
    setWindowTitle(kTitle);

    m_protected = new QCheckBox(QStringLiteral("包括加密的记录"), this);
    m_protected->setObjectName(QStringLiteral("CheckBox1"));
    if (!m_setup.password) {
        m_protected->setEnabled(false);
        m_protected->setToolTip(QStringLiteral("加密的日程请在日程安排中查找"));
    } else if (noPasswordSet()) {
        m_protected->setChecked(true);
        m_protected->setEnabled(false);
    }
    connect(m_protected, &QCheckBox::toggled, this, &Tfind_text::protectionToggled);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("Label2"));
    auto *state = new QHBoxLayout;
    state->addWidget(m_protected);
    state->addSpacing(12);
    state->addWidget(m_status, 1);

    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("BitBtn2"));
    close->setMinimumSize(90, 28);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buildTermRow());
    layout->addLayout(state);
    layout->addWidget(buildList(), 1);
    layout->addLayout(buttons);

    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    m_term->setFocus();
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QLayout *Tfind_text::buildTermRow()
{
    auto *label = new QLabel(QStringLiteral("查找内容:"), this);
    label->setObjectName(QStringLiteral("Label1"));
    m_term = new QLineEdit(this);
    m_term->setObjectName(QStringLiteral("Edit1"));
    m_term->setMaxLength(kLongestTerm);
    m_term->setMinimumWidth(16 * fontMetrics().horizontalAdvance(u'中'));
    label->setBuddy(m_term);
    m_find = new QPushButton(QStringLiteral("查找"), this);
    m_find->setObjectName(QStringLiteral("BitBtn1"));
    m_find->setMinimumSize(90, 28);
    connect(m_find, &QPushButton::clicked, this, &Tfind_text::findTyped);
    connect(m_term, &QLineEdit::returnPressed, this, &Tfind_text::findTyped);
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_term, 1);
    row->addWidget(m_find);
    return row;
}

QTableView *Tfind_text::buildList()
{
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("DBGrid1"));
    m_list->setModel(&m_model);
    m_list->setItemDelegateForColumn(SearchHitModel::Text, new HitDelegate(m_list));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->horizontalHeader()->setHighlightSections(false);
    connect(m_list, &QAbstractItemView::activated, this, &Tfind_text::openHit);
    fitColumns();
    const int rowHeight = m_list->verticalHeader()->defaultSectionSize();
    m_list->setMinimumHeight(m_list->horizontalHeader()->sizeHint().height() + kListedRows * rowHeight
                             + 2 * m_list->frameWidth());
    return m_list;
}

// The date and kind columns as wide as their widest text can be, the
// context column wide enough for a whole context.
void Tfind_text::fitColumns()
{
    const QFontMetrics metrics(m_list->font());
    const int margin = 2 * (m_list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list) + 1) + 12;
    const int date = metrics.horizontalAdvance(QStringLiteral("0000-00-00 00:00")) + margin;
    const int kind = metrics.horizontalAdvance(QStringLiteral("完成记录(加密)")) + margin;
    const int text = kContextCharacters * metrics.horizontalAdvance(u'中') + margin;
    m_list->setColumnWidth(SearchHitModel::Date, date);
    m_list->setColumnWidth(SearchHitModel::Kind, kind);
    m_list->setColumnWidth(SearchHitModel::Text, text);
    m_list->setMinimumWidth(date + kind + text + 2 * m_list->frameWidth()
                            + m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

bool Tfind_text::noPasswordSet() const
{
    return m_setup.password && !m_setup.password();
}

SearchScope Tfind_text::scope() const
{
    return SearchScope::of(m_passwordGiven || noPasswordSet(),
                           m_setup.diaryOpen || !m_search.diaryNeedsPassword().valueOr(true));
}

void Tfind_text::findTyped()
{
    const QString term = m_term->text().trimmed();
    if (term.isEmpty()) {
        Dialogs::information(this, kEmpty);
        m_term->selectAll();
        m_term->setFocus();
        return;
    }
    const SearchScope searched = scope();
    const Result<TextSearch::Found> found = m_search.find(term, searched);
    m_model.setHits(found ? found->hits : QList<SearchHit>());
    if (!found) {
        m_status->clear();
        Dialogs::error(this, found.error());
        return;
    }
    m_status->setText(TextSearch::summary(*found, term) + searched.leftOutText());
    if (!found->hits.isEmpty()) {
        m_list->setCurrentIndex(m_model.index(0, 0));
        m_list->setFocus();
    }
}

// Protected records are listed once the launcher's password has been given
// here; a wrong one leaves them out.
void Tfind_text::protectionToggled(bool on)
{
    if (!on) {
        m_passwordGiven = false;
    } else if (!m_passwordGiven && !noPasswordSet()) {
        const std::optional<QString> typed = Dialogs::input(this, QStringLiteral("安全密码输入"), QStringLiteral(" "));
        const std::optional<QString> password = m_setup.password ? m_setup.password() : std::nullopt;
        if (!typed || !password || *typed != *password) {
            if (typed)
                Dialogs::information(this, kWrongPassword);
            const QSignalBlocker quiet(m_protected);
            m_protected->setChecked(false);
            return;
        }
        m_passwordGiven = true;
    }
    if (!m_term->text().trimmed().isEmpty())
        findTyped();
}

void Tfind_text::openHit(const QModelIndex &index)
{
    if (!index.isValid() || !m_setup.open)
        return;
    m_setup.open(m_model.hit(index.row()));
}

void Tfind_text::addTo(QMenu *menu, QWidget *window, const Setup &setup)
{
    auto opened = std::make_shared<QPointer<Tfind_text>>();
    QAction *action = menu->addAction(kTitle + QStringLiteral("..."));
    action->setObjectName(kAction);
    QObject::connect(action, &QAction::triggered, window, [window, setup, opened] {
        // A store still being filled lists only part of its records.
        if (!*opened)
            IndexFillProgress::runIfPending(window, setup.db);
        WindowOpener::restoreOrCreate(*opened, [&] { return new Tfind_text(setup, window); });
    });
}
