#include "interchange/core/VCardImport.h"

#include "interchange/core/CardPhoto.h"
#include "interchange/core/StoredText.h"
#include "interchange/core/VCardMapping.h"
#include "store/Sql.h"
#include "store/StoreError.h"

#include <QElapsedTimer>

using namespace ContactColumns;

namespace {

// The most characters the UID table keeps.
constexpr int kMaxUid = 1000;

// Which records of a card are stored encoded: the card's own protection, or
// the contact's it is written over.
struct Protection
{
    bool person = false;
    bool units = false;
};

Protection protectionOf(const CardContact &card, const std::optional<CardStore::Existing> &existing)
{
    return {card.isProtected || (existing && existing->personProtected), existing && existing->unitsProtected};
}

// Visits every value that has a width: (caption, text, width, encoded).
template <typename Visit> void eachLimited(CardContact &card, const Protection &p, Visit &&visit)
{
    for (int i = 0; i < PersonTextCount; ++i)
        visit(kPersonCaptions.at(i), card.personTexts[i], kPersonWidths[i], p.person);
    for (qsizetype u = 0; u < card.units.size(); ++u) {
        CardUnit &unit = card.units[u];
        for (int i = 0; i < UnitTextCount; ++i) {
            const QString caption = card.units.size() > 1
                                        ? QStringLiteral("第%1个单位的%2").arg(u + 1).arg(kUnitCaptions.at(i))
                                        : kUnitCaptions.at(i);
            visit(caption, unit.texts[i], kUnitWidths[i], p.units || unit.isProtected);
        }
    }
}

QStringList overlong(CardContact card, const Protection &protection)
{
    QStringList found;
    eachLimited(card, protection, [&](const QString &caption, QString &text, int width, bool encoded) {
        if (StoredText::fits(text, width, encoded))
            return;
        const qsizetype length = StoredText::toStore(text, encoded).size();
        found << (encoded ? QStringLiteral("%1加密后%2字,最多%3字") : QStringLiteral("%1%2字,最多%3字"))
                     .arg(caption)
                     .arg(length)
                     .arg(width);
    });
    return found;
}

void cutToFit(CardContact &card, const Protection &protection)
{
    eachLimited(card, protection, [](const QString &, QString &text, int width, bool encoded) {
        text = StoredText::fitted(text, width, encoded);
    });
}

} // namespace

VCardImport::VCardImport(QSqlDatabase db, VCardReader reader, CardStore store)
    : m_db(std::move(db))
    , m_reader(std::move(reader))
    , m_store(std::move(store))
{
    m_readSize = m_reader->size();
}

Result<VCardImport> VCardImport::open(const QSqlDatabase &db, const QString &path)
{
    Result<VCardReader> reader = VCardReader::fromFile(path);
    if (!reader)
        return fail(reader.error());
    Result<CardStore> store = CardStore::make(db);
    if (!store)
        return fail(store.error());
    return VCardImport(db, std::move(reader).value(), std::move(store).value());
}

Result<VCardImport> VCardImport::fromBytes(const QSqlDatabase &db, QByteArray bytes)
{
    Result<VCardReader> reader = VCardReader::fromBytes(std::move(bytes));
    if (!reader)
        return fail(reader.error());
    Result<CardStore> store = CardStore::make(db);
    if (!store)
        return fail(store.error());
    return VCardImport(db, std::move(reader).value(), std::move(store).value());
}

bool VCardImport::readStep(qint64 budgetMs)
{
    if (!isReading())
        return false;
    QElapsedTimer timer;
    timer.start();
    // One read transaction a step: the engine takes its lock once, not once
    // for each of the lookups every card makes. Nothing is written.
    if (Result<void> begun = Sql::begin(m_db); !begun) {
        m_error = begun.error();
        return false;
    }
    bool more = true;
    do {
        std::optional<VCard::Card> card = m_reader->next();
        m_readPosition = m_reader->position();
        if (!card) {
            m_problems = m_reader->problems();
            m_reader.reset();
            more = false;
            break;
        }
        m_plans << plan(*card);
        if (Result<void> resolved = resolve(m_plans.last()); !resolved) {
            m_error = resolved.error();
            more = false;
            break;
        }
    } while (timer.elapsed() < budgetMs);
    m_db.rollback();
    return more;
}

