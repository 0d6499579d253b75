#pragma once

#include "schedule/core/JobDays.h"
#include "schedule/core/JobListModel.h"
#include "schedule/core/JobRepository.h"

#include <optional>
#include <QDate>
#include <QWidget>

class JobPasswordBox;
class LunarCalendar;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTimer;
class PlannerHost;
struct SearchHit;

// "日程安排": the day planner. A job is written for the day chosen on the
// calendar, with an optional reminder minute and protection; the list below
// shows one day's jobs or this month's, and opens a job's completion log.
class Tjob_do final : public QWidget
{
    Q_OBJECT

public:
    explicit Tjob_do(PlannerHost &host, QWidget *parent = nullptr);

    static inline const QString kSaved = QStringLiteral("成功保存记录...准备下一条记录输入...");
    static inline const QString kConfirmDone = QStringLiteral("确定 [ 完成 ] 本记录吗? (Yes/No)");
    static inline const QString kConfirmDelete = QStringLiteral("确定 [ 删除 ] 本记录吗? (Yes/No)");

    // Chooses `day` on the calendar and selects the job of `jobRowid` in the
    // day list when it is there; a reminder and a search hit open the
    // planner this way.
    void showJob(const QDate &day, qint64 jobRowid);

signals:
    // A search from here chose a note: the diary shows it.
    void noteChosen(qint64 noteRowid);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildDateGroup();
    QWidget *buildJobGroup();
    QWidget *buildListGroup();
    QTableView *buildList(const QString &name, JobListModel *model, JobListModel::Layout layout, const QColor &colour);
    QSize sizeWithPanel();
    void buildMenu();
    void showToday();

    // The day list: one statement, re-run by a save and by "刷新内容".
    bool loadList(const QString &prefix, qint64 keepRowid = -1);
    std::optional<JobRecord> currentJob() const;

    void chooseDay();
    // Selects a day whose list is read next; the list read marks the job
    // days of its page, so a store that fails says so once.
    void selectDay(const QDate &day);
    // Bold on the calendar's days that hold jobs, for the month in sight.
    void markJobDays();
    void showDay(const QDate &day, qint64 keepRowid);
    void saveJob();
    void showPanel(const JobRecord &saved);
    void panelTick();
    void updateMenu();
    void markDone();
    void deleteJob();
    void refreshList();
    void showMonth();
    void openCurrent();
    void passwordEntered(const QString &password);
    void passwordCancelled();
    void openLog(qint64 jobRowid);
    void openHit(const SearchHit &hit);

    PlannerHost &m_host;
    JobRepository m_jobs;
    JobDays m_jobDays;
    QString m_listPrefix;
    int m_panelTicks = 0;
    bool m_selectingDay = false;

    LunarCalendar *m_calendar = nullptr;
    QCheckBox *m_reminder = nullptr;
    QLineEdit *m_time = nullptr;
    QLineEdit *m_dayText = nullptr;
    QLabel *m_lunar = nullptr; // the chosen day's lunar date
    QPlainTextEdit *m_text = nullptr;
    QCheckBox *m_protect = nullptr;
    QPushButton *m_save = nullptr;
    QGroupBox *m_listBox = nullptr;
    QTableView *m_list = nullptr;
    JobListModel *m_listModel = nullptr;
    QGroupBox *m_panelBox = nullptr;
    JobListModel *m_panelModel = nullptr;
    JobPasswordBox *m_passBox = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_done = nullptr;
    QAction *m_delete = nullptr;
    QTimer *m_panelTimer = nullptr;
};
