#include "tools/core/NumberText.h"

#include <QTest>

#include <clocale>
#include <cstdlib>

namespace {

// Test values are written as C literals and read by the C library, apart
// from the rule under test.
long double value(const QByteArray &literal)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtold_l(literal.constData(), nullptr, cLocale);
}

} // namespace

class TstNumberText : public QObject
{
    Q_OBJECT

private slots:
    void general_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("shown");
        QTest::newRow("zero") << QByteArray("0") << "0";
        QTest::newRow("negative zero") << QByteArray("-0") << "0";
        QTest::newRow("whole") << QByteArray("8") << "8";
        QTest::newRow("negative") << QByteArray("-3.5") << "-3.5";
        QTest::newRow("third: 15 digits") << QByteArray("0.33333333333333333333") << "0.333333333333333";
        QTest::newRow("two thirds rounds up") << QByteArray("0.66666666666666666667") << "0.666666666666667";
        QTest::newRow("tie goes away from zero") << QByteArray("0.1234567890123455") << "0.123456789012346";
        QTest::newRow("negative tie too") << QByteArray("-0.1234567890123455") << "-0.123456789012346";
        QTest::newRow("18 digits first, then 15") << QByteArray("1.0000000000000049999067") << "1.00000000000001";
        QTest::newRow("just under the 18-digit tie") << QByteArray("1.000000000000004994") << "1";
        QTest::newRow("carry into a new digit") << QByteArray("9.9999999999999999") << "10";
        QTest::newRow("15 integer digits plain") << QByteArray("999999999999999") << "999999999999999";
        QTest::newRow("16 integer digits") << QByteArray("9999999800000001") << "9.9999998E15";
        QTest::newRow("rounding reaches 16 digits") << QByteArray("999999999999999.9") << "1E15";
        QTest::newRow("negative exponent form") << QByteArray("-123456789012345678") << "-1.23456789012346E17";
        QTest::newRow("0.0001 plain") << QByteArray("0.0001") << "0.0001";
        QTest::newRow("below 0.0001") << QByteArray("0.00009") << "9E-5";
        QTest::newRow("0.00001") << QByteArray("0.00001") << "1E-5";
        QTest::newRow("rounds up to 0.0001") << QByteArray("0.00009999999999999999") << "0.0001";
        QTest::newRow("small with digits") << QByteArray("0.000012345") << "1.2345E-5";
        QTest::newRow("beyond double range") << QByteArray("1.5e4000") << "1.5E4000";
        QTest::newRow("far below double range") << QByteArray("1e-4900") << "1E-4900";
    }
    void general()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, shown);
        QCOMPARE(NumberText::general(value(input), u'.'), shown);
    }

    void fixed_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("shown");
        QTest::newRow("2 as 0.00") << QByteArray("2") << 2 << "2.00";
        QTest::newRow("2 as 0.0") << QByteArray("2") << 1 << "2.0";
        QTest::newRow("0.125 half up") << QByteArray("0.125") << 2 << "0.13";
        QTest::newRow("2.675 taken to 18 digits first") << QByteArray("2.675") << 2 << "2.68";
        QTest::newRow("negative half away") << QByteArray("-2.675") << 2 << "-2.68";
        QTest::newRow("first kept digit carries") << QByteArray("0.05") << 1 << "0.1";
        QTest::newRow("below half") << QByteArray("0.04") << 1 << "0.0";
        QTest::newRow("negative to zero has no sign") << QByteArray("-0.001") << 2 << "0.00";
        QTest::newRow("carry into integer") << QByteArray("9.96") << 1 << "10.0";
        QTest::newRow("no thousands separators") << QByteArray("123456789.987") << 2 << "123456789.99";
        QTest::newRow("just under 10^18") << QByteArray("999999999999999999") << 1 << "999999999999999999.0";
        QTest::newRow("10^18 in general format") << QByteArray("1e18") << 2 << "1E18";
        QTest::newRow("zero") << QByteArray("0") << 2 << "0.00";
    }
    void fixed()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, decimals);
        QFETCH(QString, shown);
        QCOMPARE(NumberText::fixed(value(input), decimals, u'.'), shown);
    }

    void toNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("digits") << "12" << true << QByteArray("12");
        QTest::newRow("leading zero") << "012" << true << QByteArray("12");
        QTest::newRow("spaces around") << "  12  " << true << QByteArray("12");
        QTest::newRow("plus") << "+5" << true << QByteArray("5");
        QTest::newRow("minus") << "-5.25" << true << QByteArray("-5.25");
        QTest::newRow("trailing separator") << "0." << true << QByteArray("0");
        QTest::newRow("leading separator") << ".5" << true << QByteArray("0.5");
        QTest::newRow("lone separator") << "." << true << QByteArray("0");
        QTest::newRow("exponent") << "1e3" << true << QByteArray("1000");
        QTest::newRow("negative exponent") << "2.5E-3" << true << QByteArray("0.0025");
        QTest::newRow("signed exponent") << "2.5E+2" << true << QByteArray("250");
        QTest::newRow("nearest extended") << "0.1" << true << QByteArray("0.1");
        QTest::newRow("top of the range") << "1E4931" << true << QByteArray("1e4931");
        QTest::newRow("empty") << "" << false << QByteArray();
        QTest::newRow("spaces only") << "   " << false << QByteArray();
        QTest::newRow("lone sign") << "-" << false << QByteArray();
        QTest::newRow("sign then space") << "- 5" << false << QByteArray();
        QTest::newRow("second separator") << "01.2." << false << QByteArray();
        QTest::newRow("other separator") << "1,5" << false << QByteArray();
        QTest::newRow("exponent without digits") << "1e" << false << QByteArray();
        QTest::newRow("exponent alone") << "e5" << false << QByteArray();
        QTest::newRow("letters") << "abc" << false << QByteArray();
        QTest::newRow("trailing sign") << "5-" << false << QByteArray();
        QTest::newRow("full-width digits") << "１２" << false << QByteArray();
        QTest::newRow("beyond extended range") << "1.2E4932" << false << QByteArray();
    }
    void toNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(QByteArray, expected);
        const auto number = NumberText::toNumber(text, u'.');
        QCOMPARE(number.ok(), isNumber);
        if (isNumber)
            QVERIFY(*number == value(expected));
    }

    void separatorOfTheRegion()
    {
        const auto number = NumberText::toNumber(QStringLiteral("1,5"), u',');
        QVERIFY(number && *number == 1.5L);
        QVERIFY(!NumberText::toNumber(QStringLiteral("1.5"), u','));
        QCOMPARE(NumberText::general(1.25L, u','), QStringLiteral("1,25"));
        QCOMPARE(NumberText::general(1.25e-7L, u','), QStringLiteral("1,25E-7"));
        QCOMPARE(NumberText::fixed(2, 2, u','), QStringLiteral("2,00"));
    }
};

QTEST_GUILESS_MAIN(TstNumberText)
#include "tst_number_text.moc"
