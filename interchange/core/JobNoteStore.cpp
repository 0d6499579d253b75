#include "interchange/core/JobNoteStore.h"

#include "interchange/core/StoredText.h"
#include "store/FieldCodec.h"
#include "store/Sql.h"

namespace {

const QString kJobColumns =
    QStringLiteral("j.rowid, j.id, j.date_id, j.job_memo, j.alter_yn, j.e_dec_yn, j.complete_yn, "
                   "(SELECT min(rowid) FROM job_do d WHERE d.id = j.id)");
const QString kNoteColumns =
    QStringLiteral("n.rowid, n.date_id, n.note_memo, (SELECT min(rowid) FROM note_pad m WHERE m.date_id = n.date_id)");

// The smallest text after every text that starts with `prefix`.
QString prefixEnd(const QString &prefix)
{
    QString end = prefix;
    end.back() = QChar(end.back().unicode() + 1);
    return end;
}

QString readable(const QString &stored, bool encoded)
{
    return StoredText::readable(stored, encoded, false);
}

QString stored(const QString &text, bool encode)
{
    return encode ? FieldCodec::encode(text) : text;
}

JobNoteStore::StoredJob readJob(const QSqlQuery &query)
{
    JobNoteStore::StoredJob row;
    row.rowid = query.value(0).toLongLong();
    Ical::Job &job = row.job;
    job.id = query.value(1).toString();
    job.dateId = query.value(2).toString();
    job.isProtected = query.value(5).toBool();
    job.text = readable(query.value(3).toString(), job.isProtected);
    job.reminder = query.value(4).toBool();
    job.completion = query.value(6).toString();
    const QVariant first = query.value(7);
    row.key = JobNoteStore::keyOf(job.id, row.rowid, !first.isNull() && first.toLongLong() == row.rowid);
    return row;
}

JobNoteStore::StoredNote readNote(const QSqlQuery &query)
{
    JobNoteStore::StoredNote row;
    row.rowid = query.value(0).toLongLong();
    row.note.dateId = query.value(1).toString();
    row.note.text = readable(query.value(2).toString(), true);
    const QVariant first = query.value(3);
    row.key = JobNoteStore::keyOf(row.note.dateId, row.rowid, !first.isNull() && first.toLongLong() == row.rowid);
    return row;
}

Ical::Entry readEntry(const QSqlQuery &query, int from)
{
    Ical::Entry entry;
    entry.dateId = query.value(from).toString();
    entry.isProtected = query.value(from + 2).toBool();
    entry.text = readable(query.value(from + 1).toString(), entry.isProtected);
    return entry;
}

// "stamp#rowid" split; no rowid for a first record's key.
std::pair<QString, std::optional<qint64>> splitKey(const QString &key)
{
    const qsizetype mark = key.lastIndexOf(u'#');
    if (mark < 0)
        return {key, std::nullopt};
    bool ok = false;
    const qint64 rowid = key.mid(mark + 1).toLongLong(&ok);
    if (!ok)
        return {key, std::nullopt};
    return {key.left(mark), rowid};
}

} // namespace

JobNoteStore::JobNoteStore(QSqlDatabase db)
    : m_db(std::move(db))
{
}

QString JobNoteStore::keyOf(const QString &stamp, qint64 rowid, bool first)
{
    return first ? stamp : QStringLiteral("%1#%2").arg(stamp).arg(rowid);
}

