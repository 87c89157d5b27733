#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "CgatsTestSupport.h"
#include "cgats/Numbers.h"

namespace GenChartLib {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ParseDoubleTest, ReadsTheLeadingNumberAndIgnoresTheRest) {
    EXPECT_EQ(parseDouble("12.5"), 12.5);
    EXPECT_EQ(parseDouble("  -3e2xyz"), -300.0);
    EXPECT_EQ(parseDouble("\t\n\v\f\r 7"), 7.0);
    EXPECT_EQ(parseDouble("+.5"), 0.5);
    EXPECT_EQ(parseDouble("5."), 5.0);
    EXPECT_EQ(parseDouble("1e"), 1.0);
    EXPECT_EQ(parseDouble("1e+"), 1.0);
    EXPECT_EQ(parseDouble("2.55E1"), 25.5);
    EXPECT_EQ(parseDouble("5%"), 5.0);
    // A comma is not part of a number: the reader turns decimal commas into
    // full stops before any number is read.
    EXPECT_EQ(parseDouble("12,5"), 12.0);
}

TEST(ParseDoubleTest, TextWithoutANumberIsZero) {
    for (const char* text : {"", " ", ".", "abc", "--5", "+-5", "- 5", "e5", "+", "in"}) {
        EXPECT_EQ(parseDouble(text), 0.0) << '"' << text << '"';
    }
}

TEST(ParseDoubleTest, OverflowGivesInfinityAndUnderflowZero) {
    EXPECT_EQ(parseDouble("1e400"), kInf);
    EXPECT_EQ(parseDouble("-1e400"), -kInf);
    EXPECT_EQ(parseDouble("0.0001e309"), 1e305);
    EXPECT_EQ(parseDouble("1e-400"), 0.0);
    EXPECT_TRUE(std::signbit(parseDouble("-1e-400")));
    EXPECT_EQ(parseDouble("1e99999999999999999999"), kInf);
    EXPECT_EQ(parseDouble("0x1p99999"), kInf);
    EXPECT_EQ(parseDouble("0x1p-99999"), 0.0);
    EXPECT_EQ(parseDouble(std::string(400, '9')), kInf);
    EXPECT_EQ(parseDouble("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(ParseDoubleTest, ReadsInfinityNanAndHexadecimalLikeTheCLibrary) {
    EXPECT_EQ(parseDouble("inf"), kInf);
    EXPECT_EQ(parseDouble("-Infinity"), -kInf);
    EXPECT_TRUE(std::isnan(parseDouble("nan(123)")));
    EXPECT_EQ(parseDouble("0x1A"), 26.0);
    EXPECT_EQ(parseDouble("0x.8"), 0.5);
    EXPECT_EQ(parseDouble("0x1p3"), 8.0);
    EXPECT_EQ(parseDouble("0x"), 0.0);
    EXPECT_EQ(parseDouble("0xg"), 0.0);
    EXPECT_EQ(parseDouble("0x-5"), 0.0);
}

// Random texts from the characters that matter to a number reader, compared
// with the C library's strtod in the "C" locale the test program runs in.
TEST(ParseDoubleTest, AgreesWithStrtodInTheCLocale) {
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    const std::string alphabet = "0123456789000.eE+-xXpPaAfFinINty() \t,";
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 24);
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        for (int n = length(random); n > 0; --n) {
            text += alphabet[pick(random)];
        }
        const double expected = std::strtod(text.c_str(), nullptr);
        const double actual = parseDouble(text);
        if (std::isnan(expected)) {
            ASSERT_TRUE(std::isnan(actual)) << '"' << text << '"';
        } else {
            ASSERT_EQ(actual, expected) << '"' << text << '"';
            ASSERT_EQ(std::signbit(actual), std::signbit(expected)) << '"' << text << '"';
        }
    }
}

