#pragma once

#include "store/Result.h"
#include "sync/core/SyncState.h"

#include <QElapsedTimer>
#include <QSqlDatabase>

#include <functional>
#include <optional>

// What a sync writes here, grouped: the records of one batch share a
// transaction, so ten thousand of them cost tens of commits, not ten
// thousand; each record is written in a savepoint of its own, so a record
// that cannot be written is undone alone and the others stay. The writes
// mark no local change (SyncState::Quiet). Nothing waits on the network
// while a batch is open: a batch is written between requests.
class SyncBatch final
{
public:
    explicit SyncBatch(QSqlDatabase db);
    ~SyncBatch(); // an open batch is rolled back
    SyncBatch(const SyncBatch &) = delete;
    SyncBatch &operator=(const SyncBatch &) = delete;

    // Runs `work` as one record, all or nothing. Its own failure is put in
    // `recordError` and undone; a failure of the batch itself is returned.
    Result<void> record(const std::function<Result<void>()> &work, QString *recordError);
    Result<void> commit();
    bool isOpen() const { return m_open; }

private:
    Result<void> open();

    QSqlDatabase m_db;
    bool m_open = false;
    std::optional<SyncState::Quiet> m_quiet;
};
