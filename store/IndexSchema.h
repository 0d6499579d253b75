#pragma once

#include "store/Result.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The store's two search indexes, kept in step with the records by
// triggers, in the transaction of every save, delete, import and sync:
//
// - the pinyin readings of contact names and unit names
//   (pe_info_reading, pe_dw_info_reading: the row's rowid, its syllables
//   "zhang san", the full reading "zhangsan" and the initials "zs"), left
//   out for protected rows, whose names the address book's search does not
//   find either;
// - the readable text of notes, jobs and completion-log entries
//   (search_text, one row per record with its kind, rowid, key, stamp and
//   protection, and search_fts, a trigram full-text index over it).
//
// A store that had records before the indexes came is filled afterwards,
// source by source in batches (index_fill says how far each has come), so
// the upgrade itself stays quick and a fill cut short goes on where it
// stopped.
namespace IndexSchema {

// The functions the triggers call, added to every connection by
// SqlFunctions: the store's plain_text and these three from the readings.
inline const char *const kReadingOfName = "reading_of_name";    // (name) -> "zhang san"
inline const char *const kReadingOfText = "reading_of_text";    // (text) -> syllables, no surname rule
inline const char *const kReadingInitials = "reading_initials"; // ("zhang san") -> "zs"
QStringList requiredFunctions();

// Schema steps: the readings (version 6) and the text index (version 7).
Result<void> addNameReadings(QSqlDatabase &db);
Result<void> addTextIndex(QSqlDatabase &db);

// One source table of an index: a statement that indexes its rows whose
// rowid is above the first value bound and at most the second.
struct Fill
{
    QString source;
    QString statement;
};

// Every source an index is made of, in the order a fill takes them.
const QList<Fill> &fills();

} // namespace IndexSchema
