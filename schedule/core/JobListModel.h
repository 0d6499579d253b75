#pragma once

#include "schedule/core/JobRecord.h"

#include <QAbstractTableModel>
#include <QList>

// Jobs as the planner's lists show them: the day list (memo, day, reminder)
// or the confirmation panel (memo, reminder). Cell texts are made when a view
// asks for them, so a long month list costs only the rows on screen.
class JobListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum class Layout { DayList, Panel };

    explicit JobListModel(Layout layout, QObject *parent = nullptr);

    void setJobs(const QList<JobRecord> &jobs);
    const JobRecord &job(int row) const { return m_jobs.at(row); }
    // The row holding `rowid`, or -1.
    int rowOf(qint64 rowid) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Column widths in pixels, in column order.
    QList<int> columnWidths() const;

private:
    enum class Column { Memo, Day, Reminder };

    QList<Column> columns() const;
    QString cell(const JobRecord &job, Column column) const;

    Layout m_layout;
    QList<JobRecord> m_jobs;
};
