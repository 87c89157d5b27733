#include <gtest/gtest.h>

#include <cmath>

#include "ColorTestSupport.h"
#include "OrvoChartInterface.h"

namespace {

using colortest::expectNear;
using colortest::flatSpectrum;

ColorTriplex xyzOf(const SpectRecord& s, unsigned illuminant, unsigned observer) {
    ColorTriplex xyz{-1, -1, -1};
    EXPECT_EQ(GetXYZfromSPECTRAL_Ex(s, &xyz, illuminant, observer), 0);
    return xyz;
}

// Chromaticities of the illuminants. D50, A, C, D65: sums of the shared CIE
// tables over 380..780 nm at 5 nm; F2, F7, F11 and D55: CIE 15:2004; equal
// energy at one third. The 1 nm integration over 360..830 nm moves the
// fifth decimal; C, which ends at 780 nm and is held there, moves most.
TEST(SpectralToXyz, PerfectWhiteGivesTheIlluminantsWhite) {
    // illuminant, observer, x, y, tolerance
    const double whites[][5] = {{0, 0, 0.345675, 0.358510, 3e-5}, {0, 4, 0.347730, 0.359523, 3e-5},
                                {5, 3, 0.345675, 0.358510, 3e-5}, {3, 0, 0.447575, 0.407446, 3e-5},
                                {3, 4, 0.451175, 0.405937, 3e-5}, {4, 0, 0.310062, 0.316159, 1e-4},
                                {4, 4, 0.310389, 0.319051, 1e-4}, {6, 0, 0.312721, 0.329031, 3e-5},
                                {6, 4, 0.313805, 0.330977, 3e-5}, {8, 0, 0.37208, 0.37529, 3e-5},
                                {9, 0, 0.31292, 0.32933, 3e-5},   {10, 0, 0.38052, 0.37713, 3e-5},
                                {11, 0, 0.33242, 0.34743, 3e-5},  {7, 0, 1.0 / 3, 1.0 / 3, 1e-4},
                                {7, 4, 1.0 / 3, 1.0 / 3, 1e-4}};
    for (const auto& [illuminant, observer, x, y, tolerance] : whites) {
        SCOPED_TRACE(testing::Message() << illuminant << "/" << observer);
        const ColorTriplex xyz = xyzOf(flatSpectrum(1.0), static_cast<unsigned>(illuminant),
                                       static_cast<unsigned>(observer));
        const double sum = xyz.X + xyz.Y + xyz.Z;
        EXPECT_NEAR(xyz.Y, 100.0, 1e-9);
        EXPECT_NEAR(xyz.X / sum, x, tolerance);
        EXPECT_NEAR(xyz.Y / sum, y, tolerance);
    }
    // The default is D50 under 2 degrees, the white of the Lab conversions.
    expectNear(GetXYZfromSPECTRAL(flatSpectrum(1.0)), {96.42, 100, 82.51}, 0.02);
    // Illuminant 1 scales the sums of the 2 degree functions over 360..830 nm
    // by 0.683 instead of normalising.
    expectNear(xyzOf(flatSpectrum(1.0), 1, 0),
               {106.865469 * 68.3, 106.856917 * 68.3, 106.892251 * 68.3}, 1e-3);
    // Observers 5 and 7 are 2 degree, 6 and 8 10 degree sets over truncated
    // ranges; they lose a little against the full tables.
    for (unsigned observer : {5u, 6u, 7u, 8u}) {
        const ColorTriplex full = xyzOf(flatSpectrum(1.0), 0, observer % 2 == 1 ? 0 : 4);
        expectNear(xyzOf(flatSpectrum(1.0), 0, observer), {full.X, 100, full.Z}, 0.3);
    }
}

// A smooth reflectance sampled at 5 nm (linear interpolation) and at 10 nm
// (cubic) over the same 380..550 nm: the two differ only through the
// curvature the linear one misses and the cubic's end intervals, by less
// than 0.03 in XYZ, while a spectrum one band off moves Y by several units.
// Outside its range a spectrum is held at its end values, even far away.
TEST(SpectralToXyz, SamplingsAgreeOnASmoothSpectrumAndEndsAreHeld) {
    SpectRecord at5 = flatSpectrum(0, 380, 5, 35), at10 = flatSpectrum(0, 380, 10, 18);
    for (int i = 0; i < 35; ++i) {
        at5.value[i] = 0.5 + 0.3 * std::sin(5.0 * i / 60.0);
        at10.value[i / 2] = at5.value[i / 2 * 2];  // every second 5 nm sample
    }
    const ColorTriplex xyz10 = xyzOf(at10, 0, 0);
    expectNear(xyzOf(at5, 0, 0), colortest::triple(xyz10), 0.03);
    at10.start = 400;
    EXPECT_GT(std::fabs(xyzOf(at10, 0, 0).Y - xyz10.Y), 1.0);
    EXPECT_NEAR(xyzOf(flatSpectrum(0.5, 400, 10, 31), 6, 0).Y, 50.0, 1e-9);
    EXPECT_NEAR(xyzOf(flatSpectrum(0.5, 550, 10, 1), 6, 0).Y, 50.0, 1e-9);
    EXPECT_NEAR(xyzOf(flatSpectrum(0.3, 2000000000, 1000000000, 2), 6, 0).Y, 30.0, 1e-9);
    EXPECT_NEAR(xyzOf(flatSpectrum(0.3, -2000000000, 2000000000, 3), 6, 0).Y, 30.0, 1e-9);
}

// Unknown illuminant or observer numbers, counts outside 1..36 and steps
// not above 0.
TEST(SpectralToXyz, UnknownNumbersAndUnusableSpectraGiveMinusOneAndZero) {
    // step, count, illuminant, observer
    const int refused[][4] = {{10, 36, 6, 1},  {10, 36, 6, 2},   {10, 36, 6, 9}, {10, 36, 2, 0},
                              {10, 36, 12, 0}, {10, 36, 400, 3}, {10, 0, 0, 0},  {10, -4, 0, 0},
                              {10, 37, 0, 0},  {0, 36, 0, 0},    {-10, 36, 0, 0}};
    for (const auto& [step, count, illuminant, observer] : refused) {
        ColorTriplex xyz{5, 5, 5};
        EXPECT_EQ(GetXYZfromSPECTRAL_Ex(flatSpectrum(1, 380, step, count), &xyz,
                                        static_cast<unsigned>(illuminant),
                                        static_cast<unsigned>(observer)),
                  -1)
            << step << " " << count << " " << illuminant << " " << observer;
        EXPECT_EQ(colortest::triple(xyz), (colortest::Triple{0, 0, 0}));
    }
    EXPECT_EQ(colortest::triple(GetXYZfromSPECTRAL(flatSpectrum(1, 380, 0, 36))),
              (colortest::Triple{0, 0, 0}));
    EXPECT_EQ(GetXYZfromSPECTRAL_Ex(flatSpectrum(1.0), nullptr, 0, 0), -1);
    // A NaN reflectance counts as 0 where it enters the interpolation.
    SpectRecord nan = flatSpectrum(0.5);
    nan.value[10] = std::nan("");
    const double y = xyzOf(nan, 6, 0).Y;
    EXPECT_TRUE(y > 40.0 && y < 50.0) << y;
}

}  // namespace
