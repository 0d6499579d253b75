#pragma once

#include "report/ReportModel.h"

#include <QFont>

// Turns a report font into a Qt font that exists on this machine. The names
// reports use (宋体 and friends) are often not installed; with a Chinese
// character set the font must still carry Chinese glyphs, or the page would
// show boxes.
namespace report::FontMap {

// The installed family that draws `font`.
QString installedFamily(const ReportFont &font);

// A Qt font for `font` whose point size is multiplied by `scale` (painters
// that draw at a resolution other than the device's pass it).
QFont qtFont(const ReportFont &font, double scale = 1.0);

// Measurements in millimetres, taken at a fixed high resolution so that the
// layout does not depend on the screen.
inline constexpr double kMeasureDpi = 1200.0;
struct Metrics
{
    double lineHeight = 0;
    double ascent = 0;
};
Metrics metrics(const ReportFont &font);
double textWidth(const ReportFont &font, const QString &text);
// `text` broken into lines no wider than `width` mm (CJK text breaks between
// characters, other text between words). Hard line breaks are kept.
QStringList wrap(const ReportFont &font, const QString &text, double width);

} // namespace report::FontMap
