#include <gtest/gtest.h>

#include <vector>

#include "OrvoChartInterface.h"

namespace {

// The colour `x`, `y` and `z` of the way from paper (90, 92, 80) to solid
// (20, 12, 10) in X, Y and Z.
ColorTriplex at(double x, double y, double z) {
    return {90 + x * (20 - 90), 92 + y * (12 - 92), 80 + z * (10 - 80)};
}

// A small wedge: paper, the four solids, a 50 % tint of each ink, a two-ink
// patch, a patch with no ink above 0 that is yet not paper. A tint's share of
// the way from paper to solid is its tone value in the channel its ink reads
// (cyan X, magenta Y, yellow Z, black Y): the first measurement is half way,
// the second moves only that channel, to 60, 40, 55 and 47 %.
class ToneValue : public ::testing::Test {
  protected:
    double deltaT(int i) { return GetDeltaT(i, first.data(), second.data(), inks.data(), 11); }
    std::vector<ColorQuadruple> inks{{0, 0, 0, 0},         {255, 0, 0, 0},   {0, 255, 0, 0},
                                     {0, 0, 255, 0},       {0, 0, 0, 255},   {127.5, 0, 0, 0},
                                     {0, 127.5, 0, 0},     {0, 0, 127.5, 0}, {0, 0, 0, 127.5},
                                     {127.5, 127.5, 0, 0}, {0, -3, 0, 0}};
    std::vector<ColorTriplex> first{at(0, 0, 0),       at(1, 1, 1),       at(1, 1, 1),
                                    at(1, 1, 1),       at(1, 1, 1),       at(0.5, 0.5, 0.5),
                                    at(0.5, 0.5, 0.5), at(0.5, 0.5, 0.5), at(0.5, 0.5, 0.5),
                                    at(0.7, 0.7, 0.7), at(0.2, 0.2, 0.2)};
    std::vector<ColorTriplex> second{at(0, 0, 0),       at(1, 1, 1),        at(1, 1, 1),
                                     at(1, 1, 1),       at(1, 1, 1),        at(0.6, 0.5, 0.5),
                                     at(0.5, 0.4, 0.5), at(0.5, 0.5, 0.55), at(0.5, 0.47, 0.5),
                                     at(0.8, 0.8, 0.8), at(0.3, 0.3, 0.3)};
};

// Per patch: solids 0, paper and mixed patches -101; the array gives 0 for those.
TEST_F(ToneValue, PatchAndArrayGiveTheShareDifferenceOfEachTint) {
    const double perPatch[] = {-101, 0, 0, 0, 0, 10, -10, 5, -3, -101, -101};
    const double inArray[] = {0, 0, 0, 0, 0, 10, -10, 5, -3, 0, 0};
    double result[11];
    ASSERT_EQ(GetDeltaTArray(result, first.data(), second.data(), inks.data(), 11), 0);
    for (int i = 0; i < 11; ++i) {
        EXPECT_NEAR(deltaT(i), perPatch[i], 1e-9) << i;
        EXPECT_NEAR(result[i], inArray[i], 1e-9) << i;
    }
    first[1] = second[1] = at(0, 0, 0);  // paper and solid alike: no tone at all
    EXPECT_EQ(deltaT(5), 0.0);
}

TEST_F(ToneValue, MissingPaperOrSolidGivesMinus101AndPaperIsFoundByRoundedPercent) {
    inks[1] = ColorQuadruple{250, 0, 0, 0};  // 98 %: no cyan solid any more
    EXPECT_EQ(deltaT(5), -101.0);
    EXPECT_NEAR(deltaT(6), -10.0, 1e-9);
    double result[11];
    ASSERT_EQ(GetDeltaTArray(result, first.data(), second.data(), inks.data(), 11), 0);
    EXPECT_EQ(result[5], -101.0);          // the cyan tint
    EXPECT_NEAR(result[7], 5.0, 1e-9);     // yellow is unaffected
    inks[0] = ColorQuadruple{0, 0, 0, 5};  // no paper
    EXPECT_EQ(deltaT(7), -101.0);
    EXPECT_EQ(deltaT(2), 0.0);  // the solid itself needs no paper
    // A new first patch of 1/255 cyan rounds to 0 % and becomes the paper:
    // the yellow tint, now at 8, against paper Z 70 instead of 80: first
    // (70 - 45) / 60, second (70 - 41.5) / 60.
    inks.insert(inks.begin(), ColorQuadruple{1, 0, 0, 0});
    first.insert(first.begin(), ColorTriplex{90, 92, 70});
    second.insert(second.begin(), ColorTriplex{90, 92, 70});
    EXPECT_NEAR(deltaT(8), (70.0 - 41.5) / 60.0 * 100.0 - (70.0 - 45.0) / 60.0 * 100.0, 1e-9);
}

TEST_F(ToneValue, BadArgumentsAreRefused) {
    ColorTriplex *a = first.data(), *b = second.data();
    ColorQuadruple* k = inks.data();
    EXPECT_EQ(deltaT(-1), -101.0);
    EXPECT_EQ(deltaT(11), -101.0);
    EXPECT_EQ(GetDeltaT(5, nullptr, b, k, 11), -101.0);
    EXPECT_EQ(GetDeltaT(5, a, nullptr, k, 11), -101.0);
    EXPECT_EQ(GetDeltaT(5, a, b, nullptr, 11), -101.0);
    EXPECT_EQ(GetDeltaT(0, a, b, k, 0), -101.0);
    double result[11] = {99};
    EXPECT_EQ(GetDeltaTArray(nullptr, a, b, k, 11), -1);
    EXPECT_EQ(GetDeltaTArray(result, a, b, nullptr, 11), -1);
    EXPECT_EQ(GetDeltaTArray(result, a, b, k, 0), 0);
    EXPECT_EQ(result[0], 99.0);
}

}  // namespace
