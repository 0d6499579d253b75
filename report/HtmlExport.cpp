#include "report/ExportFilters.h"
#include "report/FontMap.h"

#include <QBuffer>

namespace report::ExportFilters {

namespace {

QString mm(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral("mm");
}

QString boxStyle(const QRectF &box)
{
    return QStringLiteral("left:%1;top:%2;width:%3;height:%4;")
        .arg(mm(box.left()), mm(box.top()), mm(box.width()), mm(box.height()));
}

QString fontStyle(const ReportFont &font)
{
    // The report's own family first, then the one this machine drew with.
    return QStringLiteral("font-family:'%1','%2',serif;font-size:%3pt;font-weight:%4;"
                          "font-style:%5;")
        .arg(font.family, FontMap::installedFamily(font), QString::number(font.pointSize),
             font.bold ? QStringLiteral("bold") : QStringLiteral("normal"),
             font.italic ? QStringLiteral("italic") : QStringLiteral("normal"));
}

QString pictureHtml(const PlacedItem &item)
{
    if (item.picture.isNull())
        return {};
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    item.picture.save(&buffer, "PNG");
    return QStringLiteral("<img class=\"e\" style=\"%1\" alt=\"\" src=\"data:image/png;base64,%2\">\n")
        .arg(boxStyle(item.box), QString::fromLatin1(png.toBase64()));
}

QString boxHtml(const PlacedItem &item)
{
    QString style = boxStyle(item.box);
    if (item.fill.isValid())
        style += QStringLiteral("background:%1;").arg(item.fill.name());
    if (item.border)
        style += QStringLiteral("border:0.25mm solid black;box-sizing:border-box;");
    return QStringLiteral("<div class=\"e\" style=\"%1\"></div>\n").arg(style);
}

QString textHtml(const PlacedItem &item)
{
    QStringList lines;
    for (const QString &line : item.lines)
        lines << line.toHtmlEscaped();
    const QString style = QStringLiteral("left:%1;top:%2;line-height:%3;")
                              .arg(mm(item.textOrigin.x()), mm(item.textOrigin.y()), mm(item.lineHeight))
                          + fontStyle(item.font);
    return QStringLiteral("<div class=\"t\" style=\"%1\">%2</div>\n").arg(style, lines.join(QStringLiteral("<br>")));
}

QString pageHtml(const RenderedPage &page, const QSizeF &size)
{
    QString out =
        QStringLiteral("<div class=\"page\" style=\"width:%1;height:%2;\">\n").arg(mm(size.width()), mm(size.height()));
    for (const PlacedItem &item : page.items) {
        if (item.kind == ElementKind::Picture) {
            out += pictureHtml(item);
            continue;
        }
        if (item.fill.isValid() || item.border)
            out += boxHtml(item);
        if (item.hasText())
            out += textHtml(item);
    }
    return out + QStringLiteral("</div>\n");
}

} // namespace

QByteArray html(const RenderedReport &report)
{
    QString out = QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>%1</title>\n"
                                 "<style>\n"
                                 "body{margin:0;background:#808080;}\n"
                                 ".page{position:relative;background:white;margin:5mm auto;overflow:hidden;"
                                 "page-break-after:always;}\n"
                                 ".e,.t{position:absolute;margin:0;padding:0;}\n"
                                 ".t{white-space:pre;color:black;}\n"
                                 "</style>\n</head>\n<body>\n")
                      .arg(report.title.toHtmlEscaped());
    for (const RenderedPage &page : report.pages)
        out += pageHtml(page, report.pageSize);
    out += QStringLiteral("</body>\n</html>\n");
    return out.toUtf8();
}

} // namespace report::ExportFilters
