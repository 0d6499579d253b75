#include "tools/windows/Tmim_tools.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

Tmim_tools::Tmim_tools(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Tmim_tools"));
    setWindowTitle(QStringLiteral("秒表功能"));

    m_onTop = new QCheckBox(QStringLiteral("置顶显示"), this);
    m_onTop->setObjectName(QStringLiteral("CheckBox1"));
    connect(m_onTop, &QCheckBox::toggled, this, &Tmim_tools::keepOnTop);

    m_startPause = new QPushButton(QStringLiteral("开始"), this);
    m_startPause->setObjectName(QStringLiteral("Button1"));
    connect(m_startPause, &QPushButton::clicked, this, &Tmim_tools::startOrPause);
    auto *resetButton = new QPushButton(QStringLiteral("重置"), this);
    resetButton->setObjectName(QStringLiteral("Button2"));
    connect(resetButton, &QPushButton::clicked, this, &Tmim_tools::reset);

    m_tick = new QTimer(this);
    m_tick->setObjectName(QStringLiteral("Timer1"));
    m_tick->setInterval(100);
    connect(m_tick, &QTimer::timeout, this, &Tmim_tools::showTime);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_startPause);
    buttons->addWidget(resetButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_onTop, 0, Qt::AlignLeft);
    layout->addWidget(buildDisplay());
    layout->addLayout(buttons);

    adjustSize();
    move(120, 120);
}

QFrame *Tmim_tools::buildDisplay()
{
    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Panel1"));
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    QFont font(QStringLiteral("Arial Black"));
    font.setPixelSize(40);
    font.setWeight(QFont::Black);
    auto *row = new QHBoxLayout(frame);
    const char *names[] = {"hourField", "minuteField", "secondField", "tenthField"};
    for (const char *name : names) {
        if (!m_fields.isEmpty()) {
            auto *colon = new QLabel(QStringLiteral(":"), frame);
            colon->setFont(font);
            row->addWidget(colon);
        }
        auto *field = new QLabel(QStringLiteral("00"), frame);
        field->setObjectName(QString::fromLatin1(name));
        field->setFont(font);
        field->setAlignment(Qt::AlignCenter);
        row->addWidget(field);
        m_fields << field;
    }
    return frame;
}

void Tmim_tools::startOrPause()
{
    if (!m_stopwatch.isRunning()) {
        m_stopwatch.start();
        m_tick->start();
        m_startPause->setText(QStringLiteral("暂停"));
        return;
    }
    m_stopwatch.pause();
    m_tick->stop();
    m_startPause->setText(QStringLiteral("开始"));
    // The time kept is the time shown, so a resume carries on from here.
    showTime();
}

void Tmim_tools::reset()
{
    m_stopwatch.reset();
    m_tick->stop();
    m_startPause->setText(QStringLiteral("开始"));
    showTime();
}

// Changing the window's stacking hides it; it comes straight back, and the
// time, which runs on the clock, goes on undisturbed.
void Tmim_tools::keepOnTop(bool on)
{
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (shown)
        show();
}

void Tmim_tools::showTime()
{
    const QStringList texts = Stopwatch::fields(m_stopwatch.elapsedMs());
    for (int i = 0; i < m_fields.size(); ++i)
        m_fields[i]->setText(texts[i]);
}
