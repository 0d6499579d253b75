#include "diary/windows/This_note_pad.h"

#include "diary/windows/EscapeCloser.h"
#include "interchange/windows/IcalCommands.h"
#include "lunar/core/LunarDay.h"
#include "platform/ui/Dialogs.h"
#include "search/windows/Tfind_text.h"
#include "store/TimeStamp.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

namespace {

constexpr int kWidth = 560;
const QColor kSilver(0xc0, 0xc0, 0xc0);

QLabel *addLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

// The band across the top: drawn once at kWidth, stretched to the window's
// width.
QPixmap bandPicture()
{
    QPixmap band(kWidth, 48);
    QPainter painter(&band);
    QLinearGradient gradient(0, 0, kWidth, 0);
    gradient.setColorAt(0, QColor(0x1f, 0x6f, 0xc4));
    gradient.setColorAt(1, QColor(0x9c, 0xc6, 0xf0));
    painter.fillRect(band.rect(), gradient);
    QFont font = painter.font();
    font.setPixelSize(20);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(band.rect().adjusted(16, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("以前心情故事"));
    return band;
}

} // namespace

This_note_pad::This_note_pad(QSqlDatabase db, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_history(db)
{
    setObjectName(QStringLiteral("This_note_pad"));
    setWindowTitle(QStringLiteral("以前记事本记录"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kSilver);
    setPalette(palette);

    // The band spans the window; below it the counters and the navigation
    // share a row, then the note. Sizes follow the desktop's font.
    auto *head = new QHBoxLayout;
    head->addLayout(buildCounters());
    head->addStretch(1);
    head->addLayout(buildNavigation());
    auto *body = new QVBoxLayout;
    body->setContentsMargins(16, 8, 16, 14);
    body->setSpacing(8);
    body->addLayout(head);
    body->addLayout(buildText(), 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildBand());
    layout->addLayout(body, 1);
    // Notes leave and come in as iCalendar journal entries. The browser opens
    // only through the diary's own password, so no note here is behind one.
    m_menu->addSeparator();
    IcalCommands::addTo(m_menu, this, {db, IcalExport::What::Notes, {}, {}, [this] { openList(); }});
    // A search from here: the diary is open, the launcher's password is not
    // known here, so protected jobs stay out of it.
    m_menu->addSeparator();
    Tfind_text::addTo(m_menu, this, {db, {}, true, [this](const SearchHit &hit) { openHit(hit); }});
    layout->setSizeConstraint(QLayout::SetFixedSize);

    new EscapeCloser(this);
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

QWidget *This_note_pad::buildBand()
{
    auto *band = new QLabel(this);
    band->setObjectName(QStringLiteral("Image1"));
    band->setFixedHeight(48);
    band->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    band->setScaledContents(true);
    band->setPixmap(bandPicture());
    return band;
}

QLayout *This_note_pad::buildCounters()
{
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->addWidget(addLabel(this, QStringLiteral("Label2"), QStringLiteral("共计记录:")), 0, 0);
    m_total = addLabel(this, QStringLiteral("Label3"), {});
    grid->addWidget(m_total, 0, 1);
    grid->addWidget(addLabel(this, QStringLiteral("Label4"), QStringLiteral("/")), 0, 2);
    m_position = addLabel(this, QStringLiteral("Label5"), {});
    grid->addWidget(m_position, 0, 3);
    grid->addWidget(addLabel(this, QStringLiteral("Label1"), QStringLiteral("记录时间:")), 1, 0);
    m_time = addLabel(this, QStringLiteral("Label6"), {});
    m_lunar = addLabel(this, QStringLiteral("lunarLabel"), {});
    auto *time = new QHBoxLayout;
    time->setSpacing(12);
    time->addWidget(m_time);
    time->addWidget(m_lunar, 1);
    grid->addLayout(time, 1, 1, 1, 4);
    grid->setColumnStretch(4, 1);
    return grid;
}

QLayout *This_note_pad::buildNavigation()
{
    struct Button
    {
        const char *name;
        QString caption;
        QStyle::StandardPixmap picture;
        bool (NoteHistory::*move)();
    };
    const Button buttons[] = {
        {"sp3", QStringLiteral("首个"), QStyle::SP_MediaSkipBackward, &NoteHistory::first},
        {"sp1", QStringLiteral("前一条"), QStyle::SP_MediaSeekBackward, &NoteHistory::previous},
        {"sp2", QStringLiteral("后一条"), QStyle::SP_MediaSeekForward, &NoteHistory::next},
        {"sp4", QStringLiteral("未尾"), QStyle::SP_MediaSkipForward, &NoteHistory::last},
    };
    auto *row = new QHBoxLayout;
    row->setSpacing(2);
    for (const Button &b : buttons) {
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setText(b.caption);
        button->setIcon(style()->standardIcon(b.picture));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setMinimumSize(76, 28);
        row->addWidget(button, 0, Qt::AlignTop);
        connect(button, &QToolButton::clicked, this, [this, move = b.move] { step(move); });
    }
    return row;
}

QLayout *This_note_pad::buildText()
{
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setMinimumSize(44 * fontMetrics().horizontalAdvance(u'中'), 18 * fontMetrics().lineSpacing());
    m_memo->setReadOnly(true);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = m_memo->palette();
    palette.setColor(QPalette::Base, kSilver);
    m_memo->setPalette(palette);

    auto *write = new QPushButton(QStringLiteral("写新记录"), this);
    write->setObjectName(QStringLiteral("BitBtn3"));
    write->setMinimumSize(100, 30);
    connect(write, &QPushButton::clicked, this, &QWidget::close);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    cancel->setMinimumSize(100, 30);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);

    m_menu = new QMenu(m_memo);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *refresh = m_menu->addAction(QStringLiteral("刷新所有记录"));
    refresh->setObjectName(QStringLiteral("N3"));
    m_menu->addSeparator();
    m_delete = m_menu->addAction(QStringLiteral("删除本记录"));
    m_delete->setObjectName(QStringLiteral("N1"));
    m_menu->addSeparator();
    m_rewrite = m_menu->addAction(QStringLiteral("保存本记录"));
    m_rewrite->setObjectName(QStringLiteral("N5"));
    connect(refresh, &QAction::triggered, this, &This_note_pad::openList);
    connect(m_delete, &QAction::triggered, this, &This_note_pad::deleteCurrent);
    connect(m_rewrite, &QAction::triggered, this, &This_note_pad::rewriteCurrent);

    m_memo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_memo, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_menu->popup(m_memo->mapToGlobal(at)); });

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addStretch(1);
    buttons->addWidget(write);
    buttons->addWidget(cancel);
    auto *column = new QVBoxLayout;
    column->setSpacing(14);
    column->addWidget(m_memo, 1);
    column->addLayout(buttons);
    return column;
}

void This_note_pad::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_listOpened) {
        m_listOpened = true;
        openList();
    }
}

