#pragma once
#include "store/Result.h"

#include <QPointer>
#include <QSqlDatabase>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QProgressBar;
class QPushButton;
class RecordGrid;
class ResultRowsModel;
class Tpe_connect;
class VCardExportRun;

// "记录导出": lists the result list and writes its contacts to a file, one
// comma-separated line each, or as vCard (3.0, or 4.0 on choice) with their
// work units and other information. Either the whole list or the contact
// shown; the file written can be opened in the desktop's program for it.
class ExportPanel final : public QWidget
{
    Q_OBJECT
public:
    ExportPanel(const QSqlDatabase &db, Tpe_connect &window, QWidget *parent = nullptr);
    enum Format { Csv, VCard30, VCard40 };
    // Refills the list from the result list (after a search).
    void refill();
    // A vCard export is being written.
    bool isExporting() const { return !m_vcardRun.isNull(); }

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
    void exportCsv(const QString &path);
    void exportVCard(const QString &path);
    void vcardWritten();
    void wasWritten(const QString &path, const QString &message);
    void openWritten();
    Result<QStringList> chosenIds() const;
    void rowChanged();
    void resultsChanged();
    void followPosition();

    QSqlDatabase m_db;
    Tpe_connect &m_window;
    ResultRowsModel *m_rows = nullptr;
    RecordGrid *m_grid = nullptr;
    QPushButton *m_export = nullptr;
    QComboBox *m_format = nullptr;
    QCheckBox *m_currentOnly = nullptr;
    QPushButton *m_openWritten = nullptr;
    QProgressBar *m_progress = nullptr;
    QPointer<VCardExportRun> m_vcardRun;
    QString m_written; // the file last written
    bool m_filling = false;
    // The result list changed while the tab was hidden: the list is filled
    // when the tab is shown, so a search never waits for a list nobody sees.
    bool m_stale = false;
};
