#pragma once

#include "diary/core/NoteHistory.h"

#include <QWidget>

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

signals:
    // The browser is closing; the editor that opened it comes back.
    void closed();

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
