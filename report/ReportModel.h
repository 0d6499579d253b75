#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>

// A report definition: a page, a title band printed once at the top of the
// first page and a detail band repeated for every row of the data set. All
// positions and sizes are millimetres; a band's elements are placed relative
// to the band's top-left corner inside the page margins.
namespace report {

// Windows character set numbers, kept with a font so exports can name them.
inline constexpr int kCharsetAnsi = 0;
inline constexpr int kCharsetGb2312 = 134;

struct ReportFont
{
    QString family = QStringLiteral("宋体");
    int charset = kCharsetGb2312;
    double pointSize = 10.0;
    bool bold = false;
    bool italic = false;
};

enum class ElementKind {
    Label,   // one text that sizes itself to its room (see LabelFit.h)
    Memo,    // a fixed box of lines, wrapped inside it
    Frame,   // a rectangle, optionally filled and titled
    Picture, // an image stretched to fill its box
};

struct Element
{
    ElementKind kind = ElementKind::Label;
    // For a label only the top-left corner counts: its size follows the text.
    QRectF box;
    QString text;      // label text, frame title
    QStringList lines; // memo lines
    ReportFont font;
    QColor fill;         // invalid: transparent
    bool border = false; // frames and memos: draw the outline
    QImage picture;

    static Element label(double x, double y, const QString &text, const ReportFont &font);
    static Element memo(const QRectF &box, const QStringList &lines, const ReportFont &font);
    static Element frame(const QRectF &box, const QString &title, const ReportFont &font, const QColor &fill = {});
    static Element image(const QRectF &box, const QImage &picture);
};

struct Band
{
    double height = 0.0;
    QColor background = Qt::white;
    QList<Element> elements;
};

struct PageSetup
{
    QSizeF size{210.0, 297.0}; // A4 portrait
    double marginLeft = 10.0;
    double marginTop = 10.0;
    double marginRight = 10.0;
    double marginBottom = 10.0;

    double contentWidth() const { return size.width() - marginLeft - marginRight; }
    double contentHeight() const { return size.height() - marginTop - marginBottom; }
    double contentBottom() const { return size.height() - marginBottom; }
};

struct Report
{
    QString title; // document title for exports
    PageSetup page;
    ReportFont defaultFont;
    Band titleBand;
    Band detailBand;
    // The data set: the detail band is printed once per row. `bindRow`, when
    // set, adjusts the band for a row before it is laid out.
    int rowCount = 0;
    std::function<void(int row, Band &band)> bindRow;
};

} // namespace report
