#pragma once

#include "report/RenderedReport.h"

#include <QScrollArea>

#include <memory>

// Shows one page of a laid-out report at a zoom, with scroll bars that follow
// the thumb while it is dragged.
class PageView final : public QScrollArea
{
    Q_OBJECT

public:
    explicit PageView(QWidget *parent = nullptr);

    void setReport(std::shared_ptr<const report::RenderedReport> report);
    const report::RenderedReport *report() const { return m_report.get(); }

    int pageCount() const;
    int page() const { return m_page; } // 1-based
    // Moves to `page` when it exists; otherwise nothing changes.
    void setPage(int page);

    int zoom() const { return m_zoom; } // per cent
    void setZoom(int percent);
    // The zoom at which a whole page fits the visible area.
    void zoomToWholePage();

    double pixelsPerMm() const;

private:
    void updateCanvas();

    class Canvas;
    Canvas *m_canvas;
    std::shared_ptr<const report::RenderedReport> m_report;
    int m_page = 1;
    int m_zoom = 100;
};
