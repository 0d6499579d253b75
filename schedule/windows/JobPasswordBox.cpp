#include "schedule/windows/JobPasswordBox.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

void useRedText(QWidget *widget, int pixels)
{
    QFont font = widget->font();
    font.setPixelSize(pixels);
    widget->setFont(font);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    palette.setColor(QPalette::Text, Qt::red);
    widget->setPalette(palette);
}

} // namespace

JobPasswordBox::JobPasswordBox(QWidget *parent)
    : QGroupBox(QStringLiteral("密码区"), parent)
{
    setObjectName(QStringLiteral("pass_box"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0x40, 0x40, 0x40));
    palette.setColor(QPalette::WindowText, Qt::red);
    setPalette(palette);

    auto *prompt = new QLabel(QStringLiteral("本记录属加密内容,请输入密码访问"), this);
    prompt->setObjectName(QStringLiteral("Label5"));
    useRedText(prompt, 27);
    m_entry = new QLineEdit(this);
    m_entry->setObjectName(QStringLiteral("Edit3"));
    useRedText(m_entry, 27);
    auto *accept = new QPushButton(QStringLiteral("确定"), this);
    accept->setObjectName(QStringLiteral("Button1"));
    auto *dismiss = new QPushButton(QStringLiteral("取消"), this);
    dismiss->setObjectName(QStringLiteral("Button2"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(prompt, 0, 0, 1, 2);
    layout->addWidget(m_entry, 1, 0, 1, 2);
    layout->addWidget(accept, 2, 0);
    layout->addWidget(dismiss, 2, 1);

    connect(accept, &QPushButton::clicked, this, [this] { emit entered(m_entry->text()); });
    connect(m_entry, &QLineEdit::returnPressed, this, [this] { emit entered(m_entry->text()); });
    connect(dismiss, &QPushButton::clicked, this, &JobPasswordBox::cancelled);
    // The area follows the lists when the window is resized under it.
    if (parent)
        parent->installEventFilter(this);
    hide();
}

void JobPasswordBox::ask()
{
    m_entry->clear();
    place();
    show();
    raise();
    m_entry->setFocus();
}

// Over the middle of the lists it covers, never smaller than its text needs.
void JobPasswordBox::place()
{
    const QWidget *lists = parentWidget();
    if (!lists)
        return;
    const QSize least = minimumSizeHint().expandedTo(sizeHint());
    const QSize size(std::max(least.width(), std::min(lists->width() - 20, 480)), std::max(least.height(), 150));
    setGeometry(QRect(QPoint(0, 0), size)
                    .translated((lists->width() - size.width()) / 2, (lists->height() - size.height()) / 2));
}

bool JobPasswordBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        place();
    return QGroupBox::eventFilter(watched, event);
}
