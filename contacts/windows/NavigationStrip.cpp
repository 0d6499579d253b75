#include "contacts/windows/NavigationStrip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

NavigationStrip::NavigationStrip(QWidget *parent)
    : QFrame(parent)
    , m_count(new QLabel(this))
    , m_position(new QLabel(this))
{
    setObjectName(QStringLiteral("navStrip"));
    setAutoFillBackground(true);
    QPalette yellow = palette();
    yellow.setColor(QPalette::Window, Qt::yellow);
    setPalette(yellow);
    m_count->setObjectName(QStringLiteral("countLabel"));
    m_position->setObjectName(QStringLiteral("positionLabel"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 2);
    layout->addWidget(m_count);
    layout->addWidget(m_position);
    layout->addStretch();
    const struct
    {
        const char *name;
        QString caption;
        void (NavigationStrip::*signal)();
    } moves[] = {
        {"firstButton", QStringLiteral("首个"), &NavigationStrip::firstRequested},
        {"previousButton", QStringLiteral("前一条"), &NavigationStrip::previousRequested},
        {"nextButton", QStringLiteral("后一条"), &NavigationStrip::nextRequested},
        {"lastButton", QStringLiteral("未尾"), &NavigationStrip::lastRequested},
    };
    for (const auto &move : moves) {
        auto *button = new QPushButton(move.caption, this);
        button->setObjectName(QLatin1String(move.name));
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, move.signal);
    }
    setCount(0);
    setPosition(0);
}

int NavigationStrip::bandHeight() const
{
    return std::max(kHeight, sizeHint().height());
}

void NavigationStrip::setCount(int count)
{
    m_count->setText(QStringLiteral("记录数:%1").arg(count));
}

void NavigationStrip::setPosition(int position)
{
    m_position->setText(QStringLiteral("当前记录:%1").arg(position));
}
