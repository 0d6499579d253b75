#include "interchange/core/IcalImport.h"

#include "interchange/core/IcalMapping.h"
#include "interchange/core/RecordUids.h"
#include "store/Sql.h"

#include <QCryptographicHash>
#include <QElapsedTimer>

namespace {

// The most characters the UID table keeps; a longer UID is kept by its hash.
constexpr int kMaxUid = 1000;
// How far reading components goes in the progress bar; matching them with
// the store the rest.
constexpr double kItemsShare = 0.8;

QString keptUid(const QString &uid)
{
    if (uid.size() <= kMaxUid)
        return uid;
    return QStringLiteral("sha256:")
           + QString::fromLatin1(QCryptographicHash::hash(uid.toUtf8(), QCryptographicHash::Sha256).toHex());
}

RecordUids::Kind uidKind(const IcalPlan &plan)
{
    return plan.kind == IcalPlan::Kind::Job ? RecordUids::Kind::Job : RecordUids::Kind::Note;
}

} // namespace

// The import's one transaction: rolled back unless it was committed, also
// when the import is dropped half way.
class IcalImport::Transaction
{
public:
    // `own` false: the caller's transaction, which the caller ends.
    static Result<std::unique_ptr<Transaction>> begin(QSqlDatabase db, bool own)
    {
        if (own) {
            if (Result<void> begun = Sql::begin(db); !begun)
                return fail(begun.error());
        }
        return std::unique_ptr<Transaction>(new Transaction(std::move(db), own));
    }
    ~Transaction()
    {
        if (m_open)
            m_db.rollback();
    }
    Result<void> commit()
    {
        if (!m_open)
            return {};
        m_open = false;
        return Sql::commit(m_db);
    }

private:
    Transaction(QSqlDatabase db, bool own)
        : m_db(std::move(db))
        , m_open(own)
    {
    }
    QSqlDatabase m_db;
    bool m_open;
};

IcalImport::Options IcalImport::defaults(const QDateTime &now)
{
    Options options;
    options.now = now;
    options.first = now.date();
    options.last = now.date().addMonths(12).addDays(-1);
    return options;
}

IcalImport::IcalImport(QSqlDatabase db, IcalFile file, const Options &options)
    : m_db(db)
    , m_file(std::move(file))
    , m_options(options)
    , m_zones(std::make_unique<IcalZones>(options.zone))
    , m_store(std::move(db))
{
    Libical::prepare();
    m_notes = m_file.notes();
    if (!m_options.now.isValid())
        m_options.now = QDateTime::currentDateTime().toTimeZone(m_options.zone);
}

IcalImport::IcalImport(IcalImport &&) noexcept = default;
IcalImport &IcalImport::operator=(IcalImport &&) noexcept = default;

IcalImport::~IcalImport() = default;

Result<IcalImport> IcalImport::open(const QSqlDatabase &db, const QString &path, const Options &options)
{
    Result<IcalFile> file = IcalFile::read(path);
    if (!file)
        return fail(file.error());
    return IcalImport(db, std::move(file).value(), options);
}

Result<IcalImport> IcalImport::fromBytes(const QSqlDatabase &db, QByteArray bytes, const Options &options)
{
    Result<IcalFile> file = IcalFile::fromBytes(std::move(bytes));
    if (!file)
        return fail(file.error());
    return IcalImport(db, std::move(file).value(), options);
}

bool IcalImport::isReading() const
{
    return m_stage != Stage::Done && m_error.isEmpty();
}

double IcalImport::readProgress() const
{
    const qsizetype items = m_file.items().size();
    switch (m_stage) {
    case Stage::Zones:
        return 0;
    case Stage::Items:
        return items == 0 ? kItemsShare : kItemsShare * m_nextPart / items;
    case Stage::Resolve:
        return kItemsShare + (1 - kItemsShare) * (m_plans.isEmpty() ? 1.0 : double(m_nextPlan) / m_plans.size());
    case Stage::Done:
        return 1;
    }
    return 1;
}

bool IcalImport::readStep(qint64 budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    while (isReading()) {
        switch (m_stage) {
        case Stage::Zones:
            readZones();
            m_stage = Stage::Items;
            break;
        case Stage::Items:
            if (m_nextPart < m_file.items().size()) {
                readItem(m_file.items().at(m_nextPart++));
            } else {
                settleUids();
                m_stage = Stage::Resolve;
            }
            break;
        case Stage::Resolve:
            if (m_nextPlan < m_plans.size()) {
                if (Result<void> resolved = resolve(m_plans[m_nextPlan++]); !resolved)
                    m_error = resolved.error();
            } else {
                m_stage = Stage::Done;
            }
            break;
        case Stage::Done:
            break;
        }
        if (clock.elapsed() >= budgetMs)
            break;
    }
    return isReading();
}

