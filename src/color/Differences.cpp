// The CIELab colour-difference formulas and the partial differences.
#include "color/Differences.h"

#include <algorithm>
#include <cmath>

#include "color/Conversions.h"

namespace GenChartLib {
namespace {

constexpr double kDegreesPerRadian = 180.0 / kPiSingle;
constexpr double kRadiansPerDegree = kPiSingle / 180.0;
constexpr double k25Pow7 = 6103515625.0;  // 25^7

double square(double v) {
    return v * v;
}

double pow7(double v) {
    const double v2 = v * v;
    return v2 * v2 * v2 * v;
}

double chroma(double a, double b) {
    return std::sqrt(a * a + b * b);
}

// Delta H squared from Delta E76, Delta L and Delta C, 0 where rounding would
// make it negative.
double hueDifferenceSquared(double deltaE76Sq, double deltaL, double deltaC) {
    const double lc = deltaL * deltaL + deltaC * deltaC;
    return deltaE76Sq > lc ? deltaE76Sq - lc : 0.0;
}

double deltaE76Squared(double L1, double a1, double b1, double L2, double a2, double b2) {
    return square(L1 - L2) + square(a1 - a2) + square(b1 - b2);
}

// CIEDE2000 hue angle of (a', b) in degrees, 0..360.
double primeHue(double b, double aPrime) {
    const double h = std::atan2(b, aPrime) * kDegreesPerRadian;
    return h < 0.0 ? h + 360.0 : h;
}

double cosDegrees(double degrees) {
    return std::cos(degrees * kRadiansPerDegree);
}

}  // namespace

bool deltaEByFormula(int formula, const LabRecord& reference, const LabRecord& sample,
                     double& deltaE) {
    const LabRecord& r = reference;
    const LabRecord& s = sample;
    switch (static_cast<DeltaEFormula>(formula)) {
        case DeltaEFormula::Cie76:
            deltaE = GetDeltaE_CIE76(r.L, r.a, r.b, s.L, s.a, s.b);
            return true;
        case DeltaEFormula::Cmc:
            deltaE = GetDeltaE_CIECMC(r.L, r.a, r.b, s.L, s.a, s.b);
            return true;
        case DeltaEFormula::Cie94:
            deltaE = GetDeltaE_CIE94(r.L, r.a, r.b, s.L, s.a, s.b);
            return true;
        case DeltaEFormula::Ciede2000:
            deltaE = GetDeltaE_CIE2000(r.L, r.a, r.b, s.L, s.a, s.b);
            return true;
    }
    return false;
}

double lightnessWeight(double L) {
    return 1.0 - std::max(0.0, 0.75 * (L - 50.0) / 50.0);
}

}  // namespace GenChartLib

using GenChartLib::square;

double GetDeltaE_CIE76(double L1, double a1, double b1, double L2, double a2, double b2) {
    return std::sqrt(GenChartLib::deltaE76Squared(L1, a1, b1, L2, a2, b2));
}

double GetDeltaE_CIE94(double L1, double a1, double b1, double L2, double a2, double b2) {
    const double c1 = GenChartLib::chroma(a1, b1);
    const double deltaL = L2 - L1;
    const double deltaC = GenChartLib::chroma(a2, b2) - c1;
    const double deltaHSq = GenChartLib::hueDifferenceSquared(
        GenChartLib::deltaE76Squared(L1, a1, b1, L2, a2, b2), deltaL, deltaC);
    const double sc = 1.0 + 0.045 * c1;
    const double sh = 1.0 + 0.015 * c1;
    return std::sqrt(square(deltaL) + square(deltaC / sc) + deltaHSq / square(sh));
}

