#pragma once

#include "contacts/card/ContactCardValues.h"
#include "report/ReportModel.h"

// The contact card: an A4 sheet titled "个人详细信息表" with the personal
// data and photo, the shown work unit and the other information.
namespace ContactCard {

inline constexpr auto kTitle = u"个人详细信息表";

QString sexText(bool male);
// The lines of a multi-line box as the card prints them: lines that are
// empty or blank are left out, the others keep their surrounding blanks.
QStringList memoLines(const QString &text);

report::Report layout(const ContactCardValues &values);

} // namespace ContactCard
