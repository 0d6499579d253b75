#include "report/ReadingOrder.h"

#include <algorithm>

namespace report::ReadingOrder {

namespace {

// Pieces whose tops lie closer than this share a row.
constexpr double kRowTolerance = 1.5;

QList<Piece> pieces(const RenderedPage &page)
{
    QList<Piece> out;
    for (const PlacedItem &item : page.items) {
        for (qsizetype i = 0; i < item.lines.size(); ++i) {
            if (item.lines[i].trimmed().isEmpty())
                continue;
            const QPointF at = item.textOrigin + QPointF(0, item.lineHeight * double(i));
            out << Piece{at, item.lines[i], item.font.bold, item.kind == ElementKind::Frame};
        }
    }
    return out;
}

} // namespace

QList<Row> rows(const RenderedPage &page)
{
    QList<Piece> all = pieces(page);
    std::stable_sort(all.begin(), all.end(), [](const Piece &a, const Piece &b) { return a.at.y() < b.at.y(); });
    QList<Row> out;
    double rowTop = 0;
    for (const Piece &piece : all) {
        if (out.isEmpty() || piece.at.y() - rowTop > kRowTolerance) {
            out.append(Row{});
            rowTop = piece.at.y();
        }
        out.last() << piece;
    }
    for (Row &row : out)
        std::stable_sort(row.begin(), row.end(), [](const Piece &a, const Piece &b) { return a.at.x() < b.at.x(); });
    return out;
}

} // namespace report::ReadingOrder
