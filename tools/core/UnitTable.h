#pragma once

#include "store/Result.h"

#include <QList>
#include <QString>
#include <QStringList>

// The unit converter's fixed one-way conversions, tab by tab.
namespace UnitTable {

enum class Rule { Factor, CelsiusToFahrenheit, FahrenheitToCelsius };

struct Row
{
    int tab = 0; // index into tabCaptions()
    QString from;
    QString to;
    Rule rule = Rule::Factor;
    long double factor = 1; // for Rule::Factor
};

// The six tab captions, trailing spaces included.
QStringList tabCaptions();
// All conversion rows, tab by tab, top to bottom.
const QList<Row> &rows();
// The rows of one tab.
QList<Row> rowsOf(int tab);

constexpr int kTemperatureTab = 3;
constexpr int kFormulasTab = 5;

// The reference texts of the temperature tab and of the formulas tab, one
// string per line.
QStringList heatFormulas();
QStringList otherFormulas();

// Reads `input`, applies the row's rule in extended precision and gives the
// output in the general number format.
Result<QString> convert(const Row &row, const QString &input);

} // namespace UnitTable
