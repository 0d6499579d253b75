#include "sync/core/SyncBatch.h"

#include "store/Sql.h"

SyncBatch::SyncBatch(QSqlDatabase db)
    : m_db(std::move(db))
{
}

SyncBatch::~SyncBatch()
{
    if (m_open) {
        m_quiet.reset();
        m_db.rollback();
    }
}

Result<void> SyncBatch::open()
{
    if (Result<void> begun = Sql::begin(m_db); !begun)
        return begun;
    Result<SyncState::Quiet> quiet = SyncState::Quiet::begin(m_db);
    if (!quiet) {
        m_db.rollback();
        return fail(quiet.error());
    }
    m_quiet.emplace(std::move(quiet).value());
    m_open = true;
    return {};
}

Result<void> SyncBatch::record(const std::function<Result<void>()> &work, QString *recordError)
{
    if (!m_open) {
        if (Result<void> opened = open(); !opened)
            return opened;
    }
    if (Result<QSqlQuery> saved = Sql::run(m_db, QStringLiteral("SAVEPOINT sync_record")); !saved)
        return fail(saved.error());
    const Result<void> done = work();
    if (!done) {
        *recordError = done.error();
        if (Result<QSqlQuery> undone = Sql::run(m_db, QStringLiteral("ROLLBACK TO sync_record")); !undone)
            return fail(undone.error());
    }
    if (Result<QSqlQuery> released = Sql::run(m_db, QStringLiteral("RELEASE sync_record")); !released)
        return fail(released.error());
    return {};
}

Result<void> SyncBatch::commit()
{
    if (!m_open)
        return {};
    m_open = false;
    Result<void> ended = m_quiet->end();
    m_quiet.reset();
    if (!ended) {
        m_db.rollback();
        return ended;
    }
    if (Result<void> committed = Sql::commit(m_db); !committed) {
        m_db.rollback();
        return committed;
    }
    return {};
}
