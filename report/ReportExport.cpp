#include "report/ReportExport.h"

#include "platform/WholeFile.h"

namespace report::ReportExport {

QByteArray encode(const RenderedReport &report, ExportFormat format)
{
    switch (format) {
    case ExportFormat::Html:
        return ExportFilters::html(report);
    case ExportFormat::Text:
        return ExportFilters::text(report);
    case ExportFormat::Xls:
        return ExportFilters::xls(report);
    case ExportFormat::Rtf:
        return ExportFilters::rtf(report);
    case ExportFormat::Wmf:
        return ExportFilters::wmf(report);
    case ExportFormat::Pdf:
        return ExportFilters::pdf(report);
    }
    return {};
}

Result<void> writeFile(const RenderedReport &report, ExportFormat format, const QString &fileName)
{
    // Written aside and renamed over the target, so a failed export never
    // leaves half a file where an earlier good one stood.
    if (const Result<void> replaced = WholeFile::replace(fileName, encode(report, format)); !replaced)
        return fail(QStringLiteral("无法写入文件 %1: %2").arg(fileName, replaced.error()));
    return {};
}

} // namespace report::ReportExport
