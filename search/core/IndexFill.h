#pragma once

#include "store/Result.h"

#include <QSqlDatabase>

#include <functional>

// Fills the search indexes with the records a store held before the indexes
// came (store/IndexSchema.h). Each batch is one transaction that also moves
// the source's mark in index_fill, so a fill killed at any moment leaves
// every indexed row whole and goes on where it stopped at the next run.
// Records saved meanwhile are indexed by the triggers, before or after the
// fill reaches them, so the store is usable throughout.
class IndexFill final
{
public:
    // Rows of the store read so far and in all; `total` is counted when
    // the run starts.
    using Progress = std::function<bool(qint64 done, qint64 total)>; // false stops the run

    static constexpr int kBatch = 5000;

    explicit IndexFill(QSqlDatabase db);

    // Whether some source is still to be filled.
    Result<bool> pending() const;
    // The source rows still to be read.
    Result<qint64> remaining() const;

    // Indexes up to `rows` more rows of the first source still to be filled;
    // gives the rows read, 0 once every source is filled.
    Result<int> step(int rows = kBatch);

    // Steps until every source is filled or `progress` says stop.
    Result<void> run(const Progress &progress = {}, int batch = kBatch);

private:
    enum class Ended { Filled, Stopped };
    Result<Ended> steps(const Progress &progress, int batch, qint64 &done, qint64 total);

    QSqlDatabase m_db;
};
