#include "app/Tmain_config.h"

#include "app/core/Appearance.h"
#include "app/core/LauncherHost.h"
#include "app/core/ReminderTimeKey.h"
#include "platform/AppPaths.h"
#include "platform/Autostart.h"
#include "platform/ProfileFile.h"
#include "platform/ui/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The size the window has on a small font; larger text makes it larger.
constexpr QSize kSmallFontSize(656, 307);

QGroupBox *addGroup(QWidget *parent, const QString &name, const QString &title)
{
    auto *group = new QGroupBox(title, parent);
    group->setObjectName(name);
    return group;
}

template <typename Widget> Widget *add(QWidget *parent, const QString &name, const QString &text = {})
{
    auto *widget = new Widget(parent);
    widget->setObjectName(name);
    if constexpr (!std::is_same_v<Widget, QLineEdit> && !std::is_same_v<Widget, QComboBox>) {
        if (!text.isEmpty())
            widget->setText(text);
    }
    return widget;
}

// A field at least `pixels` wide, wider when `sample` needs it.
void setFieldWidth(QLineEdit *field, int pixels, const QString &sample = {})
{
    const int needed = field->fontMetrics().horizontalAdvance(sample) + 16;
    field->setMinimumWidth(std::max(pixels, needed));
}

} // namespace

// Three columns as on the small font: the reminder time over the password on
// the left, the skin over the other settings in the middle, the preview on
// the right, and the two buttons below. Groups and fields take the room
// their captions need on this desktop's font.
Tmain_config::Tmain_config(LauncherHost &launcher, QWidget *parent, std::unique_ptr<Autostart> autostart)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_launcher(launcher)
    , m_autostart(autostart ? std::move(autostart) : Autostart::create())
{
    setObjectName(QStringLiteral("Tmain_config"));
    setWindowTitle(QStringLiteral("设置"));

    auto *left = new QVBoxLayout;
    left->addWidget(buildReminderGroup());
    left->addWidget(buildPasswordGroup());
    left->addStretch();
    auto *middle = new QVBoxLayout;
    middle->addWidget(buildSkinGroup());
    middle->addWidget(buildOtherGroup());
    middle->addStretch();
    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(middle);
    columns->addWidget(buildPreview());

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buildButtons());
    setFixedSize(layout->totalSizeHint().expandedTo(kSmallFontSize));

    readProfile();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

Tmain_config::~Tmain_config() = default;

QGroupBox *Tmain_config::buildReminderGroup()
{
    auto *group = addGroup(this, QStringLiteral("GroupBox1"), QStringLiteral(" 日程安排提醒时间设置  "));
    m_time = add<QLineEdit>(group, QStringLiteral("Edit1"));
    m_time->setMaxLength(5);
    setFieldWidth(m_time, 80, QStringLiteral("00:00"));
    m_time->setFixedWidth(m_time->minimumWidth());
    m_time->installEventFilter(this);
    m_way = add<QComboBox>(group, QStringLiteral("alterWay"));
    m_way->addItems(kWayCaptions);
    m_snooze = add<QComboBox>(group, QStringLiteral("alterLater"));
    for (int minutes : Appearance::kSnoozeChoices)
        m_snooze->addItem(QStringLiteral("%1分钟").arg(minutes), minutes);
    auto *layout = new QGridLayout(group);
    layout->addWidget(m_time, 0, 0, 1, 2, Qt::AlignLeft);
    layout->addWidget(add<QLabel>(group, QStringLiteral("alterWayLabel"), QStringLiteral("提醒方式:")), 1, 0);
    layout->addWidget(m_way, 1, 1);
    layout->addWidget(add<QLabel>(group, QStringLiteral("alterLaterLabel"), QStringLiteral("稍后提醒:")), 2, 0);
    layout->addWidget(m_snooze, 2, 1);
    return group;
}

