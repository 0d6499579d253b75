#pragma once

#include "ContactCardValues.h"

class QWidget;
class Tprint_view;

namespace ContactCard {

// The address book's "打印": closes an earlier card layout, makes a new one
// owned by `addressBook` from the shown values and opens its preview.
Tprint_view *printPreview(QWidget *addressBook, const ContactCardValues &values);

} // namespace ContactCard
