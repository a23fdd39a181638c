// Number texts: fixed and general formats, the lenient and the strict reading.
#include "platform/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <utility>

namespace tv {
namespace {

TEST(FormatFixed, RoundsHalfAwayFromZeroOnTheExactValue) {
    EXPECT_EQ(FormatFixed(0.125, 2), QStringLiteral("0.13")); // exact tie
    EXPECT_EQ(FormatFixed(-0.125, 2), QStringLiteral("-0.13"));
    EXPECT_EQ(FormatFixed(0.25, 1), QStringLiteral("0.3"));
    EXPECT_EQ(FormatFixed(2.5, 0), QStringLiteral("3"));
    EXPECT_EQ(FormatFixed(1.15, 1), QStringLiteral("1.1")); // binary 1.149999...
    EXPECT_EQ(FormatFixed(1.25, 1), QStringLiteral("1.3"));
    EXPECT_EQ(FormatFixed(2.675, 2), QStringLiteral("2.67")); // binary 2.67499...
    EXPECT_EQ(FormatFixed(0.35, 1), QStringLiteral("0.3"));   // binary 0.34999...
    EXPECT_EQ(FormatFixed(0.45, 1), QStringLiteral("0.5"));   // binary 0.45000...1
    EXPECT_EQ(FormatFixed(9.95, 1), QStringLiteral("9.9"));   // binary 9.9499...
    EXPECT_EQ(FormatFixed(9.96, 1), QStringLiteral("10.0"));
    EXPECT_EQ(FormatFixed(99.995, 2), QStringLiteral("100.00")); // binary 99.99500000000000455
    EXPECT_EQ(FormatFixed(0.8f, 2), QStringLiteral("0.80"));
}

TEST(FormatFixed, ZeroAndTinyNegativesHaveNoMinusSign) {
    EXPECT_EQ(FormatFixed(0.0, 1), QStringLiteral("0.0"));
    EXPECT_EQ(FormatFixed(-0.0, 2), QStringLiteral("0.00"));
    EXPECT_EQ(FormatFixed(-0.04, 1), QStringLiteral("0.0"));
    EXPECT_EQ(FormatFixed(-0.004, 2), QStringLiteral("0.00"));
    EXPECT_EQ(FormatFixed(-0.05, 1), QStringLiteral("-0.1")); // binary -0.05000...03
}

TEST(FormatFixed, LargeValuesAndOtherDecimals) {
    EXPECT_EQ(FormatFixed(99999999.0, 1), QStringLiteral("99999999.0"));
    EXPECT_EQ(FormatFixed(-12345678.95, 1), QStringLiteral("-12345678.9")); // binary ...8.9499
    EXPECT_EQ(FormatFixed(-12345678.96, 1), QStringLiteral("-12345679.0"));
    EXPECT_EQ(FormatFixed(1e20, 2), QStringLiteral("100000000000000000000.00"));
    EXPECT_EQ(FormatFixed(9007199254740991.0, 1), QStringLiteral("9007199254740991.0"));
    EXPECT_EQ(FormatFixed(0.0005, 3), QStringLiteral("0.001")); // binary 0.000500000000000000010
    EXPECT_EQ(FormatFixed(1.0005, 3), QStringLiteral("1.000")); // binary 1.000499999...
}

// Rounds the exact decimal expansion printed by the C library, as a reference.
std::string ReferenceFixed(double value, int decimals) {
    char exact[512];
    std::snprintf(exact, sizeof exact, "%.200f", value);
    std::string text = exact;
    const bool negative = text[0] == '-';
    if (negative)
        text.erase(0, 1);
    const size_t point = text.find('.');
    std::string digits = text.substr(0, point) + text.substr(point + 1, decimals);
    if (text[point + 1 + decimals] >= '5') {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[i] == '9')
            digits[i--] = '0';
        if (i < 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[i];
    }
    std::string result = digits.substr(0, digits.size() - decimals);
    if (decimals > 0)
        result += '.' + digits.substr(digits.size() - decimals);
    if (negative && digits.find_first_not_of('0') != std::string::npos)
        result.insert(result.begin(), '-');
    return result;
}

TEST(FormatFixed, AgreesWithTheExactExpansionRoundedHalfAway) {
    std::mt19937_64 random(11);
    std::uniform_int_distribution<int> eighths(-800000, 800000);
    std::uniform_real_distribution<double> wide(-1e9, 1e9);
    for (int i = 0; i < 20000; ++i) {
        double value = 0;
        switch (i % 4) {
        case 0:
            value = eighths(random) / 8.0;
            break; // many exact ties
        case 1:
            value = eighths(random) / 1000.0;
            break;
        case 2:
            value = static_cast<float>(eighths(random) / 10.0);
            break;
        default:
            value = wide(random) * std::pow(10.0, -(i % 15));
            break;
        }
        for (int decimals = 0; decimals <= 2; ++decimals)
            ASSERT_EQ(FormatFixed(value, decimals).toStdString(), ReferenceFixed(value, decimals))
                << value;
    }
}

TEST(FormatGeneral, FifteenSignificantDigitsWithoutTrailingZeros) {
    EXPECT_EQ(FormatGeneral(6.5), QStringLiteral("6.5"));
    EXPECT_EQ(FormatGeneral(2.0), QStringLiteral("2"));
    EXPECT_EQ(FormatGeneral(-0.5), QStringLiteral("-0.5"));
    EXPECT_EQ(FormatGeneral(0.0), QStringLiteral("0"));
    EXPECT_EQ(FormatGeneral(-0.0), QStringLiteral("0"));
    EXPECT_EQ(FormatGeneral(0.8f), QStringLiteral("0.800000011920929"));
    EXPECT_EQ(FormatGeneral(1.1f), QStringLiteral("1.10000002384186"));
    EXPECT_EQ(FormatGeneral(0.1), QStringLiteral("0.1"));
    EXPECT_EQ(FormatGeneral(123456789012345.0), QStringLiteral("123456789012345"));
    EXPECT_EQ(FormatGeneral(99999999.0), QStringLiteral("99999999"));
    EXPECT_EQ(FormatGeneral(0.00001), QStringLiteral("0.00001"));
}

TEST(FormatGeneral, ScientificForTinyAndHugeValues) {
    EXPECT_EQ(FormatGeneral(0.000001), QStringLiteral("1E-6"));
    EXPECT_EQ(FormatGeneral(-0.0000015), QStringLiteral("-1.5E-6"));
    EXPECT_EQ(FormatGeneral(1234567890123456.0), QStringLiteral("1.23456789012346E15"));
    EXPECT_EQ(FormatGeneral(1e20), QStringLiteral("1E20"));
    // 999999999999999.9 rounds to 16 integer digits and therefore goes scientific.
    EXPECT_EQ(FormatGeneral(999999999999999.9), QStringLiteral("1E15"));
}

TEST(FormatGeneral, ExactTiesRoundAwayFromZero) {
    // 2^-22 = 2.384185791015625E-7 exactly: the 16th digit is a true half.
    EXPECT_EQ(FormatGeneral(std::ldexp(1.0, -22)), QStringLiteral("2.38418579101563E-7"));
    // 1234567890123455 is exact in binary; 0.3 in binary is not a tie at any digit.
    EXPECT_EQ(FormatGeneral(1234567890123455.0), QStringLiteral("1.23456789012346E15"));
    EXPECT_EQ(FormatGeneral(1234567890123445.0), QStringLiteral("1.23456789012345E15"));
    EXPECT_EQ(FormatGeneral(0.3), QStringLiteral("0.3"));
}

TEST(FormatGeneral, AgreesWithFifteenDigitRoundingAcrossMagnitudes) {
    // Outside exact ties (vanishingly rare in random values) the text must be the value rounded
    // to 15 significant digits, in whichever notation.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-12, 20);
    for (int i = 0; i < 20000; ++i) {
        double value = mantissa(random) * std::pow(10.0, exponent(random));
        if (i % 2)
            value = -static_cast<double>(static_cast<float>(value));
        char exact[128];
        std::snprintf(exact, sizeof exact, "%.60e", value);
        // The digits after the first one: [14] is the 16th significant digit.
        const std::string digits = std::string(exact).substr(value < 0 ? 3 : 2, 60);
        if (digits[14] == '5' && digits.find_first_not_of('0', 15) == std::string::npos)
            continue; // an exact tie: covered above
        char reference[64];
        std::snprintf(reference, sizeof reference, "%.14e", value);
        const QString text = FormatGeneral(value);
        ASSERT_EQ(ParseNumber(text), std::strtod(reference, nullptr))
            << text.toStdString() << " for " << reference;
        ASSERT_FALSE(text.contains(QLatin1Char('e')));
    }
}

TEST(TextToFloat, KeepsDigitsMinusAndPointOnly) {
    EXPECT_DOUBLE_EQ(TextToFloat(QStringLiteral("1.2mm")), 1.2);
    EXPECT_DOUBLE_EQ(TextToFloat(QStringLiteral("+1")), 1.0);
    EXPECT_DOUBLE_EQ(TextToFloat(QStringLiteral("1,234.5")), 1234.5);
    EXPECT_DOUBLE_EQ(TextToFloat(QStringLiteral("1e5")), 15.0);
    EXPECT_DOUBLE_EQ(TextToFloat(QStringLiteral(" -0.5 ")), -0.5);
    EXPECT_DOUBLE_EQ(TextToFloat(QStringLiteral(".5")), 0.5);
    // Full-width digits are dropped, not read.
    EXPECT_DOUBLE_EQ(TextToFloat(QStringLiteral("１２3")), 3.0);
}

TEST(TextToFloat, WhatIsNoNumberReadsAsZero) {
    EXPECT_EQ(TextToFloat(QString()), 0.0);
    EXPECT_EQ(TextToFloat(QStringLiteral("   ")), 0.0);
    EXPECT_EQ(TextToFloat(QStringLiteral("1-2")), 0.0);
    EXPECT_EQ(TextToFloat(QStringLiteral("1.2.3")), 0.0);
    EXPECT_EQ(TextToFloat(QStringLiteral("abc")), 0.0);
    EXPECT_EQ(TextToFloat(QStringLiteral("-")), 0.0);
    EXPECT_EQ(TextToFloat(QStringLiteral(".")), 0.0);
    EXPECT_EQ(TextToFloat(QStringLiteral("１２")), 0.0);
}

TEST(ParseNumber, AcceptsSignedDecimalsWithExponent) {
    EXPECT_EQ(ParseNumber(QStringLiteral("1.25")), 1.25);
    EXPECT_EQ(ParseNumber(QStringLiteral("  -3 ")), -3.0);
    EXPECT_EQ(ParseNumber(QStringLiteral("+0.5")), 0.5);
    EXPECT_EQ(ParseNumber(QStringLiteral("1e3")), 1000.0);
    EXPECT_EQ(ParseNumber(QStringLiteral("2.5E-1")), 0.25);
    EXPECT_EQ(ParseNumber(QStringLiteral(".5")), 0.5);
    EXPECT_EQ(ParseNumber(QStringLiteral("5.")), 5.0);
    EXPECT_EQ(ParseNumber(QStringLiteral("0.800000011920929")), 0.800000011920929);
}

TEST(ParseNumber, RefusesEverythingElse) {
    for (const char* text : {"", " ", "abc", "1.2mm", "1,5", "1-2", "1.2.3", "--1", "+-1", "1e",
                             "1e+", "e5", ".", "-", "inf", "nan", "0x10", "1 2", "1e999"}) {
        EXPECT_FALSE(ParseNumber(QString::fromLatin1(text))) << text;
    }
    EXPECT_FALSE(ParseNumber(QStringLiteral("１２")));
}

} // namespace
} // namespace tv