Result<QList<JobNoteStore::StoredJob>> JobNoteStore::jobs(const QString &prefix) const
{
    const QString range = prefix.isEmpty() ? QString() : QStringLiteral(" WHERE date_id >= ? AND date_id < ?");
    const QVariantList bounds = prefix.isEmpty() ? QVariantList() : QVariantList{prefix, prefixEnd(prefix)};
    Result<QSqlQuery> read = Sql::read(
        m_db, QStringLiteral("SELECT %1 FROM job_do j%2 ORDER BY j.date_id, j.rowid").arg(kJobColumns, range), bounds);
    if (!read)
        return fail(read.error());
    QList<StoredJob> rows;
    QHash<QString, QList<qsizetype>> rowsOfId;
    while (read->next()) {
        rows.append(readJob(*read));
        rowsOfId[rows.constLast().job.id].append(rows.size() - 1);
    }
    read->finish();

    // Entries belong to every job that holds their id.
    Result<QSqlQuery> entries =
        Sql::read(m_db,
                  QStringLiteral("SELECT id, date_id, job_memo_sub, e_dec_yn FROM job_do_sub WHERE id IN "
                                 "(SELECT id FROM job_do%1) ORDER BY rowid")
                      .arg(range),
                  bounds);
    if (!entries)
        return fail(entries.error());
    while (entries->next()) {
        const auto owners = rowsOfId.constFind(entries->value(0).toString());
        if (owners == rowsOfId.constEnd())
            continue;
        const Ical::Entry entry = readEntry(*entries, 1);
        for (qsizetype row : *owners)
            rows[row].job.entries.append(entry);
    }
    return rows;
}

Result<QList<JobNoteStore::StoredNote>> JobNoteStore::notes() const
{
    Result<QSqlQuery> read =
        Sql::read(m_db, QStringLiteral("SELECT %1 FROM note_pad n ORDER BY n.date_id, n.rowid").arg(kNoteColumns));
    if (!read)
        return fail(read.error());
    QList<StoredNote> rows;
    while (read->next())
        rows.append(readNote(*read));
    return rows;
}

Result<std::optional<JobNoteStore::StoredJob>> JobNoteStore::jobByKey(const QString &key) const
{
    const auto [id, rowid] = splitKey(key);
    Result<QSqlQuery> read =
        rowid ? Sql::read(
            m_db, QStringLiteral("SELECT %1 FROM job_do j WHERE j.rowid = ? AND ifnull(j.id, '') = ?").arg(kJobColumns),
            {*rowid, id})
              : Sql::read(
                  m_db,
                  QStringLiteral("SELECT %1 FROM job_do j WHERE j.id = ? ORDER BY j.rowid LIMIT 1").arg(kJobColumns),
                  {id});
    if (!read)
        return fail(read.error());
    if (!read->next())
        return std::optional<StoredJob>();
    StoredJob row = readJob(*read);
    read->finish();
    Result<QList<Ical::Entry>> entries = entriesOf(row.job.id);
    if (!entries)
        return fail(entries.error());
    row.job.entries = *entries;
    return std::optional<StoredJob>(row);
}

Result<std::optional<JobNoteStore::StoredNote>> JobNoteStore::noteByKey(const QString &key) const
{
    const auto [dateId, rowid] = splitKey(key);
    Result<QSqlQuery> read =
        rowid ? Sql::read(m_db,
                          QStringLiteral("SELECT %1 FROM note_pad n WHERE n.rowid = ? AND ifnull(n.date_id, '') = ?")
                              .arg(kNoteColumns),
                          {*rowid, dateId})
              : Sql::read(m_db,
                          QStringLiteral("SELECT %1 FROM note_pad n WHERE n.date_id = ? ORDER BY n.rowid LIMIT 1")
                              .arg(kNoteColumns),
                          {dateId});
    if (!read)
        return fail(read.error());
    if (!read->next())
        return std::optional<StoredNote>();
    return std::optional<StoredNote>(readNote(*read));
}

Result<QSet<QString>> JobNoteStore::jobIds() const
{
    Result<QSqlQuery> read = Sql::read(m_db, QStringLiteral("SELECT DISTINCT id FROM job_do WHERE id IS NOT NULL"));
    if (!read)
        return fail(read.error());
    QSet<QString> ids;
    while (read->next())
        ids.insert(read->value(0).toString());
    return ids;
}

