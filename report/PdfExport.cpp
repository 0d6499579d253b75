#include "report/ExportFilters.h"
#include "report/PagePainter.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace report::ExportFilters {

QByteArray pdf(const RenderedReport &report)
{
    constexpr int kDpi = 1200;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(report.title);
        writer.setCreator(QStringLiteral("Velmora"));
        writer.setResolution(kDpi);
        writer.setPageSize(QPageSize(report.pageSize, QPageSize::Millimeter));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        for (qsizetype i = 0; i < report.pages.size(); ++i) {
            if (i > 0)
                writer.newPage();
            PagePainter::paint(painter, report.pages[i], report.pageSize, kDpi / 25.4);
        }
    }
    return bytes;
}

} // namespace report::ExportFilters
