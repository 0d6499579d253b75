#pragma once

#include <QStyledItemDelegate>

// Draws the text of a hit with its match marked (SearchHitModel::kMatchRole),
// as rich text.
class HitDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The cell's text as HTML, the match in bold on a light marker colour.
    static QString markedHtml(const QString &text, int matchStart, int matchLength);
};
