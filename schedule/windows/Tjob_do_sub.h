#pragma once

#include "schedule/core/JobEntryRepository.h"
#include "schedule/core/JobRecord.h"
#include "schedule/core/JobRepository.h"

#include <QDialog>
#include <QTime>

class JobEntryListModel;
class QCheckBox;
class QDateEdit;
class QLabel;
class QPlainTextEdit;
class QTableView;

// "工作细节": one job with the dated entries that record how it was carried
// out; new entries are added here. The job itself is only read.
class Tjob_do_sub final : public QDialog
{
    Q_OBJECT

public:
    explicit Tjob_do_sub(QSqlDatabase db, QWidget *parent = nullptr);

    // Reads the job in row `jobRowid` and the entries linked to its id.
    // False, after an error box where there is something to say, when the
    // log cannot be shown: no such job, a store error, or a protected text
    // of the job or its first entry that does not decode.
    bool load(qint64 jobRowid);

    static inline const QString kNoEntries = QStringLiteral("没有记录内容....");
    static inline const QString kEmptyEntry = QStringLiteral("完成内容不能为空,请重新输入...");
    static inline const QString kEntrySaved = QStringLiteral("记录保存成功...");

protected:
    void reject() override;

private:
    QWidget *buildJobGroup();
    QWidget *buildEntryGroup();
    QWidget *buildNewEntryGroup();

    bool showEntry(int row);
    void entryChosen(const QModelIndex &current);
    void addEntry();
    void rewrite();
    void resetNewEntry();

    JobRepository m_jobs;
    JobEntryRepository m_entryStore;
    JobRecord m_job;
    bool m_loaded = false;
    QTime m_pickerTime; // the time of day the picker was last set to

    QLabel *m_day = nullptr;
    QPlainTextEdit *m_jobText = nullptr;
    QLabel *m_completion = nullptr;
    QLabel *m_sharedId = nullptr;
    QTableView *m_entryList = nullptr;
    JobEntryListModel *m_entries = nullptr;
    QPlainTextEdit *m_entryText = nullptr;
    QDateEdit *m_picker = nullptr;
    QCheckBox *m_protect = nullptr;
    QPlainTextEdit *m_newText = nullptr;
};
