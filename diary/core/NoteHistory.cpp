#include "diary/core/NoteHistory.h"

#include "store/FieldCodec.h"

NoteHistory::NoteHistory(QSqlDatabase db)
    : m_repository(std::move(db))
{
}

Result<void> NoteHistory::open()
{
    auto keys = m_repository.keysNewestFirst();
    if (!keys)
        return fail(keys.error());
    m_keys = std::move(keys).value();
    m_keys.squeeze();
    m_index = 0;
    return {};
}

bool NoteHistory::moveTo(qsizetype index)
{
    if (index < 0 || index >= m_keys.size() || index == m_index)
        return false;
    m_index = index;
    return true;
}

bool NoteHistory::first()
{
    return moveTo(0);
}

bool NoteHistory::previous()
{
    return moveTo(m_index - 1);
}

bool NoteHistory::next()
{
    return moveTo(m_index + 1);
}

bool NoteHistory::last()
{
    return moveTo(m_keys.size() - 1);
}

bool NoteHistory::moveToRowid(qint64 rowid)
{
    const qsizetype index = m_keys.indexOf(rowid);
    if (index < 0)
        return false;
    m_index = index;
    return true;
}

NoteHistory::Note NoteHistory::current()
{
    Note note;
    const auto stored = m_repository.fetch(m_keys.at(m_index));
    if (!stored) {
        note.error = stored.error();
        return note;
    }
    note.dateId = stored->dateId;
    FieldCodec::Decoded decoded = FieldCodec::decode(stored->memo);
    note.decoded = decoded.ok;
    note.text = std::move(decoded.text);
    note.error = std::move(decoded.error);
    return note;
}

Result<void> NoteHistory::removeCurrent()
{
    if (isEmpty())
        return fail(NoteRepository::kGone);
    if (Result<void> removed = m_repository.remove(m_keys.at(m_index)); !removed)
        return removed;
    m_keys.removeAt(m_index);
    if (m_index >= m_keys.size())
        m_index = std::max<qsizetype>(0, m_keys.size() - 1);
    return {};
}

Result<void> NoteHistory::rewriteCurrent(const QString &text)
{
    if (isEmpty())
        return fail(NoteRepository::kGone);
    return m_repository.rewrite(m_keys.at(m_index), text);
}

QString NoteHistory::timeText(const QString &dateId)
{
    return dateId.mid(0, 4) + QStringLiteral("年") + dateId.mid(4, 2) + QStringLiteral("月") + dateId.mid(6, 2)
           + QStringLiteral("日  ") + dateId.mid(8, 2) + u':' + dateId.mid(10, 2) + u':' + dateId.mid(12, 2);
}