QGroupBox *Tmain_config::buildPasswordGroup()
{
    auto *group = addGroup(this, QStringLiteral("GroupBox2"), QStringLiteral(" 登陆密码设置  "));
    m_password = add<QLineEdit>(group, QStringLiteral("Edit2"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // "*"
    setFieldWidth(m_password, 220);
    m_diary = add<QCheckBox>(group, QStringLiteral("CheckBox1"), QStringLiteral("打开记事本需要密码"));
    m_schedule = add<QCheckBox>(group, QStringLiteral("CheckBox2"), QStringLiteral("打开日程表需要密码"));
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(m_password);
    layout->addWidget(m_diary);
    layout->addWidget(m_schedule);
    connect(m_password, &QLineEdit::textChanged, this, &Tmain_config::updatePasswordBoxes);
    return group;
}

QGroupBox *Tmain_config::buildSkinGroup()
{
    auto *group = addGroup(this, QStringLiteral("GroupBox3"), QStringLiteral(" 工具皮肤图案  "));
    auto *label = add<QLabel>(group, QStringLiteral("Label1"), QStringLiteral("皮肤文件位置:"));
    m_skinPath = add<QLineEdit>(group, QStringLiteral("Edit3"));
    setFieldWidth(m_skinPath, 190);
    m_choose = add<QPushButton>(group, QStringLiteral("BitBtn3"), QStringLiteral("选择"));
    m_choose->setAutoDefault(false);
    m_useSkin = add<QCheckBox>(group, QStringLiteral("CheckBox3"), QStringLiteral("使用皮肤"));
    auto *layout = new QGridLayout(group);
    layout->addWidget(label, 0, 0, 1, 2);
    layout->addWidget(m_skinPath, 1, 0);
    layout->addWidget(m_choose, 1, 1);
    layout->addWidget(m_useSkin, 2, 0, 1, 2);
    connect(m_useSkin, &QCheckBox::toggled, m_choose, &QWidget::setEnabled);
    connect(m_choose, &QPushButton::clicked, this, &Tmain_config::chooseSkin);
    return group;
}

QGroupBox *Tmain_config::buildOtherGroup()
{
    auto *group = addGroup(this, QStringLiteral("GroupBox4"), QStringLiteral(" 其它设置  "));
    m_autostartBox = add<QCheckBox>(group, QStringLiteral("CheckBox4"), QStringLiteral("Window 启动自动运行"));
    m_hide = add<QCheckBox>(group, QStringLiteral("CheckBox5"), QStringLiteral("程序运行后自动隐藏"));
    auto *layout = new QHBoxLayout(group);
    layout->addWidget(m_autostartBox);
    layout->addWidget(m_hide);
    return group;
}

QGroupBox *Tmain_config::buildPreview()
{
    auto *frame = addGroup(this, QStringLiteral("GroupBox5"), QString());
    auto *label = add<QLabel>(frame, QStringLiteral("Label2"), QStringLiteral("皮肤"));
    m_preview = add<QLabel>(frame, QStringLiteral("Image1"));
    m_preview->setFixedSize(73, 209);
    m_preview->setScaledContents(true);
    auto *layout = new QVBoxLayout(frame);
    layout->addWidget(label);
    layout->addWidget(m_preview);
    layout->addStretch();
    return frame;
}

QHBoxLayout *Tmain_config::buildButtons()
{
    auto *ok = add<QPushButton>(this, QStringLiteral("BitBtn1"), QStringLiteral("确定"));
    auto *close = add<QPushButton>(this, QStringLiteral("BitBtn2"), QStringLiteral("关闭"));
    // Enter in a field neither saves nor closes.
    ok->setAutoDefault(false);
    close->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &Tmain_config::save);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(close);
    return row;
}

void Tmain_config::readProfile()
{
    const Appearance appearance = Appearance::read(ProfileFile(AppPaths::profileFile()));
    m_skinPath->setText(appearance.skin);
    m_useSkin->setChecked(appearance.usesSkin());
    m_time->setText(appearance.reminderTime);
    m_way->setCurrentIndex(int(appearance.reminderWay));
    m_snooze->setCurrentIndex(m_snooze->findData(appearance.snoozeMinutes));
    m_hide->setChecked(ProfileFile(AppPaths::profileFile())
                           .read(ProfileKeys::kSystemSection, ProfileKeys::kHideKey, QStringLiteral("0"))
                       != u"0");
}

void Tmain_config::showEvent(QShowEvent *event)
{
    m_password->setText(m_launcher.currentPassword().value_or(QString()));
    m_diary->setChecked(m_launcher.diaryNeedsPassword());
    m_schedule->setChecked(m_launcher.scheduleNeedsPassword());
    updatePasswordBoxes();
    m_autostartBox->setChecked(m_autostart->isEnabled());
    m_choose->setEnabled(m_useSkin->isChecked());
    QDialog::showEvent(event);
}

void Tmain_config::updatePasswordBoxes()
{
    const bool any = !m_password->text().trimmed().isEmpty();
    m_diary->setEnabled(any);
    m_schedule->setEnabled(any);
}

void Tmain_config::chooseSkin()
{
    const QString path =
        Dialogs::openFileName(this, QStringLiteral("皮肤文件"), QStringLiteral("皮肤文件(*.bmp;*.jpg) (*.bmp *.jpg)"));
    if (path.isEmpty())
        return;
    m_skinPath->setText(path);
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) {
        m_preview->clear();
        Dialogs::error(this, reader.errorString());
        return;
    }
    m_preview->setPixmap(QPixmap::fromImage(image));
}

