#pragma once
#include "contacts/csv/ImportGrid.h"

#include <memory>
#include <QSqlDatabase>
#include <QWidget>

class ContactImport;
class ImportGridModel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

// "记录导入": opens a comma-separated file into the grid, lets the user swap
// and delete columns and rows, and imports every row as a new contact. The
// import runs in short steps so the window keeps answering.
class ImportPanel final : public QWidget
{
    Q_OBJECT
public:
    explicit ImportPanel(const QSqlDatabase &db, QWidget *parent = nullptr);
    ~ImportPanel() override;
    void openFile(const QString &path);
    bool isImporting() const;
    QTableView *gridView() const { return m_view; }
    const ImportGrid &grid() const;

private:
    void buildControls();
    QPushButton *button(const QString &name, const QString &caption, const QString &hint);
    void open();
    void refreshGrid();
    void help();
    void toggleSwap(ImportGrid::Swap mode);
    void cellClicked(const QModelIndex &index);
    void deleteColumn();
    void deleteRow();
    void startImport();
    void importStep();
    void finishImport();
    void updateButtons();

    QSqlDatabase m_db;
    ImportGridModel *m_model = nullptr;
    QTableView *m_view = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_swapColumns = nullptr;
    QPushButton *m_swapRows = nullptr;
    QPushButton *m_deleteColumn = nullptr;
    QPushButton *m_deleteRow = nullptr;
    QPushButton *m_import = nullptr;
    QTimer *m_timer = nullptr;
    std::unique_ptr<ContactImport> m_run;
    bool m_opened = false;
};
