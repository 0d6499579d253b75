#pragma once
#include <QSqlDatabase>
#include <QWidget>

class QPushButton;
class RecordGrid;
class Tpe_connect;

// "记录导出": lists the result list and writes its contacts to a file, one
// comma-separated line each.
class ExportPanel final : public QWidget
{
    Q_OBJECT
public:
    ExportPanel(const QSqlDatabase &db, Tpe_connect &window, QWidget *parent = nullptr);
    // Refills the list from the result list (after a search).
    void refill();

protected:
    void showEvent(QShowEvent *event) override;
    void exportTo(const QString &path);

signals:
    // Double-click on the list: show the contact's details.
    void detailsRequested();
    // The export was written; the personal tab follows.
    void exported();

private:
    void exportClicked();
    void rowChanged();
    void resultsChanged();
    void followPosition();

    QSqlDatabase m_db;
    Tpe_connect &m_window;
    RecordGrid *m_grid = nullptr;
    QPushButton *m_export = nullptr;
    bool m_filling = false;
    // The result list changed while the tab was hidden: the list is filled
    // when the tab is shown, so a search never waits for a list nobody sees.
    bool m_stale = false;
};
