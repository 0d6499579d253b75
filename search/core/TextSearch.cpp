#include "search/core/TextSearch.h"

#include "store/Sql.h"

#include <QStringList>

namespace {

// Terms shorter than this are not in the trigram index.
constexpr qsizetype kTrigram = 3;
constexpr qsizetype kBefore = 6;
constexpr qsizetype kContext = 24;

const QString kColumns = QStringLiteral("t.kind, t.source_rowid, t.record_key, t.stamp, t.protected, t.body");

// Notes only when the diary is open to the searcher; protected jobs and
// entries, and the entries of a protected job, only after the password.
const QString kScope =
    QStringLiteral("(t.kind <> 'note' OR ?) AND (? OR (t.protected = 0 AND NOT (t.kind = 'entry' AND EXISTS "
                   "(SELECT 1 FROM job_do j WHERE j.id = t.record_key AND j.e_dec_yn))))");
const QString kOrder = QStringLiteral(" ORDER BY t.stamp DESC, t.id DESC");

// The newest records that hold the term are chosen by their stamp and id
// alone; only the texts of those listed are read out.
const QString kPick = QStringLiteral("SELECT %1 FROM search_text t WHERE t.id IN (%2)%3");

// A term in the trigram index: its hits are taken as a set, and the stamps
// are walked newest first until the list is full, so a term held by every
// note costs no more than a rare one.
const QString kIndexed = QStringLiteral("SELECT t.id FROM search_text t INDEXED BY search_text_by_stamp WHERE t.id IN "
                                        "(SELECT rowid FROM search_fts WHERE search_fts MATCH ?) AND %1%2 LIMIT ?");

// A short term: every text is read once, in the order it is stored.
const QString kScanned =
    QStringLiteral("SELECT t.id FROM search_text t NOT INDEXED WHERE text_contains(t.body, ?) AND %1%2 LIMIT ?");

qsizetype characters(const QString &text)
{
    return text.toUcs4().size();
}

SearchHit::Kind kindOf(const QString &name)
{
    if (name == QStringLiteral("job"))
        return SearchHit::Kind::Job;
    if (name == QStringLiteral("entry"))
        return SearchHit::Kind::Entry;
    return SearchHit::Kind::Note;
}

QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    }
    return text;
}

} // namespace

SearchScope SearchScope::of(bool unlocked, bool diaryOpen)
{
    SearchScope scope;
    scope.protectedRecords = unlocked;
    scope.notes = diaryOpen || unlocked;
    return scope;
}

QString SearchScope::leftOutText() const
{
    QStringList missing;
    if (!notes)
        missing << QStringLiteral("日记");
    if (!protectedRecords)
        missing << QStringLiteral("加密的日程");
    return missing.isEmpty() ? QString() : QStringLiteral("(%1需要密码,没有查找)").arg(missing.join(u'和'));
}

QString TextSearch::summary(const Found &found, const QString &term)
{
    if (found.hits.isEmpty())
        return QStringLiteral("没有找到含有“%1”的记录").arg(term);
    if (found.more)
        return QStringLiteral("找到的记录超过 %1 条,只列出最新的 %1 条").arg(found.hits.size());
    return QStringLiteral("找到 %1 条记录").arg(found.hits.size());
}

TextSearch::TextSearch(QSqlDatabase db)
    : m_db(std::move(db))
{
}

QString TextSearch::phrase(const QString &term)
{
    QString quoted = term;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

void TextSearch::placeContext(SearchHit &hit, const QString &body, const QString &term)
{
    const qsizetype at = body.indexOf(term, 0, Qt::CaseInsensitive);
    // A little before the match, but no less text than fits.
    qsizetype from = at < 0 ? 0 : std::max<qsizetype>(0, std::min(at - kBefore, body.size() - kContext));
    // Never start inside a surrogate pair.
    if (from > 0 && body.at(from).isLowSurrogate())
        --from;
    qsizetype length = std::min(body.size() - from, std::max(kContext, at - from + term.size()));
    if (from + length < body.size() && body.at(from + length).isLowSurrogate())
        ++length;
    const QString before = from > 0 ? QStringLiteral("…") : QString();
    const QString after = from + length < body.size() ? QStringLiteral("…") : QString();
    hit.context = before + oneLine(body.mid(from, length)) + after;
    hit.matchStart = at < 0 ? 0 : before.size() + at - from;
    hit.matchLength = at < 0 ? 0 : term.size();
}

QString TextSearch::termOf(const QString &typed)
{
    // A zero character would end the phrase early for the engine's query
    // parser, and no text typed holds one: the term stops there.
    QString term = typed.left(typed.indexOf(QChar(0))).trimmed();
    // The engine reads a byte-order mark at the start of a bound value as the
    // order of the bytes that follow, not as text.
    while (!term.isEmpty() && (term.front() == QChar(0xFEFF) || term.front() == QChar(0xFFFE)))
        term.remove(0, 1);
    return term.trimmed();
}

Result<TextSearch::Found> TextSearch::find(const QString &typed, const SearchScope &scope, int limit) const
{
    const QString term = termOf(typed);
    if (term.isEmpty())
        return Found{};
    const bool indexed = characters(term) >= kTrigram;
    const QString chosen = (indexed ? kIndexed : kScanned).arg(kScope, kOrder);
    Result<QSqlQuery> query =
        Sql::read(m_db, kPick.arg(kColumns, chosen, kOrder),
                  {indexed ? phrase(term) : term, int(scope.notes), int(scope.protectedRecords), limit + 1});
    if (!query)
        return fail(query.error());
    Found found;
    while (query->next()) {
        if (found.hits.size() == limit) {
            found.more = true;
            break;
        }
        SearchHit hit;
        hit.kind = kindOf(query->value(0).toString());
        hit.rowid = query->value(1).toLongLong();
        hit.recordKey = query->value(2).toString();
        hit.stamp = query->value(3).toString();
        hit.isProtected = query->value(4).toBool();
        placeContext(hit, query->value(5).toString(), term);
        found.hits.append(hit);
    }
    if (Result<void> jobs = addJobsOfEntries(found.hits); !jobs)
        return fail(jobs.error());
    return found;
}

Result<void> TextSearch::addJobsOfEntries(QList<SearchHit> &hits) const
{
    for (SearchHit &hit : hits) {
        if (hit.kind != SearchHit::Kind::Entry)
            continue;
        Result<QSqlQuery> job =
            Sql::run(m_db, QStringLiteral("SELECT rowid, date_id FROM job_do WHERE id = ? ORDER BY rowid LIMIT 1"),
                     {hit.recordKey});
        if (!job)
            return fail(job.error());
        if (job->next()) {
            hit.jobRowid = job->value(0).toLongLong();
            hit.jobStamp = job->value(1).toString();
        }
    }
    return {};
}

Result<bool> TextSearch::diaryNeedsPassword() const
{
    Result<QVariant> flag = Sql::scalar(
        m_db, QStringLiteral("SELECT pub_static_do_n FROM public_code WHERE pub_id = '2' ORDER BY rowid LIMIT 1"));
    if (!flag)
        return fail(flag.error());
    return flag->isValid() && flag->toBool();
}