TEST(RoundNumberText, RoundsTheDigitsOfTheTextHalfAwayFromZero) {
    const std::pair<const char*, const char*> oneDecimal[] = {
        {"1.45", "1.5"},
        {"0.35", "0.4"},
        {"-0.15", "-0.2"},
        {"2.675", "2.7"},
        {"0.449", "0.4"},
        {"-0.04", "0.0"},
        {"-0.05", "-0.1"},
        {"9.95", "10.0"},
        {" +3 ", "3.0"},
        {"-0", "0.0"},
        {"99999999.95", "100000000.0"},
        // General texts of single-precision values round the digits of that text.
        {"1.45000004768372", "1.5"},
        {"0.349999994039536", "0.3"},
        {"1.9073486328125E-6", "0.0"},
        {"-5E-2", "-0.1"},
        {"1.5E3", "1500.0"}};
    for (const auto& [text, rounded] : oneDecimal)
        EXPECT_EQ(tv::RoundNumberText(QLatin1String(text), 1), QLatin1String(rounded)) << text;
    EXPECT_EQ(tv::RoundNumberText(QStringLiteral("2.675"), 2), QStringLiteral("2.68"));
    EXPECT_EQ(tv::RoundNumberText(QStringLiteral("-0.005"), 2), QStringLiteral("-0.01"));
    EXPECT_EQ(tv::RoundNumberText(QStringLiteral(".5"), 0), QStringLiteral("1"));
    for (const char* bad : {"", "abc", "1-2", "1.2.3", "1e", "-", ".", "1,5", "１"})
        EXPECT_EQ(tv::RoundNumberText(QString::fromUtf8(bad), 1), QString()) << bad;
}

TEST(NarrowNumberText, FullWidthNumberCharactersBecomeAscii) {
    EXPECT_EQ(tv::NarrowNumberText(QStringLiteral(u"１．５")), QStringLiteral("1.5"));
    EXPECT_EQ(tv::NarrowNumberText(QStringLiteral(u"－２")), QStringLiteral("-2"));
    EXPECT_EQ(tv::NarrowNumberText(QStringLiteral(u"−3ー＊")), QStringLiteral("-3-*"));
    // Letters and other characters stay, so the caller can refuse them.
    EXPECT_EQ(tv::NarrowNumberText(QStringLiteral(u"３ａ，")), QStringLiteral(u"3ａ,"));
}
