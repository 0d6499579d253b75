#include "schedule/windows/Tmissed_reminders.h"

#include "schedule/core/ScheduleFormats.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

Tmissed_reminders::Tmissed_reminders(Opener opener, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_open(std::move(opener))
{
    setObjectName(QStringLiteral("Tmissed_reminders"));
    setWindowTitle(QStringLiteral("错过的提醒"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *note = new QLabel(QStringLiteral("以下日程的提醒时间已过,当时没有提醒:"), this);
    note->setObjectName(QStringLiteral("missedNote"));
    m_list = new QTableWidget(0, int(kHeaders.size()), this);
    m_list->setObjectName(QStringLiteral("missedList"));
    m_list->setHorizontalHeaderLabels(kHeaders);
    m_list->verticalHeader()->hide();
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->horizontalHeader()->setStretchLastSection(false);

    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("closeMissed"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
}

void Tmissed_reminders::add(const QList<ReminderWatch::Reminder> &missed)
{
    for (const ReminderWatch::Reminder &reminder : missed)
        addRow(reminder);
    fitToRows();
}

int Tmissed_reminders::count() const
{
    return m_list->rowCount();
}

void Tmissed_reminders::addRow(const ReminderWatch::Reminder &reminder)
{
    const int row = m_list->rowCount();
    m_list->insertRow(row);
    m_list->setItem(row, 0, new QTableWidgetItem(ScheduleFormats::shortDate(reminder.due.date())));
    m_list->setItem(row, 1, new QTableWidgetItem(ScheduleFormats::minute(reminder.due.time())));
    m_list->setItem(row, 2, new QTableWidgetItem(reminder.text));
    auto *open = new QPushButton(kOpen, m_list);
    open->setObjectName(QStringLiteral("openMissed%1").arg(row));
    connect(open, &QPushButton::clicked, this,
            [this, day = reminder.due.date(), rowid = reminder.jobRowid] { m_open(day, rowid); });
    m_list->setCellWidget(row, 3, open);
}

// As wide as the rows need, as high as ten rows, and never past the screen.
void Tmissed_reminders::fitToRows()
{
    m_list->resizeColumnsToContents();
    m_list->resizeRowsToContents();
    int width = m_list->frameWidth() * 2 + m_list->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < m_list->columnCount(); ++column)
        width += m_list->columnWidth(column);
    const int rows = std::min(m_list->rowCount(), 10);
    const int height = m_list->horizontalHeader()->height() + m_list->frameWidth() * 2
                       + rows * m_list->verticalHeader()->defaultSectionSize() + 4;
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                          : QRect(0, 0, 1024, 768);
    m_list->setMinimumSize(std::min(width, screen.width() - 80), std::min(height, screen.height() - 160));
    adjustSize();
}
