// Handheld strip charts (EyeOneRev1 for ids 11, 13, 15; EyeOnePro2 for 21,
// 22; EyeOneV for 20; KM_FDx for 35; SpyderPrint for 36) made as a host makes them, through
// createChart of the shared library, and read back with libtiff: page size and resolution, channels
// and photometric per colour mode, the bytes at the centre of every patch, the black opening and
// yellow closing patches, the half-gap bars or contrast separators between patches, the dashed page
// frame and the strip numbers.
//
// Layouts worked out by hand from the instrument geometry (mm; page sizes are
// A4 unless said otherwise; 90 patches):
// - EyeOneRev1, mode 0: margins 8/25/25/15, 8 x 8 patches, gaps 0.4/1.2, a
//   10 mm leader each side. Usable 150 x 264 -> 16 x 31 cells; one page,
//   columns trimmed to 15 (divides 90), 6 strips. Page 10+25+15x9.2+1.2+15+10
//   = 199.2 wide, 6x8.4+33 = 83.4 high. The label offset is 20 mm since
//   (1992 - 92x15) / 2 > 200 tenths: number at 5.0 mm, opening patch at
//   25.0 mm, first patch at 25 + 8 + 1.2 = 34.2 mm, one every 9.2 mm.
// - The same on 180 x 70: usable 120 x 37 -> 13 x 4 cells, two pages; 4
//   strips on the first, ceil((90 - 52) / 13) = 3 on the last; page 180.8 x
//   66.6. Strip numbers 1-4 and 5-7.
// - EyeOnePro2, mode 0: gaps 0.4/1.4. A4: 16 x 31 cells, 15 columns, 6
//   strips, page 202.4 x 83.4. Half gaps of 0.7 mm, the black one just
//   before each patch: first patch at 25 + 8 + 1.4 = 34.4 mm, every 9.4 mm.
//   On 170 x 80: usable 110 x 47 -> 11 x 5 cells, pages of 5 and 4 strips,
//   164.8 x 75.
// - EyeOnePro2 with a zebra ruler: no leader, usable 170 mm -> 18 columns
//   (divides 90), 5 strips, page 25 + 18x9.4 + 1.4 + 15 = 210.6 x 75.0; the
//   strip starts at 25 mm with a white and a black half gap.
// - EyeOneV, mode 0: margins 5/15/13/20, 10 x 15 patches, gaps 1/2, leader
//   15 + 2 = 17 mm, greatest page 260 high. Usable 141 x 242 -> 8 x 22
//   cells; the layout search picks 15 x 6 (no waste); page 17+15+6x17+2+20+
//   17 = 173 x 183. The number's x, 15 + 17 - 2 - 15 - 20 mm, lies left of
//   the page, so it stands at 1.0 mm; the strip starts at 20.0 mm: opening
//   patch, 2 mm gap, patches every 17 mm from 37.0 mm.
// - Low resolution ("LOWRES 1", quality mode 2): margins 10/25/25/15,
//   10 x 15 patches. EyeOneRev1 (gaps 2/3, leader 15): usable 140 x 262 ->
//   7 x 22 cells, 6 columns, 15 strips, page 181 x 215; number at 2.0 mm,
//   strip 30 mm further right. EyeOnePro2 (gaps 2/2): 8 x 22 cells, 6
//   columns, 15 strips, page 174 x 215; number at 3.0 mm, strip 25 mm right.
// - Low resolution with a zebra ruler: 10 x 12 patches, gaps 1.0/1.8, no
//   leader: usable 170 x 262 -> 12 x 23 cells, 10 columns, 9 strips, page
//   179.8 x 134. The number would stand at -8.8 mm and is drawn at 1.0 mm;
//   the strip starts at 16.2 mm with a gap, no opening patch.
// - 1500 CMYK patches, EyeOneRev1, A4: 4 pages of 24, 24, 24 and 22
//   strips of 16 (1500 = 3 x 384 + 348), page 208.4 x 234.6. EyeOnePro2 with
//   a zebra ruler (id 21): 3 pages of 28 x 18, page 210.6 x 268.3; the 12
//   padding patches alternate paper and grey (K 125). (8.4 x 28 + 33 is
//   268.20000000000005 in doubles, which the page's ceiling to 0.1 mm takes
//   up to 268.3.)
// - FD-5BT, A4: margins 8/26/20/20, patch 8 x 10, gaps 0.4/1.6, leader
//   max(10, 11) + 1.6 = 12.6 each side. Usable 138.8 x 269 -> 12 x 32
//   cells; columns trimmed to 10, 9 strips; page 12.6+26+10x11.6+1.6+20+
//   12.6 = 188.8 x 9x8.4+28 = 103.6. Number x (1888 - 12 x 116) / 2 - 200 =
//   48 tenths, below 60: number at 6.0 mm, opening patch at 26.0 mm.
// - FD-5BT, 180 x 80: usable 108.8 x 52 -> 9 x 6 cells, two pages; patch
//   stretched to 9.6 then 10 wide; 9 columns, 5 strips a page; page 177.2 x
//   70; number x (1772 - 11 x 116) / 2 - 200 = 48 -> 6.0 mm.
// - FD-5BT, 3 sets: padded with paper to 6; one strip of 6, page 142.4 wide,
//   at least 8 + 8 + 0.8 + 20 = 36.8 high.
// - Spyder Print, A4: margins 8/26/20/15, patch 12 x 20, gaps 1/2, no
//   leader. Usable 169 x 269 -> 7 x 20 cells; 6 columns, 15 strips; page 26
//   + 6 x 22 + 2 + 15 = 175 x 15 x 13 + 28 = 223. Number x (1750 - 220 x 6)
//   / 2 - 200 = 15 -> 6.0 mm, 2 mm below the strip's top in a box of a
//   quarter patch; opening bar at 26.0 mm, first patch at 28.0.
// - Spyder Print, 150 x 100: usable 109 x 72 -> 5 x 5 cells, four pages;
//   patch 19.8 wide (109 / 5 - 2); 5 columns, strips 5, 5, 5, 3; page 152 x
//   93; number x (1520 - 218 x 5) / 2 - 200 = 15 -> 6.0 mm.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/EyeOnePages.h"

