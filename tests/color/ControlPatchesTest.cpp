#include <gtest/gtest.h>

#include <vector>

#include "OrvoChartInterface.h"

namespace {

// A make-up in percent on the 0..255 scale of the patch sets.
ColorQuadruple percent(double c, double m, double y, double k) {
    return ColorQuadruple{c * 2.55, m * 2.55, y * 2.55, k * 2.55};
}

TEST(GreyPatchSearch, FindsTableRowsInPatchOrderWithinATenthOfAPercent) {
    std::vector<ColorQuadruple> blacks = {percent(0, 0, 0, 50), percent(30, 0, 0, 0),
                                          percent(0, 0, 0, 10)};
    unsigned short found[11] = {};
    EXPECT_EQ(GetGrayColorPatches(3, blacks.data(), 11, 4, found), 2.0);
    EXPECT_EQ(found[0], 0);
    EXPECT_EQ(found[1], 2);
    // Table 3 row (25, 18.88, 18.88, 0); the make-up arrives on 0..255 and
    // is rounded to two decimals of a percent.
    std::vector<ColorQuadruple> greys = {percent(25, 18.88, 18.88, 0), percent(25, 18.95, 18.88, 0),
                                         percent(25, 19.0, 18.88, 0)};
    EXPECT_EQ(GetGrayColorPatches(3, greys.data(), 7, 3, found), 2.0);
    EXPECT_EQ(found[1], 1);
    // Tables 0 and 1 are the same ramp, table 2 another.
    ColorQuadruple ramp = percent(40, 27, 27, 0);
    for (const int table : {0, 1, 2}) {
        EXPECT_EQ(GetGrayColorPatches(1, &ramp, 7, table, found), table < 2 ? 1.0 : 0.0) << table;
    }
}

TEST(GreyPatchSearch, StopsAtMaxFoundOrTheTableSize) {
    std::vector<ColorQuadruple> inks(9, percent(0, 0, 0, 100));
    unsigned short found[16] = {};
    EXPECT_EQ(GetGrayColorPatches(9, inks.data(), 3, 5, found), 3.0);
    EXPECT_EQ(GetGrayColorPatches(9, inks.data(), 16, 5, found), 5.0);  // table 5: 5 rows
    EXPECT_EQ(found[4], 4);
}

TEST(GreyPatchSearch, UnknownTablesAndBadArgumentsFindNothing) {
    ColorQuadruple inks = percent(0, 0, 0, 50);
    unsigned short found[4] = {7, 7, 7, 7};
    EXPECT_EQ(GetGrayColorPatches(1, &inks, 4, 6, found), 0.0);
    EXPECT_EQ(GetGrayColorPatches(1, &inks, 4, -1, found), 0.0);
    EXPECT_EQ(GetGrayColorPatches(1, nullptr, 4, 4, found), 0.0);
    EXPECT_EQ(GetGrayColorPatches(1, &inks, 4, 4, nullptr), 0.0);
    EXPECT_EQ(GetGrayColorPatches(0, &inks, 4, 4, found), 0.0);
    EXPECT_EQ(GetGrayColorPatches(-3, &inks, 4, 4, found), 0.0);
    EXPECT_EQ(GetGrayColorPatches(1, &inks, 0, 4, found), 0.0);
    EXPECT_EQ(found[0], 7);
}

// Five dark make-ups between light patches, then a sixth; darkest L of the
// five 12 in the first measurement, 15 in the second.
TEST(DarkAreas, DifferenceOfTheDarkestOfTheFirstFive) {
    std::vector<ColorQuadruple> inks;
    std::vector<LabRecord> first, second;
    const auto add = [&](ColorQuadruple ink, double L1, double L2) {
        inks.push_back(ink);
        first.push_back(LabRecord{L1, 0, 0});
        second.push_back(LabRecord{L2, 0, 0});
    };
    add(percent(0, 0, 0, 0), 95, 94);
    add(percent(0, 0, 0, 100), 18, 20);
    add(percent(100, 0, 0, 100), 14, 15);
    add(percent(50, 0, 0, 0), 5, 5);  // light make-up, low L: must be ignored
    add(percent(0, 100, 0, 100), 12, 16);
    add(percent(0, 0, 100, 100), 16, 18);
    add(percent(100, 100, 100, 0), 22, 19);
    add(percent(0, 0, 0, 100), 1, 1);  // a sixth dark patch after the fifth
    EXPECT_DOUBLE_EQ(
        GetDeltaLFograMediaRelativeDarkAreas(8, inks.data(), first.data(), second.data()), 3.0);
    // The first six patches hold only four dark ones.
    EXPECT_EQ(GetDeltaLFograMediaRelativeDarkAreas(6, inks.data(), first.data(), second.data()),
              -1.0);
    EXPECT_EQ(GetDeltaLFograMediaRelativeDarkAreas(8, nullptr, first.data(), second.data()), -1.0);
    EXPECT_EQ(GetDeltaLFograMediaRelativeDarkAreas(8, inks.data(), nullptr, second.data()), -1.0);
    EXPECT_EQ(GetDeltaLFograMediaRelativeDarkAreas(0, inks.data(), first.data(), second.data()),
              -1.0);
}

}  // namespace
