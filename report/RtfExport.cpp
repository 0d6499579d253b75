#include "report/ExportFilters.h"
#include "report/ReadingOrder.h"

namespace report::ExportFilters {

namespace {

// Plain ASCII stays as it is (with RTF's three special characters escaped);
// everything else is written as \uN followed by \'3f ('?') for readers that
// do not know Unicode. The fallback is written as a hex escape because some
// readers take a bare '?' right after the number for a delimiter. Characters outside the BMP go as their two UTF-16
// halves.
QByteArray escaped(const QString &text)
{
    QByteArray out;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += char(u);
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u >= 0x20 && u < 0x80) {
            out += char(u);
        } else if (u >= 0x80) {
            out += "\\u" + QByteArray::number(int(qint16(u))) + "\\'3f";
        }
    }
    return out;
}

QByteArray rowRtf(const ReadingOrder::Row &row)
{
    QByteArray out;
    bool first = true;
    for (const ReadingOrder::Piece &piece : row) {
        if (!first)
            out += "\\tab ";
        first = false;
        const bool bold = piece.bold || piece.title;
        out += bold ? "{\\b " : "{";
        out += escaped(piece.text) + '}';
    }
    return out + "\\par\n";
}

// The paper the pages were laid out for, in twips.
QByteArray paper(const QSizeF &mm)
{
    const auto twips = [](double mm) { return QByteArray::number(qRound(mm / 25.4 * 1440)); };
    QByteArray out = "\\paperw" + twips(mm.width()) + "\\paperh" + twips(mm.height());
    if (mm.width() > mm.height())
        out += "\\landscape";
    return out;
}

} // namespace

QByteArray rtf(const RenderedReport &report)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1\n"
                     "{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\n"
                     "{\\info{\\title "
                     + escaped(report.title) + "}}\n" + paper(report.pageSize) + "\\f0\\fs20\n";
    for (qsizetype p = 0; p < report.pages.size(); ++p) {
        if (p > 0)
            out += "\\page\n";
        for (const ReadingOrder::Row &row : ReadingOrder::rows(report.pages[p]))
            out += rowRtf(row);
    }
    return out + "}\n";
}

} // namespace report::ExportFilters
