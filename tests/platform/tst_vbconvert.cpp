#include "platform/VbConvert.h"
#include "platform/VbText.h"

#include <QtTest>
#include <cmath>
#include <limits>

class tst_VbConvert : public QObject
{
    Q_OBJECT

private slots:
    void toNumber_data();
    void toNumber();
    void roundsHalfToEven_data();
    void roundsHalfToEven();
    void wholeNumberRanges_data();
    void wholeNumberRanges();
    void toSingleRange();
    void toBoolean_data();
    void toBoolean();
    void val_data();
    void val();
    void fromSingleIsShortestAndReadsBack_data();
    void fromSingleIsShortestAndReadsBack();
    void fromDoubleReadsBack();
    void trimOnlyBlanks_data();
    void trimOnlyBlanks();
};

namespace {
const double NotANumber = std::numeric_limits<double>::quiet_NaN();
}

void tst_VbConvert::toNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number"); // NaN: no number

    QTest::newRow("integer") << "42" << 42.0;
    QTest::newRow("blanks around") << "  42  " << 42.0;
    QTest::newRow("Tab around") << "\t7\t" << 7.0;
    QTest::newRow("negative") << "-17" << -17.0;
    QTest::newRow("plus") << "+5" << 5.0;
    QTest::newRow("decimal") << "2.25" << 2.25;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("exponent") << "1.5e3" << 1500.0;
    QTest::newRow("exponent upper with sign") << "25E-1" << 2.5;
    QTest::newRow("exponent plus") << "1e+2" << 100.0;
    QTest::newRow("D exponent") << "1D2" << 100.0;
    QTest::newRow("hex") << "&H1F" << 31.0;
    QTest::newRow("hex lower case") << "&hff" << 255.0;
    QTest::newRow("hex 16-bit negative") << "&HFFFF" << -1.0;
    QTest::newRow("hex 16-bit lowest") << "&H8000" << -32768.0;
    QTest::newRow("hex 16-bit highest") << "&H7FFF" << 32767.0;
    QTest::newRow("hex five digits") << "&H10000" << 65536.0;
    QTest::newRow("hex 32-bit negative") << "&HFFFFFFFF" << -1.0;
    QTest::newRow("hex 32-bit lowest") << "&H80000000" << -2147483648.0;
    QTest::newRow("hex with blanks") << " &H10 " << 16.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal lower case") << "&o777" << 511.0;

    QTest::newRow("empty") << "" << NotANumber;
    QTest::newRow("only blanks") << "   " << NotANumber;
    QTest::newRow("word") << "abc" << NotANumber;
    QTest::newRow("trailing letters") << "12abc" << NotANumber;
    QTest::newRow("two numbers") << "1 2" << NotANumber;
    QTest::newRow("sign only") << "-" << NotANumber;
    QTest::newRow("point only") << "." << NotANumber;
    QTest::newRow("two points") << "1.2.3" << NotANumber;
    QTest::newRow("exponent without digits") << "1e" << NotANumber;
    QTest::newRow("exponent sign without digits") << "1e+" << NotANumber;
    QTest::newRow("exponent too large") << "1e400" << NotANumber;
    QTest::newRow("hex without digits") << "&H" << NotANumber;
    QTest::newRow("hex bad digit") << "&HFG" << NotANumber;
    QTest::newRow("hex too long") << "&H100000000" << NotANumber;
    QTest::newRow("octal 8") << "&O18" << NotANumber;
    QTest::newRow("infinity") << "inf" << NotANumber;
    QTest::newRow("nan") << "nan" << NotANumber;
    QTest::newRow("comma decimal") << "2,5" << NotANumber;
    QTest::newRow("non-ASCII digits") << QStringLiteral("١٢") << NotANumber;
    QTest::newRow("hex non-ASCII digit") << QStringLiteral("&H١") << NotANumber;
}

void tst_VbConvert::toNumber()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    const std::optional<double> result = VbConvert::toNumber(text);
    if (std::isnan(number)) {
        QVERIFY2(!result, qPrintable(QString::number(result.value_or(0))));
    } else {
        QVERIFY(result);
        QCOMPARE(*result, number);
        QCOMPARE(VbConvert::toDouble(text), result);
    }
}

void tst_VbConvert::roundsHalfToEven_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("whole");

    QTest::newRow("0.5") << "0.5" << 0;
    QTest::newRow("1.5") << "1.5" << 2;
    QTest::newRow("2.5") << "2.5" << 2;
    QTest::newRow("3.5") << "3.5" << 4;
    QTest::newRow("-2.5") << "-2.5" << -2;
    QTest::newRow("-3.5") << "-3.5" << -4;
    QTest::newRow("2.5000001") << "2.5000001" << 3;
    QTest::newRow("2.4999999") << "2.4999999" << 2;
    QTest::newRow("-0.4") << "-0.4" << 0;
    QTest::newRow("exponent") << "25e-1" << 2;
}

