#include "contacts/card/ContactCardPrint.h"

#include "contacts/card/ContactCard.h"
#include "contacts/core/ContactColumns.h"
#include "platform/ui/WindowOpener.h"
#include "report/Tprint_box.h"

namespace ContactCard {

ContactCardValues fromShown(const ShownContact &shown)
{
    using namespace ContactColumns;
    const QStringList &p = shown.personTexts;
    const QStringList &u = shown.unitTexts;
    ContactCardValues v;
    v.name = p.value(Name);
    v.sex = sexText(shown.male);
    v.mobile = p.value(Mobile);
    v.homePhone = p.value(HomePhone);
    v.idNumber = p.value(IdentityNumber);
    v.currentAddress = p.value(CurrentAddress);
    v.registeredAddress = p.value(RegisteredAddress);
    v.postcode = p.value(Postcode);
    v.other = p.value(Other);
    v.online = p.value(OnlineContact);
    v.remarks = p.value(Remarks);
    if (!shown.photo.isEmpty())
        v.photo = QImage::fromData(shown.photo);
    v.unitName = u.value(UnitName);
    v.unitAddress = u.value(UnitAddress);
    v.officePhone = u.value(UnitPhone);
    v.officeFax = u.value(UnitFax);
    v.webAddress = u.value(UnitUrl);
    v.unitNotes = u.value(UnitNotes);
    v.otherInfo = shown.otherText;
    v.recordCount = shown.personalRecords;
    return v;
}

Tprint_view *printPreview(QWidget *addressBook, const ContactCardValues &values)
{
    Tprint_box *box =
        WindowOpener::replace(Tprint_box::reference(), [addressBook] { return new Tprint_box(addressBook); });
    box->setReport(layout(values));
    return box->preview();
}

} // namespace ContactCard
