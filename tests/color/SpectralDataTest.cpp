#include <gtest/gtest.h>

#include <cmath>

#include "color/SpectralData.h"

namespace {

using GenChartLib::builtInIlluminant;
using GenChartLib::builtInObserver;
using GenChartLib::ColorMatchingSet;
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
    const int i = static_cast<int>(std::lround((nm - t.firstNm) / step));
    return t.values[i] / t.divisor;
}

// Sums over 360..830 nm at 1 nm, from the README of the CIE data.
TEST(SpectralData, StandardObserversSumToTheCieTotals) {
    const ColorMatchingSet* cie1931 = builtInObserver(0);
    ASSERT_NE(cie1931, nullptr);
    EXPECT_EQ(cie1931->y.count, 471);
    EXPECT_NEAR(sum(cie1931->x), 106.865469, 1e-6);
    EXPECT_NEAR(sum(cie1931->y), 106.856917, 1e-6);
    EXPECT_NEAR(sum(cie1931->z), 106.892251, 1e-6);
    const ColorMatchingSet* cie1964 = builtInObserver(4);
    ASSERT_NE(cie1964, nullptr);
    EXPECT_NEAR(sum(cie1964->x), 116.648520, 1e-6);
    EXPECT_NEAR(sum(cie1964->y), 116.661877, 1e-6);
    EXPECT_NEAR(sum(cie1964->z), 116.673981, 1e-6);
    EXPECT_EQ(valueAtNm(cie1931->y, 555), 1.0);
    EXPECT_EQ(valueAtNm(cie1964->y, 557), 1.0);
    EXPECT_EQ(builtInObserver(3), cie1931);
}

TEST(SpectralData, AbridgedObserversKeepTheirRangesAndValues) {
    struct Range {
        unsigned observer;
        double first;
        double last;
        const ColorMatchingSet* source;
    };
    const Range ranges[] = {{5, 390, 730, builtInObserver(0)},
                            {6, 380, 825, builtInObserver(4)},
                            {7, 360, 830, builtInObserver(0)},
                            {8, 400, 700, builtInObserver(4)}};
    for (const Range& r : ranges) {
        const ColorMatchingSet* set = builtInObserver(r.observer);
        ASSERT_NE(set, nullptr) << r.observer;
        EXPECT_EQ(set->x.firstNm, r.first);
        EXPECT_EQ(set->z.lastNm, r.last);
        EXPECT_EQ(valueAtNm(set->y, 550), valueAtNm(r.source->y, 550)) << r.observer;
        EXPECT_EQ(valueAtNm(set->x, 600), valueAtNm(r.source->x, 600)) << r.observer;
    }
    EXPECT_EQ(builtInObserver(1), nullptr);
    EXPECT_EQ(builtInObserver(2), nullptr);
    EXPECT_EQ(builtInObserver(9), nullptr);
}

TEST(SpectralData, IlluminantsAreRelativeTo560Nanometres) {
    for (unsigned number : {0u, 3u, 5u, 6u}) {
        const SpectralTable* s = builtInIlluminant(number);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->firstNm, 300);
        EXPECT_EQ(s->lastNm, 830);
        EXPECT_NEAR(valueAtNm(*s, 560), 1.0, 1e-12) << number;
    }
    const SpectralTable* c = builtInIlluminant(4);
    EXPECT_EQ(c->firstNm, 320);
    EXPECT_EQ(c->lastNm, 780);
    EXPECT_NEAR(valueAtNm(*c, 560), 1.053, 1e-12);
    const SpectralTable* d55 = builtInIlluminant(11);
    EXPECT_EQ(d55->firstNm, 325);
    EXPECT_EQ(d55->lastNm, 795);
    EXPECT_NEAR(valueAtNm(*d55, 560), 100.0, 1e-9);
    EXPECT_EQ(builtInIlluminant(2), nullptr);
    EXPECT_EQ(builtInIlluminant(12), nullptr);
}

