#pragma once

#include <QString>

// How the address book stores a text, seen from a card: an empty optional
// value is stored as the "-" placeholder, and a protected record holds the
// field codec's form of every text.
namespace StoredText {

inline const QString kPlaceholder = QStringLiteral("-");

// The text the user reads. With `placeholder`, "-" reads as empty. A value
// that cannot be decoded is given as stored rather than lost.
QString readable(const QString &stored, bool encoded, bool placeholder = true);

// The stored form of a text from a card: "-" for an empty value when
// `placeholder`, encoded when `encode`.
QString toStore(const QString &text, bool encode, bool placeholder = true);

// Whether `text` fits a column of `width` characters once stored (0: any
// length fits), and the longest start of it that does.
bool fits(const QString &text, int width, bool encode);
QString fitted(const QString &text, int width, bool encode);

} // namespace StoredText
