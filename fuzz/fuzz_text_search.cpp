// Any note and any term cut from it through the text search: whatever the
// text holds (quotes, search syntax, odd Unicode), the search runs and finds
// the note. The first two bytes choose where the term starts and how long it
// is; the rest is the note.
#include "MemoryStore.h"
#include "search/core/TextSearch.h"
#include "store/FieldCodec.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstddef>
#include <cstdint>

namespace {

constexpr qsizetype kLongestTerm = 20;

qint64 storeNote(const QSqlDatabase &db, const QString &text)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("DELETE FROM note_pad")))
        __builtin_trap();
    query.prepare(QStringLiteral("INSERT INTO note_pad (date_id, note_memo) VALUES ('20260101080000', ?)"));
    query.addBindValue(FieldCodec::encode(text));
    if (!query.exec())
        __builtin_trap();
    return query.lastInsertId().toLongLong();
}

// A piece of `text` that never splits a character in two.
QString termOf(const QString &text, uint8_t start, uint8_t length)
{
    if (text.isEmpty())
        return {};
    qsizetype from = start % text.size();
    if (text.at(from).isLowSurrogate())
        --from;
    qsizetype to = std::min(text.size(), from + 1 + length % kLongestTerm);
    if (to < text.size() && text.at(to).isLowSurrogate())
        ++to;
    return text.mid(from, to - from);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    const QSqlDatabase db = memoryStore();
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    const qint64 note = storeNote(db, text);
    const QString term = termOf(text, data[0], data[1]);
    const Result<TextSearch::Found> found = TextSearch(db).find(term, {true, true});
    if (!found) // nothing typed may break the search
        __builtin_trap();
    if (TextSearch::termOf(term).isEmpty())
        return 0;
    if (found->hits.size() != 1 || found->hits.first().rowid != note)
        __builtin_trap();
    const SearchHit &hit = found->hits.first();
    if (hit.matchStart < 0 || hit.matchStart + hit.matchLength > hit.context.size())
        __builtin_trap();
    return 0;
}
