#include "app/Tmain.h"

#include "app/AutoHide.h"
#include "app/core/StartPasswordFlag.h"
#include "app/LauncherReminders.h"
#include "app/LauncherSync.h"
#include "app/LauncherTray.h"
#include "app/Tabout_note.h"
#include "app/Tmain_config.h"
#include "app/Tpass_login.h"
#include "app/Trecord_backup.h"
#include "contacts/windows/ImportPanel.h"
#include "contacts/windows/Tpe_connect.h"
#include "diary/windows/Tnote_pad.h"
#include "platform/AppPaths.h"
#include "platform/DesktopNotifier.h"
#include "platform/ProfileFile.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/WindowOpener.h"
#include "schedule/core/ScheduleFormats.h"
#include "schedule/windows/Tjob_do.h"
#include "search/windows/IndexFillProgress.h"
#include "store/Clock.h"
#include "store/Store.h"
#include "sync/windows/Tsync_config.h"
#include "tools/windows/Ttools_box.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

Tmain::Tmain(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Tmain"));
    setWindowTitle(AppPaths::kApplicationTitle);
    buildPanel();
    buildMenu();
    // What a sync writes reaches the reminders at once.
    m_sync = new LauncherSync(
        *this, [this] { reloadReminders(); }, this);

    m_autoHideTimer = new QTimer(this);
    m_autoHideTimer->setObjectName(QStringLiteral("Timer1"));
    m_autoHideTimer->setInterval(10);
    connect(m_autoHideTimer, &QTimer::timeout, this, &Tmain::autoHideTick);

    m_reminderTimer = new QTimer(this);
    m_reminderTimer->setObjectName(QStringLiteral("Timer2"));
    m_reminderTimer->setInterval(100);
    connect(m_reminderTimer, &QTimer::timeout, this, &Tmain::reminderTick);
    buildReminders();

    placeControls();
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 1024;
    move(screenWidth - 150, 2);
}

Tmain::~Tmain() = default;

void Tmain::buildPanel()
{
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setAutoFillBackground(true);
    QPalette palette = m_panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    m_panel->setPalette(palette);
    m_panel->installEventFilter(this);

    // Drawn at its own size from the top-left corner, never stretched.
    m_skin = new QLabel(m_panel);
    m_skin->setObjectName(QStringLiteral("Image1"));
    m_skin->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_skin->hide();

    addButton(QStringLiteral("BitBtn1"), QStringLiteral("记事本"), QStringLiteral("note"));
    addButton(QStringLiteral("BitBtn2"), QStringLiteral("日程安排"), QStringLiteral("schedule"));
    addButton(QStringLiteral("BitBtn3"), QStringLiteral("通讯录"), QStringLiteral("contacts"));
    addButton(QStringLiteral("BitBtn4"), QStringLiteral("百宝箱"), QStringLiteral("tools"));
    addButton(QStringLiteral("BitBtn5"), QStringLiteral("退出记事本"), QStringLiteral("exit"));
    connect(findChild<QToolButton *>(QStringLiteral("BitBtn1")), &QToolButton::clicked, this, &Tmain::openDiary);
    connect(findChild<QToolButton *>(QStringLiteral("BitBtn2")), &QToolButton::clicked, this, &Tmain::openSchedule);
    connect(findChild<QToolButton *>(QStringLiteral("BitBtn3")), &QToolButton::clicked, this, &Tmain::openContacts);
    connect(findChild<QToolButton *>(QStringLiteral("BitBtn4")), &QToolButton::clicked, this, &Tmain::openToolbox);
    connect(findChild<QToolButton *>(QStringLiteral("BitBtn5")), &QToolButton::clicked, this, &QWidget::close);

    m_version = new QLabel(kVersion, m_panel);
    m_version->setObjectName(QStringLiteral("Label1"));

    m_clock = new QLabel(m_panel);
    m_clock->setObjectName(QStringLiteral("Label2"));
    m_clock->setAttribute(Qt::WA_TranslucentBackground);

    // Hidden command other windows use to reload today's reminders.
    m_reload = new QPushButton(m_panel);
    m_reload->setObjectName(QStringLiteral("sb4"));
    m_reload->hide();
    connect(m_reload, &QPushButton::clicked, this, &Tmain::reloadReminders);
}

QToolButton *Tmain::addButton(const QString &name, const QString &caption, const QString &icon)
{
    auto *button = new QToolButton(m_panel);
    button->setObjectName(name);
    button->setText(caption);
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(icon)));
    button->setIconSize(QSize(64, 64));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    m_buttons << button;
    return button;
}

