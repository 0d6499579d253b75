#include "app/LauncherTray.h"

#include "platform/AppPaths.h"

#include <QMenu>
#include <QSystemTrayIcon>

LauncherTray::LauncherTray(Commands commands, QObject *parent)
    : QObject(parent)
    , m_commands(std::move(commands))
    , m_menu(std::make_unique<QMenu>())
{
    m_menu->setObjectName(QStringLiteral("trayMenu"));
    const auto add = [this](const QString &name, const QString &caption, const std::function<void()> &command) {
        m_menu->addAction(caption, this, [command] { command(); })->setObjectName(name);
    };
    add(QStringLiteral("trayDiary"), QStringLiteral("记事本"), m_commands.diary);
    add(QStringLiteral("traySchedule"), QStringLiteral("日程安排"), m_commands.schedule);
    add(QStringLiteral("trayContacts"), QStringLiteral("通讯录"), m_commands.contacts);
    add(QStringLiteral("trayToolbox"), QStringLiteral("百宝箱"), m_commands.toolbox);
    m_menu->addSeparator();
    add(QStringLiteral("trayQuit"), QStringLiteral("退出记事本"), m_commands.quit);

    m_icon = new QSystemTrayIcon(QIcon(QStringLiteral(":/icons/schedule.png")), this);
    m_icon->setObjectName(QStringLiteral("trayIcon"));
    m_icon->setContextMenu(m_menu.get());
    m_icon->setToolTip(AppPaths::kApplicationTitle);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            m_commands.showLauncher();
    });
}

LauncherTray::~LauncherTray() = default;

bool LauncherTray::showIfAvailable()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    m_icon->show();
    return true;
}

void LauncherTray::setToolTip(const QString &text)
{
    m_icon->setToolTip(text);
}

QString LauncherTray::toolTip() const
{
    return m_icon->toolTip();
}
