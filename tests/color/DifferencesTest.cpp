#include <gtest/gtest.h>

#include <cmath>

#include "ColorTestSupport.h"
#include "OrvoChartInterface.h"
#include "color/Conversions.h"

namespace {

using colortest::readNumericCsv;

// The published pairs are numbered from 1 in the paper; rows are 0-based.
bool isHueBranchPair(std::size_t row) {
    return row + 1 >= 7 && row + 1 <= 16;
}

void expectSharmaPairs(bool hueBranchPairs) {
    const auto pairs = readNumericCsv("ciede2000_sharma_pairs.csv");
    ASSERT_EQ(pairs.size(), 34u);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (isHueBranchPair(i) != hueBranchPairs) {
            continue;
        }
        const auto& p = pairs[i];
        EXPECT_NEAR(GetDeltaE_CIE2000(p[0], p[1], p[2], p[3], p[4], p[5]), p[6], 1e-4)
            << "pair " << i + 1;
    }
}

TEST(DeltaE2000, PublishedPairsOutsideTheHueBranches) {
    expectSharmaPairs(false);
}

// Pairs 7-16: neutral colours and hue differences around 180 and 270 degrees.
TEST(DeltaE2000, PublishedPairsAcrossTheHueBranches) {
    expectSharmaPairs(true);
}

TEST(DeltaE2000, IsSymmetricOffTheHalfTurn) {
    const auto pairs = readNumericCsv("ciede2000_sharma_pairs.csv");
    ASSERT_EQ(pairs.size(), 34u);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const auto& p = pairs[i];
        if (i + 1 == 10 || i + 1 == 14) {
            continue;  // exactly 180 degrees apart: the branch depends on the order
        }
        EXPECT_NEAR(GetDeltaE_CIE2000(p[0], p[1], p[2], p[3], p[4], p[5]),
                    GetDeltaE_CIE2000(p[3], p[4], p[5], p[0], p[1], p[2]), 1e-12)
            << "pair " << i + 1;
    }
}

TEST(DeltaE, ReferencePairsAgreeWithAnIndependentImplementation) {
    const auto pairs = readNumericCsv("delta_e_reference_pairs.csv");
    ASSERT_EQ(pairs.size(), 12u);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const auto& p = pairs[i];
        EXPECT_NEAR(GetDeltaE_CIE76(p[0], p[1], p[2], p[3], p[4], p[5]), p[6], 1e-6) << i;
        EXPECT_NEAR(GetDeltaE_CIE94(p[0], p[1], p[2], p[3], p[4], p[5]), p[7], 1e-5) << i;
        // CMC converts hue angles with a pi rounded to single precision.
        EXPECT_NEAR(GetDeltaE_CIECMC(p[0], p[1], p[2], p[3], p[4], p[5]), p[8], 1e-5) << i;
    }
}

TEST(DeltaE, IdenticalColoursGiveZero) {
    const double colours[][3] = {{50, 0, 0}, {0, 0, 0}, {100, 0, 0}, {62, -40, 55}, {20, 80, -90}};
    for (const auto& c : colours) {
        EXPECT_EQ(GetDeltaE_CIE76(c[0], c[1], c[2], c[0], c[1], c[2]), 0.0);
        EXPECT_EQ(GetDeltaE_CIE94(c[0], c[1], c[2], c[0], c[1], c[2]), 0.0);
        EXPECT_EQ(GetDeltaE_CIE2000(c[0], c[1], c[2], c[0], c[1], c[2]), 0.0);
        EXPECT_EQ(GetDeltaE_CIECMC(c[0], c[1], c[2], c[0], c[1], c[2]), 0.0);
        EXPECT_EQ(GetDeltaH(c[0], c[1], c[2], c[0], c[1], c[2]), 0.0);
    }
}

TEST(DeltaE, Cie94AndCmcWeightByTheFirstColour) {
    // Chromas 20 and 60: swapping the colours changes the chroma weights.
    EXPECT_GT(
        std::fabs(GetDeltaE_CIE94(50, 20, 0, 50, 60, 0) - GetDeltaE_CIE94(50, 60, 0, 50, 20, 0)),
        1.0);
    EXPECT_GT(
        std::fabs(GetDeltaE_CIECMC(50, 20, 0, 50, 60, 0) - GetDeltaE_CIECMC(50, 60, 0, 50, 20, 0)),
        1.0);
    // A pure chroma difference of 40 from a reference of chroma 20:
    // 40 / (1 + 0.045 * 20) = 21.0526...
    EXPECT_NEAR(GetDeltaE_CIE94(50, 20, 0, 50, 60, 0), 40.0 / 1.9, 1e-12);
    // A pure lightness difference is not weighted by CIE94.
    EXPECT_NEAR(GetDeltaE_CIE94(40, 30, 30, 47, 30, 30), 7.0, 1e-12);
}

// CMC weights the hue by T, which has two branches split at 164 and 345
// degrees of the reference hue. With a pure hue difference the result is
// dH / SH, so T can be read back.
double cmcT(double h1Degrees) {
    return (h1Degrees >= 164.0 && h1Degrees <= 345.0)
               ? 0.56 + std::fabs(0.2 * std::cos((h1Degrees + 168.0) / 57.29578226691561))
               : 0.36 + std::fabs(0.4 * std::cos((h1Degrees + 35.0) / 57.29578226691561));
}

