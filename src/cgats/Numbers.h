// Number reading and writing that does not depend on the host's locale.
//
// Reference files and side files always use a full stop as the decimal
// separator, whatever locale the host process runs under, so these replace
// atof, atoi and printf("%f"), which follow the process locale.
#ifndef ORVOCHART_CGATS_NUMBERS_H
#define ORVOCHART_CGATS_NUMBERS_H

#include <cstdint>
#include <string>
#include <string_view>

namespace GenChartLib {

// The number at the start of `text`, read as the C library's atof reads it in
// the "C" locale: leading white space, an optional sign, decimal digits with
// an optional '.', an optional exponent; also "inf", "infinity", "nan" and
// hexadecimal "0x..." forms. Whatever follows the number is ignored; text
// without a number gives 0. A magnitude too large for a double gives
// +-infinity, one too small gives +-0.
double parseDouble(std::string_view text);

// The decimal integer at the start of `text`, read as atoi reads it: leading
// white space, an optional sign, digits; "12.5" gives 12, text without digits
// gives 0. Values outside the 32-bit range are clamped to it.
std::int32_t parseInt(std::string_view text);

// `value` with `precision` digits after the full stop (as "%.*f" in the "C"
// locale would write it); precision is clamped to 0..100. Infinities and NaN
// are written "inf", "-inf" and "nan".
std::string formatNumber(double value, int precision);

}  // namespace GenChartLib

#endif  // ORVOCHART_CGATS_NUMBERS_H
