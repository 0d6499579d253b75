#pragma once

#include <QDialog>
#include <QSqlDatabase>

#include <memory>

class IcalImport;
class IcalPlanModel;
class ModalScope;
class QDateEdit;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

// "从iCalendar文件导入": opens an .ics file, lists the jobs and notes it
// holds (new ones, ones that update what an earlier import made, ones that
// cannot come in and why) with recurring events expanded over the days the
// user picks, and imports them when asked: all in one transaction, under a
// progress bar, the rest of the program kept from the store meanwhile.
class IcalImportDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit IcalImportDialog(const QSqlDatabase &db, QWidget *parent = nullptr);
    ~IcalImportDialog() override;

    void openFile(const QString &path);
    // Reading or writing a file.
    bool isBusy() const;

signals:
    // Jobs or notes were added or changed.
    void imported();

public slots:
    void reject() override;

private:
    void buildControls();
    QLayout *buildRange();
    void open();
    void openInDesktop();
    void reread();
    void readStep();
    void finishReading();
    void startImport();
    void writeStep();
    void finishWriting();
    void showSummary();
    void fitList();
    void updateButtons();

    QSqlDatabase m_db;
    std::unique_ptr<IcalImport> m_run;
    std::unique_ptr<ModalScope> m_scope; // while writing
    QString m_path;
    bool m_done = false;
    IcalPlanModel *m_model = nullptr;
    QPushButton *m_open = nullptr;
    QLabel *m_file = nullptr;
    QPushButton *m_shellOpen = nullptr;
    QDateEdit *m_first = nullptr;
    QDateEdit *m_last = nullptr;
    QTableView *m_list = nullptr;
    QLabel *m_summary = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_import = nullptr;
    QPushButton *m_close = nullptr;
    QTimer *m_timer = nullptr;
};