// The small-font arrangement: the clock and the version in the top row, the
// buttons 113 by 89 at x 16 from y 24, one under the other. Larger text
// widens and lengthens the buttons and the panel with it; the window is the
// panel's size.
void Tmain::placeControls()
{
    const QFontMetrics metrics(m_clock->font());
    const int rowHeight = metrics.height();
    const int clockWidth = metrics.horizontalAdvance(ScheduleFormats::longTime(QTime(23, 59, 59)));
    const QSize versionSize = m_version->sizeHint();
    QSize buttonSize(113, 89);
    for (const QToolButton *button : std::as_const(m_buttons))
        buttonSize = buttonSize.expandedTo(button->sizeHint());

    const int width =
        std::max({kPanelWidth, 16 + buttonSize.width() + 16, 8 + clockWidth + 8 + versionSize.width() + 8});
    int y = std::max(24, 8 + std::max(rowHeight, versionSize.height()) + 2);
    for (QToolButton *button : std::as_const(m_buttons)) {
        button->setGeometry((width - buttonSize.width()) / 2, y, buttonSize.width(), buttonSize.height());
        y += buttonSize.height();
    }
    const int height = std::max(kPanelHeight, y + 8);

    m_version->setGeometry(std::min(112, width - versionSize.width() - 8), 8, versionSize.width(),
                           versionSize.height());
    m_clock->setGeometry(8, 8, m_version->x() - 16, rowHeight);
    m_panel->setGeometry(0, 0, width, height);
    m_skin->setGeometry(m_panel->rect());
    setFixedSize(width, height);
}

void Tmain::buildMenu()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    m_autoHideAction = m_menu->addAction(QStringLiteral("自动隐藏"), this, &Tmain::toggleAutoHide);
    m_autoHideAction->setObjectName(QStringLiteral("N1"));
    m_autoHideAction->setCheckable(true);
    m_menu->addAction(QStringLiteral("选项"), this, &Tmain::openSettings)->setObjectName(QStringLiteral("N2"));
    // Sync sits beside the settings, behind the same password.
    m_menu->addAction(QStringLiteral("同步"), this, &Tmain::openSync)->setObjectName(QStringLiteral("syncAction"));
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("备份或转移记录"), this, &Tmain::openBackup)->setObjectName(QStringLiteral("N4"));
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("关于本记事本"), this, &Tmain::openAbout)->setObjectName(QStringLiteral("N6"));
}

QSqlDatabase Tmain::database() const
{
    return Store::database();
}

void Tmain::setNeedsPassword(bool diary, bool schedule)
{
    m_diaryNeedsPassword = diary;
    m_scheduleNeedsPassword = schedule;
}

void Tmain::buildReminders()
{
    m_notifier = new DesktopNotifier(this);
    LauncherReminders::Shell shell;
    shell.window = this;
    shell.openJob = [this](const QDate &day, qint64 jobRowid) { openJob(day, jobRowid); };
    shell.settings = [this] { return m_appearance; };
    shell.hideProtected = [this] { return m_scheduleNeedsPassword && m_password.has_value(); };
    m_reminders = new LauncherReminders(database(), shell, m_notifier, this);

    m_tray = new LauncherTray({[this] { openDiary(); }, [this] { openSchedule(); }, [this] { openContacts(); },
                               [this] { openToolbox(); }, [this] { close(); }, [this] { showLauncher(); }},
                              this);
    connect(m_reminders, &LauncherReminders::nextChanged, this, &Tmain::updateTray);
}

void Tmain::updateTray()
{
    m_tray->setToolTip(m_reminders->nextText());
}

// The timer also runs while no reminder is due today, so that the watch
// notices a new day; the clock label is written only while reminders are watched.
void Tmain::reloadReminders()
{
    m_reminderTimer->stop();
    if (const Result<void> reloaded = m_reminders->reload(); !reloaded) {
        Dialogs::error(this, reloaded.error());
        return;
    }
    m_reminderTimer->start();
}

// While a backup copies the record file the store is closed: the watch
// waits, and what falls due meanwhile comes at the first tick after.
void Tmain::reminderTick()
{
    if (!Store::isOpen())
        return;
    const ReminderWatch::Tick tick = m_reminders->tick();
    if (!tick.error.isEmpty()) {
        m_reminderTimer->stop();
        Dialogs::error(this, tick.error);
        return;
    }
    if (tick.clock)
        m_clock->setText(*tick.clock);
}

void Tmain::openJob(const QDate &day, qint64 jobRowid)
{
    if (m_scheduleNeedsPassword && !passPrompt())
        return;
    WindowOpener::restoreOrCreate(m_jobDo, [this] { return newPlanner(); });
    m_jobDo->showJob(day, jobRowid);
}

