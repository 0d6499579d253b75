#pragma once

#include "diary/core/NoteHistory.h"

#include <QDate>
#include <QWidget>

struct SearchHit;
class QAction;
class QLabel;
class QLayout;
class QMenu;
class QPlainTextEdit;
class QToolButton;

// "以前记事本记录": the saved notes one at a time, newest first. Pages
// through them, refreshes the list, deletes a note and writes one back.
class This_note_pad final : public QWidget
{
    Q_OBJECT

public:
    explicit This_note_pad(QSqlDatabase db, QWidget *parent = nullptr);

    // Shows the note of `rowid` (a search hit), reading the list again so a
    // note saved since it was read is there.
    void showNote(qint64 rowid);

signals:
    // The browser is closing; the editor that opened it comes back.
    void closed();
    // A search from here chose a job or a completion-log entry: the planner
    // shows it, on `day` with the job of `jobRowid` selected.
    void jobChosen(const QDate &day, qint64 jobRowid);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildBand();
    QLayout *buildCounters();
    QLayout *buildNavigation();
    QLayout *buildText();
    void openList();
    void showCurrent();
    void showEmpty();
    void step(bool (NoteHistory::*move)());
    void deleteCurrent();
    void rewriteCurrent();
    void openHit(const SearchHit &hit);

    NoteHistory m_history;
    bool m_listOpened = false;
    bool m_currentDecoded = false;
    QLabel *m_total = nullptr;
    QLabel *m_position = nullptr;
    QLabel *m_time = nullptr;
    QLabel *m_lunar = nullptr; // the note's day in the lunar calendar
    QPlainTextEdit *m_memo = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_delete = nullptr;
    QAction *m_rewrite = nullptr;
};
