#include "app/Tpass_login.h"

#include "app/core/LauncherHost.h"
#include "platform/ui/Dialogs.h"
#include "store/Store.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kWrong = QStringLiteral("1.密码输入错误,请检查后重新输入(3次错误后,程序自动关闭).....");
const QString kBroken =
    QStringLiteral("2.程序发生严重错误,请与本软件开发公司 Velmora计算机技术有限公司联系.....程序即将关闭.....");

} // namespace

Tpass_login::Tpass_login(LauncherHost &launcher, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_launcher(launcher)
    , m_login(launcher.database())
{
    setObjectName(QStringLiteral("Tpass_login"));
    setWindowTitle(QStringLiteral("登陆密码"));
    setModal(true);

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("GroupBox1"));
    frame->setFrameShape(QFrame::StyledPanel);
    m_entry = new QLineEdit(frame);
    m_entry->setObjectName(QStringLiteral("Edit1"));
    QFont font = m_entry->font();
    font.setPixelSize(27);
    m_entry->setFont(font);
    // 33 pixels high on a small font; as high as this font's line needs here.
    m_entry->setFixedSize(369, std::max(33, m_entry->sizeHint().height()));
    QPalette palette = m_entry->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, QColor(0x00, 0xff, 0x00)); // lime
    m_entry->setPalette(palette);
    auto *frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(m_entry);

    auto *rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("Bevel1"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    m_ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    cancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(rule);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_entry, &QLineEdit::textChanged, this, &Tpass_login::updateConfirm);
    connect(m_ok, &QPushButton::clicked, this, &Tpass_login::confirm);
    connect(cancel, &QPushButton::clicked, this, [this] { endProgram(0); });
    updateConfirm();
}

void Tpass_login::showEvent(QShowEvent *event)
{
    m_entry->clear();
    m_entry->setFocus();
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void Tpass_login::updateConfirm()
{
    m_ok->setEnabled(!m_entry->text().trimmed().isEmpty());
}

void Tpass_login::confirm()
{
    const QString entry = m_entry->text();
    switch (m_login.press(entry)) {
    case PasswordLogin::Outcome::Right:
        m_launcher.setCurrentPassword(entry);
        m_launcher.setNeedsPassword(m_login.row().diaryNeedsPassword, m_login.row().scheduleNeedsPassword);
        m_mayClose = true;
        accept();
        return;
    case PasswordLogin::Outcome::Wrong:
        Dialogs::information(this, kWrong);
        break;
    case PasswordLogin::Outcome::StoreError:
        // A password row that cannot be read is damage, as at the start checks.
        Dialogs::informationYes(this, damagedStoreMessage(m_login.error()));
        endProgram(1);
        return;
    case PasswordLogin::Outcome::Unreadable:
        Dialogs::information(this, kBroken);
        endProgram(1);
        return;
    case PasswordLogin::Outcome::End:
        endProgram(0);
        return;
    }
    m_entry->selectAll();
    m_entry->setFocus();
}

QString Tpass_login::damagedStoreMessage(const QString &detail)
{
    return Store::message({Store::Status::Damaged, {}}) + u'\n' + detail;
}

void Tpass_login::endProgram(int exitCode)
{
    m_mayClose = true;
    emit endRequested(exitCode);
    reject();
}

// Only "确定" and "取消" close the window: a close from the window manager
// would otherwise let start-up go on without the password.
void Tpass_login::closeEvent(QCloseEvent *event)
{
    if (m_mayClose)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void Tpass_login::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
