#pragma once

#include "ExportFilters.h"

// Writes a laid-out report to a file in one of the export formats.
namespace report::ReportExport {

QByteArray encode(const RenderedReport &report, ExportFormat format);
// False with a readable reason when the file cannot be written.
bool writeFile(const RenderedReport &report, ExportFormat format, const QString &fileName,
               QString *error);

} // namespace report::ReportExport