CardPlan VCardImport::plan(const VCard::Card &card)
{
    CardPlan plan;
    plan.number = int(m_plans.size()) + 1;
    plan.line = card.line;
    VCardMapping::Mapped mapped = VCardMapping::toContact(card);
    plan.contact = std::move(mapped.contact);
    plan.notes = mapped.notes;
    plan.error = mapped.error;
    if (plan.contact.uid.size() > kMaxUid) {
        plan.notes << QStringLiteral("UID超过%1字,没有保留;再次导入时不能认出这张卡片.").arg(kMaxUid);
        plan.contact.uid.clear();
    }
    if (plan.error.isEmpty() && !plan.contact.photo.isEmpty() && !CardPhoto::looksReadable(plan.contact.photo))
        plan.error = QStringLiteral("照片不是可以读取的图片(PNG, JPEG, BMP或GIF).");
    const QString &uid = plan.contact.uid;
    if (plan.error.isEmpty() && !uid.isEmpty()) {
        if (m_cardOfUid.contains(uid))
            plan.error = QStringLiteral("UID与第%1张卡片相同.").arg(m_cardOfUid.value(uid) + 1);
        else
            m_cardOfUid.insert(uid, plan.number - 1);
    }
    if (!plan.error.isEmpty())
        plan.kind = CardPlan::Kind::Refused;
    return plan;
}

// Finds the contact the card writes over, and checks its values' widths
// against the protection they will be stored with.
Result<void> VCardImport::resolve(CardPlan &plan)
{
    if (plan.kind == CardPlan::Kind::Refused)
        return {};
    std::optional<CardStore::Existing> existing;
    const QString &parent = plan.contact.recordOf;
    const QString lookFor = parent.isEmpty() ? plan.contact.uid : parent;
    if (!lookFor.isEmpty()) {
        Result<std::optional<CardStore::Existing>> found = m_store.byUid(lookFor);
        if (!found)
            return fail(found.error());
        existing = *found;
    }
    if (existing) {
        plan.kind = parent.isEmpty() ? CardPlan::Kind::Update : CardPlan::Kind::Record;
        plan.existingName = existing->name;
        plan.changesKept = true;
    } else if (!parent.isEmpty() && m_cardOfUid.contains(parent)) {
        plan.kind = CardPlan::Kind::Record;
        plan.existingName = m_plans.at(m_cardOfUid.value(parent)).name();
    }
    checkWidths(plan, existing);
    return {};
}

void VCardImport::checkWidths(CardPlan &plan, const std::optional<CardStore::Existing> &existing) const
{
    plan.tooLong = overlong(plan.contact, protectionOf(plan.contact, existing));
}

int VCardImport::count(CardPlan::Kind kind) const
{
    return int(std::count_if(m_plans.cbegin(), m_plans.cend(), [kind](const CardPlan &p) { return p.kind == kind; }));
}

int VCardImport::count(CardPlan::Outcome outcome) const
{
    return int(
        std::count_if(m_plans.cbegin(), m_plans.cend(), [outcome](const CardPlan &p) { return p.outcome == outcome; }));
}

int VCardImport::tooLongCount() const
{
    return int(std::count_if(m_plans.cbegin(), m_plans.cend(), [](const CardPlan &p) {
        return p.kind != CardPlan::Kind::Refused && !p.tooLong.isEmpty();
    }));
}

int VCardImport::updateCount() const
{
    return int(std::count_if(m_plans.cbegin(), m_plans.cend(),
                             [](const CardPlan &p) { return p.kind != CardPlan::Kind::Refused && p.changesKept; }));
}

void VCardImport::startWriting(Choice choice, const QDateTime &now)
{
    m_choice = choice;
    m_now = now;
    m_next = 0;
    m_writing = !isReading() && m_error.isEmpty();
}

bool VCardImport::writeStep(qint64 budgetMs)
{
    if (!m_writing)
        return false;
    QElapsedTimer timer;
    timer.start();
    const int first = m_next;
    const QSet<QString> addedBefore = m_added;
    int stopAt = int(m_plans.size());
    for (;;) {
        if (Result<void> begun = Sql::begin(m_db); !begun) {
            m_error = begun.error();
            break;
        }
        const int spoiled = writeCards(first, stopAt, budgetMs, timer);
        if (spoiled < 0) {
            if (Result<void> committed = Sql::commit(m_db); !committed) {
                undoStep(first, addedBefore);
                m_error = committed.error();
            }
            break;
        }
        // A card failed part way: the step is undone whole and its cards
        // before that one are written again; the card itself stays out.
        m_db.rollback();
        undoStep(first, addedBefore);
        if (!m_error.isEmpty()) {
            if (stopAt == spoiled)
                break; // the cards before it failed too: nothing of the step is kept
            stopAt = spoiled;
        }
    }
    m_writing = m_error.isEmpty() && m_next < m_plans.size();
    return m_writing;
}

