#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What the address book shows of the current contact at this moment: the
// decoded texts of the three record tabs, unsaved input included. Printing
// and anything else that copies "the contact on screen" reads this.
struct ShownContact
{
    QStringList personTexts; // ContactColumns::kPersonTexts order; remarks whole
    bool male = true;
    QByteArray photo;      // BMP bytes of the photo box, empty without a photo
    QStringList unitTexts; // ContactColumns::kUnitTexts order; notes whole
    QString otherText;
    int personalRecords = 0; // rows of the personal record set (same id)
};
