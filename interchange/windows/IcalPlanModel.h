#pragma once

#include "interchange/core/IcalPlan.h"

#include <QAbstractTableModel>

// The jobs and notes of a file as the preview lists them: where each begins
// in the file, whether it is a job or a note, what the import does with it,
// its day, reminder, completion and text, and what the user should know;
// after the import, what it did.
class IcalPlanModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Line, Kind, Action, Day, Reminder, Done, Text, Remark, ColumnCount };

    explicit IcalPlanModel(QObject *parent = nullptr);
    // Shows `plans`; the model keeps no copy, so the caller refreshes it
    // after they change.
    void show(const QList<IcalPlan> *plans);
    void refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static QString cell(const IcalPlan &plan, int column);

private:
    const QList<IcalPlan> *m_plans = nullptr;
};
