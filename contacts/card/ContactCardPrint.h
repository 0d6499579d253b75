#pragma once

#include "contacts/card/ContactCardValues.h"
#include "contacts/core/ShownContact.h"

class QWidget;
class Tprint_view;

namespace ContactCard {

// The card's values from what the address book shows: texts as shown, the
// sex as "男" or "女", the photo decoded, one page per personal record.
ContactCardValues fromShown(const ShownContact &shown);

// The address book's "打印": closes an earlier card layout, makes a new one
// owned by `addressBook` from the shown values and opens its preview.
Tprint_view *printPreview(QWidget *addressBook, const ContactCardValues &values);

} // namespace ContactCard
