#pragma once

#include "report/RenderedReport.h"

#include <QByteArray>

// The export filters. Each turns the laid-out pages into the bytes of one
// file format; ReportExport picks one by format and writes the file.
namespace report {

enum class ExportFormat { Html, Text, Xls, Rtf, Wmf, Pdf };

namespace ExportFilters {

// One self-contained page per report page, elements absolutely placed in mm,
// pictures embedded as data.
QByteArray html(const RenderedReport &report);
// UTF-8, rows in reading order, pages separated by a form feed.
QByteArray text(const RenderedReport &report);
// An Excel 97-2003 workbook: one sheet, a row per text row, a cell per piece.
QByteArray xls(const RenderedReport &report);
// Rich text: one paragraph per text row, bold kept, non-ASCII as \u escapes.
QByteArray rtf(const RenderedReport &report);
// A placeable Windows metafile with the pages one under the other.
QByteArray wmf(const RenderedReport &report);
// PDF pages of the report's page size with the fonts embedded.
QByteArray pdf(const RenderedReport &report);

} // namespace ExportFilters
} // namespace report
