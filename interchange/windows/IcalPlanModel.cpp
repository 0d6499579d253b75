#include "interchange/windows/IcalPlanModel.h"

#include <QBrush>

namespace {

// A list row shows a text's first line, as the planner's day list does.
constexpr int kShownText = 40;

QString action(const IcalPlan &plan)
{
    switch (plan.outcome) {
    case IcalPlan::Outcome::Added:
        return QStringLiteral("已新建");
    case IcalPlan::Outcome::Updated:
        return QStringLiteral("已更新");
    case IcalPlan::Outcome::Skipped:
        return QStringLiteral("没有导入");
    case IcalPlan::Outcome::Pending:
        break;
    }
    switch (plan.action) {
    case IcalPlan::Action::New:
        return QStringLiteral("新建");
    case IcalPlan::Action::Update:
        return QStringLiteral("更新");
    case IcalPlan::Action::Refused:
        break;
    }
    return QStringLiteral("不能导入");
}

QString day(const IcalPlan &plan)
{
    const QString &stamp = plan.dateId();
    if (stamp.size() < 8)
        return stamp;
    QString shown = stamp.left(4) + u'-' + stamp.mid(4, 2) + u'-' + stamp.mid(6, 2);
    if (plan.kind == IcalPlan::Kind::Note && stamp.size() >= 12)
        shown += u' ' + stamp.mid(8, 2) + u':' + stamp.mid(10, 2);
    return shown;
}

QString reminder(const IcalPlan &plan)
{
    if (plan.kind != IcalPlan::Kind::Job || plan.action == IcalPlan::Action::Refused)
        return {};
    if (!plan.job.reminder)
        return QStringLiteral("不提醒");
    return plan.job.dateId.mid(8, 2) + u':' + plan.job.dateId.mid(10, 2);
}

QString done(const IcalPlan &plan)
{
    if (plan.kind != IcalPlan::Kind::Job || plan.action == IcalPlan::Action::Refused)
        return {};
    const QString &mark = plan.job.completion;
    if (mark == Ical::kOpenJob)
        return QStringLiteral("未完成");
    if (mark.size() < 8)
        return QStringLiteral("已完成");
    return mark.left(4) + u'-' + mark.mid(4, 2) + u'-' + mark.mid(6, 2);
}

QString firstLine(const QString &text)
{
    const QString line = text.trimmed().section(u'\n', 0, 0).trimmed();
    return line.size() > kShownText ? line.left(kShownText) + QStringLiteral("...") : line;
}

QString remark(const IcalPlan &plan)
{
    QStringList parts;
    if (!plan.error.isEmpty())
        parts << plan.error;
    if (plan.kind == IcalPlan::Kind::Job && plan.job.isProtected)
        parts << QStringLiteral("加密保存");
    if (plan.kind == IcalPlan::Kind::Job && !plan.job.entries.isEmpty())
        parts << QStringLiteral("%1条完成记录").arg(plan.job.entries.size());
    parts += plan.notes;
    return parts.join(QStringLiteral("; "));
}

} // namespace

IcalPlanModel::IcalPlanModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void IcalPlanModel::show(const QList<IcalPlan> *plans)
{
    beginResetModel();
    m_plans = plans;
    endResetModel();
}

void IcalPlanModel::refresh()
{
    beginResetModel();
    endResetModel();
}

int IcalPlanModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_plans ? 0 : int(m_plans->size());
}

int IcalPlanModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString IcalPlanModel::cell(const IcalPlan &plan, int column)
{
    switch (column) {
    case Line:
        return QString::number(plan.line);
    case Kind:
        return plan.kind == IcalPlan::Kind::Job ? QStringLiteral("工作") : QStringLiteral("日记");
    case Action:
        return action(plan);
    case Day:
        return day(plan);
    case Reminder:
        return reminder(plan);
    case Done:
        return done(plan);
    case Text:
        return firstLine(plan.text());
    case Remark:
        return remark(plan);
    default:
        return {};
    }
}

QVariant IcalPlanModel::data(const QModelIndex &index, int role) const
{
    if (!m_plans || !index.isValid() || index.row() >= m_plans->size())
        return {};
    const IcalPlan &plan = m_plans->at(index.row());
    if (role == Qt::DisplayRole)
        return cell(plan, index.column());
    if (role == Qt::ToolTipRole)
        return index.column() == Text ? plan.text() : cell(plan, index.column());
    // What will not come in, or did not, stands out.
    if (role == Qt::ForegroundRole) {
        const bool left = plan.action == IcalPlan::Action::Refused || plan.outcome == IcalPlan::Outcome::Skipped;
        return left ? QVariant(QBrush(Qt::darkRed)) : QVariant();
    }
    return {};
}

QVariant IcalPlanModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList captions = {QStringLiteral("行"),   QStringLiteral("类别"), QStringLiteral("导入方式"),
                                         QStringLiteral("日期"), QStringLiteral("提醒"), QStringLiteral("完成"),
                                         QStringLiteral("内容"), QStringLiteral("说明")};
    return captions.value(section);
}