Result<QList<Ical::Entry>> JobNoteStore::entriesOf(const QString &jobId) const
{
    Result<QSqlQuery> read = Sql::read(
        m_db, QStringLiteral("SELECT date_id, job_memo_sub, e_dec_yn FROM job_do_sub WHERE id = ? ORDER BY rowid"),
        {jobId});
    if (!read)
        return fail(read.error());
    QList<Ical::Entry> entries;
    while (read->next())
        entries.append(readEntry(*read, 0));
    return entries;
}

Result<void> JobNoteStore::addEntries(const QString &jobId, const QList<Ical::Entry> &entries)
{
    for (const Ical::Entry &entry : entries) {
        Result<QSqlQuery> added = Sql::run(
            m_db, QStringLiteral("INSERT INTO job_do_sub (id, date_id, job_memo_sub, e_dec_yn) VALUES (?, ?, ?, ?)"),
            {jobId, entry.dateId, stored(entry.text, entry.isProtected), entry.isProtected});
        if (!added)
            return fail(added.error());
    }
    return {};
}

Result<QString> JobNoteStore::addJob(const Ical::Job &job)
{
    Result<QSqlQuery> added = Sql::run(
        m_db,
        QStringLiteral("INSERT INTO job_do (id, date_id, job_memo, alter_yn, e_dec_yn, "
                       "complete_yn) VALUES (?, ?, ?, ?, ?, ?)"),
        {job.id, job.dateId, stored(job.text, job.isProtected), job.reminder, job.isProtected, job.completion});
    if (!added)
        return fail(added.error());
    if (Result<void> entries = addEntries(job.id, job.entries); !entries)
        return fail(entries.error());
    return job.id;
}

Result<void> JobNoteStore::updateJob(qint64 rowid, const Ical::Job &job)
{
    Result<QSqlQuery> updated =
        Sql::run(m_db,
                 QStringLiteral("UPDATE job_do SET date_id = ?, job_memo = ?, alter_yn = ?, "
                                "e_dec_yn = ?, complete_yn = ? WHERE rowid = ?"),
                 {job.dateId, stored(job.text, job.isProtected), job.reminder, job.isProtected, job.completion, rowid});
    if (!updated)
        return fail(updated.error());
    Result<QList<Ical::Entry>> kept = entriesOf(job.id);
    if (!kept)
        return fail(kept.error());
    QList<Ical::Entry> missing;
    for (const Ical::Entry &entry : job.entries) {
        const bool known = std::any_of(kept->cbegin(), kept->cend(), [&entry](const Ical::Entry &have) {
            return have.dateId == entry.dateId && have.text == entry.text;
        });
        if (!known)
            missing.append(entry);
    }
    return addEntries(job.id, missing);
}

Result<QString> JobNoteStore::addNote(const Ical::Note &note)
{
    Result<QSqlQuery> added = Sql::run(m_db, QStringLiteral("INSERT INTO note_pad (date_id, note_memo) VALUES (?, ?)"),
                                       {note.dateId, FieldCodec::encode(note.text)});
    if (!added)
        return fail(added.error());
    return noteKey(note.dateId, added->lastInsertId().toLongLong());
}

Result<QString> JobNoteStore::updateNote(qint64 rowid, const Ical::Note &note)
{
    Result<QSqlQuery> updated =
        Sql::run(m_db, QStringLiteral("UPDATE note_pad SET date_id = ?, note_memo = ? WHERE rowid = ?"),
                 {note.dateId, FieldCodec::encode(note.text), rowid});
    if (!updated)
        return fail(updated.error());
    return noteKey(note.dateId, rowid);
}

Result<QString> JobNoteStore::noteKey(const QString &dateId, qint64 rowid) const
{
    Result<QVariant> first =
        Sql::scalar(m_db, QStringLiteral("SELECT min(rowid) FROM note_pad WHERE date_id = ?"), {dateId});
    if (!first)
        return fail(first.error());
    return keyOf(dateId, rowid, first->toLongLong() == rowid);
}