bool Tmain_config::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_time && event->type() == QEvent::KeyPress)
        return filterTimeKey(static_cast<QKeyEvent *>(event));
    return QDialog::eventFilter(watched, event);
}

// True when the key has been dealt with here; false lets the field handle it.
bool Tmain_config::filterTimeKey(QKeyEvent *event)
{
    QChar key;
    if (event->key() == Qt::Key_Backspace)
        key = ReminderTimeKey::kBackspace;
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        key = ReminderTimeKey::kEnter;
    else if (event->text().isEmpty() || event->key() == Qt::Key_Delete || event->key() == Qt::Key_Tab
             || event->key() == Qt::Key_Backtab || event->key() == Qt::Key_Escape)
        return false; // moving, deleting and leaving the field type nothing
    else
        key = event->text().front();

    const ReminderTimeKey::Filtered result = ReminderTimeKey::filter(m_time->text(), key);
    if (result.text != m_time->text())
        m_time->setText(result.text);
    if (result.key.isNull())
        return true;
    if (result.key == key && (key == ReminderTimeKey::kBackspace || key == ReminderTimeKey::kEnter))
        return false;
    m_time->insert(QString(result.key));
    return true;
}

SettingsForm Tmain_config::form() const
{
    SettingsForm form;
    form.skinPath = m_skinPath->text();
    form.useSkin = m_useSkin->isChecked();
    form.hideAfterStart = m_hide->isChecked();
    form.autostart = m_autostartBox->isChecked();
    form.reminderTime = m_time->text();
    form.reminderWay = static_cast<ReminderWay>(m_way->currentIndex());
    form.snoozeMinutes = m_snooze->currentData().toInt();
    form.password = m_password->text();
    form.diaryNeedsPassword = m_diary->isChecked();
    form.scheduleNeedsPassword = m_schedule->isChecked();
    return form;
}

void Tmain_config::save()
{
    // Checked first, so that nothing is saved and the typed time stays to be mended.
    if (!SettingsSave::isReminderTime(m_time->text())) {
        Dialogs::information(this, SettingsSave::kBadReminderTime);
        m_time->setFocus();
        m_time->selectAll();
        return;
    }
    const Result<void> saved = SettingsSave::run(form(), ProfileFile(AppPaths::profileFile()), *m_autostart,
                                                 m_launcher.database(), m_launcher);
    if (saved)
        close();
    else
        Dialogs::error(this, saved.error());
    emit settingsWritten();
}

// Esc does not close the settings; "关闭" and the close button do.
void Tmain_config::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
