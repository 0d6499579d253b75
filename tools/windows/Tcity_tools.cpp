#include "Tcity_tools.h"

#include "Dialogs.h"
#include "Placement.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

Tcity_tools::Tcity_tools(QSqlDatabase database, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_repository(std::move(database))
{
    setObjectName(QStringLiteral("Tcity_tools"));
    setWindowTitle(QStringLiteral("省市区归属划分"));

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    const std::tuple<const char *, const char *, RegionListModel *, QTableView **> lists[] = {
        {"省级", "DBGrid1", &m_provinces, &m_provinceList},
        {"市级", "DBGrid2", &m_cities, &m_cityList},
        {"区/县级", "DBGrid3", &m_areas, &m_areaList}};
    for (const auto &[caption, name, model, view] : lists) {
        auto *group = new QGroupBox(QString::fromUtf8(caption), splitter);
        *view = addList(QString::fromLatin1(name), model);
        (new QVBoxLayout(group))->addWidget(*view);
        splitter->addWidget(group);
    }
    splitter->setStretchFactor(2, 1);
    splitter->setSizes({180, 180, 280});
    (new QVBoxLayout(this))->addWidget(splitter);

    connect(m_provinceList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Tcity_tools::provinceChanged);
    connect(m_cityList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Tcity_tools::cityChanged);

    resize(640, 420);
    Placement::centreOnScreen(this);
}

QTableView *Tcity_tools::addList(const QString &name, RegionListModel *model)
{
    auto *list = new QTableView(this);
    list->setObjectName(name);
    list->setModel(model);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->horizontalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->setShowGrid(true);
    // The current row stays marked while another list has the focus.
    QPalette palette = list->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    list->setPalette(palette);
    return list;
}

// The tables are read when the window is first shown, province first.
void Tcity_tools::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    fill(m_provinceList, &m_provinces, m_repository.provinces());
}

// Refills a list; its first row becomes current, which refills its detail.
void Tcity_tools::fill(QTableView *list, RegionListModel *model, const RegionRepository::Rows &rows)
{
    if (!rows.error.isEmpty())
        Dialogs::error(this, rows.error);
    model->setRegions(rows.regions);
    if (model->rowCount() > 0)
        list->setCurrentIndex(model->index(0, 0));
    else if (list == m_provinceList)
        provinceChanged({});
    else if (list == m_cityList)
        cityChanged({});
}

void Tcity_tools::provinceChanged(const QModelIndex &current)
{
    if (!current.isValid()) {
        fill(m_cityList, &m_cities, {});
        return;
    }
    fill(m_cityList, &m_cities, m_repository.citiesOf(m_provinces.keyAt(current.row())));
}

void Tcity_tools::cityChanged(const QModelIndex &current)
{
    if (!current.isValid()) {
        fill(m_areaList, &m_areas, {});
        return;
    }
    fill(m_areaList, &m_areas, m_repository.areasOf(m_cities.keyAt(current.row())));
}
