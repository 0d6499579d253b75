#pragma once

#include <QString>
#include <QStringList>

// How the address book turns what the user typed into what it stores, and
// back. Optional values that are empty are stored as a "-" placeholder, and a
// row whose protection box is ticked holds the encoded form of every text.
namespace StoredForm {

inline const QString kPlaceholder = QStringLiteral("-");

// Strips leading and trailing blanks and control characters (line breaks too).
QString trimmed(const QString &text);

// `texts[0]` is the required name; every other empty value becomes "-".
// Trimming is the caller's choice (unit notes keep their blanks).
QStringList withPlaceholders(QStringList texts);
QStringList encodedAll(const QStringList &texts);

// The values of a form as they are stored: each trimmed (the last one kept as
// typed when `keepLast`), placeholders filled in, all encoded when `encode`.
// An empty first value stays empty: the caller refuses to store it.
QStringList toStore(const QStringList &typed, bool encode, bool keepLast = false);

struct Decoded
{
    QStringList texts;
    QString error; // the codec's text when a value could not be decoded
    bool ok() const { return error.isEmpty(); }
};
// Decodes every value when `encoded`; a value that fails to decode is shown
// as stored, and the error is reported once.
Decoded shown(const QStringList &stored, bool encoded);

} // namespace StoredForm
