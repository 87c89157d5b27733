#include <gtest/gtest.h>

#include <vector>

#include "OrvoChartInterface.h"
#include "color/ToneValue.h"

namespace {

// A small wedge: paper, the four solids, a 50 % tint of each ink, a
// two-ink patch. XYZ values are chosen so that the tone values are easy to
// work by hand: first measurement tint = half way, second = 60 % of the way.
struct Wedge {
    std::vector<ColorQuadruple> inks;
    std::vector<ColorTriplex> first;
    std::vector<ColorTriplex> second;
    unsigned count() const { return static_cast<unsigned>(inks.size()); }
};

constexpr ColorTriplex kPaper{90, 92, 80};
constexpr ColorTriplex kSolid{20, 12, 10};

ColorTriplex between(double share) {
    return ColorTriplex{kPaper.X + share * (kSolid.X - kPaper.X),
                        kPaper.Y + share * (kSolid.Y - kPaper.Y),
                        kPaper.Z + share * (kSolid.Z - kPaper.Z)};
}

Wedge makeWedge() {
    Wedge w;
    const auto add = [&](ColorQuadruple inks, ColorTriplex first, ColorTriplex second) {
        w.inks.push_back(inks);
        w.first.push_back(first);
        w.second.push_back(second);
    };
    add({0, 0, 0, 0}, kPaper, kPaper);                      // 0 paper
    add({255, 0, 0, 0}, kSolid, kSolid);                    // 1 cyan solid
    add({0, 255, 0, 0}, kSolid, kSolid);                    // 2 magenta solid
    add({0, 0, 255, 0}, kSolid, kSolid);                    // 3 yellow solid
    add({0, 0, 0, 255}, kSolid, kSolid);                    // 4 black solid
    add({127.5, 0, 0, 0}, between(0.5), between(0.6));      // 5 cyan 50
    add({0, 127.5, 0, 0}, between(0.5), between(0.4));      // 6 magenta 50
    add({0, 0, 127.5, 0}, between(0.5), between(0.55));     // 7 yellow 50
    add({0, 0, 0, 127.5}, between(0.5), between(0.5));      // 8 black 50
    add({127.5, 127.5, 0, 0}, between(0.7), between(0.8));  // 9 two inks
    return w;
}

TEST(ToneValue, ClassifiesByTheInksAboveZero) {
    using GenChartLib::TintClass;
    EXPECT_EQ(GenChartLib::tintClass({0, 0, 0, 0}), TintClass::Paper);
    EXPECT_EQ(GenChartLib::tintClass({3, 0, 0, 0}), TintClass::Cyan);
    EXPECT_EQ(GenChartLib::tintClass({0, 0, 0, 255}), TintClass::Black);
    EXPECT_EQ(GenChartLib::tintClass({0, 1, 1, 0}), TintClass::Mixed);
    EXPECT_EQ(GenChartLib::tintClass({0, -1, 0, 0}), TintClass::Mixed);
}

TEST(ToneValue, MurrayDaviesDifferenceOfEachInk) {
    Wedge w = makeWedge();
    // Cyan reads X, magenta Y, yellow Z, black Y; the tints were built on
    // all three, so each difference is the share difference x 100.
    EXPECT_NEAR(GetDeltaT(5, w.first.data(), w.second.data(), w.inks.data(), w.count()), 10.0,
                1e-9);
    EXPECT_NEAR(GetDeltaT(6, w.first.data(), w.second.data(), w.inks.data(), w.count()), -10.0,
                1e-9);
    EXPECT_NEAR(GetDeltaT(7, w.first.data(), w.second.data(), w.inks.data(), w.count()), 5.0, 1e-9);
    EXPECT_NEAR(GetDeltaT(8, w.first.data(), w.second.data(), w.inks.data(), w.count()), 0.0, 1e-9);
}

TEST(ToneValue, ReadsTheChannelOfTheInk) {
    Wedge w = makeWedge();
    // Move only Z of the cyan tint: cyan reads X and must not see it.
    w.second[5] = w.first[5];
    w.second[5].Z = 10;
    EXPECT_NEAR(GetDeltaT(5, w.first.data(), w.second.data(), w.inks.data(), w.count()), 0.0,
                1e-12);
    // Yellow reads Z: (80 - 10) / 70 x 100 = 100 against 50.
    w.second[7] = w.first[7];
    w.second[7].Z = 10;
    EXPECT_NEAR(GetDeltaT(7, w.first.data(), w.second.data(), w.inks.data(), w.count()), 50.0,
                1e-9);
}

TEST(ToneValue, SolidsPaperAndMixedPatches) {
    Wedge w = makeWedge();
    EXPECT_EQ(GetDeltaT(1, w.first.data(), w.second.data(), w.inks.data(), w.count()), 0.0);
    EXPECT_EQ(GetDeltaT(0, w.first.data(), w.second.data(), w.inks.data(), w.count()), -101.0);
    EXPECT_EQ(GetDeltaT(9, w.first.data(), w.second.data(), w.inks.data(), w.count()), -101.0);
}

TEST(ToneValue, EqualPaperAndSolidGiveZero) {
    Wedge w = makeWedge();
    w.first[1] = kPaper;
    w.second[1] = kPaper;
    EXPECT_EQ(GetDeltaT(5, w.first.data(), w.second.data(), w.inks.data(), w.count()), 0.0);
}

TEST(ToneValue, PaperAndSolidsAreFoundByRoundedPercent) {
    Wedge w = makeWedge();
    // A first patch of 1/255 cyan rounds to 0 % and becomes the paper.
    w.inks.insert(w.inks.begin(), ColorQuadruple{1, 0, 0, 0});
    w.first.insert(w.first.begin(), ColorTriplex{80, 92, 80});
    w.second.insert(w.second.begin(), ColorTriplex{80, 92, 80});
    // Cyan tint now at index 6, same first/second values: paper X 80
    // instead of 90: first (80 - 55) / 60 = 41.67, second (80 - 48) / 60.
    const double expected = (80.0 - 48.0) / 60.0 * 100.0 - (80.0 - 55.0) / 60.0 * 100.0;
    EXPECT_NEAR(GetDeltaT(6, w.first.data(), w.second.data(), w.inks.data(), w.count()), expected,
                1e-9);
}

TEST(ToneValue, MissingPaperOrSolidGivesMinus101) {
    Wedge w = makeWedge();
    w.inks[1] = ColorQuadruple{250, 0, 0, 0};  // 98 %: no cyan solid any more
    EXPECT_EQ(GetDeltaT(5, w.first.data(), w.second.data(), w.inks.data(), w.count()), -101.0);
    EXPECT_NEAR(GetDeltaT(6, w.first.data(), w.second.data(), w.inks.data(), w.count()), -10.0,
                1e-9);
    w.inks[0] = ColorQuadruple{0, 0, 0, 5};  // no paper
    EXPECT_EQ(GetDeltaT(6, w.first.data(), w.second.data(), w.inks.data(), w.count()), -101.0);
    // The solid itself needs no paper: still 0.
    EXPECT_EQ(GetDeltaT(2, w.first.data(), w.second.data(), w.inks.data(), w.count()), 0.0);
}

TEST(ToneValue, BadArgumentsGiveMinus101) {
    Wedge w = makeWedge();
    EXPECT_EQ(GetDeltaT(5, nullptr, w.second.data(), w.inks.data(), w.count()), -101.0);
    EXPECT_EQ(GetDeltaT(5, w.first.data(), nullptr, w.inks.data(), w.count()), -101.0);
    EXPECT_EQ(GetDeltaT(5, w.first.data(), w.second.data(), nullptr, w.count()), -101.0);
    EXPECT_EQ(GetDeltaT(-1, w.first.data(), w.second.data(), w.inks.data(), w.count()), -101.0);
    EXPECT_EQ(GetDeltaT(10, w.first.data(), w.second.data(), w.inks.data(), w.count()), -101.0);
    EXPECT_EQ(GetDeltaT(0, w.first.data(), w.second.data(), w.inks.data(), 0), -101.0);
}

TEST(ToneValueArray, MatchesThePatchFunction) {
    Wedge w = makeWedge();
    std::vector<double> result(w.count(), 99.0);
    ASSERT_EQ(
        GetDeltaTArray(result.data(), w.first.data(), w.second.data(), w.inks.data(), w.count()),
        0);
    const double expected[] = {0, 0, 0, 0, 0, 10, -10, 5, 0, 0};
    for (unsigned i = 0; i < w.count(); ++i) {
        EXPECT_NEAR(result[i], expected[i], 1e-9) << i;
    }
}

TEST(ToneValueArray, TintsWithoutTheirSolidGetMinus101) {
    Wedge w = makeWedge();
    w.inks.erase(w.inks.begin() + 3);  // drop the yellow solid
    w.first.erase(w.first.begin() + 3);
    w.second.erase(w.second.begin() + 3);
    std::vector<double> result(w.count(), 99.0);
    ASSERT_EQ(
        GetDeltaTArray(result.data(), w.first.data(), w.second.data(), w.inks.data(), w.count()),
        0);
    EXPECT_EQ(result[6], -101.0);        // the yellow tint
    EXPECT_NEAR(result[4], 10.0, 1e-9);  // cyan is unaffected
    EXPECT_EQ(result[0], 0.0);           // paper
}

TEST(ToneValueArray, NullPointersAndZeroCount) {
    Wedge w = makeWedge();
    std::vector<double> result(w.count(), 99.0);
    EXPECT_EQ(GetDeltaTArray(nullptr, w.first.data(), w.second.data(), w.inks.data(), w.count()),
              -1);
    EXPECT_EQ(GetDeltaTArray(result.data(), w.first.data(), w.second.data(), nullptr, w.count()),
              -1);
    EXPECT_EQ(GetDeltaTArray(result.data(), w.first.data(), w.second.data(), w.inks.data(), 0), 0);
    EXPECT_EQ(result[0], 99.0);
}

}  // namespace
