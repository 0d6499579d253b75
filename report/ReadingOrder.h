#pragma once

#include "report/RenderedReport.h"

// The text of a laid-out page as a reader takes it in: rows from top to
// bottom, pieces within a row from left to right. The flowing exports
// (plain text, spreadsheet, rich text) are built from it.
namespace report::ReadingOrder {

struct Piece
{
    QPointF at; // mm
    QString text;
    bool bold = false;
    bool title = false; // the title of a frame (a section bar)
};
using Row = QList<Piece>;

QList<Row> rows(const RenderedPage &page);

} // namespace report::ReadingOrder
