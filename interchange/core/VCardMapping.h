#pragma once

#include "interchange/core/CardContact.h"
#include "interchange/core/VCardReader.h"

// Turns a card read from a file into a contact. The fields the address book
// has are filled from the properties VCardWriter writes and from the ones
// other programs use for the same thing (an untyped TEL, an ungrouped ORG
// with its TITLE, N without FN, a GBK 2.1 card). Whatever has no field of
// its own (a birthday, a nickname, a third phone) is kept as a line of the
// contact's other information, never dropped.
namespace VCardMapping {

struct Mapped
{
    CardContact contact;
    QString error;     // the card cannot be imported
    QStringList notes; // what the user should know about it
};

Mapped toContact(const VCard::Card &card);

// A UID as the store keeps it: "urn:uuid:" of a UUID taken off, so a card
// written as 3.0 and as 4.0 names the same contact.
QString storedUid(const QString &uid);

} // namespace VCardMapping
