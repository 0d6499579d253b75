#include "contacts/core/PinyinOrder.h"

#include "contacts/core/ContactColumns.h"
#include "search/core/PinyinReading.h"
#include "search/core/SurnameReadings.h"
#include "store/FieldCodec.h"
#include "store/KeyedRows.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <QHash>

#include <algorithm>
#include <limits>
#include <memory>

using ContactSearch::Hit;
using namespace ContactColumns;

namespace {

const icu::Collator *collator()
{
    static const std::unique_ptr<icu::Collator> pinyin = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> made(icu::Collator::createInstance(icu::Locale("zh@collation=pinyin"), status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    return pinyin.get();
}

// For each reading a surname has and its character does not commonly have
// (曾 is ceng in 曾经, zeng as a surname), a character that commonly has it:
// the collation, which knows only common readings, sorts the surname as it.
const QHash<QString, QChar> kStandIns = {
    {"bi", u'必'},  {"bo", u'波'},   {"bu", u'不'},   {"chan", u'产'}, {"chang", u'常'}, {"chong", u'虫'},
    {"du", u'杜'},  {"ge", u'哥'},   {"gou", u'沟'},  {"he", u'贺'},   {"kan", u'看'},   {"miao", u'苗'},
    {"mo", u'莫'},  {"nai", u'耐'},  {"nian", u'年'}, {"ou", u'欧'},   {"pi", u'皮'},    {"piao", u'飘'},
    {"po", u'婆'},  {"qin", u'秦'},  {"qiu", u'秋'},  {"shan", u'山'}, {"shao", u'邵'},  {"she", u'舌'},
    {"tan", u'谈'}, {"wei", u'伟'},  {"xian", u'先'}, {"xie", u'谢'},  {"yu", u'于'},    {"yue", u'月'},
    {"yun", u'云'}, {"zang", u'臧'}, {"zeng", u'增'}, {"zha", u'渣'},  {"zhai", u'宅'},
};

// The surname as the collation is to read it. Few surnames occur in a
// store, so each is looked at once.
QString collatedSurname(const QString &surname, const QStringList &syllables)
{
    static QHash<QString, QString> seen;
    if (const auto found = seen.constFind(surname); found != seen.cend())
        return *found;
    QString collated = surname;
    if (syllables.size() == surname.size()) {
        for (qsizetype i = 0; i < surname.size(); ++i) {
            const QString common = PinyinReading::ofText(surname.at(i)).spaced();
            if (common != syllables.at(i) && kStandIns.contains(syllables.at(i)))
                collated[i] = kStandIns.value(syllables.at(i));
        }
    }
    seen.insert(surname, collated);
    return collated;
}

// The name as the collation is to read it: its surname by its reading.
QString collated(const QString &name)
{
    const SurnameReadings::Found surname = SurnameReadings::at(name);
    if (surname.length == 0)
        return name;
    return collatedSurname(name.left(surname.length), surname.syllables) + name.mid(surname.length);
}

struct Sorted
{
    QByteArray key;
    QString contactId;
    qint64 rowid;
};

// Each hit with the name of its contact: for a personal record its own, for
// a unit or another text that of the first personal record of its contact id.
QString namesOf(ContactSearch::Kind kind, const QString &condition)
{
    const QString table = ContactSearch::table(kind);
    if (ContactSearch::isPersonal(kind))
        return QStringLiteral("SELECT rowid, %1, %2, %3 FROM %4 WHERE %5")
            .arg(kId, kPersonTexts[Name], kEncoded, table, condition);
    return QStringLiteral("SELECT h.hit, h.%1, p.%2, p.%3 FROM (SELECT rowid AS hit, %1, (SELECT min(rowid) FROM %6"
                          " WHERE %6.%1 = %4.%1) AS person FROM %4 WHERE %5) AS h LEFT JOIN %6 AS p"
                          " ON p.rowid = h.person")
        .arg(kId, kPersonTexts[Name], kEncoded, table, condition, kPersonTable);
}

} // namespace

namespace PinyinOrder {

QByteArray key(const QString &name)
{
    const icu::Collator *pinyin = collator();
    if (!pinyin)
        return name.toUtf8(); // an ICU without its data: the order of code points
    const QString read = collated(name);
    const icu::UnicodeString text(false, reinterpret_cast<const UChar *>(read.utf16()), int32_t(read.size()));
    QByteArray key(64, Qt::Uninitialized);
    int32_t length = pinyin->getSortKey(text, reinterpret_cast<uint8_t *>(key.data()), int32_t(key.size()));
    if (length > key.size()) {
        key.resize(length);
        length = pinyin->getSortKey(text, reinterpret_cast<uint8_t *>(key.data()), int32_t(key.size()));
    }
    key.resize(std::max(0, length - 1)); // without the closing zero
    return key;
}

Result<QList<Hit>> sorted(const QSqlDatabase &db, ContactSearch::Kind kind, const QString &text)
{
    const ContactSearch::Filter found = ContactSearch::filter(kind, text);
    const Result<KeyedRows::FirstRows> read =
        KeyedRows::firstRows(db, namesOf(kind, found.condition), found.values, std::numeric_limits<int>::max());
    if (!read)
        return fail(read.error());
    QList<Sorted> rows;
    rows.reserve(read->rows.size());
    QHash<QString, QByteArray> keys; // names recur: each is keyed once
    for (const QStringList &row : read->rows) {
        QString name = row.at(2);
        if (row.at(3).toInt() != 0) {
            const FieldCodec::Decoded decoded = FieldCodec::decode(name);
            name = decoded.ok ? decoded.text : QString();
        }
        auto known = keys.constFind(name);
        if (known == keys.cend())
            known = keys.insert(name, key(name));
        rows.append({*known, row.at(1), row.at(0).toLongLong()});
    }
    std::sort(rows.begin(), rows.end(), [](const Sorted &a, const Sorted &b) {
        return std::tie(a.key, a.contactId, a.rowid) < std::tie(b.key, b.contactId, b.rowid);
    });
    QList<Hit> hits;
    hits.reserve(rows.size());
    for (const Sorted &row : std::as_const(rows))
        hits.append({row.rowid, row.contactId});
    return hits;
}

} // namespace PinyinOrder
