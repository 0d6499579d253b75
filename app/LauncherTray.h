#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

// The icon in the desktop's system tray, where it has one: its tooltip names
// the next reminder, its menu opens the four parts of the program and ends
// it, and a click brings the launcher back.
class LauncherTray final : public QObject
{
    Q_OBJECT

public:
    struct Commands
    {
        std::function<void()> diary;
        std::function<void()> schedule;
        std::function<void()> contacts;
        std::function<void()> toolbox;
        std::function<void()> quit;
        std::function<void()> showLauncher;
    };

    explicit LauncherTray(Commands commands, QObject *parent = nullptr);
    ~LauncherTray() override;

    // Shows the icon when the desktop has a tray; false otherwise.
    bool showIfAvailable();
    void setToolTip(const QString &text);
    QString toolTip() const;
    QMenu *menu() const { return m_menu.get(); }
    QSystemTrayIcon *icon() const { return m_icon; }

private:
    Commands m_commands;
    std::unique_ptr<QMenu> m_menu; // a menu has no parent object outside a window
    QSystemTrayIcon *m_icon = nullptr;
};
