// Patch classes and tone values of single-ink tints.
#ifndef ORVOCHART_COLOR_TONEVALUE_H
#define ORVOCHART_COLOR_TONEVALUE_H

#include "OrvoChartInterface.h"

namespace GenChartLib {

// Class of a patch by its ink make-up: a tint of one ink (exactly one ink
// above 0, the others exactly 0), paper (all 0), or mixed.
enum class TintClass : int { Mixed = -1, Cyan = 0, Magenta = 1, Yellow = 2, Black = 3, Paper = 4 };

TintClass tintClass(const ColorQuadruple& inks);

// Amount of ink 0..3 (c, m, y, k) of a make-up.
double inkAmount(const ColorQuadruple& inks, int ink);

// The result for a patch whose tone value cannot be formed.
constexpr double kNoToneValue = -101.0;

}  // namespace GenChartLib

#endif  // ORVOCHART_COLOR_TONEVALUE_H
