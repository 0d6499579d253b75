#pragma once

#include <QChar>
#include <QString>

// The reminder time field's filter of typed characters: digits, backspace and
// Enter pass; anything else is dropped. The field loses its outer blanks, and
// once it holds two characters without a colon, the next key (whatever it
// was, a dropped one included, backspace excepted) types the colon.
namespace ReminderTimeKey {

inline constexpr QChar kBackspace = u'\b';
inline constexpr QChar kEnter = u'\r';

struct Filtered
{
    QString text; // the field's text before the key takes effect
    QChar key;    // the key to apply; null when it is dropped
};

Filtered filter(const QString &text, QChar key);

} // namespace ReminderTimeKey
