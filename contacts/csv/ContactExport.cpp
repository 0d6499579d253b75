#include "ContactExport.h"

#include "ContactColumns.h"
#include "CsvText.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

using namespace ContactColumns;

namespace {
const QString kEmpty = QStringLiteral("-");
// Positions 1, 3 to 10 of the line, as text columns.
constexpr int kLineTexts[] = {Name, CurrentAddress, Mobile, Other, HomePhone, Postcode,
                              IdentityNumber, RegisteredAddress, OnlineContact};

QString value(const QString &text)
{
    return CsvText::field(text.isEmpty() ? kEmpty : text);
}

bool isPersonal(ContactSearch::Kind kind)
{
    using K = ContactSearch::Kind;
    return kind == K::Name || kind == K::Mobile || kind == K::PersonalMemo;
}

struct Rows
{
    QHash<qint64, QString> byRowid;
    QHash<QString, QString> firstOfContact;
};

// One pass over the personal table; a lookup per hit would cost a query each.
QString readAll(const QSqlDatabase &db, Rows &rows)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT rowid, %1, %2, %3 FROM %4 ORDER BY rowid")
                            .arg(kId, kPersonTexts.join(u','), kSex, kPersonTable);
    if (!query.prepare(sql) || !query.exec())
        return query.lastError().text();
    while (query.next()) {
        PersonRecord record;
        record.id = query.value(1).toString();
        for (int i = 0; i < PersonTextCount; ++i)
            record.texts << query.value(2 + i).toString();
        record.male = query.value(2 + PersonTextCount).toBool();
        const QString text = ContactExport::line(record);
        rows.byRowid.insert(query.value(0).toLongLong(), text);
        if (!rows.firstOfContact.contains(record.id))
            rows.firstOfContact.insert(record.id, text);
    }
    return {};
}
} // namespace

namespace ContactExport {

QString line(const PersonRecord &record)
{
    QString out = value(record.id);
    out += u',';
    out += value(record.texts.value(Name));
    out += u',';
    out += record.male ? QStringLiteral("男") : QStringLiteral("女");
    for (int i = 1; i < int(std::size(kLineTexts)); ++i) {
        out += u',';
        out += value(record.texts.value(kLineTexts[i]));
    }
    return out;
}

Result build(const QSqlDatabase &db, ContactSearch::Kind kind, const QList<ContactSearch::Hit> &hits)
{
    Result result;
    Rows rows;
    result.error = readAll(db, rows);
    if (!result.ok())
        return result;
    QString text;
    QSet<QString> written;
    for (const ContactSearch::Hit &hit : hits) {
        QString found;
        if (isPersonal(kind)) {
            found = rows.byRowid.value(hit.rowid);
        } else if (!written.contains(hit.contactId)) {
            written.insert(hit.contactId);
            found = rows.firstOfContact.value(hit.contactId);
        }
        if (found.isEmpty())
            continue; // deleted since the search, or a contact without a personal row
        text += found;
        text += QStringLiteral("\r\n");
        ++result.lines;
    }
    result.bytes = CsvText::encodeGbk(text);
    return result;
}

} // namespace ContactExport
