#pragma once

#include "store/ContactColumns.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One contact as a vCard carries it, between the store and the file: the
// readable texts of its personal record, its work units and its other
// information. An empty text is a value the contact does not have (the store
// keeps it as "-").
struct CardUnit
{
    QStringList texts = QStringList(ContactColumns::UnitTextCount); // kUnitTexts order
    bool isProtected = false;
};

struct CardOther
{
    QString text;
    bool isProtected = false;
};

struct CardContact
{
    QString uid;
    QStringList personTexts = QStringList(ContactColumns::PersonTextCount); // kPersonTexts order
    std::optional<bool> male;                                               // none: the card does not say
    // Out: the stored BMP bytes. In: the picture bytes the card holds
    // (PNG, JPEG, ...), turned into BMP only when the card is written.
    QByteArray photo;
    bool isProtected = false;
    QList<CardUnit> units;
    QList<CardOther> others;
    // A contact of an older store may hold several personal records under
    // one id. The second and later travel as cards of their own that name
    // the first card's UID and their place (2, 3, ...), and come back as
    // records of that contact; units and other information go with the first.
    QString recordOf;
    int recordNumber = 1;
};
