// Writes lunar/core/SolarTermTable.inc: the moment of each of the 24 solar
// terms of 1900-2100 in China Standard Time, to the minute.
//
//     lunar_solar_terms > lunar/core/SolarTermTable.inc     write the table
//     lunar_solar_terms --check lunar/core/SolarTermTable.inc
//                                                            fail when it differs
//     lunar_solar_terms --moments                            each moment in UT, for
//                                                            lunar/tools/crosscheck.py
//
// A term begins when the sun's apparent geocentric ecliptic longitude reaches
// a multiple of 15 degrees. The longitude follows Meeus, "Astronomical
// Algorithms" (2nd ed.), chapter 25, "higher accuracy": the earth's
// heliocentric longitude and radius from the VSOP87 series of Appendix III,
// the conversion to FK5, the nutation in longitude of chapter 22 (the full
// IAU 1980 series of table 22.A) and the annual aberration. The moment found
// in Terrestrial Time is brought to Universal Time by the Espenak-Meeus
// polynomials for Delta T, then to UTC+8. lunar/README.md says how precise
// that is.
//
// Standard C++ only, so the table can be made on any machine.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kJ2000 = 2451545.0;
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2100;

struct Term
{
    double a, b, c; // a * cos(b + c * tau)
};

// VSOP87 (Bretagnon and Francou), the earth's heliocentric longitude and
// radius vector on the dynamical ecliptic and equinox of the date, as Meeus
// truncates them; amplitudes in 1e-8 radian and 1e-8 astronomical unit.
constexpr Term kL0[] = {
    {175347046, 0, 0},           {3341656, 4.6692568, 6283.0758500},
    {34894, 4.6261, 12566.1517}, {3497, 2.7441, 5753.3849},
    {3418, 2.8289, 3.5231},      {3136, 3.6277, 77713.7715},
    {2676, 4.4181, 7860.4194},   {2343, 6.1352, 3930.2097},
    {1324, 0.7425, 11506.7698},  {1273, 2.0371, 529.6910},
    {1199, 1.1096, 1577.3435},   {990, 5.233, 5884.927},
    {902, 2.045, 26.298},        {857, 3.508, 398.149},
    {780, 1.179, 5223.694},      {753, 2.533, 5507.553},
    {505, 4.583, 18849.228},     {492, 4.205, 775.523},
    {357, 2.920, 0.067},         {317, 5.849, 11790.629},
    {284, 1.899, 796.298},       {271, 0.315, 10977.079},
    {243, 0.345, 5486.778},      {206, 4.806, 2544.314},
    {205, 1.869, 5573.143},      {202, 2.458, 6069.777},
    {156, 0.833, 213.299},       {132, 3.411, 2942.463},
    {126, 1.083, 20.775},        {115, 0.645, 0.980},
    {103, 0.636, 4694.003},      {102, 0.976, 15720.839},
    {102, 4.267, 7.114},         {99, 6.21, 2146.17},
    {98, 0.68, 155.42},          {86, 5.98, 161000.69},
    {85, 1.30, 6275.96},         {85, 3.67, 71430.70},
    {80, 1.81, 17260.15},        {79, 3.04, 12036.46},
    {75, 1.76, 5088.63},         {74, 3.50, 3154.69},
    {74, 4.68, 801.82},          {70, 0.83, 9437.76},
    {62, 3.98, 8827.39},         {61, 1.82, 7084.90},
    {57, 2.78, 6286.60},         {56, 4.39, 14143.50},
    {56, 3.47, 6279.55},         {52, 0.19, 12139.55},
    {52, 1.33, 1748.02},         {51, 0.28, 5856.48},
    {49, 0.49, 1194.45},         {41, 5.37, 8429.24},
    {41, 2.40, 19651.05},        {39, 6.17, 10447.39},
    {37, 6.04, 10213.29},        {37, 2.57, 1059.38},
    {36, 1.71, 2352.87},         {36, 1.78, 6812.77},
    {33, 0.59, 17789.85},        {30, 0.44, 83996.85},
    {30, 2.74, 1349.87},         {25, 3.16, 4690.48},
};
constexpr Term kL1[] = {
    {628331966747, 0, 0},       {206059, 2.678235, 6283.075850},
    {4303, 2.6351, 12566.1517}, {425, 1.590, 3.523},
    {119, 5.796, 26.298},       {109, 2.966, 1577.344},
    {93, 2.59, 18849.23},       {72, 1.14, 529.69},
    {68, 1.87, 398.15},         {67, 4.41, 5507.55},
    {59, 2.89, 5223.69},        {56, 2.17, 155.42},
    {45, 0.40, 796.30},         {36, 0.47, 775.52},
    {29, 2.65, 7.11},           {21, 5.34, 0.98},
    {19, 1.85, 5486.78},        {19, 4.97, 213.30},
    {17, 2.99, 6275.96},        {16, 0.03, 2544.31},
    {16, 1.43, 2146.17},        {15, 1.21, 10977.08},
    {12, 2.83, 1748.02},        {12, 3.26, 5088.63},
    {12, 5.27, 1194.45},        {12, 2.08, 4694.00},
    {11, 0.77, 553.57},         {10, 1.30, 6286.60},
    {10, 4.24, 1349.87},        {9, 2.70, 242.73},
    {9, 5.64, 951.72},          {8, 5.30, 2352.87},
    {6, 2.65, 9437.76},         {6, 4.67, 4690.48},
};
constexpr Term kL2[] = {
    {52919, 0, 0},      {8720, 1.0721, 6283.0758}, {309, 0.867, 12566.152}, {27, 0.05, 3.52},   {16, 5.19, 26.30},
    {16, 3.68, 155.42}, {10, 0.76, 18849.23},      {9, 2.06, 77713.77},     {7, 0.83, 775.52},  {5, 4.66, 1577.34},
    {4, 1.03, 7.11},    {4, 3.44, 5573.14},        {3, 5.14, 796.30},       {3, 6.05, 5507.55}, {3, 1.19, 242.73},
    {3, 6.12, 529.69},  {3, 0.31, 398.15},         {3, 2.28, 553.57},       {2, 4.38, 5223.69}, {2, 3.75, 0.98},
};
constexpr Term kL3[] = {
    {289, 5.844, 6283.076}, {35, 0, 0},          {17, 5.49, 12566.15}, {3, 5.20, 155.42},
    {1, 4.72, 3.52},        {1, 5.30, 18849.23}, {1, 5.97, 242.73},
};
constexpr Term kL4[] = {{114, 3.142, 0}, {8, 4.13, 6283.08}, {1, 3.84, 12566.15}};
constexpr Term kL5[] = {{1, 3.14, 0}};