void Tmain::openNote(qint64 noteRowid)
{
    if (m_diaryNeedsPassword && !passPrompt())
        return;
    WindowOpener::restoreOrCreate(m_notePad, [this] { return newDiary(); });
    m_notePad->showNote(noteRowid);
}

Tnote_pad *Tmain::newDiary()
{
    auto *diary = new Tnote_pad(database(), this);
    connect(diary, &Tnote_pad::jobChosen, this, &Tmain::openJob);
    return diary;
}

Tjob_do *Tmain::newPlanner()
{
    auto *planner = new Tjob_do(*this, this);
    connect(planner, &Tjob_do::noteChosen, this, &Tmain::openNote);
    return planner;
}

// An auto-hidden launcher comes back to where it was hidden from.
void Tmain::showLauncher()
{
    if (autoHideOn() && y() != m_savedTop)
        move(x(), m_savedTop);
    showNormal();
    raise();
    activateWindow();
}

void Tmain::endProgram(int exitCode)
{
    m_ended = true;
    m_exitCode = exitCode;
    hide();
    QCoreApplication::exit(exitCode);
}

void Tmain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    startUp();
}

// "退出记事本" would take the diary editor and the planner down with the
// launcher, unasked: each is asked to close first, so text typed there goes
// only when the user agrees, and the program stays when one keeps it.
void Tmain::closeEvent(QCloseEvent *event)
{
    for (QWidget *window : {static_cast<QWidget *>(m_notePad), static_cast<QWidget *>(m_jobDo)}) {
        if (window && !window->close()) {
            event->ignore();
            return;
        }
    }
    if (m_notifier)
        m_notifier->closeAllShown();
    QWidget::closeEvent(event);
}

void Tmain::startUp()
{
    const Store::Opened opened = Store::open(AppPaths::storeFile());
    if (opened.status != Store::Status::Ready) {
        Dialogs::informationYes(nullptr, Store::message(opened));
        endProgram(1);
        return;
    }
    if (!passStartCheck())
        return;
    reloadReminders();
    m_tray->showIfAvailable();
    m_sync->schedule(true);
    // Records kept before the search indexes came are read into them now,
    // with progress; a store without such records shows nothing.
    IndexFillProgress::runIfPending(this, database());
}

// With a password set, start-up goes on only once the password window has
// been passed; it ends the program otherwise. A flag that cannot be read
// ends it too: going on would open a protected store without the password.
bool Tmain::passStartCheck()
{
    const Result<StartPasswordFlag::State> flag = StartPasswordFlag(database()).read();
    if (!flag) {
        Dialogs::informationYes(nullptr, Tpass_login::damagedStoreMessage(flag.error()));
        endProgram(1);
        return false;
    }
    if (*flag != StartPasswordFlag::State::Set)
        return true;
    auto *login = WindowOpener::replace(m_passLogin, [this] { return new Tpass_login(*this, this); });
    connect(login, &Tpass_login::endRequested, this, &Tmain::endProgram);
    login->exec();
    return !m_ended;
}

// The panel covers the whole window, so its paint is the launcher's paint.
bool Tmain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_panel && event->type() == QEvent::Paint)
        applyAppearance();
    return QWidget::eventFilter(watched, event);
}

void Tmain::refreshAppearance()
{
    m_acknowledgedSkin.clear();
    applyAppearance();
    repaint();
}

void Tmain::applyAppearance()
{
    m_appearance = Appearance::read(ProfileFile(AppPaths::profileFile()));
    showSkin();
    if (m_appearance.hideAfterStart && !autoHideOn())
        toggleAutoHide();
}

void Tmain::showSkin()
{
    if (!m_appearance.usesSkin()) {
        m_skin->hide();
        m_shownSkin.clear();
        return;
    }
    const QString path = m_appearance.skin;
    if (!QFileInfo(path).isFile()) {
        m_skin->hide();
        m_shownSkin.clear();
        reportSkinProblem(QStringLiteral("皮肤文件:%1不存在,请检查,记事本将用取消皮肤功能").arg(path), true);
        return;
    }
    if (path != m_shownSkin) {
        QImageReader reader(path);
        const QImage image = reader.read();
        if (image.isNull()) {
            m_skin->hide();
            reportSkinProblem(reader.errorString(), false);
            return;
        }
        m_skin->setPixmap(QPixmap::fromImage(image));
        m_skin->resize(image.size().boundedTo(m_panel->size()));
        m_shownSkin = path;
    }
    m_skin->show();
}

