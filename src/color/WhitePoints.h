// Reference whites of the Lab conversions, by white-point and observer number.
#ifndef ORVOCHART_COLOR_WHITEPOINTS_H
#define ORVOCHART_COLOR_WHITEPOINTS_H

#include "OrvoChartInterface.h"

namespace GenChartLib {

// The white (X, Y, Z on 0..100) of white-point number `whitePoint` (0 D50,
// 1 D65, 2 C, 3 A; above 3 counts as 0) for observer number `observer`
// (1 = CIE 1964 10 degree, every other value CIE 1931 2 degree).
const ColorTriplex& referenceWhite(unsigned whitePoint, unsigned observer);

}  // namespace GenChartLib

#endif  // ORVOCHART_COLOR_WHITEPOINTS_H
