#include "app/core/ReminderTimeKey.h"

namespace ReminderTimeKey {

Filtered filter(const QString &text, QChar key)
{
    Filtered result;
    const bool kept = (key >= u'0' && key <= u'9') || key == kBackspace || key == kEnter;
    result.key = kept ? key : QChar();
    result.text = text.trimmed();
    if (key != kBackspace && result.text.size() == 2 && !result.text.contains(u':'))
        result.key = u':';
    return result;
}

} // namespace ReminderTimeKey
