#pragma once

#include "contacts/core/ResultList.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSqlDatabase>
#include <QStringList>

// The export list's cells: name, sex as "true"/"false", address and mobile
// of the personal record of each row of the result list. Rows are read a
// page at a time as the grid shows them, so a list of a hundred thousand
// contacts costs no more than the rows in sight.
class ResultRowsModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int kColumns = 4;

    ResultRowsModel(const QSqlDatabase &db, const ResultList &results, QObject *parent = nullptr);

    // The result list changed: every row is read again.
    void reload();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    const QList<QStringList> &pageOf(int row) const;

    QSqlDatabase m_db;
    const ResultList &m_results;
    int m_rows = 0;
    mutable QHash<int, QList<QStringList>> m_pages;
};
