#include <gtest/gtest.h>

#include <vector>

#include "OrvoChartInterface.h"

namespace {

// A make-up in percent on the 0..255 scale of the patch sets.
ColorQuadruple percent(double c, double m, double y, double k) {
    return ColorQuadruple{c * 2.55, m * 2.55, y * 2.55, k * 2.55};
}

TEST(GreyPatchSearch, FindsTableRowsInPatchOrderWithinATenthOfAPercent) {
    ColorQuadruple blacks[] = {percent(0, 0, 0, 50), percent(30, 0, 0, 0), percent(0, 0, 0, 10)};
    unsigned short found[16] = {};
    EXPECT_EQ(GetGrayColorPatches(3, blacks, 11, 4, found), 2.0);
    EXPECT_TRUE(found[0] == 0 && found[1] == 2);
    // Table 3 row (25, 18.88, 18.88, 0); the make-up arrives on 0..255 and
    // is rounded to two decimals of a percent.
    ColorQuadruple greys[] = {percent(25, 18.88, 18.88, 0), percent(25, 18.95, 18.88, 0),
                              percent(25, 19.0, 18.88, 0)};
    EXPECT_EQ(GetGrayColorPatches(3, greys, 7, 3, found), 2.0);
    EXPECT_EQ(found[1], 1);
    // Tables 0 and 1 are the same ramp, table 2 another.
    ColorQuadruple ramp = percent(40, 27, 27, 0);
    for (const int table : {0, 1, 2}) {
        EXPECT_EQ(GetGrayColorPatches(1, &ramp, 7, table, found), table < 2 ? 1.0 : 0.0) << table;
    }
    // The search stops at maxFound or at the size of the table (table 5: 5 rows).
    std::vector<ColorQuadruple> solids(9, percent(0, 0, 0, 100));
    EXPECT_EQ(GetGrayColorPatches(9, solids.data(), 3, 5, found), 3.0);
    EXPECT_EQ(GetGrayColorPatches(9, solids.data(), 16, 5, found), 5.0);
    EXPECT_EQ(found[4], 4);
}

TEST(GreyPatchSearch, UnknownTablesAndBadArgumentsFindNothing) {
    ColorQuadruple inks = percent(0, 0, 0, 50);
    unsigned short found[4] = {7, 7, 7, 7};
    const int cases[][3] = {{1, 4, 6}, {1, 4, -1}, {0, 4, 4}, {-3, 4, 4}, {1, 0, 4}};
    for (const auto& [count, maxFound, table] : cases) {
        EXPECT_EQ(GetGrayColorPatches(count, &inks, maxFound, table, found), 0.0) << count;
    }
    EXPECT_EQ(GetGrayColorPatches(1, nullptr, 4, 4, found), 0.0);
    EXPECT_EQ(GetGrayColorPatches(1, &inks, 4, 4, nullptr), 0.0);
    EXPECT_EQ(found[0], 7);
}

// Five dark make-ups between light patches (patch 3, light yet of low L, must
// be ignored), then a sixth; darkest L of the five 12 in the first
// measurement, 15 in the second.
TEST(DarkAreas, DifferenceOfTheDarkestOfTheFirstFive) {
    std::vector<ColorQuadruple> inks = {percent(0, 0, 0, 0),       percent(0, 0, 0, 100),
                                        percent(100, 0, 0, 100),   percent(50, 0, 0, 0),
                                        percent(0, 100, 0, 100),   percent(0, 0, 100, 100),
                                        percent(100, 100, 100, 0), percent(0, 0, 0, 100)};
    const double lightness[][2] = {{95, 94}, {18, 20}, {14, 15}, {5, 5},
                                   {12, 16}, {16, 18}, {22, 19}, {1, 1}};
    std::vector<LabRecord> first, second;
    for (const auto& [L1, L2] : lightness) {
        first.push_back(LabRecord{L1, 0, 0});
        second.push_back(LabRecord{L2, 0, 0});
    }
    ColorQuadruple* in = inks.data();
    EXPECT_DOUBLE_EQ(GetDeltaLFograMediaRelativeDarkAreas(8, in, first.data(), second.data()), 3.0);
    // The first six patches hold only four dark ones.
    EXPECT_EQ(GetDeltaLFograMediaRelativeDarkAreas(6, in, first.data(), second.data()), -1.0);
    EXPECT_EQ(GetDeltaLFograMediaRelativeDarkAreas(8, nullptr, first.data(), second.data()), -1.0);
    EXPECT_EQ(GetDeltaLFograMediaRelativeDarkAreas(8, in, nullptr, second.data()), -1.0);
    EXPECT_EQ(GetDeltaLFograMediaRelativeDarkAreas(0, in, first.data(), second.data()), -1.0);
}

}  // namespace
