// Helpers shared by the colour tests: flat spectra and records as comparable
// arrays.
#ifndef ORVOCHART_TESTS_COLOR_COLORTESTSUPPORT_H
#define ORVOCHART_TESTS_COLOR_COLORTESTSUPPORT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>

#include "OrvoChartInterface.h"

namespace colortest {

// Lab of `xyz` against a white point and observer (a D50, 2 degree default).
inline LabRecord labOf(const ColorTriplex& xyz, unsigned whitePoint = 0, unsigned observer = 0) {
    LabRecord lab{};
    EXPECT_EQ(GetLABfromXYZ_Ex(xyz.X, xyz.Y, xyz.Z, &lab.L, &lab.a, &lab.b, whitePoint, observer),
              0);
    return lab;
}

// A spectrum of `count` equal reflectance factors from `startNm` in `stepNm`.
inline SpectRecord flatSpectrum(double reflectance, OrvoLong startNm = 380, OrvoLong stepNm = 10,
                                OrvoLong count = 36) {
    SpectRecord s{{}, startNm, stepNm, count, 0};
    std::fill(std::begin(s.value), std::end(s.value), reflectance);
    return s;
}

using Triple = std::array<double, 3>;
using Rgb = std::array<OrvoLong, 3>;

// The three values of an XYZ, Lab or LCh record, in order.
template <class Record>
Triple triple(const Record& record) {
    const auto& [first, second, third] = record;
    return {first, second, third};
}
inline Rgb rgb(const tagRGBRecord& r) {
    return {r.R, r.G, r.B};
}

// Each component within `tolerance` of the expected value.
template <class Record>
void expectNear(const Record& actual, const Triple& expected, double tolerance) {
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(triple(actual)[i], expected[i], tolerance) << "component " << i;
    }
}

}  // namespace colortest

#endif  // ORVOCHART_TESTS_COLOR_COLORTESTSUPPORT_H
