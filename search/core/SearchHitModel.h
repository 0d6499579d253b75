#pragma once

#include "search/core/TextSearch.h"

#include <QAbstractTableModel>
#include <QList>

// The hits of a search as the search window lists them: the date, what the
// record is (日记, 日程, 完成记录, with 加密 for a protected one) and the
// text around the match. The match's place in that text is given under
// kMatchRole, so a view can mark it.
class SearchHitModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Date, Kind, Text };
    // A QPoint: the match's first character in the Text cell and its length.
    static constexpr int kMatchRole = Qt::UserRole + 1;

    explicit SearchHitModel(QObject *parent = nullptr);

    void setHits(const QList<SearchHit> &hits);
    const SearchHit &hit(int row) const { return m_hits.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // "2024-05-01 09:30" for a note's moment, "2024-05-01" for a day.
    static QString dateText(const SearchHit &hit);
    static QString kindText(const SearchHit &hit);

private:
    QList<SearchHit> m_hits;
};
