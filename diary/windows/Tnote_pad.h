#pragma once

#include "diary/core/NotePage.h"
#include "diary/core/NoteRepository.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class This_note_pad;

// "记事本": writes one free-text note per page, stamped with the moment the
// page was started. Opens the history browser and hides itself meanwhile.
class Tnote_pad final : public QWidget
{
    Q_OBJECT

public:
    explicit Tnote_pad(QSqlDatabase db, QWidget *parent = nullptr);

    const NotePage &page() const { return m_page; }
    // The browser this editor opened, while it is open.
    This_note_pad *history() const;
    // Opens the history browser on the note of `rowid` (a search hit).
    void showNote(qint64 rowid);

signals:
    // A search in the history browser chose a job or an entry of one.
    void jobChosen(const QDate &day, qint64 jobRowid);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void restart();
    void startPage();
    void textChanged();
    void save();
    void openHistory();
    void returnFromHistory(This_note_pad *browser);

    QSqlDatabase m_db;
    NoteRepository m_notes;
    NotePage m_page;
    bool m_pageStarted = false;
    QLabel *m_moment = nullptr;
    QLabel *m_lunar = nullptr; // the page's day in the lunar calendar
    QPlainTextEdit *m_memo = nullptr;
    QPushButton *m_save = nullptr;
    QPointer<This_note_pad> m_history;
};
