#include "report/PageView.h"

#include "report/PagePainter.h"

#include <QPainter>
#include <QScrollBar>

class PageView::Canvas final : public QWidget
{
public:
    explicit Canvas(PageView *view)
        : QWidget(view)
        , m_view(view)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const report::RenderedReport *report = m_view->report();
        if (!report || m_view->page() > report->pages.size())
            return;
        QPainter painter(this);
        report::PagePainter::paint(painter, report->pages[m_view->page() - 1], report->pageSize, m_view->pixelsPerMm());
    }

private:
    PageView *m_view;
};

PageView::PageView(QWidget *parent)
    : QScrollArea(parent)
    , m_canvas(new Canvas(this))
{
    setFrameShape(QFrame::NoFrame);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setBackgroundRole(QPalette::Dark);
    setWidgetResizable(false);
    setWidget(m_canvas);
    verticalScrollBar()->setTracking(true);
    horizontalScrollBar()->setTracking(true);
    updateCanvas();
}

void PageView::setReport(std::shared_ptr<const report::RenderedReport> report)
{
    m_report = std::move(report);
    m_page = 1;
    updateCanvas();
}

int PageView::pageCount() const
{
    return m_report ? int(m_report->pages.size()) : 0;
}

void PageView::setPage(int page)
{
    if (page < 1 || page > pageCount() || page == m_page)
        return;
    m_page = page;
    m_canvas->update();
}

void PageView::setZoom(int percent)
{
    m_zoom = std::clamp(percent, 5, 800);
    updateCanvas();
}

void PageView::zoomToWholePage()
{
    if (!m_report)
        return;
    const QSize room = maximumViewportSize();
    const double perMmAt100 = logicalDpiX() / 25.4;
    const double byWidth = room.width() / (m_report->pageSize.width() * perMmAt100);
    const double byHeight = room.height() / (m_report->pageSize.height() * perMmAt100);
    setZoom(int(std::min(byWidth, byHeight) * 100.0));
}

double PageView::pixelsPerMm() const
{
    return logicalDpiX() / 25.4 * m_zoom / 100.0;
}

void PageView::updateCanvas()
{
    const QSizeF mm = m_report ? m_report->pageSize : QSizeF(210, 297);
    m_canvas->resize((mm * pixelsPerMm()).toSize());
    m_canvas->update();
}
