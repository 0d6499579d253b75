#include "search/core/SearchHitModel.h"

#include <QPoint>

namespace {

// Characters 1-4, 5-6 and 7-8 of a stamp, and for a note 9-10 and 11-12.
QString stampText(const QString &stamp, bool withTime)
{
    if (stamp.size() < 8)
        return stamp;
    QString text = stamp.left(4) + u'-' + stamp.mid(4, 2) + u'-' + stamp.mid(6, 2);
    if (withTime && stamp.size() >= 12)
        text += u' ' + stamp.mid(8, 2) + u':' + stamp.mid(10, 2);
    return text;
}

} // namespace

SearchHitModel::SearchHitModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void SearchHitModel::setHits(const QList<SearchHit> &hits)
{
    beginResetModel();
    m_hits = hits;
    endResetModel();
}

int SearchHitModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_hits.size());
}

int SearchHitModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QString SearchHitModel::dateText(const SearchHit &hit)
{
    return stampText(hit.stamp, hit.kind == SearchHit::Kind::Note);
}

QString SearchHitModel::kindText(const SearchHit &hit)
{
    QString kind;
    switch (hit.kind) {
    case SearchHit::Kind::Note:
        kind = QStringLiteral("日记");
        break;
    case SearchHit::Kind::Job:
        kind = QStringLiteral("日程");
        break;
    case SearchHit::Kind::Entry:
        kind = QStringLiteral("完成记录");
        break;
    }
    return hit.isProtected ? kind + QStringLiteral("(加密)") : kind;
}

QVariant SearchHitModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_hits.size())
        return {};
    const SearchHit &hit = m_hits.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case Date:
            return dateText(hit);
        case Kind:
            return kindText(hit);
        case Text:
            return hit.context;
        }
    }
    if (role == kMatchRole && index.column() == Text)
        return QPoint(int(hit.matchStart), int(hit.matchLength));
    return {};
}

QVariant SearchHitModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Date:
        return QStringLiteral("日期");
    case Kind:
        return QStringLiteral("类别");
    case Text:
        return QStringLiteral("内容");
    }
    return {};
}
