#pragma once

#include "interchange/core/IcalExport.h"

#include <QDialog>
#include <QSqlDatabase>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

// "导出到iCalendar文件": says what an export takes before it runs (how many
// jobs or notes, how many are behind the password), asks for the password
// when the user includes those, then writes the file whole under a progress
// bar and, when asked, opens it in the desktop's program for calendars.
class IcalExportDialog final : public QDialog
{
    Q_OBJECT

public:
    struct Setup
    {
        QSqlDatabase db;
        IcalExport::What what = IcalExport::What::Jobs;
        // The days the window lists ("yyyyMMdd" or "yyyyMM") and how it
        // names them; empty when it lists no part of the schedule.
        QString listedPrefix;
        QString listedName;
        // The password that guards protected records; none when none does.
        std::function<std::optional<QString>()> password;
    };

    explicit IcalExportDialog(Setup setup, QWidget *parent = nullptr);
    ~IcalExportDialog() override;

    bool isBusy() const;

public slots:
    void reject() override;

private:
    void buildControls();
    IcalExport::Options options() const;
    bool guarded() const;
    void survey();
    void exportFile();
    bool passwordGiven();
    void step();
    void finish();

    Setup m_setup;
    IcalExport::Survey m_survey;
    std::unique_ptr<IcalExport> m_run;
    QString m_path;
    QRadioButton *m_all = nullptr;
    QRadioButton *m_listed = nullptr;
    QLabel *m_summary = nullptr;
    QCheckBox *m_withProtected = nullptr;
    QCheckBox *m_openAfter = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_close = nullptr;
    QTimer *m_timer = nullptr;
};
