#include "diary/windows/Tnote_pad.h"

#include "diary/windows/EscapeCloser.h"
#include "diary/windows/This_note_pad.h"
#include "lunar/core/LunarDay.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/WindowOpener.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

namespace {

const QString kMemoHint = QStringLiteral("每日心情一记,没事看看以前心情故事!       (所有内容均128位加密运算,以防偷窥)");

QPushButton *addButton(QWidget *parent, const QString &name, const QString &caption, int width)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setMinimumSize(width, 30);
    return button;
}

} // namespace

Tnote_pad::Tnote_pad(QSqlDatabase db, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_db(db)
    , m_notes(db)
{
    setObjectName(QStringLiteral("Tnote_pad"));
    setWindowTitle(QStringLiteral("记事本"));
    buildControls();
    new EscapeCloser(this);
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

// The window takes the size its texts need: a page of 44 characters by 16
// lines, the captions and buttons at the desktop's font.
void Tnote_pad::buildControls()
{
    auto *caption = new QLabel(QStringLiteral("记录日期:"), this);
    caption->setObjectName(QStringLiteral("Label1"));
    m_moment = new QLabel(this);
    m_moment->setObjectName(QStringLiteral("Label2"));
    m_lunar = new QLabel(this);
    m_lunar->setObjectName(QStringLiteral("lunarLabel"));

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setToolTip(kMemoHint);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font = m_memo->font();
    font.setPixelSize(16);
    m_memo->setFont(font);
    QPalette palette = m_memo->palette();
    palette.setColor(QPalette::Base, Qt::white);
    m_memo->setPalette(palette);
    m_memo->setMinimumSize(44 * fontMetrics().horizontalAdvance(u'中'), 16 * QFontMetrics(font).lineSpacing());
    connect(m_memo, &QPlainTextEdit::textChanged, this, &Tnote_pad::textChanged);

    m_save = addButton(this, QStringLiteral("BitBtn1"), QStringLiteral("保存"), 100);
    auto *restart = addButton(this, QStringLiteral("BitBtn3"), QStringLiteral("重写"), 100);
    auto *history = addButton(this, QStringLiteral("BitBtn4"), QStringLiteral("查看以前记录"), 130);
    history->setToolTip(QStringLiteral("看看以前心情故事! "));
    auto *cancel = addButton(this, QStringLiteral("BitBtn2"), QStringLiteral("取消"), 100);
    m_save->setEnabled(false);

    auto *top = new QHBoxLayout;
    top->addWidget(caption);
    top->addWidget(m_moment);
    top->addSpacing(12);
    top->addWidget(m_lunar, 1);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addWidget(m_save);
    buttons->addWidget(restart);
    buttons->addWidget(history);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);
    layout->addLayout(top);
    layout->addWidget(m_memo, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_save, &QPushButton::clicked, this, &Tnote_pad::save);
    connect(restart, &QPushButton::clicked, this, &Tnote_pad::restart);
    connect(history, &QPushButton::clicked, this, &Tnote_pad::openHistory);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

This_note_pad *Tnote_pad::history() const
{
    return m_history;
}

// Only the first show starts a page: coming back from the history, or being
// restored by the launcher, keeps what was typed.
void Tnote_pad::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_pageStarted) {
        m_pageStarted = true;
        startPage();
    }
}

// "取消", Esc and every other close ask before typed text is dropped.
void Tnote_pad::closeEvent(QCloseEvent *event)
{
    if (!Dialogs::mayDropUnsaved(this, m_page.holdsUnsaved(m_memo->toPlainText()))) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void Tnote_pad::restart()
{
    if (Dialogs::mayDropUnsaved(this, m_page.holdsUnsaved(m_memo->toPlainText())))
        startPage();
}

void Tnote_pad::startPage()
{
    m_page.start();
    m_moment->setText(m_page.label());
    m_lunar->setText(LunarDay::of(m_page.moment().date()).displayText());
    m_memo->clear();
    m_memo->setFocus();
}

void Tnote_pad::textChanged()
{
    m_save->setEnabled(NotePage::canSave(m_memo->toPlainText()));
}

void Tnote_pad::save()
{
    const QString text = m_memo->toPlainText();
    if (!NotePage::canSave(text)) {
        Dialogs::information(this, QStringLiteral("内容为空,无法保存....."));
        return;
    }
    // On a store error nothing is written and the page stays as it is, so
    // the same note can be saved again.
    if (const Result<void> saved = m_notes.append(m_page.stamp(), text); !saved) {
        Dialogs::error(this, saved.error());
        return;
    }
    m_page.markSaved(text);
    if (Dialogs::confirm(this, QStringLiteral("成功保存!  是否继续写呢?")))
        startPage();
    else
        close();
}

void Tnote_pad::openHistory()
{
    auto *browser = WindowOpener::replace(m_history, [this] { return new This_note_pad(m_db, this); });
    // Only the browser opened last brings the editor back; one replaced by it
    // closes later and must not show the editor over its successor.
    connect(browser, &This_note_pad::closed, this, [this, browser] { returnFromHistory(browser); });
    connect(browser, &This_note_pad::jobChosen, this, &Tnote_pad::jobChosen);
    browser->show();
    hide();
}

void Tnote_pad::showNote(qint64 rowid)
{
    if (!m_history)
        openHistory();
    m_history->showNote(rowid);
}

void Tnote_pad::returnFromHistory(This_note_pad *browser)
{
    if (browser != m_history)
        return;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}
