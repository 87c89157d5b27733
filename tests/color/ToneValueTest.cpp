#include <gtest/gtest.h>

#include <vector>

#include "OrvoChartInterface.h"

namespace {

constexpr ColorTriplex kPaper{90, 92, 80};
constexpr ColorTriplex kSolid{20, 12, 10};

ColorTriplex between(double share) {
    return ColorTriplex{kPaper.X + share * (kSolid.X - kPaper.X),
                        kPaper.Y + share * (kSolid.Y - kPaper.Y),
                        kPaper.Z + share * (kSolid.Z - kPaper.Z)};
}

// A small wedge: paper, the four solids, a 50 % tint of each ink, a two-ink
// patch, a patch with no ink above 0 that is yet not paper. A tint's share of
// the way from paper to solid is its tone value in the channel its ink reads
// (cyan X, magenta Y, yellow Z, black Y): the first measurement is half way,
// the second moves only that channel.
class ToneValue : public ::testing::Test {
  protected:
    unsigned count() const { return static_cast<unsigned>(inks.size()); }
    double deltaT(int index) {
        return GetDeltaT(index, first.data(), second.data(), inks.data(), count());
    }
    int deltaTArray(std::vector<double>& result) {
        result.assign(count(), 99.0);
        return GetDeltaTArray(result.data(), first.data(), second.data(), inks.data(), count());
    }
    void SetUp() override {
        second = first;
        second[5].X = between(0.6).X;
        second[6].Y = between(0.4).Y;
        second[7].Z = between(0.55).Z;
        second[8].Y = between(0.47).Y;
        second[9] = between(0.8);
        second[10] = between(0.3);
    }
    std::vector<ColorQuadruple> inks{{0, 0, 0, 0},         {255, 0, 0, 0},   {0, 255, 0, 0},
                                     {0, 0, 255, 0},       {0, 0, 0, 255},   {127.5, 0, 0, 0},
                                     {0, 127.5, 0, 0},     {0, 0, 127.5, 0}, {0, 0, 0, 127.5},
                                     {127.5, 127.5, 0, 0}, {0, -3, 0, 0}};
    std::vector<ColorTriplex> first{kPaper,       kSolid,       kSolid,       kSolid,
                                    kSolid,       between(0.5), between(0.5), between(0.5),
                                    between(0.5), between(0.7), between(0.2)};
    std::vector<ColorTriplex> second;
};

// Per patch: solids 0, paper and mixed patches -101; the array gives 0 for those.
TEST_F(ToneValue, PatchAndArrayGiveTheShareDifferenceOfEachTint) {
    const double perPatch[] = {-101, 0, 0, 0, 0, 10, -10, 5, -3, -101, -101};
    const double inArray[] = {0, 0, 0, 0, 0, 10, -10, 5, -3, 0, 0};
    std::vector<double> result;
    ASSERT_EQ(deltaTArray(result), 0);
    for (int i = 0; i < 11; ++i) {
        EXPECT_NEAR(deltaT(i), perPatch[i], 1e-9) << i;
        EXPECT_NEAR(result[static_cast<unsigned>(i)], inArray[i], 1e-9) << i;
    }
    first[1] = second[1] = kPaper;  // paper and solid alike: no tone at all
    EXPECT_EQ(deltaT(5), 0.0);
}

TEST_F(ToneValue, PaperAndSolidsAreFoundByRoundedPercent) {
    // A first patch of 1/255 cyan rounds to 0 % and becomes the paper. The
    // cyan tint, now at 6, against paper X 80 instead of 90: first
    // (80 - 55) / 60, second (80 - 48) / 60.
    inks.insert(inks.begin(), ColorQuadruple{1, 0, 0, 0});
    first.insert(first.begin(), ColorTriplex{80, 92, 80});
    second.insert(second.begin(), ColorTriplex{80, 92, 80});
    EXPECT_NEAR(deltaT(6), (80.0 - 48.0) / 60.0 * 100.0 - (80.0 - 55.0) / 60.0 * 100.0, 1e-9);
}

TEST_F(ToneValue, MissingPaperOrSolidGivesMinus101) {
    inks[1] = ColorQuadruple{250, 0, 0, 0};  // 98 %: no cyan solid any more
    EXPECT_EQ(deltaT(5), -101.0);
    EXPECT_NEAR(deltaT(6), -10.0, 1e-9);
    std::vector<double> result;
    ASSERT_EQ(deltaTArray(result), 0);
    EXPECT_EQ(result[5], -101.0);          // the cyan tint
    EXPECT_NEAR(result[7], 5.0, 1e-9);     // yellow is unaffected
    inks[0] = ColorQuadruple{0, 0, 0, 5};  // no paper
    EXPECT_EQ(deltaT(6), -101.0);
    EXPECT_EQ(deltaT(2), 0.0);  // the solid itself needs no paper
}

TEST_F(ToneValue, BadArgumentsAreRefused) {
    for (int index : {-1, 11}) {
        EXPECT_EQ(deltaT(index), -101.0);
    }
    EXPECT_EQ(GetDeltaT(5, nullptr, second.data(), inks.data(), count()), -101.0);
    EXPECT_EQ(GetDeltaT(5, first.data(), nullptr, inks.data(), count()), -101.0);
    EXPECT_EQ(GetDeltaT(5, first.data(), second.data(), nullptr, count()), -101.0);
    EXPECT_EQ(GetDeltaT(0, first.data(), second.data(), inks.data(), 0), -101.0);
    std::vector<double> result(count(), 99.0);
    EXPECT_EQ(GetDeltaTArray(nullptr, first.data(), second.data(), inks.data(), count()), -1);
    EXPECT_EQ(GetDeltaTArray(result.data(), first.data(), second.data(), nullptr, count()), -1);
    EXPECT_EQ(GetDeltaTArray(result.data(), first.data(), second.data(), inks.data(), 0), 0);
    EXPECT_EQ(result[0], 99.0);
}

}  // namespace
