#include "interchange/windows/CardPlanModel.h"

#include <QBrush>

CardPlanModel::CardPlanModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void CardPlanModel::show(const QList<CardPlan> *plans)
{
    beginResetModel();
    m_plans = plans;
    endResetModel();
}

void CardPlanModel::refresh()
{
    beginResetModel();
    endResetModel();
}

int CardPlanModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_plans ? 0 : int(m_plans->size());
}

int CardPlanModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString CardPlanModel::action(const CardPlan &plan)
{
    switch (plan.outcome) {
    case CardPlan::Outcome::Added:
        return QStringLiteral("已新建");
    case CardPlan::Outcome::Updated:
        return QStringLiteral("已更新");
    case CardPlan::Outcome::Skipped:
        return QStringLiteral("没有导入");
    case CardPlan::Outcome::Failed:
        return QStringLiteral("导入失败");
    case CardPlan::Outcome::Pending:
        break;
    }
    switch (plan.kind) {
    case CardPlan::Kind::New:
        return QStringLiteral("新建");
    case CardPlan::Kind::Update:
        return QStringLiteral("更新“%1”").arg(plan.existingName);
    case CardPlan::Kind::Record:
        return QStringLiteral("“%1”的另一条个人记录").arg(plan.existingName);
    case CardPlan::Kind::Refused:
        break;
    }
    return QStringLiteral("不能导入");
}

QString CardPlanModel::remark(const CardPlan &plan)
{
    QStringList parts;
    if (!plan.why.isEmpty())
        parts << plan.why;
    else if (!plan.error.isEmpty())
        parts << plan.error;
    if (plan.kind != CardPlan::Kind::Refused && !plan.tooLong.isEmpty())
        parts << QStringLiteral("值太长: ") + plan.tooLong.join(QStringLiteral("; "));
    parts += plan.notes;
    return parts.join(QStringLiteral(" "));
}

QVariant CardPlanModel::data(const QModelIndex &index, int role) const
{
    if (!m_plans || !index.isValid() || index.row() >= m_plans->size())
        return {};
    const CardPlan &plan = m_plans->at(index.row());
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case Number:
            return plan.number;
        case Name:
            return plan.name();
        case Action:
            return action(plan);
        case Remark:
            return remark(plan);
        default:
            return {};
        }
    }
    // Cards that will not come in, or did not, stand out.
    if (role == Qt::ForegroundRole) {
        const bool bad = plan.kind == CardPlan::Kind::Refused || plan.outcome == CardPlan::Outcome::Failed
                         || plan.outcome == CardPlan::Outcome::Skipped || !plan.tooLong.isEmpty();
        return bad ? QVariant(QBrush(Qt::darkRed)) : QVariant();
    }
    return {};
}

QVariant CardPlanModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList captions = {QStringLiteral("序号"), QStringLiteral("姓名"), QStringLiteral("导入方式"),
                                         QStringLiteral("说明")};
    return captions.value(section);
}