void This_note_pad::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

void This_note_pad::openList()
{
    if (const Result<void> opened = m_history.open(); !opened) {
        Dialogs::error(this, opened.error());
        return;
    }
    showCurrent();
}

void This_note_pad::showEmpty()
{
    m_total->setText(QStringLiteral("0"));
    m_position->setText(QStringLiteral("0"));
    m_time->setText(QStringLiteral("-"));
    m_lunar->clear();
    m_memo->setPlainText(QStringLiteral("空"));
    m_currentDecoded = false;
    m_delete->setEnabled(false);
    m_rewrite->setEnabled(false);
}

// The counters and the time always describe the current note, even one that
// cannot be read, so delete and write back never act on a note other than
// the one the window names.
void This_note_pad::showCurrent()
{
    if (m_history.isEmpty()) {
        showEmpty();
        return;
    }
    m_delete->setEnabled(true);
    m_rewrite->setEnabled(true);
    m_total->setText(QString::number(m_history.count()));
    m_position->setText(QString::number(m_history.position()));
    const NoteHistory::Note note = m_history.current();
    m_currentDecoded = note.decoded;
    m_time->setText(note.dateId.isEmpty() ? QStringLiteral("-") : NoteHistory::timeText(note.dateId));
    // A stamp that is no real moment has no day to reckon.
    m_lunar->setText(LunarDay::of(TimeStamp::parse(note.dateId).date()).displayText());
    if (note.decoded) {
        m_memo->setPlainText(note.text);
        return;
    }
    m_memo->clear();
    Dialogs::error(this, note.error);
}

void This_note_pad::step(bool (NoteHistory::*move)())
{
    if ((m_history.*move)())
        showCurrent();
}

void This_note_pad::deleteCurrent()
{
    if (m_history.isEmpty() || !Dialogs::confirm(this, QStringLiteral("确定 [ 删除 ] 本记录吗? (Yes/No)")))
        return;
    if (const Result<void> removed = m_history.removeCurrent(); !removed) {
        Dialogs::error(this, removed.error());
        return;
    }
    showCurrent();
}

// Writing back stores the shown text again. A note that could not be decoded
// shows no text, and writing that back would destroy what is stored.
void This_note_pad::rewriteCurrent()
{
    if (m_history.isEmpty() || !Dialogs::confirm(this, QStringLiteral("确定 [ 保存 ] 本记录吗? (Yes/No)")))
        return;
    if (!m_currentDecoded) {
        Dialogs::error(this, m_history.current().error);
        return;
    }
    if (const Result<void> written = m_history.rewriteCurrent(m_memo->toPlainText()); !written) {
        Dialogs::error(this, written.error());
        return;
    }
    Dialogs::information(this, QStringLiteral("成功保存记录..."));
}

void This_note_pad::showNote(qint64 rowid)
{
    if (const Result<void> opened = m_history.open(); !opened) {
        Dialogs::error(this, opened.error());
        return;
    }
    m_listOpened = true;
    if (!m_history.moveToRowid(rowid))
        Dialogs::information(this, QStringLiteral("这条记录已经被删除..."));
    showCurrent();
    raise();
    activateWindow();
}

void This_note_pad::openHit(const SearchHit &hit)
{
    if (hit.kind == SearchHit::Kind::Note) {
        showNote(hit.rowid);
        return;
    }
    const bool ofAJob = hit.kind == SearchHit::Kind::Job || hit.jobRowid < 0;
    const QString day = ofAJob ? hit.stamp : hit.jobStamp;
    emit jobChosen(QDate::fromString(day.left(8), QStringLiteral("yyyyMMdd")),
                   hit.kind == SearchHit::Kind::Job ? hit.rowid : hit.jobRowid);
}
