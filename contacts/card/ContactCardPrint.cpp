#include "ContactCardPrint.h"

#include "ContactCard.h"
#include "Tprint_box.h"
#include "WindowOpener.h"

namespace ContactCard {

Tprint_view *printPreview(QWidget *addressBook, const ContactCardValues &values)
{
    Tprint_box *box = WindowOpener::replace(Tprint_box::reference(), [addressBook] {
        return new Tprint_box(addressBook);
    });
    box->setReport(layout(values));
    return box->preview();
}

} // namespace ContactCard
