#include "failures.h"
#include "numbers.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace lists;

class TestNumbers : public QObject
{
    Q_OBJECT

private slots:
    void textValue_data();
    void textValue();
    void roundToInt16_data();
    void roundToInt16();
    void overflow_data();
    void overflow();
};

void TestNumbers::textValue_data()
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty text") << QByteArray("") << 0.0;
    QTest::newRow("letters only") << QByteArray("abc") << 0.0;
    QTest::newRow("Cyrillic letters") << QByteArray("Рила ") << 0.0;
    QTest::newRow("blanks only") << QByteArray("   ") << 0.0;
    QTest::newRow("key text") << QByteArray("8") << 8.0;
    QTest::newRow("leading zeros") << QByteArray("0007") << 7.0;
    QTest::newRow("digits then letters") << QByteArray("12abc") << 12.0;
    QTest::newRow("leading blanks and tab") << QByteArray(" \t 3") << 3.0;
    QTest::newRow("blank inside ends the number") << QByteArray("1 2") << 1.0;
    QTest::newRow("minus") << QByteArray("-5") << -5.0;
    QTest::newRow("plus") << QByteArray("+5") << 5.0;
    QTest::newRow("sign alone") << QByteArray("-") << 0.0;
    QTest::newRow("sign then blank") << QByteArray("- 5") << 0.0;
    QTest::newRow("fraction") << QByteArray("1.5") << 1.5;
    QTest::newRow("fraction without integer part") << QByteArray("-.25") << -0.25;
    QTest::newRow("point without fraction") << QByteArray("5.") << 5.0;
    QTest::newRow("point alone") << QByteArray(".") << 0.0;
    QTest::newRow("second point ends the number") << QByteArray("1.2.3") << 1.2;
    QTest::newRow("decimal comma is not a point") << QByteArray("1,5") << 1.0;
    QTest::newRow("exponent") << QByteArray("2.5e-1") << 0.25;
    QTest::newRow("exponent with plus") << QByteArray("1E+3") << 1000.0;
    QTest::newRow("exponent without digits is left out") << QByteArray("7e+x") << 7.0;
    QTest::newRow("hexadecimal is not read") << QByteArray("0x10") << 0.0;
    QTest::newRow("inf is a word, not a number") << QByteArray("inf") << 0.0;
    QTest::newRow("nan is a word, not a number") << QByteArray("nan") << 0.0;
    QTest::newRow("too large") << QByteArray("1e999") << inf;
    QTest::newRow("too large, negative") << QByteArray("-1e999") << -inf;
    QTest::newRow("too large by digits") << QByteArray(400, '9') << inf;
    QTest::newRow("too large by exponent of a fraction") << QByteArray("0.001e400") << inf;
    QTest::newRow("huge exponent") << QByteArray("1e99999999999999999999") << inf;
    QTest::newRow("too small") << QByteArray("1e-999") << 0.0;
    QTest::newRow("too small by leading zeros")
        << QByteArray("0." + QByteArray(400, '0') + "1") << 0.0;
    QTest::newRow("huge negative exponent") << QByteArray("5e-99999999999999999999") << 0.0;
}

void TestNumbers::textValue()
{
    QFETCH(QByteArray, text);
    QFETCH(double, expected);
    QCOMPARE(lists::textValue(std::string_view(text.constData(), text.size())), expected);
}

void TestNumbers::roundToInt16_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("whole number") << 7.0 << 7;
    QTest::newRow("below half") << 2.4999 << 2;
    QTest::newRow("above half") << 2.5001 << 3;
    QTest::newRow("2.5 to even 2") << 2.5 << 2;
    QTest::newRow("3.5 to even 4") << 3.5 << 4;
    QTest::newRow("0.5 to even 0") << 0.5 << 0;
    QTest::newRow("-0.5 to even 0") << -0.5 << 0;
    QTest::newRow("-1.5 to even -2") << -1.5 << -2;
    QTest::newRow("-2.5 to even -2") << -2.5 << -2;
    QTest::newRow("largest") << 32767.0 << 32767;
    QTest::newRow("just below largest half") << 32767.49 << 32767;
    QTest::newRow("smallest") << -32768.0 << -32768;
    QTest::newRow("-32768.5 to even -32768") << -32768.5 << -32768;
}

void TestNumbers::roundToInt16()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(int(lists::roundToInt16(value)), expected);
}

void TestNumbers::overflow_data()
{
    QTest::addColumn<double>("value");

    QTest::newRow("32767.5 to even 32768") << 32767.5;
    QTest::newRow("32768") << 32768.0;
    QTest::newRow("-32768.51") << -32768.51;
    QTest::newRow("-32769") << -32769.0;
    QTest::newRow("65536 does not wrap to 0") << 65536.0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity();
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN();
}

void TestNumbers::overflow()
{
    QFETCH(double, value);
    try {
        lists::roundToInt16(value);
        QFAIL("no failure for a value outside the 16-bit range");
    } catch (const OverflowError &error) {
        QVERIFY2(std::string_view(error.what()).starts_with("Overflow"), error.what());
    }
}

QTEST_APPLESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
