#pragma once

#include "report/ExportFilters.h"
#include "store/Result.h"

// Writes a laid-out report to a file in one of the export formats.
namespace report::ReportExport {

QByteArray encode(const RenderedReport &report, ExportFormat format);
// Fails with a readable reason when the file cannot be written.
Result<void> writeFile(const RenderedReport &report, ExportFormat format, const QString &fileName);

} // namespace report::ReportExport
