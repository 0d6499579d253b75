#pragma once

#include "diary/core/NoteRepository.h"

#include <QList>
#include <QString>

// The browser's list of notes, newest first, and which one is current. It
// holds only the rowids; a note's text is read and decoded when it is shown.
class NoteHistory final
{
public:
    // What the browser shows of the current note.
    struct Note
    {
        QString dateId;
        QString text;
        bool decoded = false;
        QString error; // the decoder's or the store's text when !decoded
    };

    explicit NoteHistory(QSqlDatabase db);

    // (Re)reads the list; the newest note becomes current.
    Result<void> open();

    int count() const { return int(m_keys.size()); }
    bool isEmpty() const { return m_keys.isEmpty(); }
    // 1-based; 0 when the list is empty.
    int position() const { return isEmpty() ? 0 : m_index + 1; }

    // Each returns true when the current note changed; a move past either
    // end leaves it where it is.
    bool first();
    bool previous(); // one newer
    bool next();     // one older
    bool last();
    // Makes the note of `rowid` current; false when the list does not hold
    // it (deleted meanwhile).
    bool moveToRowid(qint64 rowid);

    // Reads and decodes the current note. Only valid while !isEmpty().
    Note current();

    // Deletes the current note; the next older one becomes current, or the
    // one before when the oldest went. Both need a current note.
    Result<void> removeCurrent();
    // Stores `text` as the current note's text; its stamp stays.
    Result<void> rewriteCurrent(const QString &text);

    // "2024年05月01日  09:30:05" for the stamp 20240501093005, built from the
    // stamp's characters by position.
    static QString timeText(const QString &dateId);

private:
    bool moveTo(qsizetype index);

    NoteRepository m_repository;
    QList<qint64> m_keys;
    qsizetype m_index = 0;
};
