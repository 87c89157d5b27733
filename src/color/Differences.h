// Colour differences used inside the colour subsystem.
#ifndef ORVOCHART_COLOR_DIFFERENCES_H
#define ORVOCHART_COLOR_DIFFERENCES_H

#include "OrvoChartInterface.h"

namespace GenChartLib {

// Colour-difference formula numbers of a measured data record.
enum class DeltaEFormula : int { Cie76 = 1, Cmc = 2, Cie94 = 3, Ciede2000 = 4 };

// Delta E of `formula` between reference and sample; false (and no value)
// for a number that names no formula.
bool deltaEByFormula(int formula, const LabRecord& reference, const LabRecord& sample,
                     double& deltaE);

// Weight of a lightness difference at lightness L: 1 up to 50, falling
// linearly to 0.25 at 100.
double lightnessWeight(double L);

}  // namespace GenChartLib

#endif  // ORVOCHART_COLOR_DIFFERENCES_H