double cmcPerUnitHue(double C, double h1Degrees) {
    const double c4 = C * C * C * C;
    const double f = std::sqrt(c4 / (c4 + 1900.0));
    const double sc = 0.0638 * C / (1.0 + 0.0131 * C) + 0.638;
    const double sh = sc * (f * cmcT(h1Degrees) + 1.0 - f);
    return 1.0 / sh;
}

TEST(DeltaE, CmcTakesTheNarrowHueBranchFrom164Degrees) {
    // Find (a, b) on chroma 30 whose hue by the LCh rule is exactly 164.
    const double C = 30.0;
    // In the second quadrant the rule gives atan(b / a) * 180 / pi + 180.
    const double a = C * std::cos(164.0 * GenChartLib::kPiSingle / 180.0);
    double b = a * std::tan(-16.0 * GenChartLib::kPiSingle / 180.0);
    for (int i = 0; i < 64 && GenChartLib::hueDegrees(a, b) != 164.0; ++i) {
        b = std::nextafter(b, GenChartLib::hueDegrees(a, b) > 164.0 ? 0.0 : 100.0);
    }
    ASSERT_EQ(GenChartLib::hueDegrees(a, b), 164.0);
    // Rotate the second colour by a small angle at the same chroma and L.
    const double turn = 0.01;
    const double a2 = a * std::cos(turn) - b * std::sin(turn);
    const double b2 = a * std::sin(turn) + b * std::cos(turn);
    const double deltaH = GetDeltaH(50, a, b, 50, a2, b2);
    const double cmc = GetDeltaE_CIECMC(50, a, b, 50, a2, b2);
    const double narrow = 0.56 + std::fabs(0.2 * std::cos((164.0 + 168.0) / 57.29578226691561));
    const double wide = 0.36 + std::fabs(0.4 * std::cos((164.0 + 35.0) / 57.29578226691561));
    ASSERT_GT(std::fabs(narrow - wide), 1e-3);
    EXPECT_NEAR(cmc, deltaH * cmcPerUnitHue(std::hypot(a, b), 164.0), 1e-9);
}

TEST(DeltaE, CmcUsesTheFixedLightnessWeightBelowL16) {
    // SL = 0.511 for L1 < 16: a pure lightness step of 1 gives 1 / 0.511.
    EXPECT_NEAR(GetDeltaE_CIECMC(10, 0, 0, 11, 0, 0), 1.0 / 0.511, 1e-12);
    // From L1 = 16 on: SL = 0.040975 L / (1 + 0.01765 L).
    EXPECT_NEAR(GetDeltaE_CIECMC(50, 0, 0, 51, 0, 0), (1.0 + 0.01765 * 50) / (0.040975 * 50),
                1e-12);
}

TEST(PartialDifferences, HueDifferenceSeparatesHueFromChroma) {
    // A quarter turn at chroma 30: Delta H is the whole chord.
    EXPECT_NEAR(GetDeltaH(50, 30, 0, 50, 0, 30), std::sqrt(1800.0), 1e-12);
    // A pure chroma and lightness change has no hue difference.
    EXPECT_NEAR(GetDeltaH(50, 30, 40, 60, 60, 80), 0.0, 1e-6);
}

TEST(PartialDifferences, ChromaPlaneDifferenceIgnoresLightness) {
    EXPECT_DOUBLE_EQ(GetDeltaF(0, 3, 4, 100, 0, 0), 5.0);
    EXPECT_DOUBLE_EQ(GetDeltaF(50, 3, 4, 50, 0, 0), 5.0);
}

TEST(PartialDifferences, LightnessWeightingFallsAboveL50) {
    EXPECT_DOUBLE_EQ(GetWeightedDeltaL(40, 45, 30), 5.0);
    EXPECT_DOUBLE_EQ(GetWeightedDeltaL(40, 45, 50), 5.0);
    EXPECT_DOUBLE_EQ(GetWeightedDeltaL(40, 45, 100), 1.25);
    EXPECT_DOUBLE_EQ(GetWeightedDeltaL(45, 40, 75), 3.125);
    EXPECT_DOUBLE_EQ(GetWeightedDeltaCh(2.0, 100), 0.5);
    EXPECT_DOUBLE_EQ(GetWeightedDeltaCh(-2.0, 20), -2.0);
}

TEST(ToleranceClass, RanksAgainstThreeLimits) {
    double limits[] = {3, 5, 7};
    EXPECT_EQ(GetPSDResult(2.5, limits), 1);
    EXPECT_EQ(GetPSDResult(3.0, limits), 1);
    EXPECT_EQ(GetPSDResult(4.0, limits), 2);
    EXPECT_EQ(GetPSDResult(7.0, limits), 3);
    EXPECT_EQ(GetPSDResult(8.0, limits), 0);
    EXPECT_EQ(GetPSDResult(std::nan(""), limits), 0);
    EXPECT_EQ(GetPSDResult(1.0, nullptr), 0);
}

}  // namespace
