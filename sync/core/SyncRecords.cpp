#include "sync/core/SyncRecords.h"

#include "interchange/core/CardPhoto.h"
#include "interchange/core/IcalImport.h"
#include "interchange/core/IcalTime.h"
#include "interchange/core/IcalWriter.h"
#include "interchange/core/VCardExport.h"
#include "interchange/core/VCardMapping.h"
#include "interchange/core/VCardReader.h"
#include "store/FieldCodec.h"
#include "store/Sql.h"

#include <QCryptographicHash>
#include <QUuid>

namespace {

// The first card of an export: a contact of an older store with several
// personal records writes a card for each, and a server resource holds one.
QByteArray firstCard(const QByteArray &cards)
{
    const qsizetype end = cards.indexOf("END:VCARD");
    if (end < 0)
        return cards;
    const qsizetype lineEnd = cards.indexOf('\n', end);
    return lineEnd < 0 ? cards : cards.left(lineEnd + 1);
}

std::optional<VCard::Card> readCard(const QByteArray &resource, QString *error)
{
    Result<VCardReader> reader = VCardReader::fromBytes(resource);
    if (!reader) {
        *error = reader.error();
        return std::nullopt;
    }
    std::optional<VCard::Card> card = reader->next();
    if (!card)
        *error = QStringLiteral("服务器上的记录不是联系人名片");
    else if (!card->error.isEmpty())
        *error = card->error;
    return card;
}

QString firstLine(const QString &text)
{
    return text.trimmed().section(u'\n', 0, 0).trimmed().left(40);
}

QString readable(const QString &stored, bool encoded)
{
    if (!encoded)
        return stored;
    const FieldCodec::Decoded decoded = FieldCodec::decode(stored);
    return decoded.ok ? decoded.text : stored;
}

QString freshUid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QString contactMeaning(const CardContact &contact)
{
    QStringList parts = contact.personTexts;
    parts << (contact.male ? (*contact.male ? QStringLiteral("男") : QStringLiteral("女")) : QString());
    for (const CardUnit &unit : contact.units)
        parts << unit.texts;
    for (const CardOther &other : contact.others)
        parts << other.text;
    // A server may write the picture again in another form: its presence is
    // what it says.
    parts << (contact.photo.isEmpty() ? QStringLiteral("no photo") : QStringLiteral("photo"));
    return parts.join(QChar(0x1f));
}

} // namespace

SyncRecords::SyncRecords(QSqlDatabase db, SyncKind kind, const Options &options)
    : m_db(db)
    , m_kind(kind)
    , m_options(options)
    , m_jobs(db)
{
    if (!m_options.now.isValid())
        m_options.now = QDateTime::currentDateTime();
}

SyncRecords::SyncRecords(SyncRecords &&) noexcept = default;
SyncRecords &SyncRecords::operator=(SyncRecords &&) noexcept = default;
SyncRecords::~SyncRecords() = default;

Result<SyncRecords> SyncRecords::make(const QSqlDatabase &db, SyncKind kind, const Options &options)
{
    SyncRecords records(db, kind, options);
    if (kind == SyncKind::Contact) {
        Result<CardStore> cards = CardStore::make(db);
        if (!cards)
            return fail(cards.error());
        records.m_cards = std::make_unique<CardStore>(std::move(cards).value());
    }
    return records;
}

Result<QStringList> SyncRecords::keys() const
{
    QStringList keys;
    if (m_kind == SyncKind::Contact) {
        Result<QSqlQuery> ids = Sql::read(m_db, QStringLiteral("SELECT DISTINCT pe_id FROM pe_info ORDER BY pe_id"));
        if (!ids)
            return fail(ids.error());
        while (ids->next())
            keys << ids->value(0).toString();
        return keys;
    }
    if (m_kind == SyncKind::Job) {
        Result<QList<JobNoteStore::StoredJob>> jobs = m_jobs.jobs({});
        if (!jobs)
            return fail(jobs.error());
        for (const auto &row : *jobs)
            keys << row.key;
        return keys;
    }
    Result<QList<JobNoteStore::StoredNote>> notes = m_jobs.notes();
    if (!notes)
        return fail(notes.error());
    for (const auto &row : *notes)
        keys << row.key;
    return keys;
}

