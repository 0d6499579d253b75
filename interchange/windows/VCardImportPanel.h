#pragma once

#include <QSqlDatabase>
#include <QWidget>

#include <memory>

class CardPlanModel;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;
class VCardImport;

// The import tab's vCard page: opens a .vcf file, lists its cards (new,
// updating a contact, refused, values too long, what was read past) and,
// when the user says so, imports them: each card whole or not at all,
// contacts the store keeps updated only after the user agrees. Reading and
// writing run in short steps under a progress bar.
class VCardImportPanel final : public QWidget
{
    Q_OBJECT

public:
    explicit VCardImportPanel(const QSqlDatabase &db, QWidget *parent = nullptr);
    ~VCardImportPanel() override;

    void openFile(const QString &path);
    // Reading or writing a file: closing now would stop it half way.
    bool isBusy() const;
    QTableView *list() const { return m_list; }

signals:
    // Contacts were added or changed.
    void imported();

private:
    void buildControls();
    void open();
    void openInDesktop();
    void readStep();
    void finishReading();
    void fitColumns();
    void startImport();
    void writeStep();
    void finishWriting();
    void showSummary();
    void updateButtons();

    QSqlDatabase m_db;
    std::unique_ptr<VCardImport> m_run;
    QString m_path;
    bool m_done = false; // the cards listed were imported
    CardPlanModel *m_model = nullptr;
    QTableView *m_list = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_shellOpen = nullptr;
    QLabel *m_file = nullptr;
    QLabel *m_summary = nullptr;
    QProgressBar *m_progress = nullptr;
    QCheckBox *m_cut = nullptr;
    QPushButton *m_import = nullptr;
    QTimer *m_timer = nullptr;
};
