#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <utility>

#include "OrvoChartInterface.h"
#include "color/SpectralData.h"
#include "color/WhitePoints.h"

namespace {

using GenChartLib::builtInObserver;
using GenChartLib::ColorMatchingSet;
using GenChartLib::densityResponse;
using GenChartLib::SpectralTable;

// Wavelength of the largest of the 36 density-band values.
int peakNm(const double* values) {
    int best = 0;
    for (int i = 1; i < GenChartLib::kDensityBands; ++i) {
        best = values[i] > values[best] ? i : best;
    }
    return GenChartLib::kDensityFirstNm + GenChartLib::kDensityStepNm * best;
}

// Sums over 360..830 nm at 1 nm, from the README of the CIE data.
TEST(SpectralData, ObserversSumToTheCieTotalsAndAbridgedSetsKeepTheirRanges) {
    const ColorMatchingSet* cie1931 = builtInObserver(0);
    const ColorMatchingSet* cie1964 = builtInObserver(4);
    ASSERT_TRUE(cie1931 != nullptr && cie1964 != nullptr);
    const std::pair<const SpectralTable*, double> sums[] = {
        {&cie1931->x, 106.865469}, {&cie1931->y, 106.856917}, {&cie1931->z, 106.892251},
        {&cie1964->x, 116.648520}, {&cie1964->y, 116.661877}, {&cie1964->z, 116.673981}};
    for (const auto& [table, expected] : sums) {
        double sum = 0.0;
        for (int i = 0; i < table->count; ++i) {
            sum += table->values[i] / table->divisor;
        }
        EXPECT_NEAR(sum, expected, 1e-6);
    }
    // The abridged sets (observers 5 to 8) cover shorter ranges.
    const double ranges[][3] = {{5, 390, 730}, {6, 380, 825}, {7, 360, 830}, {8, 400, 700}};
    for (const auto& [observer, first, last] : ranges) {
        const ColorMatchingSet* set = builtInObserver(static_cast<unsigned>(observer));
        ASSERT_NE(set, nullptr) << observer;
        EXPECT_TRUE(set->x.firstNm == first && set->z.lastNm == last) << observer;
    }
}

// Sums of S(lambda) x CMF(lambda) over 380..780 nm at 5 nm with the CIE
// tables (Y = 100), as listed with the shared reference data. The built-in
// Lab whites are these to two decimals; C differs by rounding in the second
// decimal (118.2249 is commonly printed 118.23, 97.2850 as 97.28).
TEST(SpectralData, LabWhitesAgreeWithTheCieSumsToTwoDecimals) {
    // white point, observer, X, Z
    const double summed[][4] = {
        {0, 0, 96.4197, 82.5123},  {1, 0, 95.0430, 108.8801}, {2, 0, 98.0717, 118.2249},
        {3, 0, 109.8490, 35.5825}, {0, 1, 96.7198, 81.4267},  {1, 1, 94.8118, 107.3241},
        {2, 1, 97.2850, 116.1445}, {3, 1, 111.1439, 35.1995},
    };
    for (const auto& [whitePoint, observer, X, Z] : summed) {
        const ColorTriplex& white = GenChartLib::referenceWhite(static_cast<unsigned>(whitePoint),
                                                                static_cast<unsigned>(observer));
        SCOPED_TRACE(testing::Message() << whitePoint << "/" << observer);
        EXPECT_NEAR(white.X, X, 0.0101);
        EXPECT_EQ(white.Y, 100.0);
        EXPECT_NEAR(white.Z, Z, 0.0101);
    }
}

// Status A blue at 480 nm (ISO 5-3): 2.898; its red is extrapolated at
// 380 nm far below any real response; status T red has none below 570 nm.
// The visual weights are the photopic curve.
TEST(SpectralData, DensityResponsesPeakAt5WhereTheyShould) {
    // density type; red, green and blue peak
    const int peaks[][4] = {{0, 620, 530, 440}, {1, 640, 540, 450}, {2, 600, 530, 460},
                            {3, 600, 530, 440}, {4, 620, 540, 430}, {5, 600, 520, 430},
                            {6, 620, 530, 430}};
    for (const auto& [type, red, green, blue] : peaks) {
        const GenChartLib::DensityResponse* r = densityResponse(type);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ((std::array{peakNm(r->red), peakNm(r->green), peakNm(r->blue)}),
                  (std::array{red, green, blue}))
            << type;
        EXPECT_DOUBLE_EQ(r->red[(red - 380) / 10], 5.0) << type;
    }
    EXPECT_DOUBLE_EQ(densityResponse(0)->blue[(480 - 380) / 10], 2.898);
    EXPECT_LT(densityResponse(0)->red[0], -20.0);
    EXPECT_EQ(densityResponse(2)->red[(560 - 380) / 10], -HUGE_VAL);
    const double* v = GenChartLib::visualDensityWeights();
    EXPECT_EQ(peakNm(v), 560);
    EXPECT_DOUBLE_EQ(v[(560 - 380) / 10], 0.995);
    EXPECT_DOUBLE_EQ(v[(550 - 380) / 10], 0.9949501);
}

}  // namespace
