#include "cgats/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <system_error>

namespace GenChartLib {

namespace {

// White space as isspace() sees it in the "C" locale.
bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
    return isDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool hasHexPrefix(const char* first, const char* last) {
    return last - first >= 3 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X') &&
           (isHexDigit(first[2]) || (first[2] == '.' && last - first >= 4 && isHexDigit(first[3])));
}

// Exponent digits after 'e' or 'p', saturated far beyond any double's range.
long long exponentAt(const char* p, const char* last) {
    bool negative = false;
    if (p < last && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    long long value = 0;
    for (; p < last && isDecimalDigit(*p); ++p) {
        value = std::min<long long>(value * 10 + (*p - '0'), 1000000000LL);
    }
    return negative ? -value : value;
}

// Whether a number that did not fit a double was too large (rather than too
// small): the power of the base at its leading significant digit, plus its
// exponent, is positive. `bitsPerDigit` is 0 for decimal text (powers of ten)
// and 4 for hexadecimal text (powers of two).
bool isTooLarge(const char* p, const char* last, int bitsPerDigit) {
    const bool hex = bitsPerDigit != 0;
    auto isDigit = [hex](char c) { return hex ? isHexDigit(c) : isDecimalDigit(c); };
    long long integerDigits = 0;
    long long fractionZeros = 0;
    bool significant = false;
    for (; p < last && isDigit(*p); ++p) {
        significant = significant || *p != '0';
        integerDigits += significant ? 1 : 0;
    }
    if (p < last && *p == '.') {
        for (++p; p < last && isDigit(*p); ++p) {
            if (!significant && *p == '0') {
                ++fractionZeros;
            }
            significant = significant || *p != '0';
        }
    }
    const long long scale = hex ? bitsPerDigit : 1;
    long long leading =
        integerDigits > 0 ? (integerDigits - 1) * scale : -(fractionZeros + 1) * scale;
    const char marker = hex ? 'p' : 'e';
    if (p + 1 < last && (*p == marker || *p == marker - 32)) {
        const char* digits = p + 1;
        if (digits < last && (*digits == '+' || *digits == '-')) {
            ++digits;
        }
        if (digits < last && isDecimalDigit(*digits)) {
            leading += exponentAt(p + 1, last);
        }
    }
    return leading > 0;
}

// Unsigned magnitude at `first`; nothing when there is no number there.
std::optional<double> magnitudeAt(const char* first, const char* last) {
    if (first == last || *first == '-' || *first == '+') {
        return std::nullopt;
    }
    const bool hex = hasHexPrefix(first, last);
    const char* digits = hex ? first + 2 : first;
    const auto format = hex ? std::chars_format::hex : std::chars_format::general;
    double value = 0.0;
    const auto result = std::from_chars(digits, last, value, format);
    if (result.ec == std::errc::invalid_argument) {
        return std::nullopt;
    }
    if (result.ec == std::errc::result_out_of_range) {
        return isTooLarge(digits, last, hex ? 4 : 0) ? std::numeric_limits<double>::infinity()
                                                     : 0.0;
    }
    return value;
}

}  // namespace

double parseDouble(std::string_view text) {
    const char* p = text.data();
    const char* last = p + text.size();
    while (p < last && isCSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (p < last && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // Text without a number is +0 even after a minus sign, as for atof.
    const std::optional<double> magnitude = magnitudeAt(p, last);
    if (!magnitude) {
        return 0.0;
    }
    return negative ? -*magnitude : *magnitude;
}

std::int32_t parseInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // One past the int32 range is enough to know the value must be clamped.
    constexpr long long kSaturated = 1LL << 32;
    long long value = 0;
    for (; i < text.size() && isDecimalDigit(text[i]); ++i) {
        value = std::min(value * 10 + (text[i] - '0'), kSaturated);
    }
    if (negative) {
        value = -value;
    }
    constexpr long long kMin = std::numeric_limits<std::int32_t>::min();
    constexpr long long kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(value, kMin, kMax));
}

std::string formatNumber(double value, int precision) {
    if (std::isnan(value)) {
        return "nan";
    }
    precision = std::clamp(precision, 0, 100);
    // Sign, up to 309 integer digits, the point and the fraction.
    std::string text(static_cast<std::size_t>(precision) + 320, '\0');
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                      std::chars_format::fixed, precision);
    text.resize(static_cast<std::size_t>(result.ptr - text.data()));
    return text;
}

}  // namespace GenChartLib
