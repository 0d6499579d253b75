#pragma once

#include "schedule/core/JobRecord.h"

#include <QAbstractListModel>
#include <QList>

// A job's completion entries, one row each, showing the entry's day.
class JobEntryListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void setEntries(const QList<JobEntry> &entries);
    // A new entry joins the end of the list.
    void append(const JobEntry &entry);
    const JobEntry &entry(int row) const { return m_entries.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<JobEntry> m_entries;
};
