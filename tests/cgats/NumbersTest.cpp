#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "CgatsTestSupport.h"
#include "cgats/Numbers.h"

namespace GenChartLib {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Hand-worked from atof in the "C" locale, for what the random texts below
// cannot reach: other blanks, long digit runs, huge exponents. The reader
// turns decimal commas into full stops before any number is read, so here a
// comma ends the number.
TEST(ParseDoubleTest, ReadsTheLeadingNumberLikeAtofInTheCLocale) {
    const std::string nines(400, '9');
    const std::string tiny = "0." + std::string(400, '0') + "1";
    // clang-format off
    const std::vector<std::pair<std::string, double>> cases = {
        {"12.5", 12.5}, {"  -3e2xyz", -300.0}, {"\t\n\v\f\r 7", 7.0}, {"+.5", 0.5}, {"5%", 5.0},
        {"12,5", 12.0}, {"", 0.0}, {"--5", 0.0}, {"- 5", 0.0}, {"e5", 0.0},
        {"1e400", kInf}, {"-1e400", -kInf}, {"0.0001e309", 1e305}, {"1e-400", 0.0},
        {"1e99999999999999999999", kInf}, {"0x1p99999", kInf}, {"0x1p-99999", 0.0},
        {nines, kInf}, {tiny, 0.0}, {"-Infinity", -kInf}, {"0x1A", 26.0}, {"0x.8", 0.5}};
    // clang-format on
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(parseDouble(text), expected) << '"' << text << '"';
    }
    EXPECT_TRUE(std::signbit(parseDouble("-1e-400")));
    EXPECT_TRUE(std::isnan(parseDouble("nan(123)")));
}

TEST(ParseIntTest, ReadsTheLeadingIntegerLikeAtoiClampedTo32Bits) {
    const std::string nines(5000, '9');
    // clang-format off
    const std::vector<std::pair<std::string, std::int32_t>> cases = {
        {"12.5", 12}, {"  -7x", -7}, {"+5", 5}, {"- 5", 0}, {"abc", 0}, {"", 0}, {"007", 7},
        {"1e3", 1}, {"2147483647", INT32_MAX}, {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN}, {"-2147483649", INT32_MIN}, {nines, INT32_MAX},
        {"-" + nines, INT32_MIN}};
    // clang-format on
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(parseInt(text), expected) << '"' << text.substr(0, 20) << '"';
    }
}

// Random texts from the characters that matter to a number reader, compared
// with the C library in the "C" locale the test program runs in; strtoll
// with base 10 reads integers as atoi does. Where nothing is read the answer
// is +0: some C runtimes give -0 for a text such as "-x".
TEST(ParseNumbersTest, AgreeWithStrtodAndStrtollInTheCLocale) {
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    const std::string alphabet = "0123456789000.eE+-xXpPaAfFinINty() \t,";
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> length(0, 24);
    for (int i = 0; i < 200000; ++i) {
        std::string text(length(random), ' ');
        for (char& c : text) {
            c = alphabet[pick(random)];
        }
        char* end = nullptr;
        const double read = std::strtod(text.c_str(), &end);
        const double expected = end == text.c_str() ? 0.0 : read;
        const double actual = parseDouble(text);
        ASSERT_EQ(std::isnan(actual), std::isnan(expected)) << '"' << text << '"';
        if (!std::isnan(expected)) {
            ASSERT_EQ(actual, expected) << '"' << text << '"';
            ASSERT_EQ(std::signbit(actual), std::signbit(expected)) << '"' << text << '"';
        }
        const long long wide = std::strtoll(text.c_str(), nullptr, 10);
        ASSERT_EQ(parseInt(text), std::clamp<long long>(wide, INT32_MIN, INT32_MAX))
            << '"' << text << '"';
    }
}

// Ties go to even as printf's do; 2.675 is 2.67499999... in binary.
TEST(FormatNumberTest, WritesFixedDecimalsWithAFullStop) {
    // clang-format off
    const std::vector<std::tuple<double, int, std::string>> cases = {
        {12.5, 1, "12.5"}, {12.5, 0, "12"}, {13.5, 0, "14"}, {2.675, 2, "2.67"},
        {-0.0001, 2, "-0.00"}, {1e21, 1, "1000000000000000000000.0"}, {0.1, -3, "0"},
        {kInf, 2, "inf"}, {-kInf, 2, "-inf"}, {std::nan(""), 2, "nan"}};
    // clang-format on
    for (const auto& [value, precision, expected] : cases) {
        EXPECT_EQ(formatNumber(value, precision), expected) << value << " " << precision;
    }
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
    ASSERT_EQ(std::strtod("12.5", nullptr), 12.0);  // the host now stops at the full stop
    EXPECT_EQ(parseDouble("12.5"), 12.5);
    EXPECT_EQ(parseDouble("-0.125e1"), -1.25);
    EXPECT_EQ(formatNumber(12.5, 2), "12.50");
}

}  // namespace
}  // namespace GenChartLib
