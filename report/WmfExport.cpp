#include "report/ExportFilters.h"
#include "report/WmfWriter.h"

namespace report::ExportFilters {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kPointsPerInch = 72.0;
// Metafile coordinates are 16-bit: a tenth of a millimetre while the pages
// fit, coarser for long reports.
constexpr double kFineUnitsPerMm = 10.0;
constexpr double kLargestCoordinate = 32000.0;
// Photos are scaled down to this many pixels on their longer side; a card
// never shows them larger than a few centimetres.
constexpr int kLargestPicture = 600;

struct Units
{
    double perMm;
    QPoint point(const QPointF &mm) const { return (mm * perMm).toPoint(); }
    QRect rect(const QRectF &mm) const { return QRectF(mm.topLeft() * perMm, mm.size() * perMm).toRect(); }
};

void writeItem(WmfWriter &out, const PlacedItem &item, const Units &u, double pageTop)
{
    const QPointF shift(0, pageTop);
    if (item.kind == ElementKind::Picture) {
        QImage image = item.picture;
        if (std::max(image.width(), image.height()) > kLargestPicture)
            image = image.scaled(kLargestPicture, kLargestPicture, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        out.picture(u.rect(item.box.translated(shift)), image);
        return;
    }
    if (item.fill.isValid() || item.border)
        out.rectangle(u.rect(item.box.translated(shift)), item.fill, item.border ? QColor(Qt::black) : QColor(),
                      int(0.25 * u.perMm));
    const int height = qRound(item.font.pointSize / kPointsPerInch * kMmPerInch * u.perMm);
    // The report's own face name: the program that plays the file maps it.
    const QString &face = item.font.family;
    for (qsizetype i = 0; i < item.lines.size(); ++i) {
        // The font height leaves out the leading, which sits above the glyphs.
        const double leading = item.lineHeight - item.font.pointSize / kPointsPerInch * kMmPerInch;
        const QPointF top =
            item.textOrigin + shift + QPointF(0, item.lineHeight * double(i) + std::max(0.0, leading) / 2);
        out.text(u.point(top), item.lines[i], face, height, item.font.bold, item.font.italic, item.font.charset);
    }
}

} // namespace

QByteArray wmf(const RenderedReport &report)
{
    const double totalHeight = report.pageSize.height() * double(report.pages.size());
    const double longest = std::max(totalHeight, report.pageSize.width());
    const Units u{std::min(kFineUnitsPerMm, kLargestCoordinate / longest)};
    const QSize extent = QSizeF(report.pageSize.width() * u.perMm, totalHeight * u.perMm).toSize();
    WmfWriter out(extent, qRound(kMmPerInch * u.perMm));
    for (qsizetype p = 0; p < report.pages.size(); ++p) {
        const double pageTop = report.pageSize.height() * double(p);
        out.rectangle(u.rect(QRectF(QPointF(0, pageTop), report.pageSize)), Qt::white, QColor(), 1);
        for (const PlacedItem &item : report.pages[p].items)
            writeItem(out, item, u, pageTop);
    }
    return out.finish();
}

} // namespace report::ExportFilters
