#include "contacts/csv/ContactExport.h"

#include "contacts/core/ContactColumns.h"
#include "contacts/core/StoredForm.h"
#include "contacts/csv/CsvText.h"
#include "store/Sql.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>

using namespace ContactColumns;

namespace {
const QString kEmpty = QStringLiteral("-");
// Positions 1, 3 to 10 of the line, as text columns.
constexpr int kLineTexts[] = {Name,           CurrentAddress,    Mobile,       Other, HomePhone, Postcode,
                              IdentityNumber, RegisteredAddress, OnlineContact};

QString value(const QString &text)
{
    return CsvText::field(text.isEmpty() ? kEmpty : text);
}

using ContactSearch::isPersonal;

struct Rows
{
    QHash<qint64, PersonRecord> byRowid;
    QHash<QString, qint64> firstOfContact;
};

// One pass over the personal table; a lookup per hit would cost a query each.
Result<Rows> readAll(const QSqlDatabase &db)
{
    Result<QSqlQuery> read = Sql::read(db, QStringLiteral("SELECT rowid, %1, %2, %3, %4 FROM %5 ORDER BY rowid")
                                               .arg(kId, kPersonTexts.join(u','), kSex, kEncoded, kPersonTable));
    if (!read)
        return fail(read.error());
    QSqlQuery &query = *read;
    Rows rows;
    while (query.next()) {
        PersonRecord record;
        record.id = query.value(1).toString();
        for (int i = 0; i < PersonTextCount; ++i)
            record.texts << query.value(2 + i).toString();
        record.male = query.value(2 + PersonTextCount).toBool();
        record.encoded = query.value(3 + PersonTextCount).toBool();
        record.rowid = query.value(0).toLongLong();
        if (!rows.firstOfContact.contains(record.id))
            rows.firstOfContact.insert(record.id, record.rowid);
        rows.byRowid.insert(record.rowid, std::move(record));
    }
    return rows;
}
const PersonRecord *personOf(const Rows &rows, ContactSearch::Kind kind, const ContactSearch::Hit &hit)
{
    const qint64 rowid = isPersonal(kind) ? hit.rowid : rows.firstOfContact.value(hit.contactId, -1);
    const auto found = rows.byRowid.constFind(rowid);
    return found == rows.byRowid.cend() ? nullptr : &found.value();
}
} // namespace

namespace ContactExport {

// The list shows a page of the result list at a time: only the personal
// records of its hits are read, by rowid or by contact id.
Result<QList<QStringList>> list(const QSqlDatabase &db, ContactSearch::Kind kind, const QList<ContactSearch::Hit> &hits)
{
    const bool byRowid = isPersonal(kind);
    QVariantList keys;
    for (const ContactSearch::Hit &hit : hits) {
        if (!hit.isGone())
            keys << (byRowid ? QVariant(hit.rowid) : QVariant(hit.contactId));
    }
    QHash<QString, QStringList> shown; // by rowid or contact id, the first row of an id
    if (!keys.isEmpty()) {
        const QString places = QStringList(keys.size(), QStringLiteral("?")).join(u',');
        Result<QSqlQuery> read =
            Sql::read(db,
                      QStringLiteral("SELECT %1, %2, %3, %4, %5 FROM %6 WHERE %1 IN (%7) ORDER BY rowid")
                          .arg(byRowid ? QStringLiteral("rowid") : kId, kPersonTexts[Name], kSex,
                               kPersonTexts[CurrentAddress], kPersonTexts[Mobile], kPersonTable, places),
                      keys);
        if (!read)
            return fail(read.error());
        while (read->next()) {
            const QString key = read->value(0).toString();
            if (!shown.contains(key))
                shown.insert(key, {read->value(1).toString(),
                                   read->value(2).toBool() ? QStringLiteral("true") : QStringLiteral("false"),
                                   read->value(3).toString(), read->value(4).toString()});
        }
    }
    QList<QStringList> listed;
    listed.reserve(hits.size());
    for (const ContactSearch::Hit &hit : hits) {
        const QString key = byRowid ? QString::number(hit.rowid) : hit.contactId;
        listed << (hit.isGone() ? QStringList(4) : shown.value(key, QStringList(4)));
    }
    return listed;
}

QString line(const PersonRecord &record)
{
    // A value that cannot be decoded is written as stored rather than lost.
    const QStringList texts = StoredForm::shown(record.texts, record.encoded).texts;
    QString out = value(record.id);
    out += u',';
    out += value(texts.value(Name));
    out += u',';
    out += record.male ? QStringLiteral("男") : QStringLiteral("女");
    for (int i = 1; i < int(std::size(kLineTexts)); ++i) {
        out += u',';
        out += value(texts.value(kLineTexts[i]));
    }
    return out;
}

Result<Exported> build(const QSqlDatabase &db, ContactSearch::Kind kind, const QList<ContactSearch::Hit> &hits)
{
    const Result<Rows> rows = readAll(db);
    if (!rows)
        return fail(rows.error());
    Exported result;
    QString text;
    QSet<QString> written;
    for (const ContactSearch::Hit &hit : hits) {
        if (hit.isGone())
            continue; // gone from the store since the search
        if (!isPersonal(kind)) {
            if (written.contains(hit.contactId))
                continue;
            written.insert(hit.contactId);
        }
        const PersonRecord *found = personOf(*rows, kind, hit);
        if (!found)
            continue; // deleted since the search, or a contact without a personal row
        text += line(*found);
        text += QStringLiteral("\r\n");
        ++result.lines;
    }
    result.bytes = CsvText::encodeGbk(text);
    return result;
}

} // namespace ContactExport
