#pragma once

#include "contacts/core/ContactSearch.h"

#include <QByteArray>

// The order of names a Chinese reader expects: by their pinyin, as ICU's
// Chinese collation in pinyin order sorts them (Chinese names first, each
// character by its reading, then names in other scripts), a surname by its
// reading as a surname (曾 zeng, 单 shan, 尉迟 yu chi).
namespace PinyinOrder {

// The key a name sorts by; keys compare as bytes.
QByteArray key(const QString &name);

// Every hit of a search, ordered by the name of its contact (a protected
// one's as the user reads it), then by contact id. A hit whose contact has
// no personal record sorts as a contact without a name.
Result<QList<ContactSearch::Hit>> sorted(const QSqlDatabase &db, ContactSearch::Kind kind, const QString &text);

} // namespace PinyinOrder