TEST(ParseIntTest, ReadsTheLeadingIntegerLikeAtoi) {
    EXPECT_EQ(parseInt("12.5"), 12);
    EXPECT_EQ(parseInt("  -7x"), -7);
    EXPECT_EQ(parseInt("+5"), 5);
    EXPECT_EQ(parseInt("- 5"), 0);
    EXPECT_EQ(parseInt("abc"), 0);
    EXPECT_EQ(parseInt(""), 0);
    EXPECT_EQ(parseInt("007"), 7);
    EXPECT_EQ(parseInt("1e3"), 1);
}

TEST(ParseIntTest, ClampsToThe32BitRange) {
    EXPECT_EQ(parseInt("2147483647"), INT32_MAX);
    EXPECT_EQ(parseInt("2147483648"), INT32_MAX);
    EXPECT_EQ(parseInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(parseInt("-2147483649"), INT32_MIN);
    EXPECT_EQ(parseInt(std::string(5000, '9')), INT32_MAX);
    EXPECT_EQ(parseInt("-" + std::string(5000, '9')), INT32_MIN);
}

TEST(ParseIntTest, AgreesWithStrtolClampedTo32Bits) {
    std::mt19937 random(77u);
    const std::string alphabet = "0123456789 +-.x\t";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 22);
    for (int i = 0; i < 100000; ++i) {
        std::string text;
        for (int n = length(random); n > 0; --n) {
            text += alphabet[pick(random)];
        }
        // strtol reads hexadecimal only with base 16; base 10 is atoi's.
        const long long wide = std::strtoll(text.c_str(), nullptr, 10);
        const long long expected =
            std::min<long long>(std::max<long long>(wide, INT32_MIN), INT32_MAX);
        ASSERT_EQ(parseInt(text), expected) << '"' << text << '"';
    }
}

TEST(FormatNumberTest, WritesFixedDecimalsWithAFullStop) {
    EXPECT_EQ(formatNumber(12.5, 1), "12.5");
    EXPECT_EQ(formatNumber(12.5, 0), "12");  // ties to even, as printf does
    EXPECT_EQ(formatNumber(13.5, 0), "14");
    EXPECT_EQ(formatNumber(2.675, 2), "2.67");  // 2.675 is 2.67499999... in binary
    EXPECT_EQ(formatNumber(-0.0001, 2), "-0.00");
    EXPECT_EQ(formatNumber(1e21, 1), "1000000000000000000000.0");
    EXPECT_EQ(formatNumber(0.1, -3), "0");
    EXPECT_EQ(formatNumber(kInf, 2), "inf");
    EXPECT_EQ(formatNumber(-kInf, 2), "-inf");
    EXPECT_EQ(formatNumber(std::nan(""), 2), "nan");
    EXPECT_EQ(formatNumber(-std::numeric_limits<double>::max(), 0).size(), 310u);
}

TEST(FormatNumberTest, AgreesWithPrintfInTheCLocale) {
    std::mt19937_64 random(99u);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-12, 25);
    std::uniform_int_distribution<int> precision(0, 12);
    for (int i = 0; i < 50000; ++i) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        const int digits = precision(random);
        char expected[512];
        std::snprintf(expected, sizeof expected, "%.*f", digits, value);
        ASSERT_EQ(formatNumber(value, digits), expected) << value << " " << digits;
    }
}

TEST(NumbersUnderACommaLocaleTest, ReadAndWriteFullStopsWhateverTheHostLocale) {
    cgatstest::CommaLocale locale;
    SKIP_WITHOUT_COMMA_LOCALE(locale);
    // The host's own conversion now stops at the full stop.
    ASSERT_EQ(std::strtod("12.5", nullptr), 12.0);
    EXPECT_EQ(parseDouble("12.5"), 12.5);
    EXPECT_EQ(parseDouble("-0.125e1"), -1.25);
    EXPECT_EQ(parseInt("12.5"), 12);
    EXPECT_EQ(formatNumber(12.5, 2), "12.50");
}

}  // namespace
}  // namespace GenChartLib
