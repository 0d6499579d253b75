#pragma once

#include "report/ReportModel.h"

#include <QList>
#include <QPointF>

// The laid-out report: every element placed on its page in millimetres,
// labels sized and all text broken into the lines that are drawn. Preview,
// printing and every export walk these pages, so they all show the same.
namespace report {

struct PlacedItem
{
    ElementKind kind = ElementKind::Label;
    QRectF box;            // on the page, mm
    QStringList lines;     // text lines as drawn, top to bottom
    QPointF textOrigin;    // top-left of the first line, mm
    double lineHeight = 0; // mm
    double ascent = 0;     // mm from a line's top to its baseline
    ReportFont font;
    QColor fill;
    bool border = false;
    QImage picture;

    bool hasText() const { return !lines.isEmpty(); }
};

struct RenderedPage
{
    QList<PlacedItem> items;
};

struct RenderedReport
{
    QString title;
    QSizeF pageSize{210.0, 297.0};
    QList<RenderedPage> pages;
};

} // namespace report