namespace readback {
namespace {

// A chart family: the ids, page and reference it is made with, and its
// hand-worked layout.
struct Family {
    std::string name;
    std::vector<IdMeasureInstrument> ids;
    double pageWidthMm, pageHeightMm;
    std::string keywords;  // header lines of the reference
    std::size_t rows;      // of the reference; the long ones in CMYK alone
    Layout layout;
};

const std::vector<IdMeasureInstrument> kRev1 = {MI_EYEONE, MI_QUILLEYE, MI_LUMO10};
const std::vector<IdMeasureInstrument> kPro2 = {MI_LUMO20, MI_EYEONEPRO2};
const std::string kLow = "LOWRES 1\n", kZebra = "ZEBRA_RULER_MODE 1\n";
using S = Strip;

// clang-format off
const std::vector<Family> kFamilies = {
    {"Rev1", kRev1, 210, 297, "", 90,
     {{6}, 15, 1992, 834, 80, 84, 80, 80, 12, S::BarThenGap, 250, 50, 40}},
    {"Rev1TwoPages", kRev1, 180, 70, "", 90,
     {{4, 3}, 13, 1808, 666, 80, 84, 80, 80, 12, S::BarThenGap, 250, 50, 40}},
    {"Rev1LowRes", kRev1, 210, 297, kLow, 90,
     {{15}, 6, 1810, 2150, 100, 120, 100, 150, 30, S::Contrast, 320, 20, 50}},
    {"Pro2", kPro2, 210, 297, "", 90,
     {{6}, 15, 2024, 834, 80, 84, 80, 80, 14, S::GapThenBar, 250, 50, 40}},
    {"Pro2TwoPages", kPro2, 170, 80, "", 90,
     {{5, 4}, 11, 1648, 750, 80, 84, 80, 80, 14, S::GapThenBar, 250, 50, 40}},
    {"Pro2Zebra", kPro2, 210, 297, kZebra, 90,
     {{5}, 18, 2106, 750, 80, 84, 80, 80, 14, S::Zebra, 250, 50, 40}},
    {"Pro2LowRes", kPro2, 210, 297, kLow, 90,
     {{15}, 6, 1740, 2150, 100, 120, 100, 150, 20, S::Contrast, 280, 30, 50}},
    {"Pro2LowResZebra", kPro2, 210, 297, kLow + kZebra, 90,
     {{9}, 10, 1798, 1340, 100, 110, 100, 120, 18, S::ContrastNoOpening, 162, 10, 50}},
    {"EyeOneV", {MI_EYEONE_LOWRES}, 210, 297, "", 90,
     {{15}, 6, 1730, 1830, 50, 110, 100, 150, 20, S::Contrast, 200, 10, 50}},
    {"Rev1Long", {MI_EYEONE}, 210, 297, "", 1500,
     {{24, 24, 24, 22}, 16, 2084, 2346, 80, 84, 80, 80, 12, S::BarThenGap, 250, 50, 40}},
    {"Pro2ZebraLong_GreyMarkers", {MI_LUMO20}, 210, 297, kZebra, 1500,
     {{28, 28, 28}, 18, 2106, 2683, 80, 84, 80, 80, 14, S::Zebra, 250, 50, 40}},
    {"Fdx", {MI_KM_FD5BT}, 210, 297, "", 90,
     {{9}, 10, 1888, 1036, 80, 84, 80, 100, 16, S::BarThenGap, 260, 60, 40}},
    {"FdxTwoPages", {MI_KM_FD5BT}, 180, 80, "", 90,
     {{5, 5}, 9, 1772, 700, 80, 84, 80, 100, 16, S::BarThenGap, 260, 60, 40}},
    {"FdxThreeSets", {MI_KM_FD5BT}, 210, 297, "", 3,
     {{1}, 6, 1424, 368, 80, 84, 80, 100, 16, S::BarThenGap, 260, 60, 40}},
    {"Spyder", {MI_SPYDERPRINT}, 210, 297, "", 90,
     {{15}, 6, 1750, 2230, 80, 130, 120, 200, 20, S::LightnessBars, 260, 60, 30}},
    {"SpyderFourPages", {MI_SPYDERPRINT}, 150, 100, "", 90,
     {{5, 5, 5, 3}, 5, 1520, 930, 80, 130, 120, 198, 20, S::LightnessBars, 260, 60, 30}},
};
// clang-format on

class EyeOneChart : public HostFolder, public ::testing::WithParamInterface<FamilyCase<Family>> {};

TEST_P(EyeOneChart, DrawsEveryStripWhereTheLayoutPutsIt) {
    const FamilyCase<Family>& c = GetParam();
    writeReference(path("ref.txt"), c.mode, c.f.rows, c.f.keywords);
    ASSERT_TRUE(makes(c.id, "chart.tif", path("ref.txt"), c.f.pageWidthMm, c.f.pageHeightMm,
                      c.mode.mode, c.f.layout.strips.front(), c.f.layout.columns));
    // Id 21 with a zebra ruler pads paper, grey, paper, ...
    expectStripPages(chartFiles("chart.tif", c.f.layout.strips.size()), c.mode, c.f.rows,
                     c.id == MI_LUMO20 && c.f.layout.strip == Strip::Zebra, c.f.layout);
}

// The long references in CMYK alone.
bool takes(const Family& f, ColorMode m) {
    return f.rows == 90 || m == CM_CMYK;
}

INSTANTIATE_TEST_SUITE_P(Charts, EyeOneChart, ::testing::ValuesIn(familyCases(kFamilies, 3, takes)),
                         kByLabel);

}  // namespace
}  // namespace readback
