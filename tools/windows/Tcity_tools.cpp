#include "tools/windows/Tcity_tools.h"

#include "platform/ui/Dialogs.h"
#include "tools/windows/Placement.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The longest names in the supplied region data: a province of 8 Chinese
// characters, a city of 11 and a district of 15.
constexpr int kNameLengths[] = {8, 11, 15};

// Room for a name of `characters` Chinese characters beside the row
// numbers and the scroll bar of `list`, inside its group.
int groupWidth(const QTableView *list, int characters)
{
    const QStyle *style = list->style();
    const QFontMetrics metrics(list->font());
    const int cellMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    const int headerMargin = style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, list);
    const QMargins group = list->parentWidget()->layout()->contentsMargins();
    return characters * metrics.horizontalAdvance(u'中') + 2 * cellMargin
           + metrics.horizontalAdvance(QStringLiteral("999")) + 2 * headerMargin
           + style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list) + 2 * list->frameWidth() + group.left()
           + group.right() + 2;
}

} // namespace

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
    // Each list starts wide enough for the longest names it holds.
    QList<int> widths;
    const QTableView *views[] = {m_provinceList, m_cityList, m_areaList};
    for (int i = 0; i < 3; ++i)
        widths << groupWidth(views[i], kNameLengths[i]);
    splitter->setSizes(widths);
    (new QVBoxLayout(this))->addWidget(splitter);

    connect(m_provinceList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Tcity_tools::provinceChanged);
    connect(m_cityList->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &Tcity_tools::cityChanged);

    const QMargins margins = layout()->contentsMargins();
    resize(std::max(640,
                    widths[0] + widths[1] + widths[2] + 2 * splitter->handleWidth() + margins.left() + margins.right()),
           420);
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
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
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
void Tcity_tools::fill(QTableView *list, RegionListModel *model, const Result<RegionRepository::Rows> &rows)
{
    if (!rows)
        Dialogs::error(this, rows.error());
    model->setRegions(rows.valueOr({}));
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
        fill(m_cityList, &m_cities, RegionRepository::Rows());
        return;
    }
    fill(m_cityList, &m_cities, m_repository.citiesOf(m_provinces.keyAt(current.row())));
}

void Tcity_tools::cityChanged(const QModelIndex &current)
{
    if (!current.isValid()) {
        fill(m_areaList, &m_areas, RegionRepository::Rows());
        return;
    }
    fill(m_areaList, &m_areas, m_repository.areasOf(m_cities.keyAt(current.row())));
}
