#include "schedule/core/JobListModel.h"

#include "schedule/core/JobCells.h"

JobListModel::JobListModel(Layout layout, QObject *parent)
    : QAbstractTableModel(parent)
    , m_layout(layout)
{
}

void JobListModel::setJobs(const QList<JobRecord> &jobs)
{
    beginResetModel();
    m_jobs = jobs;
    endResetModel();
}

int JobListModel::rowOf(qint64 rowid) const
{
    for (int i = 0; i < m_jobs.size(); ++i) {
        if (m_jobs.at(i).rowid == rowid)
            return i;
    }
    return -1;
}

int JobListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_jobs.size());
}

int JobListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns().size());
}

QList<JobListModel::Column> JobListModel::columns() const
{
    if (m_layout == Layout::DayList)
        return {Column::Memo, Column::Day, Column::Reminder};
    return {Column::Memo, Column::Reminder};
}

QList<int> JobListModel::columnWidths() const
{
    if (m_layout == Layout::DayList)
        return {200, 100, 150};
    return {200, 55};
}

QString JobListModel::cell(const JobRecord &job, Column column) const
{
    switch (column) {
    case Column::Memo:
        return m_layout == Layout::DayList ? JobCells::dayListMemo(job.memo) : JobCells::panelMemo(job.memo);
    case Column::Day:
        return JobCells::day(job.dateId);
    case Column::Reminder:
        return JobCells::reminder(job.reminder, job.dateId);
    }
    return {};
}

QVariant JobListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_jobs.size())
        return {};
    return cell(m_jobs.at(index.row()), columns().at(index.column()));
}

QVariant JobListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (columns().value(section)) {
    case Column::Memo:
        return QStringLiteral("工作内容简介...");
    case Column::Day:
        return QStringLiteral("安排日期");
    case Column::Reminder:
        return QStringLiteral("是否提醒");
    }
    return {};
}
