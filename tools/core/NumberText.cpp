#include "tools/core/NumberText.h"

#include <QLocale>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace NumberText {

namespace {

// A decimal value d1.d2d3... × 10^exp10; no digits means zero.
struct Decimal
{
    bool negative = false;
    std::string digits;
    int exp10 = 0;
};

// Unsigned integer as base-10^9 limbs, least significant first: just enough
// arithmetic to write a binary fraction out in decimal exactly.
using Limbs = std::vector<std::uint32_t>;
constexpr std::uint64_t kLimbBase = 1000000000;

void multiply(Limbs &number, std::uint64_t factor)
{
    std::uint64_t carry = 0;
    for (std::uint32_t &limb : number) {
        const std::uint64_t product = limb * factor + carry;
        limb = std::uint32_t(product % kLimbBase);
        carry = product / kLimbBase;
    }
    while (carry) {
        number.push_back(std::uint32_t(carry % kLimbBase));
        carry /= kLimbBase;
    }
}

void multiplyByPower(Limbs &number, std::uint64_t base, int exponent, std::uint64_t chunk, int chunkExponent)
{
    for (; exponent >= chunkExponent; exponent -= chunkExponent)
        multiply(number, chunk);
    std::uint64_t rest = 1;
    for (; exponent > 0; --exponent)
        rest *= base;
    multiply(number, rest);
}

std::string toDecimalString(const Limbs &number)
{
    std::string text = std::to_string(number.back());
    for (auto it = number.rbegin() + 1; it != number.rend(); ++it) {
        const std::string limb = std::to_string(*it);
        text += std::string(9 - limb.size(), '0') + limb;
    }
    return text;
}

void dropTrailingZeros(Decimal &d)
{
    const auto last = d.digits.find_last_not_of('0');
    d.digits.resize(last == std::string::npos ? 0 : last + 1);
}

// Every decimal digit of a finite value: an extended value is M × 2^E with a
// 64-bit M, which is M × 2^E exactly or M × 5^-E / 10^-E.
Decimal exactDecimal(long double value)
{
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0)
        return d;
    int binaryExponent = 0;
    const long double fraction = std::frexp(std::fabs(value), &binaryExponent);
    std::uint64_t mantissa = std::uint64_t(std::ldexp(fraction, 64));
    int exponent = binaryExponent - 64;
    while ((mantissa & 1) == 0) {
        mantissa >>= 1;
        ++exponent;
    }
    Limbs number{std::uint32_t(mantissa % kLimbBase), std::uint32_t(mantissa / kLimbBase % kLimbBase),
                 std::uint32_t(mantissa / kLimbBase / kLimbBase)};
    while (number.size() > 1 && number.back() == 0)
        number.pop_back();
    if (exponent >= 0)
        multiplyByPower(number, 2, exponent, std::uint64_t(1) << 29, 29);
    else
        multiplyByPower(number, 5, -exponent, 1220703125, 13); // 5^13
    d.digits = toDecimalString(number);
    d.exp10 = int(d.digits.size()) - 1 + std::min(exponent, 0);
    dropTrailingZeros(d);
    return d;
}

// Keeps `count` significant digits, halves away from zero. A count of zero
// keeps the value only when it rounds up to one unit of the next place.
void roundSignificant(Decimal &d, int count)
{
    if (int(d.digits.size()) <= count)
        return;
    if (count < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[std::size_t(count)] >= '5';
    d.digits.resize(std::size_t(count));
    if (up) {
        int i = count - 1;
        for (; i >= 0 && d.digits[std::size_t(i)] == '9'; --i)
            d.digits[std::size_t(i)] = '0';
        if (i >= 0) {
            ++d.digits[std::size_t(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exp10;
        }
    }
    dropTrailingZeros(d);
}

// Digits of the integer part and of `decimals` places (-1: as many as needed).
QString plain(const Decimal &d, int decimals, QChar separator)
{
    const std::string &digits = d.digits;
    std::string integer;
    std::string fraction;
    if (d.exp10 >= 0) {
        const std::size_t whole = std::size_t(d.exp10) + 1;
        integer = digits.substr(0, whole);
        integer.append(whole > integer.size() ? whole - integer.size() : 0, '0');
        fraction = digits.size() > whole ? digits.substr(whole) : std::string();
    } else {
        integer = "0";
        fraction = std::string(std::size_t(-d.exp10 - 1), '0') + digits;
    }
    if (decimals >= 0)
        fraction.resize(std::size_t(decimals), '0');
    QString text = d.negative && !digits.empty() ? QStringLiteral("-") : QString();
    text += QString::fromLatin1(integer);
    if (!fraction.empty())
        text += separator + QString::fromLatin1(fraction);
    return text;
}

QString exponentForm(const Decimal &d, QChar separator)
{
    QString text = d.negative ? QStringLiteral("-") : QString();
    text += QChar::fromLatin1(d.digits[0]);
    if (d.digits.size() > 1)
        text += separator + QString::fromLatin1(d.digits.substr(1));
    return text + u'E' + QString::number(d.exp10);
}

Decimal toEighteenDigits(long double value)
{
    Decimal d = exactDecimal(value);
    roundSignificant(d, 18);
    return d;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Copies a run of ASCII digits from `text` at `i` into `out`; their count.
int takeDigits(const QString &text, qsizetype &i, std::string &out)
{
    int count = 0;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i, ++count)
        out += char(text[i].unicode());
    return count;
}

Failure notANumber(const QString &text)
{
    return fail(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

void skipSpaces(const QString &text, qsizetype &i)
{
    while (i < text.size() && text[i] == u' ')
        ++i;
}

long double readCLocale(const std::string &text)
{
    // The user's locale may put a comma where the C reader wants a point.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtold_l(text.c_str(), nullptr, cLocale);
}

} // namespace

QChar systemSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point[0];
}

Result<long double> toNumber(const QString &text, QChar separator)
{
    qsizetype i = 0;
    skipSpaces(text, i);
    std::string number;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        number += char(text[i++].unicode());
    std::string integer;
    std::string fraction;
    const int integerDigits = takeDigits(text, i, integer);
    bool hasSeparator = false;
    if (i < text.size() && text[i] == separator) {
        hasSeparator = true;
        ++i;
        takeDigits(text, i, fraction);
    }
    if (integerDigits == 0 && !hasSeparator)
        return notANumber(text);
    number += (integer.empty() ? "0" : integer) + '.' + (fraction.empty() ? "0" : fraction);
    if (i < text.size() && (text[i] == u'E' || text[i] == u'e')) {
        ++i;
        number += 'e';
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            number += char(text[i++].unicode());
        if (takeDigits(text, i, number) == 0)
            return notANumber(text);
    }
    skipSpaces(text, i);
    if (i != text.size())
        return notANumber(text);
    const long double value = readCLocale(number);
    if (std::isinf(value))
        return notANumber(text);
    return value;
}

QString general(long double value, QChar separator)
{
    if (value == 0)
        return QStringLiteral("0");
    Decimal d = toEighteenDigits(value);
    roundSignificant(d, 15);
    if (d.exp10 >= 15 || d.exp10 < -4)
        return exponentForm(d, separator);
    return plain(d, -1, separator);
}

QString fixed(long double value, int decimals, QChar separator)
{
    Decimal d = toEighteenDigits(value);
    if (!d.digits.empty() && d.exp10 >= 18)
        return general(value, separator);
    if (!d.digits.empty())
        roundSignificant(d, d.exp10 + 1 + decimals);
    if (d.digits.empty())
        d.exp10 = 0;
    return plain(d, decimals, separator);
}

} // namespace NumberText