void tst_VbConvert::roundsHalfToEven()
{
    QFETCH(QString, text);
    QFETCH(int, whole);
    QCOMPARE(VbConvert::toInt32(text), std::optional<qint32>(whole));
    QCOMPARE(VbConvert::toInt16(text), std::optional<qint16>(qint16(whole)));
}

void tst_VbConvert::wholeNumberRanges_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("int16"); // -1000000: none
    QTest::addColumn<qint64>("int32");
    QTest::addColumn<qint64>("byte");
    const qint64 none = -1000000;

    QTest::newRow("0") << "0" << 0LL << 0LL << 0LL;
    QTest::newRow("255") << "255" << 255LL << 255LL << 255LL;
    QTest::newRow("255.5 rounds to 256") << "255.5" << 256LL << 256LL << none;
    QTest::newRow("256") << "256" << 256LL << 256LL << none;
    QTest::newRow("300") << "300" << 300LL << 300LL << none;
    QTest::newRow("-1") << "-1" << -1LL << -1LL << none;
    QTest::newRow("-0.5 rounds to 0") << "-0.5" << 0LL << 0LL << 0LL;
    QTest::newRow("32767") << "32767" << 32767LL << 32767LL << none;
    QTest::newRow("32767.5 rounds to 32768") << "32767.5" << none << 32768LL << none;
    QTest::newRow("32768") << "32768" << none << 32768LL << none;
    QTest::newRow("-32768") << "-32768" << -32768LL << -32768LL << none;
    QTest::newRow("-32768.5 rounds to -32768") << "-32768.5" << -32768LL << -32768LL << none;
    QTest::newRow("-32769") << "-32769" << none << -32769LL << none;
    QTest::newRow("2147483647") << "2147483647" << none << 2147483647LL << none;
    QTest::newRow("2147483647.5") << "2147483647.5" << none << none << none;
    QTest::newRow("2147483648") << "2147483648" << none << none << none;
    QTest::newRow("-2147483648") << "-2147483648" << none << -2147483648LL << none;
    QTest::newRow("-2147483649") << "-2147483649" << none << none << none;
    QTest::newRow("&HFF") << "&HFF" << 255LL << 255LL << 255LL;
    QTest::newRow("&HFFFF") << "&HFFFF" << -1LL << -1LL << none;
    QTest::newRow("1e10") << "1e10" << none << none << none;
    QTest::newRow("text") << "x" << none << none << none;
}

void tst_VbConvert::wholeNumberRanges()
{
    QFETCH(QString, text);
    QFETCH(qint64, int16);
    QFETCH(qint64, int32);
    QFETCH(qint64, byte);
    constexpr qint64 none = -1000000;
    const auto expect = [](qint64 v) {
        return v == none ? std::optional<qint64>() : std::optional<qint64>(v);
    };
    const auto widen = [](auto r) { return r ? std::optional<qint64>(*r) : std::optional<qint64>(); };
    QCOMPARE(widen(VbConvert::toInt16(text)), expect(int16));
    QCOMPARE(widen(VbConvert::toInt32(text)), expect(int32));
    QCOMPARE(widen(VbConvert::toByte(text)), expect(byte));
}

void tst_VbConvert::toSingleRange()
{
    QCOMPARE(VbConvert::toSingle(QStringLiteral("1.5")), std::optional<float>(1.5f));
    QCOMPARE(VbConvert::toSingle(QStringLiteral("-3.4e38")), std::optional<float>(-3.4e38f));
    // Up to half a unit in the last place above the largest Single rounds down to it.
    QCOMPARE(VbConvert::toSingle(QStringLiteral("3.402823567e38")),
             std::optional<float>(std::numeric_limits<float>::max()));
    QVERIFY(!VbConvert::toSingle(QStringLiteral("3.402823568e38")));
    QVERIFY(!VbConvert::toSingle(QStringLiteral("3.5e38")));
    QVERIFY(!VbConvert::toSingle(QStringLiteral("-1e39")));
    QVERIFY(!VbConvert::toSingle(QStringLiteral("x")));
    QCOMPARE(VbConvert::toSingle(QStringLiteral("1e-50")), std::optional<float>(0.0f));
}

void tst_VbConvert::toBoolean_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result"); // -1: none

    QTest::newRow("True") << "True" << 1;
    QTest::newRow("TRUE") << "TRUE" << 1;
    QTest::newRow("false") << "false" << 0;
    QTest::newRow("blanks") << "  False " << 0;
    QTest::newRow("-1") << "-1" << 1;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("0.0") << "0.0" << 0;
    QTest::newRow("0.4") << "0.4" << 1;
    QTest::newRow("&H0") << "&H0" << 0;
    QTest::newRow("yes") << "yes" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("Truely") << "Truely" << -1;
    QTest::newRow("#TRUE#") << "#TRUE#" << -1;
}

