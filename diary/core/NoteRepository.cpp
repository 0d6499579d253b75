#include "diary/core/NoteRepository.h"

#include "store/FieldCodec.h"
#include "store/Sql.h"
#include "store/StoreError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

NoteRepository::NoteRepository(QSqlDatabase db)
    : m_db(std::move(db))
{
}

Result<void> NoteRepository::append(const QString &dateId, const QString &text)
{
    const auto inserted = Sql::run(m_db, QStringLiteral("insert into note_pad (date_id, note_memo) values (?, ?)"),
                                   {dateId, FieldCodec::encode(text)});
    if (!inserted)
        return fail(inserted.error());
    return {};
}

Result<QList<qint64>> NoteRepository::keysNewestFirst()
{
    // The date_id index holds the rowid too, so this is one backward index scan.
    auto query = Sql::read(m_db, QStringLiteral("select rowid from note_pad order by date_id desc, rowid desc"));
    if (!query)
        return fail(query.error());
    QList<qint64> keys;
    while (query->next())
        keys.append(query->value(0).toLongLong());
    if (query->lastError().isValid())
        return fail(StoreError::text(query->lastError()));
    return keys;
}

Result<NoteRepository::Stored> NoteRepository::fetch(qint64 rowid)
{
    auto query = Sql::read(m_db, QStringLiteral("select date_id, note_memo from note_pad where rowid = ?"), {rowid});
    if (!query)
        return fail(query.error());
    if (!query->next()) {
        if (query->lastError().isValid())
            return fail(StoreError::text(query->lastError()));
        return fail(kGone);
    }
    return Stored{query->value(0).toString(), query->value(1).toString()};
}

Result<void> NoteRepository::remove(qint64 rowid)
{
    const auto deleted = Sql::run(m_db, QStringLiteral("delete from note_pad where rowid = ?"), {rowid});
    if (!deleted)
        return fail(deleted.error());
    return {};
}

Result<void> NoteRepository::rewrite(qint64 rowid, const QString &text)
{
    const auto updated = Sql::run(m_db, QStringLiteral("update note_pad set note_memo = ? where rowid = ?"),
                                  {FieldCodec::encode(text), rowid});
    if (!updated)
        return fail(updated.error());
    if (updated->numRowsAffected() == 0)
        return fail(kGone);
    return {};
}