Result<std::optional<SyncRecords::Local>> SyncRecords::read(const QString &key)
{
    switch (m_kind) {
    case SyncKind::Contact:
        return readContact(key);
    case SyncKind::Job:
        return readJob(key);
    case SyncKind::Note:
        break;
    }
    return readNote(key);
}

Result<std::optional<SyncRecords::Local>> SyncRecords::readContact(const QString &key)
{
    Result<VCardExport> exported = VCardExport::run(m_db, {key}, VCardWriter::Version::V30);
    if (!exported)
        return fail(exported.error());
    if (exported->cards() == 0)
        return std::optional<Local>();
    Local local;
    local.key = key;
    local.resource = firstCard(exported->bytes());
    Result<QSqlQuery> person = Sql::read(
        m_db,
        QStringLiteral("SELECT pe_name, e_dec_yn, (SELECT count(*) FROM pe_dw_info WHERE pe_id = ? AND e_dec_yn) "
                       "+ (SELECT count(*) FROM pe_other_info WHERE pe_id = ? AND e_dec_yn) FROM pe_info "
                       "WHERE pe_id = ? ORDER BY rowid LIMIT 1"),
        {key, key, key});
    if (!person)
        return fail(person.error());
    if (person->next()) {
        const bool encoded = person->value(1).toBool();
        local.name = readable(person->value(0).toString(), encoded);
        local.isProtected = encoded || person->value(2).toInt() > 0;
    }
    Result<QString> uid = RecordUids::uidFor(m_db, RecordUids::Kind::Contact, key);
    if (!uid)
        return fail(uid.error());
    local.uid = *uid;
    return std::optional<Local>(std::move(local));
}

namespace {

QByteArray calendarOf(const Libical::Component &component, const QDateTime &moment, const QTimeZone &zone)
{
    QByteArray bytes = IcalWriter::calendarHead();
    if (moment.isValid() && !IcalTime::isUtc(zone)) {
        const Libical::Component vtimezone = IcalTime::timezone(zone, moment, moment);
        bytes += IcalWriter::text(vtimezone.get());
    }
    bytes += IcalWriter::text(component.get());
    bytes += IcalWriter::calendarTail();
    return bytes;
}

} // namespace

Result<std::optional<SyncRecords::Local>> SyncRecords::readJob(const QString &key)
{
    Result<std::optional<JobNoteStore::StoredJob>> stored = m_jobs.jobByKey(key);
    if (!stored)
        return fail(stored.error());
    if (!*stored)
        return std::optional<Local>();
    Ical::Job job = (*stored)->job;
    Result<QString> uid = RecordUids::uidFor(m_db, RecordUids::Kind::Job, key);
    if (!uid)
        return fail(uid.error());
    job.uid = *uid;
    const IcalWriter::Context context{m_options.zone, m_options.now};
    Local local{key, *uid, firstLine(job.text), job.isProtected, {}};
    const QDateTime moment = job.reminder ? IcalWriter::plannedMoment(job.dateId, true, m_options.zone) : QDateTime();
    local.resource = calendarOf(IcalWriter::todo(job, context), moment, m_options.zone);
    return std::optional<Local>(std::move(local));
}

Result<std::optional<SyncRecords::Local>> SyncRecords::readNote(const QString &key)
{
    Result<std::optional<JobNoteStore::StoredNote>> stored = m_jobs.noteByKey(key);
    if (!stored)
        return fail(stored.error());
    if (!*stored)
        return std::optional<Local>();
    Ical::Note note = (*stored)->note;
    Result<QString> uid = RecordUids::uidFor(m_db, RecordUids::Kind::Note, key);
    if (!uid)
        return fail(uid.error());
    note.uid = *uid;
    const IcalWriter::Context context{m_options.zone, m_options.now};
    Local local{key, *uid, firstLine(note.text), false, {}};
    local.resource = calendarOf(IcalWriter::journal(note, context), IcalWriter::momentOf(note.dateId, m_options.zone),
                                m_options.zone);
    return std::optional<Local>(std::move(local));
}

QString SyncRecords::uidOf(SyncKind kind, const QByteArray &resource)
{
    if (kind == SyncKind::Contact) {
        QString error;
        const std::optional<VCard::Card> card = readCard(resource, &error);
        return card ? VCardMapping::toContact(*card).contact.uid : QString();
    }
    // The UID line itself: enough to find the record a resource was.
    for (const QByteArray &line : resource.split('\n')) {
        if (line.startsWith("UID:"))
            return QString::fromUtf8(line.mid(4).trimmed());
    }
    return {};
}

