#pragma once

#include "interchange/core/VCardImport.h"

#include <QAbstractTableModel>

// The cards of a file as the preview lists them: place, name, what the
// import does with the card, and why (an error, values too long for their
// column, notes); after the import, what it did.
class CardPlanModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Number, Name, Action, Remark, ColumnCount };

    explicit CardPlanModel(QObject *parent = nullptr);
    // Shows `plans`; the model keeps no copy, so the caller refreshes it
    // after they change.
    void show(const QList<CardPlan> *plans);
    void refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static QString action(const CardPlan &plan);
    static QString remark(const CardPlan &plan);

private:
    const QList<CardPlan> *m_plans = nullptr;
};
