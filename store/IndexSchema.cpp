#include "store/IndexSchema.h"

#include "store/Sql.h"
#include "store/SqlFunctions.h"

namespace IndexSchema {

namespace {

// The statements below are put together from names of ours only. `row` is
// how a statement names the source row: NEW or OLD in a trigger, the table
// itself in a fill.

// --- readings of names --------------------------------------------------

struct NameSource
{
    QString table;    // pe_info
    QString column;   // pe_name
    QString function; // reading_of_name
};

QList<NameSource> nameSources()
{
    return {{QStringLiteral("pe_info"), QStringLiteral("pe_name"), QString::fromLatin1(kReadingOfName)},
            {QStringLiteral("pe_dw_info"), QStringLiteral("dw_name"), QString::fromLatin1(kReadingOfText)}};
}

// Writes the reading of `row` unless the row is protected; `where` limits
// the rows further.
QString writeReading(const NameSource &s, const QString &row, const QString &from, const QString &where)
{
    return QStringLiteral("INSERT OR REPLACE INTO %1_reading (source_rowid, syllables, full_reading, initials) "
                          "SELECT source_rowid, r, replace(r, ' ', ''), %6(r) FROM (SELECT %2.rowid AS "
                          "source_rowid, %3(%2.%4) AS r %5 WHERE NOT %2.e_dec_yn %7)")
        .arg(s.table, row, s.function, s.column, from, QString::fromLatin1(kReadingInitials), where);
}

QStringList readingTriggers(const NameSource &s)
{
    const QString drop = QStringLiteral("DELETE FROM %1_reading WHERE source_rowid = OLD.rowid;").arg(s.table);
    const QString write = writeReading(s, QStringLiteral("NEW"), {}, {}) + u';';
    return {
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS reading_%1_insert AFTER INSERT ON %1 BEGIN %2 END")
            .arg(s.table, write),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS reading_%1_update AFTER UPDATE ON %1 WHEN OLD.rowid IS NOT "
                       "NEW.rowid OR OLD.%2 IS NOT NEW.%2 OR OLD.e_dec_yn IS NOT NEW.e_dec_yn BEGIN %3 %4 END")
            .arg(s.table, s.column, drop, write),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS reading_%1_delete AFTER DELETE ON %1 BEGIN %2 END")
            .arg(s.table, drop),
    };
}

QString readingTable(const QString &table)
{
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1_reading ("
                          " source_rowid INTEGER PRIMARY KEY,"
                          " syllables TEXT NOT NULL,"
                          " full_reading TEXT NOT NULL,"
                          " initials TEXT NOT NULL)")
        .arg(table);
}

// --- readable text of notes, jobs and entries ---------------------------

struct TextSource
{
    QString table;      // job_do
    QString kind;       // job
    QString keyColumn;  // id: the record's key (an entry's is its job's)
    QString textColumn; // job_memo
    QString protection; // what says the text is stored protected; notes always are
};

QList<TextSource> textSources()
{
    return {{QStringLiteral("note_pad"), QStringLiteral("note"), QStringLiteral("date_id"), QStringLiteral("note_memo"),
             QStringLiteral("1")},
            {QStringLiteral("job_do"), QStringLiteral("job"), QStringLiteral("id"), QStringLiteral("job_memo"),
             QStringLiteral("%1.e_dec_yn")},
            {QStringLiteral("job_do_sub"), QStringLiteral("entry"), QStringLiteral("id"),
             QStringLiteral("job_memo_sub"), QStringLiteral("%1.e_dec_yn")}};
}

// A note is always stored protected, yet a note is not "protected" in the
// index: whether notes are listed at all is the diary's password, which the
// search asks about separately.
QString writeText(const TextSource &s, const QString &row, const QString &fromWhere)
{
    const QString stored = QString(s.protection).replace(QStringLiteral("%1"), row);
    const QString isProtected = s.kind == QStringLiteral("note") ? QStringLiteral("0") : stored;
    return QStringLiteral("INSERT INTO search_text (kind, source_rowid, record_key, stamp, protected, body) "
                          "SELECT '%1', %2.rowid, %2.%3, %2.date_id, %4, ifnull(%5(%2.%6, %7), '') %8 "
                          "ON CONFLICT (kind, source_rowid) DO UPDATE SET record_key = excluded.record_key, "
                          "stamp = excluded.stamp, protected = excluded.protected, body = excluded.body "
                          "WHERE record_key IS NOT excluded.record_key OR stamp IS NOT excluded.stamp OR "
                          "protected IS NOT excluded.protected OR body IS NOT excluded.body")
        .arg(s.kind, row, s.keyColumn, isProtected, QString::fromLatin1(SqlFunctions::kPlainText), s.textColumn, stored,
             fromWhere);
}

QStringList textTriggers(const TextSource &s)
{
    const QString drop =
        QStringLiteral("DELETE FROM search_text WHERE kind = '%1' AND source_rowid = OLD.rowid").arg(s.kind);
    // "WHERE 1" keeps the engine from reading ON CONFLICT as a join.
    const QString write = writeText(s, QStringLiteral("NEW"), QStringLiteral("WHERE 1")) + u';';
    return {
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS search_%1_insert AFTER INSERT ON %1 BEGIN %2 END")
            .arg(s.table, write),
        // Marking a job done changes nothing the index holds.
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS search_%1_update AFTER UPDATE ON %1 WHEN OLD.rowid IS NOT "
                       "NEW.rowid OR OLD.%2 IS NOT NEW.%2 OR OLD.%3 IS NOT NEW.%3 OR OLD.date_id IS NOT "
                       "NEW.date_id%4 BEGIN %5 AND OLD.rowid IS NOT NEW.rowid; %6 END")
            .arg(s.table, s.keyColumn, s.textColumn,
                 s.kind == QStringLiteral("note") ? QString() : QStringLiteral(" OR OLD.e_dec_yn IS NOT NEW.e_dec_yn"),
                 drop, write),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS search_%1_delete AFTER DELETE ON %1 BEGIN %2; END")
            .arg(s.table, drop),
    };
}

