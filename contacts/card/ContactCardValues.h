#pragma once

#include <QImage>
#include <QString>

// What the address book shows at the moment its "打印" button is pressed:
// every text exactly as on screen (decoded, unsaved input and prompts
// included), the photo, and how many personal records share the contact id.
struct ContactCardValues
{
    // Personal tab
    QString name;
    QString sex; // "男" or "女"
    QString mobile;
    QString homePhone;
    QString idNumber;
    QString currentAddress;
    QString registeredAddress;
    QString postcode;
    QString other;
    QString online;
    QString remarks;
    QImage photo;
    // Work-unit tab
    QString unitName;
    QString unitAddress;
    QString officePhone;
    QString officeFax;
    QString webAddress;
    QString unitNotes;
    // Other-information tab
    QString otherInfo;
    // Rows of the personal record set; the card has one page per row.
    int recordCount = 1;
};
