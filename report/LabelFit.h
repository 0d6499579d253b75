#pragma once

#include "report/ReportModel.h"

#include <QSizeF>

// A label owns the space from its corner to the next element on its right
// and to the next element below it. Its text keeps its size when it fits on
// one line there; otherwise it shrinks, down to a size still easy to read,
// and only then wraps. Every output draws the result, so a long value never
// runs under its neighbour on paper or in a file.
namespace report::LabelFit {

inline constexpr double kMinimumPointSize = 6.0;
// Blank space kept between a label's text and the element after it.
inline constexpr double kGap = 1.0;

// The room of every label of `band`, in millimetres, indexed like
// `band.elements` (elements that are not labels get an empty size).
// `bandWidth` is the width between the page margins.
QList<QSizeF> rooms(const Band &band, double bandWidth);

struct Fitted
{
    ReportFont font;
    QStringList lines;
};

// `text` in `font` or a smaller size of it, broken into the lines that fit
// `room`. Text too long even for the smallest size runs below the room
// rather than losing characters.
Fitted fit(const ReportFont &font, const QString &text, const QSizeF &room);

} // namespace report::LabelFit
