#pragma once

#include <QStringList>
#include <QStringView>

// Surnames whose reading differs from the character's common one (单 is dan
// in 单独 but shan as a surname), and compound surnames whose second
// character does too (尉迟 yu chi, 万俟 mo qi).
namespace SurnameReadings {

struct Found
{
    qsizetype length = 0; // UTF-16 units of the name the surname takes; 0 when none
    QStringList syllables;
};

// The surname at the start of `name`, compound surnames first.
Found at(QStringView name);

} // namespace SurnameReadings
