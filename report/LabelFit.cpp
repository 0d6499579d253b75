#include "report/LabelFit.h"

#include "report/FontMap.h"

namespace report::LabelFit {

namespace {

constexpr double kStep = 0.5;
constexpr double kEpsilon = 1e-6;

// An empty label draws nothing, so it is in nobody's way.
bool inTheWay(const Element &element)
{
    return element.kind != ElementKind::Label || !element.text.isEmpty();
}

double lineHeight(const ReportFont &font)
{
    return FontMap::metrics(font).lineHeight;
}

double naturalWidth(const Element &label)
{
    double width = 0;
    for (const QString &paragraph : label.text.split(u'\n'))
        width = std::max(width, FontMap::textWidth(label.font, paragraph));
    return width;
}

// Where an element stands: a label by its first line, `labelWidth` wide.
QRectF extent(const Element &element, double labelWidth)
{
    if (element.kind == ElementKind::Label)
        return {element.box.topLeft(), QSizeF(labelWidth, lineHeight(element.font))};
    return element.box;
}

bool overlaps(double from, double to, double otherFrom, double otherTo)
{
    return from < otherTo - kEpsilon && otherFrom < to - kEpsilon;
}

// A label standing inside an outlined box stays inside it.
bool encloses(const Element &element, const QPointF &point)
{
    return (element.kind == ElementKind::Frame || element.kind == ElementKind::Memo) && element.box.contains(point);
}

double roomWidth(const Band &band, qsizetype index, double bandWidth)
{
    const Element &label = band.elements[index];
    const QPointF at = label.box.topLeft();
    const double lineBottom = at.y() + lineHeight(label.font);
    double right = bandWidth;
    for (qsizetype j = 0; j < band.elements.size(); ++j) {
        const Element &other = band.elements[j];
        if (j == index || !inTheWay(other))
            continue;
        const QRectF box = extent(other, 0);
        if (encloses(other, at))
            right = std::min(right, box.right() - kGap);
        else if (box.left() > at.x() + kEpsilon && overlaps(box.top(), box.bottom(), at.y(), lineBottom))
            right = std::min(right, box.left() - kGap);
    }
    return std::max(0.0, right - at.x());
}

double roomHeight(const Band &band, qsizetype index, const QList<double> &widths)
{
    const Element &label = band.elements[index];
    const QPointF at = label.box.topLeft();
    double bottom = band.height;
    for (qsizetype j = 0; j < band.elements.size(); ++j) {
        const Element &other = band.elements[j];
        if (j == index || !inTheWay(other))
            continue;
        const QRectF box = extent(other, widths[j]);
        if (encloses(other, at))
            bottom = std::min(bottom, box.bottom());
        else if (box.top() > at.y() + kEpsilon && overlaps(box.left(), box.right(), at.x(), at.x() + widths[index]))
            bottom = std::min(bottom, box.top());
    }
    return std::max(0.0, bottom - at.y());
}

} // namespace

QList<QSizeF> rooms(const Band &band, double bandWidth)
{
    const qsizetype count = band.elements.size();
    // Widths first: how far a label reaches decides whom it stands above.
    QList<double> widths(count, 0.0);
    for (qsizetype i = 0; i < count; ++i)
        if (band.elements[i].kind == ElementKind::Label)
            widths[i] = roomWidth(band, i, bandWidth);
    QList<double> reach(count, 0.0);
    for (qsizetype i = 0; i < count; ++i)
        if (band.elements[i].kind == ElementKind::Label)
            reach[i] = std::min(widths[i], naturalWidth(band.elements[i]));
    QList<QSizeF> out(count);
    for (qsizetype i = 0; i < count; ++i) {
        if (band.elements[i].kind != ElementKind::Label)
            continue;
        QList<double> spans = reach;
        spans[i] = widths[i];
        out[i] = QSizeF(widths[i], roomHeight(band, i, spans));
    }
    return out;
}

Fitted fit(const ReportFont &font, const QString &text, const QSizeF &room)
{
    // From the label's own size down to the smallest readable one.
    QList<Fitted> sizes;
    for (double size = font.pointSize;; size -= kStep) {
        ReportFont smaller = font;
        smaller.pointSize = size;
        sizes << Fitted{smaller, FontMap::wrap(smaller, text, room.width())};
        if (size - kStep < kMinimumPointSize - kEpsilon)
            break;
    }
    // The largest size that needs no break of its own...
    const qsizetype paragraphs = text.count(u'\n') + 1;
    for (const Fitted &candidate : sizes)
        if (candidate.lines.size() <= paragraphs)
            return candidate;
    // ...else the largest whose wrapped lines fit the room's height.
    for (const Fitted &candidate : sizes)
        if (double(candidate.lines.size()) * lineHeight(candidate.font) <= room.height() + kEpsilon)
            return candidate;
    return sizes.last();
}

} // namespace report::LabelFit