constexpr Term kR0[] = {
    {100013989, 0, 0},
    {1670700, 3.0984635, 6283.0758500},
    {13956, 3.05525, 12566.15170},
    {3084, 5.1985, 77713.7715},
    {1628, 1.1739, 5753.3849},
    {1576, 2.8469, 7860.4194},
    {925, 5.453, 11506.770},
    {542, 4.564, 3930.210},
    {472, 3.661, 5884.927},
    {346, 0.964, 5507.553},
    {329, 5.900, 5223.694},
    {307, 0.299, 5573.143},
    {243, 4.273, 11790.629},
    {212, 5.847, 1577.344},
    {186, 5.022, 10977.079},
    {175, 3.012, 18849.228},
    {110, 5.055, 5486.778},
    {98, 0.89, 6069.78},
    {86, 5.69, 15720.84},
    {86, 1.27, 161000.69},
    {65, 0.27, 17260.15},
    {63, 0.92, 529.69},
    {57, 2.01, 83996.85},
    {56, 5.24, 71430.70},
    {49, 3.25, 2544.31},
    {47, 2.58, 775.52},
    {45, 5.54, 9437.76},
    {43, 6.01, 6275.96},
    {39, 5.36, 4694.00},
    {38, 2.39, 8827.39},
    {37, 0.83, 19651.05},
    {37, 4.90, 12139.55},
    {36, 1.67, 12036.46},
    {35, 1.84, 2942.46},
    {33, 0.24, 7084.90},
    {32, 0.18, 5088.63},
    {32, 1.78, 398.15},
    {28, 1.21, 6286.60},
    {28, 1.90, 6279.55},
    {26, 4.59, 10447.39},
};
constexpr Term kR1[] = {
    {103019, 1.107490, 6283.075850},
    {1721, 1.0644, 12566.1517},
    {702, 3.142, 0},
    {32, 1.02, 18849.23},
    {31, 2.84, 5507.55},
    {25, 1.32, 5223.69},
    {18, 1.42, 1577.34},
    {10, 5.91, 10977.08},
    {9, 1.42, 6275.96},
    {9, 0.27, 5486.78},
};
constexpr Term kR2[] = {
    {4359, 5.7846, 6283.0758}, {124, 5.579, 12566.152}, {12, 3.14, 0},
    {9, 3.63, 77713.77},       {6, 1.87, 5573.14},      {3, 5.47, 18849.23},
};
constexpr Term kR3[] = {{145, 4.273, 6283.076}, {7, 3.92, 12566.15}};
constexpr Term kR4[] = {{4, 2.56, 6283.08}};

