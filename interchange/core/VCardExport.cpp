#include "interchange/core/VCardExport.h"

#include "interchange/core/CardPhoto.h"
#include "interchange/core/RecordUids.h"
#include "interchange/core/StoredText.h"
#include "store/Sql.h"
#include "store/StoreError.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QSqlError>
#include <QUuid>

using namespace ContactColumns;

namespace {

// The ids travel as one JSON array bound to one parameter: one statement
// serves a single contact and a whole address book alike.
constexpr qint64 kBytesPerCard = 512;
constexpr qint64 kMaxReserve = 256 * 1024 * 1024;

const QString kIdsIn = QStringLiteral("%1 IN (SELECT value FROM json_each(?))");

QString idList(const QStringList &ids)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(ids)).toJson(QJsonDocument::Compact));
}

// The card of a contact's second or later personal record gets a UID of its
// own, made from the contact's, so that every export gives it the same one.
QString recordUid(const QString &contactUid, int number)
{
    const QUuid base = QUuid::fromString(contactUid);
    const QString name =
        base.isNull() ? contactUid + u'#' + QString::number(number) : QStringLiteral("record-%1").arg(number);
    return QUuid::createUuidV5(base, name).toString(QUuid::WithoutBraces);
}

} // namespace

VCardExport::VCardExport(QSqlDatabase db, VCardWriter::Version version)
    : m_db(std::move(db))
    , m_version(version)
{
}

Result<VCardExport> VCardExport::start(const QSqlDatabase &db, const QStringList &ids, VCardWriter::Version version)
{
    VCardExport run(db, version);
    if (Result<void> prepared = run.prepare(ids); !prepared)
        return fail(prepared.error());
    return run;
}

Result<VCardExport> VCardExport::run(const QSqlDatabase &db, const QStringList &ids, VCardWriter::Version version)
{
    Result<VCardExport> run = start(db, ids, version);
    if (!run)
        return run;
    while (run->step(1000)) { }
    if (run->failed())
        return fail(run->error());
    return run;
}

Result<void> VCardExport::prepare(const QStringList &requested)
{
    QStringList ids = QSet<QString>(requested.cbegin(), requested.cend()).values();
    ids.sort();
    const QString list = idList(ids);
    // Personal records to write, and contacts named that have none (no card).
    Result<QSqlQuery> count = Sql::read(
        m_db,
        QStringLiteral("SELECT count(*), count(DISTINCT %1) FROM %2 WHERE ").arg(kId, kPersonTable) + kIdsIn.arg(kId),
        {list});
    if (!count)
        return fail(count.error());
    count->next();
    m_total = count->value(0).toInt();
    m_leftOut = int(ids.size()) - count->value(1).toInt();
    count->finish();
    // UIDs are made for the contacts that have none, all in one transaction.
    if (Result<void> made = Sql::inTransaction(m_db,
                                               [&]() -> Result<void> {
                                                   Result<QHash<QString, QString>> uids =
                                                       RecordUids::uidsFor(m_db, RecordUids::Kind::Contact, ids);
                                                   if (!uids)
                                                       return fail(uids.error());
                                                   m_uids = std::move(uids).value();
                                                   return {};
                                               });
        !made)
        return made;
    if (Result<void> units = readUnits(list); !units)
        return units;
    if (Result<void> others = readOthers(list); !others)
        return others;
    Result<QSqlQuery> people =
        Sql::read(m_db,
                  QStringLiteral("SELECT %1, %2, %3, %4, %5 FROM %6 WHERE ")
                          .arg(kId, kPersonTexts.join(QStringLiteral(", ")), kSex, kPhoto, kEncoded, kPersonTable)
                      + kIdsIn.arg(kId) + QStringLiteral(" ORDER BY %1, rowid").arg(kId),
                  {list});
    if (!people)
        return fail(people.error());
    m_people = std::move(people).value();
    // Room for the cards without photos, so a long export does not copy its
    // text again each time it outgrows its buffer.
    m_bytes.reserve(qMin<qint64>(qint64(m_total) * kBytesPerCard, kMaxReserve));
    return {};
}

Result<void> VCardExport::readUnits(const QString &list)
{
    Result<QSqlQuery> read = Sql::read(m_db,
                                       QStringLiteral("SELECT %1, %2, %3 FROM %4 WHERE ")
                                               .arg(kId, kUnitTexts.join(QStringLiteral(", ")), kEncoded, kUnitTable)
                                           + kIdsIn.arg(kId) + QStringLiteral(" ORDER BY %1, rowid").arg(kId),
                                       {list});
    if (!read)
        return fail(read.error());
    while (read->next()) {
        CardUnit unit;
        unit.isProtected = read->value(1 + UnitTextCount).toBool();
        for (int i = 0; i < UnitTextCount; ++i)
            unit.texts[i] = StoredText::readable(read->value(1 + i).toString(), unit.isProtected);
        m_units[read->value(0).toString()] << unit;
    }
    return {};
}

Result<void> VCardExport::readOthers(const QString &list)
{
    Result<QSqlQuery> read =
        Sql::read(m_db,
                  QStringLiteral("SELECT %1, %2, %3 FROM %4 WHERE ").arg(kId, kOtherMemo, kEncoded, kOtherTable)
                      + kIdsIn.arg(kId) + QStringLiteral(" ORDER BY %1, rowid").arg(kId),
                  {list});
    if (!read)
        return fail(read.error());
    while (read->next()) {
        CardOther other;
        other.isProtected = read->value(2).toBool();
        // The other information is kept exactly as typed: "-" is a text here.
        other.text = StoredText::readable(read->value(1).toString(), other.isProtected, false);
        m_others[read->value(0).toString()] << other;
    }
    return {};
}

bool VCardExport::step(qint64 budgetMs)
{
    if (finished())
        return false;
    QElapsedTimer timer;
    timer.start();
    do {
        if (!m_people.next()) {
            if (m_people.lastError().isValid())
                m_error = StoreError::text(m_people.lastError());
            m_finished = true;
            m_people.finish();
            return false;
        }
        writeRow();
    } while (timer.elapsed() < budgetMs);
    return true;
}

void VCardExport::writeRow()
{
    CardContact contact;
    const QString id = m_people.value(0).toString();
    contact.isProtected = m_people.value(3 + PersonTextCount).toBool();
    for (int i = 0; i < PersonTextCount; ++i)
        contact.personTexts[i] = StoredText::readable(m_people.value(1 + i).toString(), contact.isProtected, i != Name);
    contact.male = m_people.value(1 + PersonTextCount).toBool();
    const QString uid = m_uids.value(id);
    if (id == m_lastId) {
        contact.recordNumber = ++m_recordOfLast;
        contact.recordOf = uid;
        contact.uid = recordUid(uid, contact.recordNumber);
    } else {
        m_lastId = id;
        m_recordOfLast = 1;
        contact.uid = uid;
        contact.units = m_units.value(id);
        contact.others = m_others.value(id);
    }
    const QByteArray stored = m_people.value(2 + PersonTextCount).toByteArray();
    if (!stored.isEmpty()) {
        Result<QByteArray> png = CardPhoto::toPng(stored);
        if (png)
            contact.photo = std::move(png).value();
        else
            m_notes << QStringLiteral("联系人“%1”的照片无法读取,没有导出照片.").arg(contact.personTexts.at(Name));
    }
    VCardWriter::append(m_bytes, contact, m_version);
    ++m_done;
    ++m_cards;
}