double GetDeltaE_CIE2000(double L1, double a1, double b1, double L2, double a2, double b2) {
    using namespace GenChartLib;
    // 1. and 2. a' stretched by G, C' and h'.
    const double cBar7 = pow7((chroma(a1, b1) + chroma(a2, b2)) / 2.0);
    const double g = 0.5 * (1.0 - std::sqrt(cBar7 / (cBar7 + k25Pow7)));
    const double aPrime1 = (1.0 + g) * a1;
    const double aPrime2 = (1.0 + g) * a2;
    const double cPrime1 = chroma(aPrime1, b1);
    const double cPrime2 = chroma(aPrime2, b2);
    const double hPrime1 = primeHue(b1, aPrime1);
    const double hPrime2 = primeHue(b2, aPrime2);
    // 3. Differences; the hue difference taken the short way round.
    const double deltaL = L2 - L1;
    const double deltaC = cPrime2 - cPrime1;
    double deltaHue = hPrime2 - hPrime1;
    if (deltaHue < -180.0) {
        deltaHue += 360.0;
    } else if (deltaHue > 180.0) {
        deltaHue -= 360.0;
    }
    const double deltaH =
        2.0 * std::sqrt(cPrime1 * cPrime2) * std::sin(deltaHue / 2.0 * kRadiansPerDegree);
    // 4. Means; the mean hue also taken the short way round.
    const double lBar = (L1 + L2) / 2.0;
    const double cBarPrime = (cPrime1 + cPrime2) / 2.0;
    const double hueSum = hPrime1 + hPrime2;
    double hBar = hueSum / 2.0;
    if (std::fabs(hPrime1 - hPrime2) > 180.0) {
        hBar = hueSum < 360.0 ? (hueSum + 360.0) / 2.0 : (hueSum - 360.0) / 2.0;
    }
    // 5. to 7. Weights and the rotation term.
    const double t = 1.0 - 0.17 * cosDegrees(hBar - 30.0) + 0.24 * cosDegrees(2.0 * hBar) +
                     0.32 * cosDegrees(3.0 * hBar + 6.0) - 0.20 * cosDegrees(4.0 * hBar - 63.0);
    const double lOffsetSq = square(lBar - 50.0);
    const double sl = 1.0 + 0.015 * lOffsetSq / std::sqrt(20.0 + lOffsetSq);
    const double sc = 1.0 + 0.045 * cBarPrime;
    const double sh = 1.0 + 0.015 * cBarPrime * t;
    const double deltaTheta = 30.0 * std::exp(-square((hBar - 275.0) / 25.0));
    const double cBarPrime7 = pow7(cBarPrime);
    const double rc = 2.0 * std::sqrt(cBarPrime7 / (cBarPrime7 + k25Pow7));
    const double rt = -std::sin(2.0 * deltaTheta * kRadiansPerDegree) * rc;
    // 8.
    const double termC = deltaC / sc;
    const double termH = deltaH / sh;
    return std::sqrt(square(deltaL / sl) + square(termC) + square(termH) + rt * termC * termH);
}

double GetDeltaE_CIECMC(double L1, double a1, double b1, double L2, double a2, double b2) {
    using namespace GenChartLib;
    constexpr double kDegreesPerRadianCmc = 57.29578226691561;
    const double c1 = chroma(a1, b1);
    const double deltaL = L2 - L1;
    const double deltaC = chroma(a2, b2) - c1;
    const double deltaHSq =
        hueDifferenceSquared(deltaE76Squared(L1, a1, b1, L2, a2, b2), deltaL, deltaC);
    const double h1 = hueDegrees(a1, b1);
    const double t = (h1 >= 164.0 && h1 <= 345.0)
                         ? 0.56 + std::fabs(0.2 * std::cos((h1 + 168.0) / kDegreesPerRadianCmc))
                         : 0.36 + std::fabs(0.4 * std::cos((h1 + 35.0) / kDegreesPerRadianCmc));
    const double sl = L1 < 16.0 ? 0.511 : 0.040975 * L1 / (1.0 + 0.01765 * L1);
    const double sc = 0.0638 * c1 / (1.0 + 0.0131 * c1) + 0.638;
    const double c1Pow4 = square(square(c1));
    const double f = std::sqrt(c1Pow4 / (c1Pow4 + 1900.0));
    const double sh = sc * (f * t + 1.0 - f);
    return std::sqrt(square(deltaL / sl) + square(deltaC / sc) + deltaHSq / square(sh));
}

double GetDeltaH(double L1, double a1, double b1, double L2, double a2, double b2) {
    using namespace GenChartLib;
    const double deltaE76Sq = deltaE76Squared(L1, a1, b1, L2, a2, b2);
    return std::sqrt(
        std::fabs(deltaE76Sq - square(L1 - L2) - square(chroma(a1, b1) - chroma(a2, b2))));
}

double GetDeltaF(double /*L1*/, double a1, double b1, double /*L2*/, double a2, double b2) {
    return std::sqrt(square(a1 - a2) + square(b1 - b2));
}

double GetWeightedDeltaL(double L1, double L2, double Lref) {
    return std::fabs(L1 - L2) * GenChartLib::lightnessWeight(Lref);
}

double GetWeightedDeltaCh(double deltaCh, double L) {
    return deltaCh * GenChartLib::lightnessWeight(L);
}

int GetPSDResult(double value, double* limits) {
    if (limits == nullptr) {
        return 0;
    }
    for (int tolerance = 0; tolerance < 3; ++tolerance) {
        if (limits[tolerance] >= value) {
            return tolerance + 1;
        }
    }
    return 0;
}
