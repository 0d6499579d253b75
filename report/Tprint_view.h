#pragma once

#include "report/RenderedReport.h"
#include "report/ReportModel.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class PageView;
class QHBoxLayout;
class QLabel;
class QPrinter;
class QToolButton;

// The print preview: a maximised window without title-bar buttons, a tool
// bar with the page number and the print, set-up, export, zoom, page and
// close buttons, and the page view under it. While it exists it watches the
// mouse wheel of the whole application and scrolls its page by a page.
class Tprint_view final : public QWidget
{
    Q_OBJECT

public:
    explicit Tprint_view(QWidget *owner);
    ~Tprint_view() override;

    // The one preview window, while it exists.
    static QPointer<Tprint_view> &reference();

    // Lays `definition` out for the session's page set-up and shows it.
    void attach(const report::Report &definition);
    // The engine reports a rendered page: show its number, allow printing.
    void pageAvailable(int page);

    PageView *pageView() const { return m_view; }

    // Save dialog filter of "导出文件", in the order of the export formats.
    static QString exportFilter();

signals:
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QToolButton *addButton(const QString &name, const QString &text, const QString &hint);
    void layOut();
    void printPages();
    void pageSetup();
    void exportFile();
    void nextPage();
    void previousPage();

    PageView *m_view;
    QHBoxLayout *m_bar = nullptr;
    QLabel *m_pageNumber;
    QToolButton *m_print = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    report::Report m_definition;
};
