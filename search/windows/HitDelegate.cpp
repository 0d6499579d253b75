#include "search/windows/HitDelegate.h"

#include "search/core/SearchHitModel.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPainter>
#include <QTextDocument>

namespace {

void layOut(QTextDocument &document, const QStyleOptionViewItem &option, const QModelIndex &index)
{
    const QPoint match = index.data(SearchHitModel::kMatchRole).toPoint();
    document.setDefaultFont(option.font);
    document.setDocumentMargin(0);
    document.setHtml(HitDelegate::markedHtml(index.data().toString(), match.x(), match.y()));
}

} // namespace

QString HitDelegate::markedHtml(const QString &text, int matchStart, int matchLength)
{
    const int start = std::clamp(matchStart, 0, int(text.size()));
    const int length = std::clamp(matchLength, 0, int(text.size()) - start);
    if (length == 0)
        return text.toHtmlEscaped();
    return text.left(start).toHtmlEscaped() + QStringLiteral("<b style=\"background-color:#ffe27a\">")
           + text.mid(start, length).toHtmlEscaped() + QStringLiteral("</b>")
           + text.mid(start + length).toHtmlEscaped();
}

void HitDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    QTextDocument document;
    layOut(document, item, index);
    // The cell without its text: background, selection, focus.
    item.text.clear();
    const QStyle *style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget);
    QAbstractTextDocumentLayout::PaintContext context;
    const QPalette::ColorGroup group = (item.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    context.palette.setColor(
        QPalette::Text,
        item.palette.color(group, (item.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    painter->save();
    const int top = area.top() + std::max(0, (area.height() - int(document.size().height())) / 2);
    painter->translate(area.left(), top);
    painter->setClipRect(area.translated(-area.left(), -top));
    document.documentLayout()->draw(painter, context);
    painter->restore();
}

QSize HitDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    QTextDocument document;
    layOut(document, item, index);
    const QSize plain = QStyledItemDelegate::sizeHint(option, index);
    return {std::max(plain.width(), int(document.idealWidth()) + 8), plain.height()};
}