struct Nutation
{
    int d, m, mPrime, f, omega; // multiples of the fundamental arguments
    double a, b;                // (a + b * T) * 0.0001 arcsecond, times sin
};

// Meeus table 22.A, the IAU 1980 theory of nutation, its longitude column.
constexpr Nutation kNutation[] = {
    {0, 0, 0, 0, 1, -171996, -174.2},
    {-2, 0, 0, 2, 2, -13187, -1.6},
    {0, 0, 0, 2, 2, -2274, -0.2},
    {0, 0, 0, 0, 2, 2062, 0.2},
    {0, 1, 0, 0, 0, 1426, -3.4},
    {0, 0, 1, 0, 0, 712, 0.1},
    {-2, 1, 0, 2, 2, -517, 1.2},
    {0, 0, 0, 2, 1, -386, -0.4},
    {0, 0, 1, 2, 2, -301, 0},
    {-2, -1, 0, 2, 2, 217, -0.5},
    {-2, 0, 1, 0, 0, -158, 0},
    {-2, 0, 0, 2, 1, 129, 0.1},
    {0, 0, -1, 2, 2, 123, 0},
    {2, 0, 0, 0, 0, 63, 0},
    {0, 0, 1, 0, 1, 63, 0.1},
    {2, 0, -1, 2, 2, -59, 0},
    {0, 0, -1, 0, 1, -58, -0.1},
    {0, 0, 1, 2, 1, -51, 0},
    {-2, 0, 2, 0, 0, 48, 0},
    {0, 0, -2, 2, 1, 46, 0},
    {2, 0, 0, 2, 2, -38, 0},
    {0, 0, 2, 2, 2, -31, 0},
    {0, 0, 2, 0, 0, 29, 0},
    {-2, 0, 1, 2, 2, 29, 0},
    {0, 0, 0, 2, 0, 26, 0},
    {-2, 0, 0, 2, 0, -22, 0},
    {0, 0, -1, 2, 1, 21, 0},
    {0, 2, 0, 0, 0, 17, -0.1},
    {2, 0, -1, 0, 1, 16, 0},
    {-2, 2, 0, 2, 2, -16, 0.1},
    {0, 1, 0, 0, 1, -15, 0},
    {-2, 0, 1, 0, 1, -13, 0},
    {0, -1, 0, 0, 1, -12, 0},
    {0, 0, 2, -2, 0, 11, 0},
    {2, 0, -1, 2, 1, -10, 0},
    {2, 0, 1, 2, 2, -8, 0},
    {0, 1, 0, 2, 2, 7, 0},
    {-2, 1, 1, 0, 0, -7, 0},
    {0, -1, 0, 2, 2, -7, 0},
    {2, 0, 0, 2, 1, -7, 0},
    {2, 0, 1, 0, 0, 6, 0},
    {-2, 0, 2, 2, 2, 6, 0},
    {-2, 0, 1, 2, 1, 6, 0},
    {2, 0, -2, 0, 1, -6, 0},
    {2, 0, 0, 0, 1, -6, 0},
    {0, -1, 1, 0, 0, 5, 0},
    {-2, -1, 0, 2, 1, -5, 0},
    {-2, 0, 0, 0, 1, -5, 0},
    {0, 0, 2, 2, 1, -5, 0},
    {-2, 0, 2, 0, 1, 4, 0},
    {-2, 1, 0, 2, 1, 4, 0},
    {0, 0, 1, -2, 0, 4, 0},
    {-1, 0, 1, 0, 0, -4, 0},
    {-2, 1, 0, 0, 0, -4, 0},
    {1, 0, 0, 0, 0, -4, 0},
    {0, 0, 1, 2, 0, 3, 0},
    {0, 0, -2, 2, 2, -3, 0},
    {-1, -1, 1, 0, 0, -3, 0},
    {0, 1, 1, 0, 0, -3, 0},
    {0, -1, 1, 2, 2, -3, 0},
    {2, -1, -1, 2, 2, -3, 0},
    {0, 0, 3, 2, 2, -3, 0},
    {2, -1, 0, 2, 2, -3, 0},
};

