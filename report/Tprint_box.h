#pragma once

#include "report/ReportModel.h"

#include <QPointer>
#include <QWidget>

class Tprint_view;

// The hidden holder of a report definition, caption "打印窗口". It is never
// shown: it renders its report and opens the preview window, which it owns,
// and closes itself (taking the preview with it) when the preview ends.
class Tprint_box final : public QWidget
{
    Q_OBJECT

public:
    explicit Tprint_box(QWidget *owner);

    // The one report layout, while it exists.
    static QPointer<Tprint_box> &reference();

    report::Report &report() { return m_report; }
    void setReport(report::Report report);

    // Shows the report in a new preview window, which lays it out for the
    // page set-up; an open preview is asked to close first.
    Tprint_view *preview();

private:
    report::Report m_report;
};
