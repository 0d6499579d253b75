#pragma once

#include "store/Result.h"

#include <QChar>
#include <QString>

// The toolbox's reading and writing of numbers, shared by the calculator and
// the unit converter. Values are 80-bit extended (`long double` on x86-64).
namespace NumberText {

// The decimal separator of the user's regional settings.
QChar systemSeparator();

// Reads spaces, an optional sign, digits, optionally the separator and more
// digits, optionally an exponent ("E"/"e", optional sign, digits), spaces.
// At least one digit or the separator must follow the sign; a lone separator
// reads as zero. A text that is not such a number, or whose value lies
// beyond the range of extended precision, fails with the message that names it.
Result<long double> toNumber(const QString &text, QChar separator = systemSeparator());

// The general number format: the value taken to 18 significant digits, then
// rounded to 15, halves away from zero; exponent form ("1E-5",
// "9.9999998E15") with more than 15 integer digits or below 0.0001, plain
// form otherwise; no trailing zeros. Only finite values have a meaning here.
QString general(long double value, QChar separator = systemSeparator());

// Exactly `decimals` decimals and at least one integer digit: the value taken
// to 18 significant digits, then rounded at the last decimal, halves away
// from zero. From 10^18 in magnitude on, the general format instead.
QString fixed(long double value, int decimals, QChar separator = systemSeparator());

// The error text for a result beyond the range of extended precision.
inline const QString kOverflowMessage = QStringLiteral("Floating point overflow");

} // namespace NumberText