TEST(SpectralData, FluorescentLampsAreZeroOutsideTheirRange) {
    for (unsigned number : {8u, 9u, 10u}) {
        const SpectralTable* f = builtInIlluminant(number);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->divisor, 20);
        EXPECT_EQ(valueAtNm(*f, 375), 0.0) << number;
        EXPECT_EQ(valueAtNm(*f, 785), 0.0) << number;
        EXPECT_GT(valueAtNm(*f, 380), 0.0) << number;
    }
    // The mercury line at 435.8 nm shows at 435 nm in every lamp.
    const SpectralTable* f11 = builtInIlluminant(10);
    EXPECT_GT(valueAtNm(*f11, 435), 3 * valueAtNm(*f11, 425));
}

struct Peak {
    long type;
    int red;
    int green;
    int blue;
};

int peakNm(const double* logProducts) {
    int best = 0;
    for (int i = 1; i < GenChartLib::kDensityBands; ++i) {
        best = logProducts[i] > logProducts[best] ? i : best;
    }
    return GenChartLib::kDensityFirstNm + GenChartLib::kDensityStepNm * best;
}

TEST(SpectralData, DensityResponsesPeakAt5WhereTheyShould) {
    const Peak peaks[] = {{0, 620, 530, 440}, {1, 640, 540, 450}, {2, 600, 530, 460},
                          {3, 600, 530, 440}, {4, 620, 540, 430}, {5, 600, 520, 430},
                          {6, 620, 530, 430}};
    for (const Peak& p : peaks) {
        const GenChartLib::DensityResponse* r = GenChartLib::densityResponse(p.type);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(peakNm(r->red), p.red) << p.type;
        EXPECT_EQ(peakNm(r->green), p.green) << p.type;
        EXPECT_EQ(peakNm(r->blue), p.blue) << p.type;
        const int redIndex = (p.red - 380) / 10;
        EXPECT_DOUBLE_EQ(r->red[redIndex], 5.0) << p.type;
        // Both flanks fall away from the peak.
        EXPECT_LT(r->red[redIndex - 1], 5.0);
        EXPECT_LT(r->red[redIndex + 1], 5.0);
    }
    EXPECT_EQ(GenChartLib::densityResponse(7), nullptr);
    EXPECT_EQ(GenChartLib::densityResponse(-1), nullptr);
}

TEST(SpectralData, StatusFlanksAndMissingResponses) {
    const GenChartLib::DensityResponse* a = GenChartLib::densityResponse(0);
    // Status A blue at 480 nm (ISO 5-3): 2.898; red is extrapolated at
    // 380 nm far below any real response.
    EXPECT_DOUBLE_EQ(a->blue[(480 - 380) / 10], 2.898);
    EXPECT_LT(a->red[0], -20.0);
    // Status T red has no response below 570 nm.
    const GenChartLib::DensityResponse* t = GenChartLib::densityResponse(2);
    EXPECT_TRUE(std::isinf(t->red[(560 - 380) / 10]));
    EXPECT_EQ(std::pow(10.0, t->red[(560 - 380) / 10]), 0.0);
    // Status E differs from T only in blue.
    const GenChartLib::DensityResponse* e = GenChartLib::densityResponse(3);
    for (int i = 0; i < GenChartLib::kDensityBands; ++i) {
        EXPECT_EQ(e->red[i], t->red[i]);
        EXPECT_EQ(e->green[i], t->green[i]);
    }
}

TEST(SpectralData, VisualWeightsAreThePhotopicCurve) {
    const double* v = GenChartLib::visualDensityWeights();
    EXPECT_EQ(peakNm(v), 560);
    EXPECT_DOUBLE_EQ(v[(560 - 380) / 10], 0.995);
    EXPECT_DOUBLE_EQ(v[(550 - 380) / 10], 0.9949501);
}

}  // namespace
