// FD-5BT (id 35) and Spyder Print (id 36) charts made through createChart
// and read back with libtiff by the i1 page checks: page size, channels and
// photometric per mode, the bytes at every patch centre, end patches or
// bars, the frame and the strip numbers.
//
// Hand-worked layouts (mm; 90 patches unless said):
// - FD-5BT, A4: margins 8/26/20/20, patch 8 x 10, gaps 0.4/1.6, leader
//   max(10, 11) + 1.6 = 12.6 each side. Usable 138.8 x 269 -> 12 x 32
//   cells; columns trimmed to 10 (divides 90), 9 strips; page 12.6+26+
//   10x11.6+1.6+20+12.6 = 188.8 x 9x8.4+28 = 103.6. Number x (1888 - 12 x
//   116) / 2 - 200 = 48 tenths, below 60: number at 6.0 mm, opening patch at
//   26.0, first patch at 37.6 mm, one every 11.6 mm.
// - FD-5BT, 180 x 80: usable 108.8 x 52 -> 9 x 6 cells, two pages; patch
//   stretched to 9.6 then 10 wide; 9 columns, 5 strips a page; page 177.2 x
//   70; number x (1772 - 11 x 116) / 2 - 200 = 48 -> 6.0 mm.
// - FD-5BT, 3 sets: padded with paper to the instrument's 6; one strip of 6,
//   page 142.4 wide, at least 8 + 8 + 0.8 + 20 = 36.8 high.
// - Spyder Print, A4: margins 8/26/20/15, patch 12 x 20, gaps 1/2, no
//   leader. Usable 169 x 269 -> 7 x 20 cells; 6 columns (divides 90), 15
//   strips; page 26 + 6 x 22 + 2 + 15 = 175 x 15 x 13 + 28 = 223. Number x
//   (1750 - 220 x 6) / 2 - 200 = 15 -> 6.0 mm, 2 mm below the strip's top in
//   a box of a quarter patch; opening bar at 26.0 mm, first patch at 28.0.
// - Spyder Print, 150 x 100: usable 109 x 72 -> 5 x 5 cells, four pages;
//   patch 19.8 wide (109 / 5 - 2); 5 columns, strips 5, 5, 5, 3; page 152 x
//   93; number x (1520 - 218 x 5) / 2 - 200 = 15 -> 6.0 mm.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/EyeOnePages.h"
#include "host/HostFixture.h"

namespace hostcheck {
namespace {

struct StripCase {
    std::string label;
    IdMeasureInstrument id;
    double pageWidthMm;
    double pageHeightMm;
    std::size_t rows;
    Layout layout;
};

std::vector<std::pair<StripCase, ModeSpec>> stripCases() {
    using S = Strip;
    // clang-format off
    const std::vector<StripCase> families = {
        {"Fdx", MI_KM_FD5BT, 210, 297, 90,
         {{9}, 10, 1888, 1036, 80, 84, 80, 100, 16, S::BarThenGap, 260, 60, 40}},
        {"FdxTwoPages", MI_KM_FD5BT, 180, 80, 90,
         {{5, 5}, 9, 1772, 700, 80, 84, 80, 100, 16, S::BarThenGap, 260, 60, 40}},
        {"FdxThreeSets", MI_KM_FD5BT, 210, 297, 3,
         {{1}, 6, 1424, 368, 80, 84, 80, 100, 16, S::BarThenGap, 260, 60, 40}},
        {"Spyder", MI_SPYDERPRINT, 210, 297, 90,
         {{15}, 6, 1750, 2230, 80, 130, 120, 200, 20, S::LightnessBars, 260, 60, 30}},
        {"SpyderFourPages", MI_SPYDERPRINT, 150, 100, 90,
         {{5, 5, 5, 3}, 5, 1520, 930, 80, 130, 120, 198, 20, S::LightnessBars, 260, 60, 30}},
    };
    // clang-format on
    std::vector<std::pair<StripCase, ModeSpec>> cases;
    std::size_t sampled = 0;
    for (const ModeSpec& m : allModes()) {
        for (const StripCase& c : families) {
            // A quick run keeps CMYK and every third other case.
            if (m.mode == CM_CMYK || !quickRun() || sampled++ % 3 == 0) {
                cases.push_back({c, m});
            }
        }
    }
    return cases;
}

class HandheldStripChart : public HostFolder,
                           public ::testing::WithParamInterface<std::pair<StripCase, ModeSpec>> {};

TEST_P(HandheldStripChart, DrawsEveryStripWhereTheLayoutPutsIt) {
    const StripCase& c = GetParam().first;
    const ModeSpec& m = GetParam().second;
    writeReference(path("reference.txt"), m, c.rows, "");
    const Made made =
        make(c.id, "chart.tif", path("reference.txt"), c.pageWidthMm, c.pageHeightMm, m.mode);
    ASSERT_EQ(made.result, 1);
    EXPECT_EQ(made.strips, c.layout.strips.front());
    EXPECT_EQ(made.columns, c.layout.columns);
    std::set<std::string> expectedFiles{"chart.tif", "reference.txt"};
    std::vector<std::string> pages = {path("chart.tif")};
    for (std::size_t p = 1; p < c.layout.strips.size(); ++p) {
        expectedFiles.insert("chart.tif_" + std::to_string(p) + ".tif");
        pages.push_back(path("chart.tif_" + std::to_string(p) + ".tif"));
    }
    ASSERT_EQ(files(), expectedFiles);  // no side file
    expectStripPages(pages, m, c.rows, false, c.layout);
}

INSTANTIATE_TEST_SUITE_P(Charts, HandheldStripChart, ::testing::ValuesIn(stripCases()),
                         [](const ::testing::TestParamInfo<std::pair<StripCase, ModeSpec>>& param) {
                             return param.param.first.label + "_" + param.param.second.label;
                         });

}  // namespace
}  // namespace hostcheck
