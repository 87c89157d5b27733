#include <gtest/gtest.h>

#include <vector>

#include "OrvoChartInterface.h"

namespace {

constexpr double kScale = 2.55;  // percent to the 0..255 scale

ColorQuadruple percent(double c, double m, double y, double k) {
    return ColorQuadruple{c * kScale, m * kScale, y * kScale, k * kScale};
}

TEST(GreyPatchSearch, FindsBlackTintsInPatchOrder) {
    std::vector<ColorQuadruple> inks = {percent(0, 0, 0, 50), percent(30, 0, 0, 0),
                                        percent(0, 0, 0, 10)};
    unsigned short found[11] = {};
    EXPECT_EQ(GetGrayColorPatches(3, inks.data(), 11, 4, found), 2.0);
    EXPECT_EQ(found[0], 0);
    EXPECT_EQ(found[1], 2);
}

TEST(GreyPatchSearch, MatchesWithinATenthOfAPercent) {
    // Table 3 row (25, 18.88, 18.88, 0); the make-up arrives on 0..255 and
    // is rounded to two decimals of a percent.
    std::vector<ColorQuadruple> inks = {percent(25, 18.88, 18.88, 0), percent(25, 18.95, 18.88, 0),
                                        percent(25, 19.0, 18.88, 0)};
    unsigned short found[7] = {};
    EXPECT_EQ(GetGrayColorPatches(3, inks.data(), 7, 3, found), 2.0);
    EXPECT_EQ(found[1], 1);
    // Tables 0 and 1 are the same ramp.
    std::vector<ColorQuadruple> ramp = {percent(40, 27, 27, 0)};
    EXPECT_EQ(GetGrayColorPatches(1, ramp.data(), 7, 0, found), 1.0);
    EXPECT_EQ(GetGrayColorPatches(1, ramp.data(), 7, 1, found), 1.0);
    EXPECT_EQ(GetGrayColorPatches(1, ramp.data(), 7, 2, found), 0.0);
}

TEST(GreyPatchSearch, StopsAtMaxFoundOrTheTableSize) {
    std::vector<ColorQuadruple> inks(9, percent(0, 0, 0, 100));
    unsigned short found[16] = {};
    EXPECT_EQ(GetGrayColorPatches(9, inks.data(), 3, 5, found), 3.0);
    EXPECT_EQ(GetGrayColorPatches(9, inks.data(), 16, 5, found), 5.0);  // table 5: 5 rows
    EXPECT_EQ(found[4], 4);
}

TEST(GreyPatchSearch, UnknownTablesAndBadArgumentsFindNothing) {
    std::vector<ColorQuadruple> inks = {percent(0, 0, 0, 50)};
    unsigned short found[4] = {7, 7, 7, 7};
    EXPECT_EQ(GetGrayColorPatches(1, inks.data(), 4, 6, found), 0.0);
    EXPECT_EQ(GetGrayColorPatches(1, inks.data(), 4, -1, found), 0.0);
    EXPECT_EQ(GetGrayColorPatches(1, nullptr, 4, 4, found), 0.0);
    EXPECT_EQ(GetGrayColorPatches(1, inks.data(), 4, 4, nullptr), 0.0);
    EXPECT_EQ(GetGrayColorPatches(0, inks.data(), 4, 4, found), 0.0);
    EXPECT_EQ(GetGrayColorPatches(-3, inks.data(), 4, 4, found), 0.0);
    EXPECT_EQ(GetGrayColorPatches(1, inks.data(), 0, 4, found), 0.0);
    EXPECT_EQ(found[0], 7);
}

struct DarkSet {
    std::vector<ColorQuadruple> inks;
    std::vector<LabRecord> first;
    std::vector<LabRecord> second;
};

// Five dark make-ups between light patches; darkest L 12 in the first
// measurement, 15 in the second.
DarkSet makeDarkSet() {
    DarkSet s;
    const auto add = [&](ColorQuadruple inks, double L1, double L2) {
        s.inks.push_back(inks);
        s.first.push_back(LabRecord{L1, 0, 0});
        s.second.push_back(LabRecord{L2, 0, 0});
    };
    add(percent(0, 0, 0, 0), 95, 94);
    add(percent(0, 0, 0, 100), 18, 20);
    add(percent(100, 0, 0, 100), 14, 15);
    add(percent(50, 0, 0, 0), 5, 5);  // light make-up, low L: must be ignored
    add(percent(0, 100, 0, 100), 12, 16);
    add(percent(0, 0, 100, 100), 16, 18);
    add(percent(100, 100, 100, 0), 22, 19);
    add(percent(0, 0, 0, 100), 1, 1);  // a sixth dark patch after the fifth
    return s;
}

TEST(DarkAreas, DifferenceOfTheDarkestOfFive) {
    DarkSet s = makeDarkSet();
    EXPECT_DOUBLE_EQ(
        GetDeltaLFograMediaRelativeDarkAreas(static_cast<int>(s.inks.size()), s.inks.data(),
                                             s.first.data(), s.second.data()),
        3.0);
}

TEST(DarkAreas, FewerThanFiveGiveMinusOne) {
    DarkSet s = makeDarkSet();
    // The first six patches hold only four dark ones.
    EXPECT_EQ(
        GetDeltaLFograMediaRelativeDarkAreas(6, s.inks.data(), s.first.data(), s.second.data()),
        -1.0);
    EXPECT_EQ(GetDeltaLFograMediaRelativeDarkAreas(8, nullptr, s.first.data(), s.second.data()),
              -1.0);
    EXPECT_EQ(GetDeltaLFograMediaRelativeDarkAreas(8, s.inks.data(), nullptr, s.second.data()),
              -1.0);
    EXPECT_EQ(
        GetDeltaLFograMediaRelativeDarkAreas(0, s.inks.data(), s.first.data(), s.second.data()),
        -1.0);
}

}  // namespace
