#include "report/ReportModel.h"

namespace report {

Element Element::label(double x, double y, const QString &text, const ReportFont &font)
{
    Element e;
    e.kind = ElementKind::Label;
    e.box = QRectF(x, y, 0.0, 0.0);
    e.text = text;
    e.font = font;
    return e;
}

Element Element::memo(const QRectF &box, const QStringList &lines, const ReportFont &font)
{
    Element e;
    e.kind = ElementKind::Memo;
    e.box = box;
    e.lines = lines;
    e.font = font;
    return e;
}

Element Element::frame(const QRectF &box, const QString &title, const ReportFont &font, const QColor &fill)
{
    Element e;
    e.kind = ElementKind::Frame;
    e.box = box;
    e.text = title;
    e.font = font;
    e.fill = fill;
    e.border = true;
    return e;
}

Element Element::image(const QRectF &box, const QImage &picture)
{
    Element e;
    e.kind = ElementKind::Picture;
    e.box = box;
    e.picture = picture;
    return e;
}

} // namespace report
