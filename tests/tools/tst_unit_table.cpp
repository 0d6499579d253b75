#include "tools/core/UnitTable.h"

#include <QTest>

class TstUnitTable : public QObject
{
    Q_OBJECT

private slots:
    void tabs()
    {
        QCOMPARE(UnitTable::tabCaptions(), (QStringList{"长度/Length   ", "重量/Mass  ", "面积/Area   ",
                                                        "温度/Temperature  ", "容积 /Volume ", "其它计算公式"}));
        QList<qsizetype> sizes;
        for (int tab = 0; tab < 6; ++tab)
            sizes << UnitTable::rowsOf(tab).size();
        QCOMPARE(sizes, (QList<qsizetype>{9, 8, 9, 2, 9, 0}));
        QCOMPARE(UnitTable::rows().size(), 37);
    }

    void rows_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        const struct
        {
            const char *from, *to, *input, *output;
        } rows[] = {
            {"米", "厘米", "2", "200"},
            {"厘米", "毫米", "3", "30"},
            {"米", "尺", "2", "6"},
            {"尺", "寸", "5", "50"},
            {"英寸", "毫米", "12", "304.8"},
            {"英尺", "厘米", "2", "61"},
            {"英里", "公里", "5", "8.05"},
            {"码", "米", "3", "2.742"},
            {"浪", "米", "2", "402"},
            {"盎司", "克", "2", "56.6"},
            {"磅", "克", "2", "908"},
            {"石", "千克", "2", "12.7"},
            {"吨", "公吨", "2", "2.04"},
            {"长吨", "吨", "2", "2.032"},
            {"千克", "磅", "2", "4.41"},
            {"吨", "短吨", "2", "2.204"},
            {"吨", "千克", "2", "2000"},
            {"平方公里", "公顷", "2", "200"},
            {"公顷", "平方米", "2", "20000"},
            {"平方米", "平方英尺", "2", "21.528"},
            {"平方码", "平方米", "2", "1.6722"},
            {"平方英寸", "平方厘米", "2", "12.9"},
            {"平方英尺", "平方厘米", "2", "1858"},
            {"平方英里", "平方米", "1", "2589988.110336"},
            {"平方英里", "平方公里", "2", "5.18"},
            {"英亩", "公顷", "2", "0.81"},
            {"摄氏度", "华氏度", "37", "98.6"},
            {"华氏度", "摄氏度", "100", "37.7777777777778"},
            {"立方米", "升", "2", "2000"},
            {"立方英尺", "立方米", "2", "0.0566"},
            {"美吉耳", "升", "2", "0.236"},
            {"立方米", "桶", "2", "12.58"},
            {"液体盎司", "毫升", "2", "56.8"},
            {"品脱", "亳升", "2", "1136.5225"},
            {"英加仑", "升", "2", "9.092"},
            {"美夸脱", "升", "2", "1.892"},
            {"桶", "美加仑", "2", "84"},
        };
        int index = 0;
        for (const auto &row : rows) {
            QTest::addRow("%d %s", index + 1, row.from)
                << index << QString::fromUtf8(row.from) << QString::fromUtf8(row.to) << QString::fromLatin1(row.input)
                << QString::fromLatin1(row.output);
            ++index;
        }
        QTest::newRow("1 英寸") << 4 << "英寸"
                                << "毫米"
                                << "1"
                                << "25.4";
        QTest::newRow("123456789 英寸") << 4 << "英寸"
                                        << "毫米"
                                        << "123456789"
                                        << "3135802440.6";
        QTest::newRow("0 摄氏度") << 26 << "摄氏度"
                                  << "华氏度"
                                  << "0"
                                  << "32";
        QTest::newRow("0 华氏度") << 27 << "华氏度"
                                  << "摄氏度"
                                  << "0"
                                  << "-17.7777777777778";
        QTest::newRow("-40 both ways") << 27 << "华氏度"
                                       << "摄氏度"
                                       << "-40"
                                       << "-40";
        QTest::newRow("pasted exponent") << 0 << "米"
                                         << "厘米"
                                         << "1e-9"
                                         << "1E-7";
    }
    void rows()
    {
        QFETCH(int, index);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, input);
        QFETCH(QString, output);
        const UnitTable::Row &row = UnitTable::rows().at(index);
        QCOMPARE(row.from, from);
        QCOMPARE(row.to, to);
        const Result<QString> result = UnitTable::convert(row, input);
        QCOMPARE(result.error(), QString());
        QCOMPARE(*result, output);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("error");
        QTest::newRow("emptied field") << ""
                                       << "'' is not a valid floating point value";
        QTest::newRow("pasted text") << "12a"
                                     << "'12a' is not a valid floating point value";
        QTest::newRow("result out of range") << "1E4931"
                                             << "Floating point overflow";
    }
    void failures()
    {
        QFETCH(QString, input);
        QFETCH(QString, error);
        const Result<QString> result = UnitTable::convert(UnitTable::rows().at(18), input);
        QCOMPARE(result.error(), error);
        QVERIFY(!result.ok());
    }

    // Headings, sample lines and blank-line layout of the two reference texts.
    void referenceTexts()
    {
        const QStringList heat = UnitTable::heatFormulas();
        QCOMPARE(heat.size(), 29);
        QCOMPARE(heat[1], QStringLiteral("1千卡/米2·时（kcal/m2·h）=1.16279瓦/米2（w/m2）"));
        const QStringList heatHeadings{"传 热 系 数 换 算", "热 导 率 换 算", "比 容 热 换 算", "热 功 换 算",
                                       "功 率 换 算"};
        qsizetype at = -1;
        for (const QString &heading : heatHeadings) {
            const qsizetype next = heat.indexOf(heading);
            QVERIFY2(next > at, qPrintable(heading));
            at = next;
        }

        const QStringList other = UnitTable::otherFormulas();
        QCOMPARE(other.size(), 82);
        const QStringList headings{"密 度 换 算",       "运 动 粘 度 换 算", "动 力 粘 度 换 算", "力 换 算",
                                   "压 力 换 算",       "速 度 换 算",       "渗 透 率 换 算",    "地 温 梯 度 换 算",
                                   "油 气 产 量 换 算", "气 油 比 换 算",    "热 值 换 算",       "热 当 量 换 算"};
        QStringList found;
        for (qsizetype i = 0; i < other.size(); ++i) {
            if (!other[i].contains(QStringLiteral(" 换 算")))
                continue;
            found << other[i];
            QVERIFY(other.value(i + 1).isEmpty());
            QVERIFY(i == 0 || other[i - 1].isEmpty());
        }
        QCOMPARE(found, headings);
        const qsizetype speed = other.indexOf(QStringLiteral("速 度 换 算"));
        QVERIFY(other.indexOf(QStringLiteral("1英里/时（mile/h）=0.44704米/秒（m/s）")) > speed);
        QVERIFY(other.indexOf(QStringLiteral("1英尺/秒（ft/s）=0.3048米/秒（m/s）")) > speed);
        const qsizetype heatValue = other.indexOf(QStringLiteral("热 值 换 算"));
        const qsizetype source = other.indexOf(QStringLiteral("（资料来源：美国国家标准局）"));
        QCOMPARE(other[source + 1], QString());
        QCOMPARE(other[source + 2], QStringLiteral("热 当 量 换 算"));
        QVERIFY(source > heatValue);
    }
};

QTEST_GUILESS_MAIN(TstUnitTable)
#include "tst_unit_table.moc"
