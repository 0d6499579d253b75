#pragma once

#include <optional>
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
    bool append(const QString &dateId, const QString &text, QString *error);

    // The rowids of all notes, newest stamp first; equal stamps newest row
    // first. Only the keys are read, so opening a long diary stays quick.
    std::optional<QList<qint64>> keysNewestFirst(QString *error);

    // One note as stored; nullopt with `error` set when it cannot be read or
    // no longer exists.
    std::optional<Stored> fetch(qint64 rowid, QString *error);

    bool remove(qint64 rowid, QString *error);
    // Replaces the text of one note; its stamp stays.
    bool rewrite(qint64 rowid, const QString &text, QString *error);

    // Shown when a listed note has gone from the store since the list was read.
    static inline const QString kGone = QStringLiteral("本记录已不存在,请刷新所有记录");

private:
    QSqlDatabase m_db;
};