template <std::size_t N> double series(const Term (&terms)[N], double tau)
{
    double sum = 0;
    for (const Term &t : terms)
        sum += t.a * std::cos(t.b + t.c * tau);
    return sum;
}

double radians(double degrees)
{
    return degrees * kPi / 180;
}

double degrees(double radians)
{
    return radians * 180 / kPi;
}

// Nutation in longitude, degrees; T in Julian centuries of TT from J2000.
double nutationInLongitude(double t)
{
    const double d = 297.85036 + 445267.111480 * t - 0.0019142 * t * t + t * t * t / 189474;
    const double m = 357.52772 + 35999.050340 * t - 0.0001603 * t * t - t * t * t / 300000;
    const double mPrime = 134.96298 + 477198.867398 * t + 0.0086972 * t * t + t * t * t / 56250;
    const double f = 93.27191 + 483202.017538 * t - 0.0036825 * t * t + t * t * t / 327270;
    const double omega = 125.04452 - 1934.136261 * t + 0.0020708 * t * t + t * t * t / 450000;
    double sum = 0;
    for (const Nutation &n : kNutation) {
        const double argument = n.d * d + n.m * m + n.mPrime * mPrime + n.f * f + n.omega * omega;
        sum += (n.a + n.b * t) * std::sin(radians(argument));
    }
    return sum * 0.0001 / 3600;
}

// The sun's apparent geocentric longitude at Julian Ephemeris Day `jde`, in
// degrees from 0 to 360.
double apparentSolarLongitude(double jde)
{
    const double tau = (jde - kJ2000) / 365250;
    const double t = tau * 10;
    const double l =
        (series(kL0, tau)
         + tau
               * (series(kL1, tau)
                  + tau
                        * (series(kL2, tau)
                           + tau * (series(kL3, tau) + tau * (series(kL4, tau) + tau * series(kL5, tau))))))
        / 1e8;
    const double r =
        (series(kR0, tau)
         + tau * (series(kR1, tau) + tau * (series(kR2, tau) + tau * (series(kR3, tau) + tau * series(kR4, tau)))))
        / 1e8;
    double longitude = degrees(l) + 180;
    longitude += -0.09033 / 3600;        // VSOP87 to FK5
    longitude += nutationInLongitude(t); // to the true equinox
    longitude += -20.4898 / 3600 / r;    // annual aberration
    longitude = std::fmod(longitude, 360);
    return longitude < 0 ? longitude + 360 : longitude;
}

// Delta T = TT - UT in seconds, by the polynomials Espenak and Meeus fitted
// to the observed values (1900-2005) and extrapolated (2005-2100).
double deltaT(double year)
{
    if (year < 1920) {
        const double t = year - 1900;
        return -2.79 + 1.494119 * t - 0.0598939 * t * t + 0.0061966 * t * t * t - 0.000197 * t * t * t * t;
    }
    if (year < 1941) {
        const double t = year - 1920;
        return 21.20 + 0.84493 * t - 0.076100 * t * t + 0.0020936 * t * t * t;
    }
    if (year < 1961) {
        const double t = year - 1950;
        return 29.07 + 0.407 * t - t * t / 233 + t * t * t / 2547;
    }
    if (year < 1986) {
        const double t = year - 1975;
        return 45.45 + 1.067 * t - t * t / 260 - t * t * t / 718;
    }
    if (year < 2005) {
        const double t = year - 2000;
        return 63.86 + 0.3345 * t - 0.060374 * t * t + 0.0017275 * t * t * t + 0.000651814 * t * t * t * t
               + 0.00002373599 * t * t * t * t * t;
    }
    if (year < 2050) {
        const double t = year - 2000;
        return 62.92 + 0.32217 * t + 0.005589 * t * t;
    }
    const double u = (year - 1820) / 100;
    return -20 + 32 * u * u - 0.5628 * (2150 - year);
}

// Julian Day of 0h on a Gregorian date.
double julianDay(int year, int month, int day)
{
    const int a = (14 - month) / 12;
    const int y = year + 4800 - a;
    const int m = month + 12 * a - 3;
    const long number = day + (153 * m + 2) / 5 + 365L * y + y / 4 - y / 100 + y / 400 - 32045;
    return number - 0.5;
}

