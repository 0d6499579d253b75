#pragma once

#include "store/Result.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

// Owns every statement the diary runs on note_pad. Notes are kept in their
// protection form; a note that is rewritten or deleted is addressed by its
// rowid, because stamps may repeat.
class NoteRepository final
{
public:
    struct Stored
    {
        QString dateId;
        QString memo; // the protection form as stored
    };

    explicit NoteRepository(QSqlDatabase db);

    // Appends one note stamped `dateId`; `text` is stored whole, untrimmed.
    Result<void> append(const QString &dateId, const QString &text);

    // The rowids of all notes, newest stamp first; equal stamps newest row
    // first. Only the keys are read, so opening a long diary stays quick.
    Result<QList<qint64>> keysNewestFirst();

    // One note as stored; kGone when it no longer exists.
    Result<Stored> fetch(qint64 rowid);

    Result<void> remove(qint64 rowid);
    // Replaces the text of one note; its stamp stays. kGone when it no longer
    // exists.
    Result<void> rewrite(qint64 rowid, const QString &text);

    // Shown when a listed note has gone from the store since the list was read.
    static inline const QString kGone = QStringLiteral("本记录已不存在,请刷新所有记录");

private:
    QSqlDatabase m_db;
};