void IcalImport::readZones()
{
    for (const IcalFile::Part &part : m_file.timezones()) {
        const QString problem = m_zones->add(part.calendar, part.text.constData());
        if (!problem.isEmpty())
            m_notes << QStringLiteral("第%1行: %2,不用它.").arg(part.line).arg(problem);
    }
}

void IcalImport::readItem(const IcalFile::Part &part)
{
    IcalMapping::Context context;
    context.zones = m_zones.get();
    context.calendar = part.calendar;
    context.first = m_options.first;
    context.last = m_options.last;
    context.now = m_options.now;
    context.line = part.line;
    // Reading the same file again gives the same UID, so an item without
    // one is still found.
    context.fallbackUid = QStringLiteral("velmora-")
                          + QString::fromLatin1(QCryptographicHash::hash(part.text, QCryptographicHash::Sha1).toHex());
    Libical::Component item(icalparser_parse_string(part.text.constData()));
    const icalcomponent_kind kind = item ? icalcomponent_isa(item.get()) : ICAL_NO_COMPONENT;
    if (kind != ICAL_VEVENT_COMPONENT && kind != ICAL_VTODO_COMPONENT && kind != ICAL_VJOURNAL_COMPONENT) {
        IcalPlan plan;
        plan.line = part.line;
        plan.kind = part.name == "VJOURNAL" ? IcalPlan::Kind::Note : IcalPlan::Kind::Job;
        plan.action = IcalPlan::Action::Refused;
        plan.error = QStringLiteral("%1无法读取").arg(QString::fromLatin1(part.name));
        m_plans.append(plan);
        return;
    }
    m_plans += IcalMapping::plans(item.get(), context);
}

// One record per UID: a component that changes an occurrence wins over the
// occurrence its event makes, whichever comes first; of two others the
// first is taken.
void IcalImport::settleUids()
{
    QHash<QString, qsizetype> holder;
    for (qsizetype i = 0; i < m_plans.size(); ++i) {
        IcalPlan &plan = m_plans[i];
        if (plan.action == IcalPlan::Action::Refused)
            continue;
        const QString key = (plan.kind == IcalPlan::Kind::Job ? u'J' : u'N') + plan.uid();
        const auto held = holder.constFind(key);
        if (held == holder.constEnd()) {
            holder.insert(key, i);
            continue;
        }
        IcalPlan &other = m_plans[*held];
        if (plan.isOverride && !other.isOverride) {
            other.action = IcalPlan::Action::Refused;
            other.error = QStringLiteral("由第%1行的改动代替").arg(plan.line);
            holder.insert(key, i);
        } else if (other.isOverride && !plan.isOverride) {
            plan.action = IcalPlan::Action::Refused;
            plan.error = QStringLiteral("由第%1行的改动代替").arg(other.line);
        } else {
            plan.action = IcalPlan::Action::Refused;
            plan.error = QStringLiteral("与第%1行的记录UID相同").arg(other.line);
        }
    }
}

Result<void> IcalImport::resolve(IcalPlan &plan)
{
    if (plan.action == IcalPlan::Action::Refused)
        return {};
    Result<std::optional<QString>> key = RecordUids::keyFor(m_db, uidKind(plan), keptUid(plan.uid()));
    if (!key)
        return fail(key.error());
    if (!*key)
        return {};
    if (plan.kind == IcalPlan::Kind::Job) {
        Result<std::optional<JobNoteStore::StoredJob>> job = m_store.jobByKey(**key);
        if (!job)
            return fail(job.error());
        if (*job) {
            plan.action = IcalPlan::Action::Update;
            plan.existingKey = (*job)->key;
            plan.existingId = (*job)->job.id;
            plan.existingRowid = (*job)->rowid;
            plan.existingProtected = (*job)->job.isProtected;
        }
        return {};
    }
    Result<std::optional<JobNoteStore::StoredNote>> note = m_store.noteByKey(**key);
    if (!note)
        return fail(note.error());
    if (*note) {
        plan.action = IcalPlan::Action::Update;
        plan.existingKey = (*note)->key;
        plan.existingRowid = (*note)->rowid;
    }
    return {};
}

int IcalImport::count(IcalPlan::Kind kind, IcalPlan::Action action) const
{
    return int(std::count_if(m_plans.cbegin(), m_plans.cend(),
                             [&](const IcalPlan &plan) { return plan.kind == kind && plan.action == action; }));
}