Result<SyncRecords::Applied> SyncRecords::apply(const QByteArray &resource)
{
    return m_kind == SyncKind::Contact ? applyContact(resource) : applyCalendar(resource);
}

Result<SyncRecords::Applied> SyncRecords::applyContact(const QByteArray &resource)
{
    QString error;
    const std::optional<VCard::Card> card = readCard(resource, &error);
    if (!card)
        return fail(error);
    VCardMapping::Mapped mapped = VCardMapping::toContact(*card);
    if (!mapped.error.isEmpty())
        return fail(mapped.error);
    CardContact &contact = mapped.contact;
    if (contact.uid.isEmpty())
        return fail(QStringLiteral("服务器上的名片没有UID"));
    QByteArray photo;
    if (!contact.photo.isEmpty()) {
        Result<QByteArray> stored = CardPhoto::toStored(contact.photo);
        if (stored)
            photo = std::move(stored).value();
    }
    Result<std::optional<CardStore::Existing>> existing = m_cards->byUid(contact.uid);
    if (!existing)
        return fail(existing.error());
    if (*existing) {
        if (Result<void> updated = m_cards->update(**existing, contact, photo); !updated)
            return fail(updated.error());
        return Applied{(*existing)->id, contact.uid, false};
    }
    Result<QString> id = m_cards->add(contact, photo, m_options.now);
    if (!id)
        return fail(id.error());
    return Applied{*id, contact.uid, false};
}

Result<SyncRecords::Applied> SyncRecords::applyCalendar(const QByteArray &resource)
{
    IcalImport::Options options = IcalImport::defaults(m_options.now);
    options.zone = m_options.zone;
    options.inCallersTransaction = true;
    if (Result<void> read = readJobIds(); !read)
        return fail(read.error());
    options.jobIds = m_jobIds;
    Result<IcalImport> import = IcalImport::fromBytes(m_db, resource, options);
    if (!import)
        return fail(import.error());
    while (import->readStep(1000)) { }
    if (!import->error().isEmpty())
        return fail(import->error());
    const IcalPlan::Kind wanted = m_kind == SyncKind::Job ? IcalPlan::Kind::Job : IcalPlan::Kind::Note;
    const QList<IcalPlan> &plans = import->plans();
    if (plans.isEmpty() || plans.first().kind != wanted)
        return Applied{{}, {}, true};
    if (plans.size() > 1)
        return fail(QStringLiteral("服务器上的这个日程会重复多次,记事本只同步单次的工作和日记"));
    if (plans.first().action == IcalPlan::Action::Refused)
        return fail(plans.first().error);
    import->startWriting(true);
    while (import->writeStep(1000)) { }
    if (!import->error().isEmpty())
        return fail(import->error());
    const QString uid = plans.first().uid();
    Result<std::optional<QString>> key = RecordUids::keyFor(m_db, SyncKinds::uidKind(m_kind), uid);
    if (!key)
        return fail(key.error());
    if (!*key)
        return fail(QStringLiteral("记录写入后找不到它的UID"));
    return Applied{**key, uid, false};
}

Result<void> SyncRecords::remove(const QString &key)
{
    if (m_kind == SyncKind::Contact) {
        for (const char *table : {"pe_info", "pe_dw_info", "pe_other_info"}) {
            const QString statement = QStringLiteral("DELETE FROM %1 WHERE pe_id = ?").arg(QLatin1String(table));
            if (Result<QSqlQuery> deleted = Sql::run(m_db, statement, {key}); !deleted)
                return fail(deleted.error());
        }
        return RecordUids::forget(m_db, RecordUids::Kind::Contact, key);
    }
    if (m_kind == SyncKind::Job) {
        Result<std::optional<JobNoteStore::StoredJob>> job = m_jobs.jobByKey(key);
        if (!job)
            return fail(job.error());
        if (*job) {
            if (Result<QSqlQuery> deleted =
                    Sql::run(m_db, QStringLiteral("DELETE FROM job_do WHERE rowid = ?"), {(*job)->rowid});
                !deleted)
                return fail(deleted.error());
        }
        return RecordUids::forget(m_db, RecordUids::Kind::Job, key);
    }
    Result<std::optional<JobNoteStore::StoredNote>> note = m_jobs.noteByKey(key);
    if (!note)
        return fail(note.error());
    if (*note) {
        if (Result<QSqlQuery> deleted =
                Sql::run(m_db, QStringLiteral("DELETE FROM note_pad WHERE rowid = ?"), {(*note)->rowid});
            !deleted)
            return fail(deleted.error());
    }
    return RecordUids::forget(m_db, RecordUids::Kind::Note, key);
}

