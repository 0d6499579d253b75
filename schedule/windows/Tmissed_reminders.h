#pragma once

#include "schedule/core/ReminderWatch.h"

#include <QDialog>

#include <functional>

class QTableWidget;

// "错过的提醒": the reminders that fell due while the program was closed, the
// machine slept or the clock jumped, each with a button that opens the
// planner on its day with the job selected. Later misses are added to an
// open window instead of opening another.
class Tmissed_reminders final : public QDialog
{
    Q_OBJECT

public:
    using Opener = std::function<void(const QDate &day, qint64 jobRowid)>;

    static inline const QStringList kHeaders = {QStringLiteral("日期"), QStringLiteral("时间"),
                                                QStringLiteral("工作安排"), QString()};
    static inline const QString kOpen = QStringLiteral("打开");

    explicit Tmissed_reminders(Opener opener, QWidget *parent = nullptr);

    void add(const QList<ReminderWatch::Reminder> &missed);
    int count() const;

private:
    void addRow(const ReminderWatch::Reminder &reminder);
    void fitToRows();

    Opener m_open;
    QTableWidget *m_list = nullptr;
};
