#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "ColorTestSupport.h"
#include "OrvoChartInterface.h"

namespace {

// The numbers of a CSV file of tests/data/color after its header row,
// `columns` to a row.
std::vector<std::vector<double>> readNumericCsv(const char* name, std::size_t columns) {
    std::ifstream in(std::string(ORVOCHART_TEST_DATA) + "/color/" + name);
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    std::vector<std::vector<double>> rows;
    for (double v = 0; in >> v; in.ignore()) {  // the comma or the line end
        if (rows.empty() || rows.back().size() == columns) {
            rows.emplace_back();
        }
        rows.back().push_back(v);
    }
    return rows;
}

// The 34 published CIEDE2000 pairs (numbered from 1 in the paper), among
// them neutral colours and hue differences around 180 and 270 degrees.
TEST(DeltaE2000, PublishedPairsBothWaysRound) {
    const auto pairs = readNumericCsv("ciede2000_sharma_pairs.csv", 7);
    ASSERT_TRUE(pairs.size() == 34u && pairs.back().size() == 7u);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const auto& p = pairs[i];
        const double forward = GetDeltaE_CIE2000(p[0], p[1], p[2], p[3], p[4], p[5]);
        EXPECT_NEAR(forward, p[6], 1e-4) << "pair " << i + 1;
        // Pairs 10 and 14 lie exactly 180 degrees apart: the hue-mean branch
        // then depends on the order.
        if (i + 1 != 10 && i + 1 != 14) {
            EXPECT_NEAR(GetDeltaE_CIE2000(p[3], p[4], p[5], p[0], p[1], p[2]), forward, 1e-12)
                << "pair " << i + 1;
        }
    }
}

// The pairs cover both CMC lightness branches (L1 below 16 and above) and
// pairs whose chromas differ, where CIE94 and CMC are asymmetric.
TEST(DeltaE, ReferencePairsAgreeWithAnIndependentImplementation) {
    const auto pairs = readNumericCsv("delta_e_reference_pairs.csv", 9);
    ASSERT_TRUE(pairs.size() == 12u && pairs.back().size() == 9u);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const auto& p = pairs[i];
        EXPECT_NEAR(GetDeltaE_CIE76(p[0], p[1], p[2], p[3], p[4], p[5]), p[6], 1e-6) << i;
        EXPECT_NEAR(GetDeltaE_CIE94(p[0], p[1], p[2], p[3], p[4], p[5]), p[7], 1e-5) << i;
        // CMC converts hue angles with a pi rounded to single precision.
        EXPECT_NEAR(GetDeltaE_CIECMC(p[0], p[1], p[2], p[3], p[4], p[5]), p[8], 1e-5) << i;
    }
    // Identical colours, neutral ones (no hue) included, give zero.
    for (auto* f : {GetDeltaE_CIE76, GetDeltaE_CIE94, GetDeltaE_CIE2000, GetDeltaE_CIECMC}) {
        EXPECT_EQ(f(0, 0, 0, 0, 0, 0) + f(50, 0, 0, 50, 0, 0) + f(62, 20, -90, 62, 20, -90), 0.0);
    }
    // CIE94 weights a pure chroma difference of 40 by the first colour's
    // chroma: 40 / (1 + 0.045 x 20), the other way round 40 / (1 + 0.045 x 60).
    EXPECT_NEAR(GetDeltaE_CIE94(50, 20, 0, 50, 60, 0), 40.0 / 1.9, 1e-12);
    EXPECT_NEAR(GetDeltaE_CIE94(50, 60, 0, 50, 20, 0), 40.0 / 3.7, 1e-12);
}

TEST(PartialDifferences, HueChromaPlaneWeightsAndToleranceClasses) {
    // A quarter turn at chroma 30: Delta H is the whole chord; a pure chroma
    // and lightness change has none.
    EXPECT_NEAR(GetDeltaH(50, 30, 0, 50, 0, 30), std::sqrt(1800.0), 1e-12);
    EXPECT_NEAR(GetDeltaH(50, 30, 40, 60, 60, 80), 0.0, 1e-6);
    EXPECT_EQ(GetDeltaH(62, -40, 55, 62, -40, 55), 0.0);
    EXPECT_DOUBLE_EQ(GetDeltaF(0, 3, 4, 100, 0, 0), 5.0);
    EXPECT_DOUBLE_EQ(GetDeltaF(50, 3, 4, 50, 0, 0), 5.0);
    // Lightness weight 1 up to L 50, falling linearly to 0.25 at L 100.
    EXPECT_DOUBLE_EQ(GetWeightedDeltaL(40, 45, 30), 5.0);
    EXPECT_DOUBLE_EQ(GetWeightedDeltaL(40, 45, 50), 5.0);
    EXPECT_DOUBLE_EQ(GetWeightedDeltaL(40, 45, 100), 1.25);
    EXPECT_DOUBLE_EQ(GetWeightedDeltaL(45, 40, 75), 3.125);
    EXPECT_DOUBLE_EQ(GetWeightedDeltaCh(2.0, 100), 0.5);
    EXPECT_DOUBLE_EQ(GetWeightedDeltaCh(-2.0, 20), -2.0);
    // Ranks against three limits; 0 above them, for NaN and without limits.
    double limits[] = {3, 5, 7};
    const std::pair<double, int> ranks[] = {{2.5, 1}, {3.0, 1}, {4.0, 2},
                                            {7.0, 3}, {8.0, 0}, {std::nan(""), 0}};
    for (const auto& [value, rank] : ranks) {
        EXPECT_EQ(GetPSDResult(value, limits), rank) << value;
    }
    EXPECT_EQ(GetPSDResult(1.0, nullptr), 0);
}

}  // namespace
