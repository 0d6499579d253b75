#include "tools/core/UnitTable.h"

#include "tools/core/NumberText.h"

#include <cmath>

namespace UnitTable {

namespace {

enum Tab { Length, Mass, Area, Temperature, Volume };

Row factor(int tab, const char *from, const char *to, long double value)
{
    return Row{tab, QString::fromUtf8(from), QString::fromUtf8(to), Rule::Factor, value};
}

QList<Row> makeRows()
{
    return {
        factor(Length, "米", "厘米", 100),
        factor(Length, "厘米", "毫米", 10),
        factor(Length, "米", "尺", 3),
        factor(Length, "尺", "寸", 10),
        factor(Length, "英寸", "毫米", 25.4L),
        factor(Length, "英尺", "厘米", 30.5L),
        factor(Length, "英里", "公里", 1.61L),
        factor(Length, "码", "米", 0.914L),
        factor(Length, "浪", "米", 201),

        factor(Mass, "盎司", "克", 28.3L),
        factor(Mass, "磅", "克", 454),
        factor(Mass, "石", "千克", 6.35L),
        factor(Mass, "吨", "公吨", 1.02L),
        factor(Mass, "长吨", "吨", 1.016L),
        factor(Mass, "千克", "磅", 2.205L),
        factor(Mass, "吨", "短吨", 1.102L),
        factor(Mass, "吨", "千克", 1000),

        factor(Area, "平方公里", "公顷", 100),
        factor(Area, "公顷", "平方米", 10000),
        factor(Area, "平方米", "平方英尺", 10.764L),
        factor(Area, "平方码", "平方米", 0.8361L),
        factor(Area, "平方英寸", "平方厘米", 6.45L),
        factor(Area, "平方英尺", "平方厘米", 929),
        // One square mile is 1609.344 m squared, exactly.
        factor(Area, "平方英里", "平方米", 2589988.110336L),
        factor(Area, "平方英里", "平方公里", 2.59L),
        factor(Area, "英亩", "公顷", 0.405L),

        Row{Temperature, QStringLiteral("摄氏度"), QStringLiteral("华氏度"), Rule::CelsiusToFahrenheit},
        Row{Temperature, QStringLiteral("华氏度"), QStringLiteral("摄氏度"), Rule::FahrenheitToCelsius},

        factor(Volume, "立方米", "升", 1000),
        factor(Volume, "立方英尺", "立方米", 0.0283L),
        factor(Volume, "美吉耳", "升", 0.118L),
        factor(Volume, "立方米", "桶", 6.29L),
        factor(Volume, "液体盎司", "毫升", 28.4L),
        // The imperial pint, like the imperial gallon and fluid ounce on
        // this tab: 568.26125 mL by definition.
        factor(Volume, "品脱", "亳升", 568.26125L),
        factor(Volume, "英加仑", "升", 4.546L),
        factor(Volume, "美夸脱", "升", 0.946L),
        factor(Volume, "桶", "美加仑", 42),
    };
}

// Each step is rounded to extended precision on its own, in this order.
long double apply(const Row &row, long double x)
{
    switch (row.rule) {
    case Rule::CelsiusToFahrenheit: {
        long double v = x * 9;
        v = v / 5;
        return v + 32;
    }
    case Rule::FahrenheitToCelsius: {
        long double v = x - 32;
        v = v * 5;
        return v / 9;
    }
    case Rule::Factor:
        break;
    }
    return x * row.factor;
}

} // namespace

QStringList tabCaptions()
{
    return {QStringLiteral("长度/Length   "),     QStringLiteral("重量/Mass  "),   QStringLiteral("面积/Area   "),
            QStringLiteral("温度/Temperature  "), QStringLiteral("容积 /Volume "), QStringLiteral("其它计算公式")};
}

const QList<Row> &rows()
{
    static const QList<Row> table = makeRows();
    return table;
}

QList<Row> rowsOf(int tab)
{
    QList<Row> list;
    for (const Row &row : rows())
        if (row.tab == tab)
            list << row;
    return list;
}

Result<QString> convert(const Row &row, const QString &input)
{
    const Result<long double> value = NumberText::toNumber(input);
    if (!value)
        return fail(value.error());
    const long double result = apply(row, *value);
    if (std::isinf(result))
        return fail(NumberText::kOverflowMessage);
    return NumberText::general(result);
}

} // namespace UnitTable
