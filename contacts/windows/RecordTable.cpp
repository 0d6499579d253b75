#include "contacts/windows/RecordTable.h"

#include "contacts/windows/RecordGrid.h"

#include <QItemSelectionModel>
#include <QVBoxLayout>

namespace {

const QString kHeldHint = QStringLiteral("正在修改或新建本记录,保存或撤消后才能显示其他记录");

} // namespace

RecordTable::RecordTable(const QString &prefix, const QString &hint, const QList<int> &columnWidths, Memo memo,
                         QWidget *parent)
    : QGroupBox(QStringLiteral("多项记录表"), parent)
    , m_grid(new RecordGrid(columnWidths, this))
    , m_memo(memo)
    , m_hint(hint)
{
    setObjectName(prefix + QStringLiteral("GridBox"));
    m_grid->setObjectName(prefix + QStringLiteral("Grid"));
    m_grid->setToolTip(hint);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);

    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { currentMoved(current.row()); });
    // A double-click shows the row again, dropping what was typed over it in view.
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (!m_held)
            emit rowChosen(index.row());
    });
    connect(m_grid, &RecordGrid::refreshRequested, this, &RecordTable::refreshRequested);
    connect(m_grid, &RecordGrid::deleteRequested, this, &RecordTable::deleteRequested);
}

void RecordTable::fill(const QList<qint64> &rowids, QList<QStringList> cells)
{
    m_choice.open(rowids);
    const bool several = cells.size() >= 2;
    m_quiet = true;
    m_grid->setRows(std::move(cells));
    m_quiet = false;
    followShown();
    setVisible(several);
    if (!m_memo.box)
        return;
    const int height = several ? m_memo.withList : m_memo.alone;
    if (height > 0) {
        m_memo.box->setFixedHeight(height);
    } else {
        m_memo.box->setMinimumHeight(0);
        m_memo.box->setMaximumHeight(QWIDGETSIZE_MAX);
    }
}

int RecordTable::shownRow() const
{
    return m_choice.shownRow();
}

void RecordTable::setShownRow(int row)
{
    m_choice.show(row);
    followShown();
}

void RecordTable::setHeld(bool held)
{
    m_held = held;
    // A held grid takes no clicks, keys or menu: nothing can move it.
    m_grid->setEnabled(!held);
    m_grid->setToolTip(held ? kHeldHint : m_hint);
}

void RecordTable::currentMoved(int row)
{
    if (m_quiet || row < 0 || row == shownRow())
        return;
    if (m_held) {
        followShown();
        return;
    }
    emit rowChosen(row);
    // Whatever the tab did, the grid points at the row the form shows.
    if (shownRow() != row)
        followShown();
}

void RecordTable::followShown()
{
    m_quiet = true;
    m_grid->setCurrentRow(shownRow());
    m_quiet = false;
}
