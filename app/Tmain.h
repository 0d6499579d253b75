#pragma once

#include "app/core/Appearance.h"
#include "app/core/LauncherHost.h"
#include "schedule/core/PlannerHost.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;
class QMenu;
class QAction;
class QTimer;
class QToolButton;
class QPushButton;
class Tabout_note;
class Tnote_pad;
class Tjob_do;
class Tpe_connect;
class Ttools_box;
class Tmain_config;
class Tpass_login;
class Trecord_backup;
class LauncherReminders;
class LauncherTray;
class DesktopNotifier;
class LauncherSync;
class Tsync_config;

// The launcher: a narrow panel at the right screen edge with the five main
// buttons. It owns the shared connection and the password state, which its
// own windows read through LauncherHost and the planner through PlannerHost,
// and it opens every other window.
class Tmain final : public QWidget, public LauncherHost, public PlannerHost
{
    Q_OBJECT

public:
    static inline const QString kVersion = QStringLiteral("1.21");
    // The panel's size on a small font; larger text makes it larger.
    static constexpr int kPanelWidth = 145;
    static constexpr int kPanelHeight = 482;

    explicit Tmain(QWidget *parent = nullptr);
    ~Tmain() override;

    // LauncherHost, PlannerHost
    QSqlDatabase database() const override;
    std::optional<QString> currentPassword() const override { return m_password; }
    void setCurrentPassword(std::optional<QString> password) override { m_password = std::move(password); }
    bool diaryNeedsPassword() const override { return m_diaryNeedsPassword; }
    bool scheduleNeedsPassword() const override { return m_scheduleNeedsPassword; }
    void setNeedsPassword(bool diary, bool schedule) override;
    QString defaultReminderTime() const override { return m_appearance.reminderTime; }
    void reloadReminders() override;

    // Ends the program: the launcher closes and every event loop returns.
    void endProgram(int exitCode = 0);
    bool programEnded() const { return m_ended; }
    int exitCode() const { return m_exitCode; }

    // Re-reads the settings and repaints now; the skin message may come again.
    void refreshAppearance();
    bool autoHideOn() const;
    QPoint savedPosition() const { return {m_savedLeft, m_savedTop}; }

    // Passes the launcher's password prompt; true when the entry was right.
    bool passPrompt();

    // Opens the planner on `day` with the job of `jobRowid` selected, behind
    // the planner's password when it has one.
    void openJob(const QDate &day, qint64 jobRowid);
    // Opens the diary's history browser on the note of `noteRowid`, behind
    // the diary's password when it has one.
    void openNote(qint64 noteRowid);
    // Shows the launcher where it was, from the tray.
    void showLauncher();
    LauncherReminders *reminders() const { return m_reminders; }
    LauncherTray *tray() const { return m_tray; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void buildPanel();
    void buildMenu();
    QToolButton *addButton(const QString &name, const QString &caption, const QString &icon);
    void placeControls();
    void startUp();
    bool passStartCheck();
    void applyAppearance();
    void showSkin();
    void reportSkinProblem(const QString &text, bool missing);
    void toggleAutoHide();
    void autoHideTick();
    void reminderTick();
    void buildReminders();
    void updateTray();

    void openDiary();
    void openSchedule();
    // A search hit in one of them opens the other.
    Tnote_pad *newDiary();
    Tjob_do *newPlanner();
    void openContacts();
    void openToolbox();
    void openSettings();
    void openBackup();
    void openSync();
    void openAbout();
    QString storeInUse() const;

    QWidget *m_panel = nullptr;
    QList<QToolButton *> m_buttons;
    QLabel *m_skin = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_clock = nullptr;
    QPushButton *m_reload = nullptr;
    QMenu *m_menu = nullptr;
    LauncherSync *m_sync = nullptr;
    QPointer<Tsync_config> m_syncConfig;
    QAction *m_autoHideAction = nullptr;
    QTimer *m_autoHideTimer = nullptr;
    QTimer *m_reminderTimer = nullptr;
    DesktopNotifier *m_notifier = nullptr;
    LauncherReminders *m_reminders = nullptr;
    LauncherTray *m_tray = nullptr;
    // Single-copy references of the windows the launcher opens.
    QPointer<Tnote_pad> m_notePad;
    QPointer<Tjob_do> m_jobDo;
    QPointer<Tpe_connect> m_contacts;
    QPointer<Ttools_box> m_toolsBox;
    QPointer<Tmain_config> m_config;
    QPointer<Tpass_login> m_passLogin;
    QPointer<Trecord_backup> m_backup;
    QPointer<Tabout_note> m_about;

    std::optional<QString> m_password; // none until the password window or the settings set one
    bool m_diaryNeedsPassword = false;
    bool m_scheduleNeedsPassword = false;
    Appearance m_appearance;
    QString m_shownSkin;        // the path whose picture is on the panel
    QString m_acknowledgedSkin; // a problem already reported for this path
    bool m_skinMessagePending = false;
    int m_savedLeft = 0;
    int m_savedTop = 0;
    bool m_started = false;
    bool m_ended = false;
    int m_exitCode = 0;
};