// Writes cards from m_next on, until `stopAt` or the end of the budget; the
// cards a failed card made the step write again are written whatever the
// budget. Returns the place of a card that failed after writing began, or -1.
int VCardImport::writeCards(int first, int stopAt, qint64 budgetMs, const QElapsedTimer &timer)
{
    const int rewrite = m_next;
    m_next = first;
    while (m_next < stopAt) {
        CardPlan &plan = m_plans[m_next];
        if (write(plan) == Written::Spoiled)
            return m_next;
        ++m_next;
        if (m_next >= rewrite && timer.elapsed() >= budgetMs)
            break;
    }
    return -1;
}

void VCardImport::undoStep(int first, const QSet<QString> &addedBefore)
{
    for (int i = first; i < m_plans.size(); ++i) {
        CardPlan &plan = m_plans[i];
        if (plan.outcome == CardPlan::Outcome::Added || plan.outcome == CardPlan::Outcome::Updated
            || plan.outcome == CardPlan::Outcome::Skipped)
            plan.outcome = CardPlan::Outcome::Pending;
    }
    m_added = addedBefore;
}

VCardImport::Written VCardImport::write(CardPlan &plan)
{
    const auto skip = [&plan](const QString &why) {
        plan.outcome = CardPlan::Outcome::Skipped;
        plan.why = why;
        return Written::Done;
    };
    if (plan.outcome == CardPlan::Outcome::Failed)
        return Written::Done; // failed in an earlier try of this step
    if (plan.kind == CardPlan::Kind::Refused)
        return skip(plan.error);
    if (!plan.tooLong.isEmpty() && !m_choice.cutLongValues)
        return skip(QStringLiteral("有的值超过了它的栏位长度."));
    QByteArray photo;
    if (!plan.contact.photo.isEmpty()) {
        Result<QByteArray> stored = CardPhoto::toStored(plan.contact.photo);
        if (!stored) {
            plan.outcome = CardPlan::Outcome::Failed;
            plan.why = stored.error();
            return Written::Done; // nothing was written
        }
        photo = std::move(stored).value();
    }
    const Result<void> written = writeResolved(plan, photo);
    if (written)
        return Written::Done;
    plan.outcome = CardPlan::Outcome::Failed;
    plan.why = written.error();
    // A value the store refuses as too long spoils this card only; any other
    // store error stops the import.
    if (!StoreError::tooLong(written.error()))
        m_error = written.error();
    return Written::Spoiled;
}

Result<void> VCardImport::writeResolved(CardPlan &plan, const QByteArray &photo)
{
    CardContact card = plan.contact;
    const QString &parent = card.recordOf;
    // Found again now: an earlier card of this file may have added it.
    std::optional<CardStore::Existing> existing;
    if (const QString lookFor = parent.isEmpty() ? card.uid : parent; !lookFor.isEmpty()) {
        Result<std::optional<CardStore::Existing>> found = m_store.byUid(lookFor);
        if (!found)
            return fail(found.error());
        existing = *found;
    }
    if (m_choice.cutLongValues)
        cutToFit(card, protectionOf(card, existing));
    if (!existing) {
        card.recordOf.clear();
        Result<QString> id = m_store.add(card, photo, m_now);
        if (!id)
            return fail(id.error());
        m_added.insert(*id);
        plan.outcome = CardPlan::Outcome::Added;
        return {};
    }
    if (!m_choice.updateExisting && !m_added.contains(existing->id)) {
        plan.outcome = CardPlan::Outcome::Skipped;
        plan.why = QStringLiteral("没有更新已有的联系人“%1”.").arg(existing->name);
        return {};
    }
    const Result<void> written =
        parent.isEmpty() ? m_store.update(*existing, card, photo) : m_store.writeRecord(*existing, card, photo);
    if (written)
        plan.outcome = CardPlan::Outcome::Updated;
    return written;
}