struct CivilMoment
{
    int year, month, day, hour, minute;
};

// The Gregorian date of Julian Day `jd` and its nearest minute, as almanacs
// give it; a moment in the last half minute of a day stays at 23:59 of that
// day, as the day is what the calendar shows.
CivilMoment civil(double jd)
{
    const double shifted = jd + 0.5;
    const long number = static_cast<long>(std::floor(shifted));
    const int minuteOfDay = std::min(1439, static_cast<int>(std::lround((shifted - number) * 1440)));
    const long a = number + 32044;
    const long b = (4 * a + 3) / 146097;
    const long c = a - 146097 * b / 4;
    const long d = (4 * c + 3) / 1461;
    const long e = c - 1461 * d / 4;
    const long m = (5 * e + 2) / 153;
    CivilMoment moment;
    moment.day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    moment.month = static_cast<int>(m + 3 - 12 * (m / 10));
    moment.year = static_cast<int>(100 * b + d - 4800 + m / 10);
    moment.hour = minuteOfDay / 60;
    moment.minute = minuteOfDay % 60;
    return moment;
}

// The moment of term `index` (0 = 小寒 at 285 degrees, ..., 23 = 冬至 at 270
// degrees) of `year`, a Julian Day in Universal Time.
double termMoment(int year, int index)
{
    const double target = std::fmod(285.0 + 15.0 * index, 360.0);
    const int month = index / 2 + 1;
    double jde = julianDay(year, month, index % 2 == 0 ? 6 : 21);
    // Newton's method on the mean motion; the sun never moves more than
    // 1.02 degrees a day, so each step lands within a few minutes and four
    // more reach a millionth of a second.
    for (int step = 0; step < 20; ++step) {
        double miss = target - apparentSolarLongitude(jde);
        miss -= 360 * std::round(miss / 360);
        const double correction = miss * 365.2422 / 360;
        jde += correction;
        if (std::fabs(correction) < 1e-9)
            break;
    }
    const double decimalYear = 2000 + (jde - kJ2000) / 365.25;
    return jde - deltaT(decimalYear) / 86400;
}

// The same in China Standard Time, UTC+8.
CivilMoment chinaMoment(int year, int index)
{
    return civil(termMoment(year, index) + 8.0 / 24);
}

std::string table()
{
    std::ostringstream out;
    out << "// Made by lunar/tools/solar_terms.cpp; do not edit. The moments of the 24 solar\n"
           "// terms (小寒 ... 冬至, in the order of the year) of one year a row, 1900 to 2100,\n"
           "// in China Standard Time, each as DDHHMM: day of the term's month, hour, minute.\n";
    char line[32];
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        out << "{";
        for (int index = 0; index < 24; ++index) {
            const CivilMoment moment = chinaMoment(year, index);
            if (moment.year != year || moment.month != index / 2 + 1) {
                std::fprintf(stderr, "term %d of %d falls outside its month\n", index, year);
                std::exit(2);
            }
            std::snprintf(line, sizeof line, "%s%6d", index == 0 ? "" : ",",
                          moment.day * 10000 + moment.hour * 100 + moment.minute);
            out << line;
        }
        out << "}, // " << year << "\n";
    }
    return out.str();
}

// One line a term, "year index julian-day", the moment in Universal Time to
// a tenth of a second, for a check against another ephemeris.
std::string moments()
{
    std::ostringstream out;
    char line[64];
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        for (int index = 0; index < 24; ++index) {
            std::snprintf(line, sizeof line, "%d %d %.7f\n", year, index, termMoment(year, index));
            out << line;
        }
    }
    return out.str();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && std::string(argv[1]) == "--moments") {
        std::fputs(moments().c_str(), stdout);
        return 0;
    }
    const std::string made = table();
    if (argc == 3 && std::string(argv[1]) == "--check") {
        std::ifstream file(argv[2], std::ios::binary);
        const std::string kept((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (kept == made)
            return 0;
        std::fprintf(stderr, "%s is not what the generator makes: make it again\n", argv[2]);
        return 1;
    }
    if (argc != 1) {
        std::fprintf(stderr, "usage: %s [--check TABLE | --moments]\n", argv[0]);
        return 2;
    }
    std::fputs(made.c_str(), stdout);
    return 0;
}
