#include <gtest/gtest.h>

#include <cmath>

#include "ColorTestSupport.h"
#include "OrvoChartInterface.h"
#include "color/Spectral.h"

namespace {

using colortest::flatSpectrum;

ColorTriplex xyzOf(const SpectRecord& s, unsigned illuminant, unsigned observer) {
    ColorTriplex xyz{-1, -1, -1};
    EXPECT_EQ(GetXYZfromSPECTRAL_Ex(s, &xyz, illuminant, observer), 0);
    return xyz;
}

struct KnownWhite {
    unsigned illuminant;
    unsigned observer;
    double x;
    double y;
    double tolerance;
};

// Chromaticities of the illuminants. D50, A, C, D65: sums of the shared CIE
// tables over 380..780 nm at 5 nm; F2, F7, F11 and D55: CIE 15:2004. The
// 1 nm integration over 360..830 nm moves the fifth decimal; C, which ends
// at 780 nm and is held there, moves most.
constexpr KnownWhite kWhites[] = {
    {0, 0, 0.345675, 0.358510, 3e-5}, {0, 4, 0.347730, 0.359523, 3e-5},
    {5, 3, 0.345675, 0.358510, 3e-5}, {3, 0, 0.447575, 0.407446, 3e-5},
    {3, 4, 0.451175, 0.405937, 3e-5}, {4, 0, 0.310062, 0.316159, 1e-4},
    {4, 4, 0.310389, 0.319051, 1e-4}, {6, 0, 0.312721, 0.329031, 3e-5},
    {6, 4, 0.313805, 0.330977, 3e-5}, {8, 0, 0.37208, 0.37529, 3e-5},
    {9, 0, 0.31292, 0.32933, 3e-5},   {10, 0, 0.38052, 0.37713, 3e-5},
    {11, 0, 0.33242, 0.34743, 3e-5},
};

TEST(SpectralToXyz, PerfectWhiteGivesTheIlluminantsWhite) {
    const SpectRecord white = flatSpectrum(1.0);
    for (const KnownWhite& w : kWhites) {
        const ColorTriplex xyz = xyzOf(white, w.illuminant, w.observer);
        const double sum = xyz.X + xyz.Y + xyz.Z;
        EXPECT_NEAR(xyz.Y, 100.0, 1e-9) << w.illuminant << "/" << w.observer;
        EXPECT_NEAR(xyz.X / sum, w.x, w.tolerance) << w.illuminant << "/" << w.observer;
        EXPECT_NEAR(xyz.Y / sum, w.y, w.tolerance) << w.illuminant << "/" << w.observer;
    }
}

TEST(SpectralToXyz, D65WhiteUnderThe2DegreeObserverIsTheD65White) {
    const ColorTriplex xyz = xyzOf(flatSpectrum(1.0), 6, 0);
    EXPECT_NEAR(xyz.X, 95.04, 0.02);
    EXPECT_NEAR(xyz.Y, 100.0, 1e-9);
    EXPECT_NEAR(xyz.Z, 108.88, 0.02);
}

TEST(SpectralToXyz, EqualEnergyIsAtOneThird) {
    for (unsigned observer : {0u, 4u}) {
        const ColorTriplex xyz = xyzOf(flatSpectrum(1.0), 7, observer);
        const double sum = xyz.X + xyz.Y + xyz.Z;
        EXPECT_NEAR(xyz.X / sum, 1.0 / 3.0, 1e-4);
        EXPECT_NEAR(xyz.Y / sum, 1.0 / 3.0, 1e-4);
    }
}

TEST(SpectralToXyz, AbsoluteEqualEnergyScalesByTheEfficacyFactor) {
    // Sum of y-bar over 360..830 nm = 106.856917; reflectance 100 %; x 0.683.
    const ColorTriplex xyz = xyzOf(flatSpectrum(1.0), 1, 0);
    EXPECT_NEAR(xyz.Y, 106.856917 * 100 * 0.683, 1e-3);
    EXPECT_NEAR(xyz.X, 106.865469 * 100 * 0.683, 1e-3);
    EXPECT_NEAR(xyz.Z, 106.892251 * 100 * 0.683, 1e-3);
}

TEST(SpectralToXyz, AbridgedObserversAgreeWithTheFullTables) {
    const SpectRecord white = flatSpectrum(1.0);
    const ColorTriplex full2 = xyzOf(white, 0, 0);
    const ColorTriplex full10 = xyzOf(white, 0, 4);
    // 5 and 7: 2 degree; 6 and 8: 10 degree. Truncated ranges lose a little.
    for (unsigned observer : {5u, 7u}) {
        const ColorTriplex xyz = xyzOf(white, 0, observer);
        EXPECT_NEAR(xyz.X, full2.X, 0.3) << observer;
        EXPECT_NEAR(xyz.Z, full2.Z, 0.3) << observer;
    }
    for (unsigned observer : {6u, 8u}) {
        const ColorTriplex xyz = xyzOf(white, 0, observer);
        EXPECT_NEAR(xyz.X, full10.X, 0.3) << observer;
        EXPECT_NEAR(xyz.Z, full10.Z, 0.3) << observer;
    }
}

TEST(SpectralToXyz, GreyScalesLinearlyAndTheDefaultIsD50TwoDegree) {
    const ColorTriplex white = GetXYZfromSPECTRAL(flatSpectrum(1.0));
    const ColorTriplex grey = GetXYZfromSPECTRAL(flatSpectrum(0.2));
    EXPECT_NEAR(grey.X, 0.2 * white.X, 1e-9);
    EXPECT_NEAR(grey.Y, 20.0, 1e-9);
    EXPECT_NEAR(white.X, 96.42, 0.02);
    EXPECT_NEAR(white.Z, 82.51, 0.02);
}

TEST(SpectralToXyz, SpectrumEndsAreHeldOutsideItsRange) {
    // 400..700 nm only: held at the end values, a flat spectrum is flat.
    const ColorTriplex shortRange = xyzOf(flatSpectrum(0.5, 400, 10, 31), 6, 0);
    EXPECT_NEAR(shortRange.Y, 50.0, 1e-9);
    // One value stands for the whole range.
    const ColorTriplex single = xyzOf(flatSpectrum(0.5, 550, 10, 1), 6, 0);
    EXPECT_NEAR(single.Y, 50.0, 1e-9);
}

// A smooth reflectance sampled at 5 nm (linear interpolation) and at 10 nm
// (cubic) over the same 380..550 nm: the two differ only through the
// curvature the linear one misses and the cubic's end intervals, by less
// than 0.03 in XYZ, while a spectrum one band off moves Y by several units.
TEST(SpectralToXyz, FiveAndTenNanometreSamplingsAgreeOnASmoothSpectrum) {
    const auto smooth = [](double nm) { return 0.5 + 0.3 * std::sin((nm - 380.0) / 60.0); };
    SpectRecord at5 = flatSpectrum(0.0, 380, 5, 35);
    for (int i = 0; i < 35; ++i) {
        at5.value[i] = smooth(380.0 + 5.0 * i);
    }
    SpectRecord at10 = flatSpectrum(0.0, 380, 10, 18);
    for (int i = 0; i < 18; ++i) {
        at10.value[i] = smooth(380.0 + 10.0 * i);
    }
    const ColorTriplex a = xyzOf(at5, 0, 0);
    const ColorTriplex b = xyzOf(at10, 0, 0);
    EXPECT_NEAR(a.X, b.X, 0.03);
    EXPECT_NEAR(a.Y, b.Y, 0.03);
    EXPECT_NEAR(a.Z, b.Z, 0.03);
    // A shifted start moves the spectrum: the sums must see it.
    SpectRecord shifted = at10;
    shifted.start = 400;
    EXPECT_GT(std::fabs(xyzOf(shifted, 0, 0).Y - b.Y), 1.0);
}

TEST(SpectralInterpolation, LinearBelowFiveNanometresCubicAbove) {
    // f(x) = x^3 / 1000 sampled at 10 nm: cubic interpolation is exact
    // between the inner samples.
    double cube[6];
    for (int i = 0; i < 6; ++i) {
        const double x = 10.0 * i;
        cube[i] = x * x * x / 1000.0;
    }
    const GenChartLib::SpectralTable coarse{6, 0, 50, 1, cube};
    EXPECT_NEAR(GenChartLib::interpolateAt(coarse, 23.0), 23.0 * 23 * 23 / 1000, 1e-9);
    EXPECT_NEAR(GenChartLib::interpolateAt(coarse, 37.5), 37.5 * 37.5 * 37.5 / 1000, 1e-9);
    // In the first interval the first value stands in for the one before
    // it: nodes (0, 0, 1, 8) at t = 0.5 give 0.5625 x 1 + (-0.0625) x 8.
    const double firstInterval = 0.5625 * 1.0 - 0.0625 * 8.0;
    EXPECT_NEAR(GenChartLib::interpolateAt(coarse, 5.0), firstInterval, 1e-12);
    // Beyond the range the end values are held.
    EXPECT_EQ(GenChartLib::interpolateAt(coarse, -20.0), 0.0);
    EXPECT_NEAR(GenChartLib::interpolateAt(coarse, 90.0), 125.0, 1e-12);
    // At 5 nm the same cube is interpolated linearly; the divisor applies.
    double fine[11];
    for (int i = 0; i < 11; ++i) {
        fine[i] = 2.0 * 5.0 * i;
    }
    const GenChartLib::SpectralTable linear{11, 0, 50, 2, fine};
    EXPECT_NEAR(GenChartLib::interpolateAt(linear, 12.5), 12.5, 1e-12);
}

TEST(SpectralInterpolation, NegativeOvershootBecomesZero) {
    // A single spike: the cubic swings below zero next to it.
    const double spike[] = {0, 0, 0, 1, 0, 0, 0};
    const GenChartLib::SpectralTable table{7, 0, 60, 1, spike};
    EXPECT_EQ(GenChartLib::interpolateAt(table, 15.0), 0.0);
    EXPECT_GT(GenChartLib::interpolateAt(table, 25.0), 0.0);
}

TEST(SpectralToXyz, UnknownNumbersGiveMinusOneAndZero) {
    const SpectRecord white = flatSpectrum(1.0);
    const unsigned badPairs[][2] = {{6, 1}, {6, 2}, {6, 9}, {2, 0}, {12, 0}, {400, 3}};
    for (const auto& pair : badPairs) {
        ColorTriplex xyz{5, 5, 5};
        EXPECT_EQ(GetXYZfromSPECTRAL_Ex(white, &xyz, pair[0], pair[1]), -1);
        EXPECT_EQ(xyz.X, 0.0);
        EXPECT_EQ(xyz.Y, 0.0);
        EXPECT_EQ(xyz.Z, 0.0);
    }
}

TEST(SpectralToXyz, UnusableSpectraAreRefused) {
    ColorTriplex xyz{5, 5, 5};
    EXPECT_EQ(GetXYZfromSPECTRAL_Ex(flatSpectrum(1.0, 380, 10, 0), &xyz, 0, 0), -1);
    EXPECT_EQ(xyz.Y, 0.0);
    EXPECT_EQ(GetXYZfromSPECTRAL_Ex(flatSpectrum(1.0, 380, 10, -4), &xyz, 0, 0), -1);
    EXPECT_EQ(GetXYZfromSPECTRAL_Ex(flatSpectrum(1.0, 380, 10, 37), &xyz, 0, 0), -1);
    EXPECT_EQ(GetXYZfromSPECTRAL_Ex(flatSpectrum(1.0, 380, 0, 36), &xyz, 0, 0), -1);
    EXPECT_EQ(GetXYZfromSPECTRAL_Ex(flatSpectrum(1.0, 380, -10, 36), &xyz, 0, 0), -1);
    EXPECT_EQ(GetXYZfromSPECTRAL_Ex(flatSpectrum(1.0), nullptr, 0, 0), -1);
    const ColorTriplex failed = GetXYZfromSPECTRAL(flatSpectrum(1.0, 380, 10, 0));
    EXPECT_EQ(failed.X + failed.Y + failed.Z, 0.0);
}

TEST(SpectralToXyz, NaNAndHugeWavelengthsDoNotMisbehave) {
    SpectRecord s = flatSpectrum(0.5);
    s.value[10] = std::nan("");
    ColorTriplex xyz{};
    // A NaN reflectance counts as 0 where it enters the interpolation.
    EXPECT_EQ(GetXYZfromSPECTRAL_Ex(s, &xyz, 6, 0), 0);
    EXPECT_TRUE(std::isfinite(xyz.Y));
    EXPECT_LT(xyz.Y, 50.0);
    EXPECT_GT(xyz.Y, 40.0);
    // Far away from the observer's range: held at the end value.
    EXPECT_NEAR(xyzOf(flatSpectrum(0.3, 2000000000, 1000000000, 2), 6, 0).Y, 30.0, 1e-9);
    EXPECT_NEAR(xyzOf(flatSpectrum(0.3, -2000000000, 2000000000, 3), 6, 0).Y, 30.0, 1e-9);
}

}  // namespace

