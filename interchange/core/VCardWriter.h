#pragma once

#include "interchange/core/CardContact.h"

#include <QByteArray>

// Writes contacts as vCard 3.0 (RFC 2426, what most programs read) or 4.0
// (RFC 6350), UTF-8, CR LF, folded at 75 octets.
//
// Where a field has no standard property, the card carries it in one of
// ours, so that it comes back whole when read again:
//   name            FN, and N with the whole name as family name
//   sex             GENDER (4.0), X-GENDER (3.0)
//   mobile, home    TEL;TYPE=CELL, TEL;TYPE=HOME,VOICE
//   address, post   ADR;TYPE=HOME (street and postal code)
//   registered      registered.ADR;TYPE=x-registered, labelled for Apple's readers
//   online contact  EMAIL when it is an address, else X-VELMORA-ONLINE
//   other, ID no.   X-VELMORA-OTHER-CONTACT, X-VELMORA-ID-NUMBER
//   remarks         NOTE
//   photo           PHOTO, base64 (3.0) or a data: URI (4.0)
//   units           group unitN: ORG, ADR/TEL/FAX/URL typed WORK, NOTE
//   other info      group otherN: NOTE
//   protection      X-VELMORA-PROTECTED in the record's group
namespace VCardWriter {

enum class Version { V30, V40 };

inline const QString kOnline = QStringLiteral("X-VELMORA-ONLINE");
inline const QString kOtherContact = QStringLiteral("X-VELMORA-OTHER-CONTACT");
inline const QString kIdNumber = QStringLiteral("X-VELMORA-ID-NUMBER");
inline const QString kProtected = QStringLiteral("X-VELMORA-PROTECTED");
inline const QString kRecordOf = QStringLiteral("X-VELMORA-RECORD-OF");
inline const QString kRegisteredType = QStringLiteral("x-registered");
inline const QString kRegisteredLabel = QStringLiteral("户籍地址");

// True for a text that reads as one mail address.
bool isMailAddress(const QString &text);

// The card of one contact, appended to `out`. `contact.photo` holds picture
// bytes (PNG or JPEG), or nothing.
void append(QByteArray &out, const CardContact &contact, Version version);

} // namespace VCardWriter