int IcalImport::count(IcalPlan::Action action) const
{
    return count(IcalPlan::Kind::Job, action) + count(IcalPlan::Kind::Note, action);
}

int IcalImport::count(IcalPlan::Outcome outcome) const
{
    return int(
        std::count_if(m_plans.cbegin(), m_plans.cend(), [&](const IcalPlan &plan) { return plan.outcome == outcome; }));
}

void IcalImport::startWriting(bool updateExisting)
{
    m_updateExisting = updateExisting;
    m_next = 0;
    m_error.clear();
    Result<std::unique_ptr<Transaction>> transaction = Transaction::begin(m_db, !m_options.inCallersTransaction);
    if (!transaction) {
        m_error = transaction.error();
        return;
    }
    m_jobIds = m_options.jobIds;
    if (!m_jobIds) {
        Result<QSet<QString>> ids = m_store.jobIds();
        if (!ids) {
            m_error = ids.error();
            return;
        }
        m_jobIds = std::make_shared<JobIdPool>(std::move(ids).value(), m_options.now);
    }
    m_transaction = std::move(transaction).value();
}

bool IcalImport::writeStep(qint64 budgetMs)
{
    if (!m_transaction)
        return false;
    QElapsedTimer clock;
    clock.start();
    while (m_next < m_plans.size()) {
        if (Result<void> written = write(m_plans[m_next]); !written) {
            undo(written.error());
            return false;
        }
        ++m_next;
        if (clock.elapsed() >= budgetMs)
            return true;
    }
    const Result<void> committed = m_transaction->commit();
    m_transaction.reset();
    if (!committed)
        undo(committed.error());
    return false;
}

void IcalImport::cancelWriting()
{
    if (m_transaction)
        undo({});
}

void IcalImport::undo(const QString &why)
{
    m_transaction.reset();
    for (IcalPlan &plan : m_plans)
        plan.outcome = IcalPlan::Outcome::Pending;
    if (!why.isEmpty())
        m_error = QStringLiteral("导入时出错,没有导入任何记录:\n") + why;
}

Result<void> IcalImport::write(IcalPlan &plan)
{
    if (plan.action == IcalPlan::Action::Refused || (plan.action == IcalPlan::Action::Update && !m_updateExisting)) {
        plan.outcome = IcalPlan::Outcome::Skipped;
        return {};
    }
    Result<void> written = plan.kind == IcalPlan::Kind::Job ? writeJob(plan) : writeNote(plan);
    if (!written)
        return fail(QStringLiteral("第%1行的记录: %2").arg(plan.line).arg(written.error()));
    plan.outcome = plan.action == IcalPlan::Action::Update ? IcalPlan::Outcome::Updated : IcalPlan::Outcome::Added;
    return {};
}

Result<void> IcalImport::writeJob(IcalPlan &plan)
{
    Ical::Job job = plan.job;
    if (plan.action == IcalPlan::Action::Update) {
        // A protected job stays protected, whatever the file says.
        job.id = plan.existingId;
        job.isProtected = job.isProtected || plan.existingProtected;
        return m_store.updateJob(plan.existingRowid, job);
    }
    job.id = freshJobId(plan.created);
    Result<QString> key = m_store.addJob(job);
    if (!key)
        return fail(key.error());
    return RecordUids::keep(m_db, RecordUids::Kind::Job, *key, keptUid(plan.uid()));
}

Result<void> IcalImport::writeNote(IcalPlan &plan)
{
    Result<QString> key = plan.action == IcalPlan::Action::Update ? m_store.updateNote(plan.existingRowid, plan.note)
                                                                  : m_store.addNote(plan.note);
    if (!key)
        return fail(key.error());
    if (*key == plan.existingKey)
        return {};
    return RecordUids::keep(m_db, RecordUids::Kind::Note, *key, keptUid(plan.uid()));
}

// A job's id is the moment it was first saved: the file's CREATED when no
// job holds it yet, else a later second no job holds.
QString IcalImport::freshJobId(const QString &wanted)
{
    return m_jobIds->take(wanted);
}

Result<IcalImport> IcalImport::run(const QSqlDatabase &db, QByteArray bytes, const Options &options)
{
    Result<IcalImport> import = fromBytes(db, std::move(bytes), options);
    if (!import)
        return import;
    while (import->readStep(1000)) { }
    if (!import->error().isEmpty())
        return fail(import->error());
    import->startWriting(true);
    while (import->writeStep(1000)) { }
    if (!import->error().isEmpty())
        return fail(import->error());
    return import;
}
