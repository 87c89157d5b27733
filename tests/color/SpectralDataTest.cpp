#include <gtest/gtest.h>

#include <cmath>

#include "color/SpectralData.h"

namespace {

using GenChartLib::builtInIlluminant;
using GenChartLib::builtInObserver;
using GenChartLib::ColorMatchingSet;
using GenChartLib::densityResponse;
using GenChartLib::SpectralTable;

double sum(const SpectralTable& t) {
    double s = 0.0;
    for (int i = 0; i < t.count; ++i) {
        s += t.values[i] / t.divisor;
    }
    return s;
}

double valueAtNm(const SpectralTable& t, int nm) {
    const double step = (t.lastNm - t.firstNm) / (t.count - 1);
    return t.values[std::lround((nm - t.firstNm) / step)] / t.divisor;
}

// Wavelength of the largest of the 36 density-band values.
int peakNm(const double* values) {
    int best = 0;
    for (int i = 1; i < GenChartLib::kDensityBands; ++i) {
        best = values[i] > values[best] ? i : best;
    }
    return GenChartLib::kDensityFirstNm + GenChartLib::kDensityStepNm * best;
}

// Sums over 360..830 nm at 1 nm, from the README of the CIE data.
TEST(SpectralData, ObserversSumToTheCieTotalsAndAbridgedSetsKeepTheirValues) {
    const ColorMatchingSet* cie1931 = builtInObserver(0);
    const ColorMatchingSet* cie1964 = builtInObserver(4);
    ASSERT_NE(cie1931, nullptr);
    ASSERT_NE(cie1964, nullptr);
    EXPECT_NEAR(sum(cie1931->x), 106.865469, 1e-6);
    EXPECT_NEAR(sum(cie1931->y), 106.856917, 1e-6);
    EXPECT_NEAR(sum(cie1931->z), 106.892251, 1e-6);
    EXPECT_NEAR(sum(cie1964->x), 116.648520, 1e-6);
    EXPECT_NEAR(sum(cie1964->y), 116.661877, 1e-6);
    EXPECT_NEAR(sum(cie1964->z), 116.673981, 1e-6);
    const struct {
        unsigned observer;
        double first, last;
        const ColorMatchingSet* source;
    } abridged[] = {{5, 390, 730, cie1931},
                    {6, 380, 825, cie1964},
                    {7, 360, 830, cie1931},
                    {8, 400, 700, cie1964}};
    for (const auto& r : abridged) {
        const ColorMatchingSet* set = builtInObserver(r.observer);
        ASSERT_NE(set, nullptr) << r.observer;
        EXPECT_EQ(set->x.firstNm, r.first);
        EXPECT_EQ(set->z.lastNm, r.last);
        EXPECT_EQ(valueAtNm(set->y, 550), valueAtNm(r.source->y, 550)) << r.observer;
        EXPECT_EQ(valueAtNm(set->x, 600), valueAtNm(r.source->x, 600)) << r.observer;
    }
}

TEST(SpectralData, IlluminantRangesAndValuesAt560Nanometres) {
    const struct {
        unsigned number;
        double first, last, at560;
    } illuminants[] = {{0, 300, 830, 1.0}, {3, 300, 830, 1.0},   {5, 300, 830, 1.0},
                       {6, 300, 830, 1.0}, {4, 320, 780, 1.053}, {11, 325, 795, 100.0}};
    for (const auto& i : illuminants) {
        const SpectralTable* s = builtInIlluminant(i.number);
        ASSERT_NE(s, nullptr) << i.number;
        EXPECT_EQ(s->firstNm, i.first) << i.number;
        EXPECT_EQ(s->lastNm, i.last) << i.number;
        EXPECT_NEAR(valueAtNm(*s, 560) / i.at560, 1.0, 1e-12) << i.number;
    }
    // The fluorescent lamps are zero outside 380..780 nm.
    for (unsigned number : {8u, 9u, 10u}) {
        const SpectralTable* f = builtInIlluminant(number);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(valueAtNm(*f, 375), 0.0) << number;
        EXPECT_EQ(valueAtNm(*f, 785), 0.0) << number;
        EXPECT_GT(valueAtNm(*f, 380), 0.0) << number;
    }
}

TEST(SpectralData, DensityResponsesPeakAt5WhereTheyShould) {
    const struct {
        long type;
        int red, green, blue;
    } peaks[] = {{0, 620, 530, 440}, {1, 640, 540, 450}, {2, 600, 530, 460}, {3, 600, 530, 440},
                 {4, 620, 540, 430}, {5, 600, 520, 430}, {6, 620, 530, 430}};
    for (const auto& p : peaks) {
        const GenChartLib::DensityResponse* r = densityResponse(p.type);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(peakNm(r->red), p.red) << p.type;
        EXPECT_EQ(peakNm(r->green), p.green) << p.type;
        EXPECT_EQ(peakNm(r->blue), p.blue) << p.type;
        EXPECT_DOUBLE_EQ(r->red[(p.red - 380) / 10], 5.0) << p.type;
    }
}

TEST(SpectralData, StatusFlanksMissingResponseAndVisualWeights) {
    // Status A blue at 480 nm (ISO 5-3): 2.898; red is extrapolated at
    // 380 nm far below any real response.
    EXPECT_DOUBLE_EQ(densityResponse(0)->blue[(480 - 380) / 10], 2.898);
    EXPECT_LT(densityResponse(0)->red[0], -20.0);
    // Status T red has no response below 570 nm.
    EXPECT_EQ(densityResponse(2)->red[(560 - 380) / 10], -HUGE_VAL);
    // The visual weights are the photopic curve.
    const double* v = GenChartLib::visualDensityWeights();
    EXPECT_EQ(peakNm(v), 560);
    EXPECT_DOUBLE_EQ(v[(560 - 380) / 10], 0.995);
    EXPECT_DOUBLE_EQ(v[(550 - 380) / 10], 0.9949501);
}

}  // namespace