// The full-text index follows search_text, its external content.
QStringList ftsStatements()
{
    return {
        QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS search_fts USING fts5(body, content='search_text', "
                       "content_rowid='id', tokenize='trigram')"),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS search_fts_insert AFTER INSERT ON search_text BEGIN "
                       "INSERT INTO search_fts (rowid, body) VALUES (NEW.id, NEW.body); END"),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS search_fts_update AFTER UPDATE ON search_text BEGIN "
                       "INSERT INTO search_fts (search_fts, rowid, body) VALUES ('delete', OLD.id, OLD.body); "
                       "INSERT INTO search_fts (rowid, body) VALUES (NEW.id, NEW.body); END"),
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS search_fts_delete AFTER DELETE ON search_text BEGIN "
                       "INSERT INTO search_fts (search_fts, rowid, body) VALUES ('delete', OLD.id, OLD.body); END"),
    };
}

QString fillOf(const QString &table)
{
    return QStringLiteral("INSERT OR IGNORE INTO index_fill (source, done_to) SELECT '%1', 0 WHERE EXISTS "
                          "(SELECT 1 FROM %1)")
        .arg(table);
}

// The rows of a batch: rowid above the first value bound, up to the second.
QString rowRange(const QString &table)
{
    return QStringLiteral("%1.rowid > ? AND %1.rowid <= ?").arg(table);
}

} // namespace

QStringList requiredFunctions()
{
    return {QString::fromLatin1(SqlFunctions::kPlainText), QString::fromLatin1(kReadingOfName),
            QString::fromLatin1(kReadingOfText), QString::fromLatin1(kReadingInitials)};
}

Result<void> addNameReadings(QSqlDatabase &db)
{
    QStringList statements{QStringLiteral("CREATE TABLE IF NOT EXISTS index_fill ("
                                          " source TEXT PRIMARY KEY CHECK (source IN ('pe_info', 'pe_dw_info', "
                                          "'note_pad', 'job_do', 'job_do_sub')),"
                                          " done_to INTEGER NOT NULL)")};
    for (const NameSource &s : nameSources())
        statements << readingTable(s.table) << readingTriggers(s) << fillOf(s.table);
    return Sql::runAll(db, statements);
}

Result<void> addTextIndex(QSqlDatabase &db)
{
    QStringList statements{
        QStringLiteral("CREATE TABLE IF NOT EXISTS search_text ("
                       " id INTEGER PRIMARY KEY,"
                       " kind TEXT NOT NULL CHECK (kind IN ('note', 'job', 'entry')),"
                       " source_rowid INTEGER NOT NULL,"
                       " record_key TEXT,"
                       " stamp TEXT,"
                       " protected BOOLEAN NOT NULL CHECK (protected IN (0, 1)),"
                       " body TEXT NOT NULL,"
                       " UNIQUE (kind, source_rowid))"),
        // Hits are listed newest first; a short term read in that order
        // stops at the first page of hits.
        QStringLiteral("CREATE INDEX IF NOT EXISTS search_text_by_stamp ON search_text (stamp)"),
    };
    statements << ftsStatements();
    for (const TextSource &s : textSources())
        statements << textTriggers(s) << fillOf(s.table);
    return Sql::runAll(db, statements);
}

const QList<Fill> &fills()
{
    static const QList<Fill> all = [] {
        QList<Fill> list;
        for (const NameSource &s : nameSources())
            list << Fill{s.table, writeReading(s, s.table, QStringLiteral("FROM ") + s.table,
                                               QStringLiteral("AND ") + rowRange(s.table))};
        for (const TextSource &s : textSources())
            list << Fill{s.table,
                         writeText(s, s.table, QStringLiteral("FROM %1 WHERE %2").arg(s.table, rowRange(s.table)))};
        return list;
    }();
    return all;
}

} // namespace IndexSchema
