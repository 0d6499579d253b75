#include "search/core/IndexFill.h"

#include "store/IndexSchema.h"
#include "store/Sql.h"

#include <optional>

namespace {

const QString kMerging = QStringLiteral("INSERT INTO search_fts (search_fts, rank) VALUES ('automerge', %1)");
// The engine's own setting.
constexpr int kDefaultMerge = 4;

struct Mark
{
    IndexSchema::Fill fill;
    qint64 doneTo = 0;
};

// The first source still to be filled, in the order of IndexSchema::fills().
Result<std::optional<Mark>> nextMark(const QSqlDatabase &db)
{
    for (const IndexSchema::Fill &fill : IndexSchema::fills()) {
        Result<QVariant> doneTo =
            Sql::scalar(db, QStringLiteral("SELECT done_to FROM index_fill WHERE source = ?"), {fill.source});
        if (!doneTo)
            return fail(doneTo.error());
        if (doneTo->isValid())
            return std::optional<Mark>(Mark{fill, doneTo->toLongLong()});
    }
    return std::optional<Mark>();
}

} // namespace

IndexFill::IndexFill(QSqlDatabase db)
    : m_db(std::move(db))
{
}

Result<bool> IndexFill::pending() const
{
    Result<QVariant> any = Sql::scalar(m_db, QStringLiteral("SELECT EXISTS (SELECT 1 FROM index_fill)"));
    if (!any)
        return fail(any.error());
    return any->toBool();
}

Result<qint64> IndexFill::remaining() const
{
    qint64 rows = 0;
    for (const IndexSchema::Fill &fill : IndexSchema::fills()) {
        // The table name is one of ours, never user text.
        Result<QVariant> count = Sql::scalar(
            m_db,
            QStringLiteral("SELECT count(*) FROM %1 WHERE rowid > (SELECT done_to FROM index_fill WHERE source = ?)")
                .arg(fill.source),
            {fill.source});
        if (!count)
            return fail(count.error());
        rows += count->toLongLong();
    }
    return rows;
}

Result<int> IndexFill::step(int rows)
{
    int read = 0;
    Result<void> done = Sql::inTransaction(m_db, [&]() -> Result<void> {
        Result<std::optional<Mark>> mark = nextMark(m_db);
        if (!mark)
            return fail(mark.error());
        if (!*mark)
            return {};
        const Mark &m = **mark;
        Result<QSqlQuery> batch = Sql::run(
            m_db,
            QStringLiteral("SELECT count(*), max(rowid) FROM (SELECT rowid FROM %1 WHERE rowid > ? ORDER BY rowid "
                           "LIMIT ?)")
                .arg(m.fill.source),
            {m.doneTo, rows});
        if (!batch)
            return fail(batch.error());
        batch->next();
        read = batch->value(0).toInt();
        if (read == 0) {
            Result<QSqlQuery> finished =
                Sql::run(m_db, QStringLiteral("DELETE FROM index_fill WHERE source = ?"), {m.fill.source});
            return finished ? Result<void>() : fail(finished.error());
        }
        const qint64 upTo = batch->value(1).toLongLong();
        if (Result<QSqlQuery> filled = Sql::run(m_db, m.fill.statement, {m.doneTo, upTo}); !filled)
            return fail(filled.error());
        Result<QSqlQuery> moved =
            Sql::run(m_db, QStringLiteral("UPDATE index_fill SET done_to = ? WHERE source = ?"), {upTo, m.fill.source});
        return moved ? Result<void>() : fail(moved.error());
    });
    if (!done)
        return fail(done.error());
    if (read == 0) {
        // A source just finished: the next one may hold rows.
        Result<bool> more = pending();
        if (!more)
            return fail(more.error());
        if (*more)
            return step(rows);
    }
    return read;
}

// Merging the full-text index's segments after each batch would merge the
// same rows over and over: the fill leaves them apart and merges them once
// when it is done. Stopped or killed, it leaves merging to the saves until
// the next fill.
Result<void> IndexFill::run(const Progress &progress, int batch)
{
    Result<qint64> total = remaining();
    if (!total)
        return fail(total.error());
    qint64 done = 0;
    if (progress && !progress(done, *total))
        return {};
    if (Result<QSqlQuery> apart = Sql::run(m_db, kMerging.arg(0)); !apart)
        return fail(apart.error());
    const Result<Ended> ended = steps(progress, batch, done, *total);
    const Result<QSqlQuery> merging = Sql::run(m_db, kMerging.arg(kDefaultMerge));
    if (!ended)
        return fail(ended.error());
    if (!merging)
        return fail(merging.error());
    if (*ended == Ended::Stopped)
        return {};
    Result<QSqlQuery> merged =
        Sql::run(m_db, QStringLiteral("INSERT INTO search_fts (search_fts) VALUES ('optimize')"));
    return merged ? Result<void>() : fail(merged.error());
}

Result<IndexFill::Ended> IndexFill::steps(const Progress &progress, int batch, qint64 &done, qint64 total)
{
    for (;;) {
        Result<int> read = step(batch);
        if (!read)
            return fail(read.error());
        if (*read == 0)
            return Ended::Filled;
        done += *read;
        if (progress && !progress(std::min(done, total), total))
            return Ended::Stopped;
    }
}
