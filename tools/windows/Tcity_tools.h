#pragma once

#include "tools/core/RegionListModel.h"
#include "tools/core/RegionRepository.h"

#include <QWidget>

class QTableView;

// The region lookup: provinces, their cities and the cities' districts as
// three linked read-only lists. Each list is read when its master row
// becomes current, and the first row of each refill becomes current in turn.
class Tcity_tools final : public QWidget
{
    Q_OBJECT

public:
    explicit Tcity_tools(QSqlDatabase database, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QTableView *addList(const QString &name, RegionListModel *model);
    void fill(QTableView *list, RegionListModel *model, const Result<RegionRepository::Rows> &rows);
    void provinceChanged(const QModelIndex &current);
    void cityChanged(const QModelIndex &current);

    RegionRepository m_repository;
    RegionListModel m_provinces;
    RegionListModel m_cities;
    RegionListModel m_areas;
    QTableView *m_provinceList = nullptr;
    QTableView *m_cityList = nullptr;
    QTableView *m_areaList = nullptr;
    bool m_opened = false;
};