Result<void> SyncRecords::readJobIds()
{
    if (m_jobIds)
        return {};
    Result<QSet<QString>> ids = m_jobs.jobIds();
    if (!ids)
        return fail(ids.error());
    m_jobIds = std::make_shared<JobIdPool>(std::move(ids).value(), m_options.now);
    return {};
}

Result<QString> SyncRecords::freeJobId()
{
    if (Result<void> read = readJobIds(); !read)
        return fail(read.error());
    return m_jobIds->take();
}

Result<QString> SyncRecords::copyAsConflict(const Local &local)
{
    const QString uid = freshUid();
    if (m_kind == SyncKind::Contact) {
        QString error;
        const std::optional<VCard::Card> card = readCard(local.resource, &error);
        if (!card)
            return fail(error);
        VCardMapping::Mapped mapped = VCardMapping::toContact(*card);
        if (!mapped.error.isEmpty())
            return fail(mapped.error);
        CardContact &contact = mapped.contact;
        contact.uid = uid;
        QString &name = contact.personTexts[ContactColumns::Name];
        name = kConflictCopy + name;
        QByteArray photo;
        if (!contact.photo.isEmpty()) {
            if (Result<QByteArray> stored = CardPhoto::toStored(contact.photo))
                photo = std::move(stored).value();
        }
        return m_cards->add(contact, photo, m_options.now);
    }
    if (m_kind == SyncKind::Job) {
        Result<std::optional<JobNoteStore::StoredJob>> stored = m_jobs.jobByKey(local.key);
        if (!stored)
            return fail(stored.error());
        if (!*stored)
            return fail(QStringLiteral("本地的工作已不存在"));
        Ical::Job job = (*stored)->job;
        Result<QString> id = freeJobId();
        if (!id)
            return fail(id.error());
        job.id = *id;
        job.text = kConflictCopy + job.text;
        Result<QString> key = m_jobs.addJob(job);
        if (!key)
            return fail(key.error());
        if (Result<void> kept = RecordUids::keep(m_db, RecordUids::Kind::Job, *key, uid); !kept)
            return fail(kept.error());
        return *key;
    }
    Result<std::optional<JobNoteStore::StoredNote>> stored = m_jobs.noteByKey(local.key);
    if (!stored)
        return fail(stored.error());
    if (!*stored)
        return fail(QStringLiteral("本地的日记已不存在"));
    Ical::Note note = (*stored)->note;
    note.text = kConflictCopy + note.text;
    Result<QString> key = m_jobs.addNote(note);
    if (!key)
        return fail(key.error());
    if (Result<void> kept = RecordUids::keep(m_db, RecordUids::Kind::Note, *key, uid); !kept)
        return fail(kept.error());
    return *key;
}

QString SyncRecords::meaning(const QByteArray &resource) const
{
    if (m_kind == SyncKind::Contact) {
        QString error;
        const std::optional<VCard::Card> card = readCard(resource, &error);
        if (!card)
            return QStringLiteral("unreadable: ") + error;
        return contactMeaning(VCardMapping::toContact(*card).contact);
    }
    IcalImport::Options options = IcalImport::defaults(m_options.now);
    options.zone = m_options.zone;
    Result<IcalImport> import = IcalImport::fromBytes(m_db, resource, options);
    if (!import)
        return QStringLiteral("unreadable: ") + import.error();
    while (import->readStep(1000)) { }
    QStringList parts;
    for (const IcalPlan &plan : import->plans()) {
        parts << plan.uid() << plan.dateId() << plan.text() << plan.error;
        if (plan.kind == IcalPlan::Kind::Job) {
            parts << QString::number(plan.job.reminder) << QString::number(plan.job.isProtected) << plan.job.completion;
            for (const Ical::Entry &entry : plan.job.entries)
                parts << entry.dateId << entry.text << QString::number(entry.isProtected);
        }
    }
    return parts.join(QChar(0x1f));
}
