#pragma once

#include "store/Result.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

// One record whose readable text holds the search term.
struct SearchHit
{
    enum class Kind { Note, Job, Entry };

    Kind kind = Kind::Note;
    qint64 rowid = -1; // of its note_pad, job_do or job_do_sub row
    QString recordKey; // a note's date_id, a job's id, an entry's job id
    QString stamp;     // its date_id: the note's moment, the job's day, the entry's date
    bool isProtected = false;
    // The job an entry belongs to (the first row holding its id), so the
    // planner can open on it; -1 for notes, jobs and entries of no job.
    qint64 jobRowid = -1;
    QString jobStamp;
    // The text around the first match, on one line, and where in it the
    // match stands.
    QString context;
    qsizetype matchStart = 0;
    qsizetype matchLength = 0;
};

// Which records a search may list. Notes are the diary's: listed when the
// diary is open to whoever searches. Protected jobs and completion-log
// entries, and the entries of a protected job, are listed only once the
// password has been given.
struct SearchScope
{
    bool notes = true;
    bool protectedRecords = false;

    // The scope of a searcher who has given the launcher's password or needs
    // none (`unlocked`), and for whom the diary is open or needs no password.
    static SearchScope of(bool unlocked, bool diaryOpen);
    // What the scope left out, as the search window says it: empty, or
    // "(日记和加密的日程需要密码,没有查找)".
    QString leftOutText() const;
};

// Finds notes, jobs and completion-log entries by their readable text,
// newest first. A term of three or more characters goes through the
// trigram index, as one quoted phrase, so no character of it is ever read
// as search syntax; a shorter one, which trigrams cannot find, is looked for
// in the same indexed text by a substring test. Letters match regardless of
// case (Latin letters only, for one or two characters).
class TextSearch final
{
public:
    static constexpr int kLimit = 500;

    struct Found
    {
        QList<SearchHit> hits;
        bool more = false; // more than `limit` records hold the term
    };

    explicit TextSearch(QSqlDatabase db);

    // The term is taken as termOf() gives it; an empty one finds nothing.
    Result<Found> find(const QString &term, const SearchScope &scope, int limit = kLimit) const;
    // What is searched of the text typed: up to a zero character, trimmed of
    // blanks at its ends, without a byte-order mark at its start.
    static QString termOf(const QString &typed);

    // What the search window says of a search of `term`: how many records
    // were found, and whether more were left unlisted.
    static QString summary(const Found &found, const QString &term);

    // Whether the settings put the diary behind the password.
    Result<bool> diaryNeedsPassword() const;

    // The term as an FTS5 phrase: in double quotes, its own quotes doubled.
    static QString phrase(const QString &term);
    // Some text of `body` around its first match of `term`.
    static void placeContext(SearchHit &hit, const QString &body, const QString &term);

private:
    Result<void> addJobsOfEntries(QList<SearchHit> &hits) const;

    QSqlDatabase m_db;
};
