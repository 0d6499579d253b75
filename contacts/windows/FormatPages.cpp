#include "contacts/windows/FormatPages.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

FormatPages::FormatPages(const QString &choiceName, QWidget *parent)
    : QWidget(parent)
    , m_choice(new QComboBox(this))
    , m_pages(new QStackedWidget(this))
{
    m_choice->setObjectName(choiceName);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(9, 6, 9, 0);
    auto *label = new QLabel(QStringLiteral("格式:"), this);
    label->setBuddy(m_choice);
    row->addWidget(label);
    row->addWidget(m_choice);
    row->addStretch(1);
    layout->addLayout(row);
    layout->addWidget(m_pages, 1);
    connect(m_choice, &QComboBox::currentIndexChanged, m_pages, &QStackedWidget::setCurrentIndex);
}

void FormatPages::addPage(const QString &format, QWidget *page)
{
    m_pages->addWidget(page);
    m_choice->addItem(format);
}
