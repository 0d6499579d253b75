#include "NoteRepository.h"

#include "FieldCodec.h"
#include "StoreError.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

bool fail(const QSqlQuery &query, QString *error)
{
    if (error)
        *error = StoreError::text(query.lastError());
    return false;
}

bool run(QSqlQuery &query, QString *error)
{
    return query.exec() || fail(query, error);
}

} // namespace

NoteRepository::NoteRepository(QSqlDatabase db)
    : m_db(std::move(db))
{
}

bool NoteRepository::append(const QString &dateId, const QString &text, QString *error)
{
    QSqlQuery query(m_db);
    if (!query.prepare(QStringLiteral("insert into note_pad (date_id, note_memo) values (?, ?)")))
        return fail(query, error);
    query.addBindValue(dateId);
    query.addBindValue(FieldCodec::encode(text));
    return run(query, error);
}

std::optional<QList<qint64>> NoteRepository::keysNewestFirst(QString *error)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    // The date_id index holds the rowid too, so this is one backward index scan.
    if (!query.prepare(
            QStringLiteral("select rowid from note_pad order by date_id desc, rowid desc"))
        || !query.exec()) {
        fail(query, error);
        return std::nullopt;
    }
    QList<qint64> keys;
    while (query.next())
        keys.append(query.value(0).toLongLong());
    if (query.lastError().isValid()) {
        fail(query, error);
        return std::nullopt;
    }
    return keys;
}

std::optional<NoteRepository::Stored> NoteRepository::fetch(qint64 rowid, QString *error)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("select date_id, note_memo from note_pad where rowid = ?"))) {
        fail(query, error);
        return std::nullopt;
    }
    query.addBindValue(rowid);
    if (!run(query, error))
        return std::nullopt;
    if (!query.next()) {
        if (query.lastError().isValid())
            fail(query, error);
        else if (error)
            *error = kGone;
        return std::nullopt;
    }
    return Stored { query.value(0).toString(), query.value(1).toString() };
}

bool NoteRepository::remove(qint64 rowid, QString *error)
{
    QSqlQuery query(m_db);
    if (!query.prepare(QStringLiteral("delete from note_pad where rowid = ?")))
        return fail(query, error);
    query.addBindValue(rowid);
    return run(query, error);
}

bool NoteRepository::rewrite(qint64 rowid, const QString &text, QString *error)
{
    QSqlQuery query(m_db);
    if (!query.prepare(QStringLiteral("update note_pad set note_memo = ? where rowid = ?")))
        return fail(query, error);
    query.addBindValue(FieldCodec::encode(text));
    query.addBindValue(rowid);
    if (!run(query, error))
        return false;
    if (query.numRowsAffected() == 0) {
        if (error)
            *error = kGone;
        return false;
    }
    return true;
}