// A problem is reported once per path until the settings change or force a
// repaint: the box covers the launcher, and the repaint its own dismissal
// causes must not bring it back.
void Tmain::reportSkinProblem(const QString &text, bool missing)
{
    if (m_skinMessagePending || m_acknowledgedSkin == m_appearance.skin)
        return;
    m_skinMessagePending = true;
    m_acknowledgedSkin = m_appearance.skin;
    QTimer::singleShot(0, this, [this, text, missing] {
        if (missing)
            Dialogs::informationYes(this, text);
        else
            Dialogs::error(this, text);
        m_skinMessagePending = false;
    });
}

bool Tmain::autoHideOn() const
{
    return m_autoHideAction->isChecked();
}

void Tmain::toggleAutoHide()
{
    m_savedLeft = x();
    m_savedTop = y();
    // The action toggles its own tick when triggered from the menu; here the
    // tick follows the timer, whoever called.
    if (m_autoHideTimer->isActive()) {
        m_autoHideTimer->stop();
        m_autoHideAction->setChecked(false);
    } else {
        m_autoHideAction->setChecked(true);
        m_autoHideTimer->start();
    }
}

void Tmain::autoHideTick()
{
    const AutoHide::Step step = AutoHide::tick(QCursor::pos(), x(), m_savedLeft, m_savedTop, width());
    m_savedLeft = step.savedLeft;
    if (step.newTop && *step.newTop != y())
        move(x(), *step.newTop);
}

void Tmain::contextMenuEvent(QContextMenuEvent *event)
{
    m_menu->popup(event->globalPos());
}

bool Tmain::passPrompt()
{
    const auto entry = Dialogs::input(this, QStringLiteral("安全密码输入"), QStringLiteral(" "));
    if (!entry)
        return false;
    if (m_password && *entry == *m_password)
        return true;
    Dialogs::information(this, QStringLiteral("1.密码输入错误,请检查后重新输入....."));
    return false;
}

void Tmain::openDiary()
{
    if (m_diaryNeedsPassword && !passPrompt())
        return;
    WindowOpener::restoreOrCreate(m_notePad, [this] { return newDiary(); });
}

void Tmain::openSchedule()
{
    if (m_scheduleNeedsPassword && !passPrompt())
        return;
    WindowOpener::restoreOrCreate(m_jobDo, [this] { return newPlanner(); });
}

void Tmain::openContacts()
{
    WindowOpener::restoreOrCreate(m_contacts, [this] {
        auto *contacts = new Tpe_connect(database(), this);
        contacts->setAboutOpener([this] { openAbout(); });
        return contacts;
    });
}

void Tmain::openToolbox()
{
    auto *toolbox = WindowOpener::replace(m_toolsBox, [this] { return new Ttools_box(database(), this); });
    toolbox->show();
}

void Tmain::openSettings()
{
    const bool modal = !m_password;
    if (!modal && !passPrompt())
        return;
    auto *config = WindowOpener::replace(m_config, [this] { return new Tmain_config(*this, this); });
    connect(config, &Tmain_config::settingsWritten, this, &Tmain::refreshAppearance);
    // Without a password the settings open modal; after a correct entry, modeless.
    if (modal)
        config->setWindowModality(Qt::ApplicationModal);
    config->show();
}

void Tmain::openBackup()
{
    if (m_password && !passPrompt())
        return;
    // A running copy keeps its window: a second one would copy, reopen or
    // delete the record file under the first.
    if (m_backup && m_backup->isBusy()) {
        m_backup->raise();
        m_backup->activateWindow();
        return;
    }
    auto *backup = WindowOpener::replace(m_backup, [this] {
        auto *window = new Trecord_backup(this);
        connect(window, &Trecord_backup::transferred, this, [this] { endProgram(); });
        window->setStoreInUseCheck([this] { return storeInUse(); });
        return window;
    });
    backup->show();
}

// A contact import writes row after row from a timer: closing the store
// under it would cut it off half way.
QString Tmain::storeInUse() const
{
    const auto *import = m_contacts ? m_contacts->findChild<ImportPanel *>() : nullptr;
    if (import && import->isImporting())
        return QStringLiteral("通讯录正在导入联系人,请等导入完成后再备份或转移记录。");
    if (m_sync->isSyncing())
        return QStringLiteral("正在同步记录,请等同步完成后再备份或转移记录。");
    return {};
}

void Tmain::openSync()
{
    if (m_password && !passPrompt())
        return;
    auto *page = WindowOpener::replace(m_syncConfig, [this] { return new Tsync_config(*m_sync, this); });
    connect(page, &Tsync_config::settingsSaved, m_sync, [this] { m_sync->schedule(false); });
    page->show();
}

void Tmain::openAbout()
{
    auto *about = WindowOpener::replace(m_about, [this] { return new Tabout_note(this); });
    about->open();
}
