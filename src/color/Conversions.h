// Conversions shared inside the colour subsystem: the CIELab transforms, the
// hue rule of the LCh conversion and the safe double-to-integer steps.
#ifndef ORVOCHART_COLOR_CONVERSIONS_H
#define ORVOCHART_COLOR_CONVERSIONS_H

#include "OrvoChartInterface.h"

namespace GenChartLib {

// The single-precision value next below pi. Hue angles of the LCh
// conversion and of CIEDE2000 are defined with it; it shifts a hue by 5e-8
// of its value, far below any digit a host shows.
constexpr double kPiSingle = 3.141592502593994;

// CIE XYZ to CIELab against `white` (same 0..100 scale).
LabRecord labFromXyz(const ColorTriplex& xyz, const ColorTriplex& white);

// CIELab to CIE XYZ against `white`.
ColorTriplex xyzFromLab(const LabRecord& lab, const ColorTriplex& white);

// Hue angle of (a, b) in degrees, 0 <= h < 360: the quadrant rule of the LCh
// conversion (exact 0, 90, 180, 270 on the axes, 0 for a = b = 0).
double hueDegrees(double a, double b);

// `value` truncated toward zero as a 32-bit integer; NaN gives 0 and values
// beyond the 32-bit range are held at its ends.
OrvoLong truncToLong(double value);

}  // namespace GenChartLib

#endif  // ORVOCHART_COLOR_CONVERSIONS_H