namespace {

// The integration evaluates the sample interval by interval with tabulated
// weights; the same sums formed band by band with the generic interpolation
// must agree, spikes (and their clamped negative lobes) included.
TEST(SpectralToXyz, IntervalEvaluationMatchesBandByBandInterpolation) {
    for (OrvoLong step : {3, 10, 20}) {
        SpectRecord s = flatSpectrum(0.0, 395, step, 30);
        for (int i = 0; i < 30; ++i) {
            s.value[i] = i % 5 == 2 ? 0.9 : 0.02;
        }
        const GenChartLib::SpectralTable sample{30, 395.0, 395.0 + 29.0 * static_cast<double>(step),
                                                0.01, s.value};
        const GenChartLib::TristimulusWeights* w = GenChartLib::tristimulusWeights(6, 4);
        ASSERT_NE(w, nullptr);
        double sums[3] = {0, 0, 0};
        for (int band = 0; band < w->bandCount; ++band) {
            const double r = GenChartLib::interpolateAt(sample, w->firstNm + band);
            sums[0] += w->x[band] * r;
            sums[1] += w->y[band] * r;
            sums[2] += w->z[band] * r;
        }
        const ColorTriplex xyz = xyzOf(s, 6, 4);
        EXPECT_NEAR(xyz.X, sums[0] * w->scale, 1e-9) << step;
        EXPECT_NEAR(xyz.Y, sums[1] * w->scale, 1e-9) << step;
        EXPECT_NEAR(xyz.Z, sums[2] * w->scale, 1e-9) << step;
    }
}

}  // namespace
