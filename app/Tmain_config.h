#pragma once

#include "app/core/SettingsSave.h"
#include "platform/Autostart.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class LauncherHost;

// "设置": the skin, the default reminder time and how reminders come, hide
// after start, start at log-on and the password with its two flags. Nothing
// is saved before "确定".
class Tmain_config final : public QDialog
{
    Q_OBJECT

public:
    // The choices of "提醒方式", in the order of ReminderWay.
    static inline const QStringList kWayCaptions = {QStringLiteral("自动(有桌面通知时两种都用)"),
                                                    QStringLiteral("提示框"), QStringLiteral("桌面通知"),
                                                    QStringLiteral("提示框和桌面通知")};

    explicit Tmain_config(LauncherHost &launcher, QWidget *parent = nullptr, std::unique_ptr<Autostart> autostart = {});
    ~Tmain_config() override;

signals:
    // Emitted after every press of "确定", saved or not: main.ini may have
    // changed, so the launcher repaints.
    void settingsWritten();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QGroupBox *buildReminderGroup();
    QGroupBox *buildPasswordGroup();
    QGroupBox *buildSkinGroup();
    QGroupBox *buildOtherGroup();
    QGroupBox *buildPreview();
    QHBoxLayout *buildButtons();
    void readProfile();
    void updatePasswordBoxes();
    void chooseSkin();
    bool filterTimeKey(QKeyEvent *event);
    SettingsForm form() const;
    void save();

    LauncherHost &m_launcher;
    std::unique_ptr<Autostart> m_autostart;
    QLineEdit *m_time = nullptr;
    QComboBox *m_way = nullptr;
    QComboBox *m_snooze = nullptr;
    QLineEdit *m_password = nullptr;
    QCheckBox *m_diary = nullptr;
    QCheckBox *m_schedule = nullptr;
    QLineEdit *m_skinPath = nullptr;
    QPushButton *m_choose = nullptr;
    QCheckBox *m_useSkin = nullptr;
    QCheckBox *m_autostartBox = nullptr;
    QCheckBox *m_hide = nullptr;
    QLabel *m_preview = nullptr;
};