void tst_VbConvert::toBoolean()
{
    QFETCH(QString, text);
    QFETCH(int, result);
    const std::optional<bool> value = VbConvert::toBoolean(text);
    QCOMPARE(value.has_value(), result != -1);
    if (value)
        QCOMPARE(*value, result == 1);
    if (value)
        QCOMPARE(VbConvert::toBoolean(VbConvert::fromBoolean(*value)), value);
}

void tst_VbConvert::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");

    QTest::newRow("leading number") << "12abc" << 12.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blanks and Tabs first") << " \t 7 apples" << 7.0;
    QTest::newRow("negative decimal") << "-3.5xyz" << -3.5;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("exponent") << "1e3x" << 1000.0;
    QTest::newRow("incomplete exponent") << "2e" << 2.0;
    QTest::newRow("hex") << "&H1Fz" << 31.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("hex without digits") << "&Hz" << 0.0;
    QTest::newRow("sign only") << "-x" << 0.0;
    QTest::newRow("verse reference") << "3:16" << 3.0;
    QTest::newRow("comma stops") << "2,5" << 2.0;
}

void tst_VbConvert::val()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    QCOMPARE(VbConvert::val(text), number);
}

void tst_VbConvert::fromSingleIsShortestAndReadsBack_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text"); // empty: only the round trip is checked

    QTest::newRow("0") << 0.0f << "0";
    QTest::newRow("whole") << 1440.0f << "1440";
    QTest::newRow("negative") << -2.5f << "-2.5";
    QTest::newRow("0.1") << 0.1f << "0.1";
    QTest::newRow("third") << 1.0f / 3.0f << "0.33333334";
    QTest::newRow("twips") << 4567.5f << "4567.5";
    QTest::newRow("2^24") << 16777216.0f << "16777216";
    QTest::newRow("large") << 1e20f << "";
    QTest::newRow("small") << 1.17549435e-38f << "";
    QTest::newRow("denormal") << std::numeric_limits<float>::denorm_min() << "";
    QTest::newRow("largest") << std::numeric_limits<float>::max() << "";
    QTest::newRow("lowest") << std::numeric_limits<float>::lowest() << "";
}

void tst_VbConvert::fromSingleIsShortestAndReadsBack()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    const QString written = VbConvert::fromSingle(value);
    if (!text.isEmpty())
        QCOMPARE(written, text);
    const std::optional<float> back = VbConvert::toSingle(written);
    QVERIFY2(back, qPrintable(written));
    QCOMPARE(*back, value);
}

void tst_VbConvert::fromDoubleReadsBack()
{
    for (double value : {0.0, 0.1, -1e300, 1.0 / 3.0, std::numeric_limits<double>::max(),
                         std::numeric_limits<double>::denorm_min(), 123456789.125}) {
        const QString written = VbConvert::fromDouble(value);
        QCOMPARE(VbConvert::toDouble(written), std::optional<double>(value));
    }
    QCOMPARE(VbConvert::fromDouble(0.1), QStringLiteral("0.1"));
}

void tst_VbConvert::trimOnlyBlanks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trim");
    QTest::addColumn<QString>("ltrim");
    QTest::addColumn<QString>("rtrim");

    QTest::newRow("blanks") << "  a b  "
                            << "a b"
                            << "a b  "
                            << "  a b";
    QTest::newRow("Tabs kept") << "\ta\t"
                               << "\ta\t"
                               << "\ta\t"
                               << "\ta\t";
    QTest::newRow("line ends kept") << " \r\na\r\n "
                                    << "\r\na\r\n"
                                    << "\r\na\r\n "
                                    << " \r\na\r\n";
    QTest::newRow("no-break space kept")
        << QStringLiteral("\u00A0a\u00A0") << QStringLiteral("\u00A0a\u00A0")
        << QStringLiteral("\u00A0a\u00A0") << QStringLiteral("\u00A0a\u00A0");
    QTest::newRow("only blanks") << "   "
                                 << ""
                                 << ""
                                 << "";
    QTest::newRow("empty") << ""
                           << ""
                           << ""
                           << "";
    QTest::newRow("blank Tab blank") << " \t "
                                     << "\t"
                                     << "\t "
                                     << " \t";
}

void tst_VbConvert::trimOnlyBlanks()
{
    QFETCH(QString, text);
    QFETCH(QString, trim);
    QFETCH(QString, ltrim);
    QFETCH(QString, rtrim);
    QCOMPARE(VbText::Trim(text), trim);
    QCOMPARE(VbText::LTrim(text), ltrim);
    QCOMPARE(VbText::RTrim(text), rtrim);
}

QTEST_GUILESS_MAIN(tst_VbConvert)
#include "tst_vbconvert.moc"
