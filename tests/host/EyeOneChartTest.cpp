// i1 charts (EyeOneRev1 for ids 11, 13, 15; EyeOnePro2 for 21, 22; EyeOneV
// for 20) made as a host makes them, through createChart of the shared
// library, and read back with libtiff: page size and resolution, channels and
// photometric per colour mode, the bytes at the centre of every patch, the
// black opening and yellow closing patches, the half-gap bars or contrast
// separators between patches, the dashed page frame and the strip numbers.
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
#include <gtest/gtest.h>

#include <ostream>
#include <set>
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
    double pageWidthMm;
    double pageHeightMm;
    std::string keywords;  // header lines of the reference
    std::size_t rows;      // of the reference; the long ones in CMYK alone
    Layout layout;
};

struct ChartCase {
    std::string label;
    IdMeasureInstrument id;
    ModeSpec mode;
    Family family;
};

// Test names and failure messages show a case by its label.
void PrintTo(const ChartCase& c, std::ostream* out) {
    *out << c.label;
}

std::vector<ChartCase> chartCases() {
    const std::vector<IdMeasureInstrument> rev1 = {MI_EYEONE, MI_QUILLEYE, MI_LUMO10};
    const std::vector<IdMeasureInstrument> pro2 = {MI_LUMO20, MI_EYEONEPRO2};
    const std::string low = "LOWRES 1\n";
    const std::string zebra = "ZEBRA_RULER_MODE 1\n";
    using S = Strip;
    // clang-format off
    const std::vector<Family> families = {
        {"Rev1", rev1, 210, 297, "", 90,
         {{6}, 15, 1992, 834, 80, 84, 80, 80, 12, S::BarThenGap, 250, 50, 40}},
        {"Rev1TwoPages", rev1, 180, 70, "", 90,
         {{4, 3}, 13, 1808, 666, 80, 84, 80, 80, 12, S::BarThenGap, 250, 50, 40}},
        {"Rev1LowRes", rev1, 210, 297, low, 90,
         {{15}, 6, 1810, 2150, 100, 120, 100, 150, 30, S::Contrast, 320, 20, 50}},
        {"Pro2", pro2, 210, 297, "", 90,
         {{6}, 15, 2024, 834, 80, 84, 80, 80, 14, S::GapThenBar, 250, 50, 40}},
        {"Pro2TwoPages", pro2, 170, 80, "", 90,
         {{5, 4}, 11, 1648, 750, 80, 84, 80, 80, 14, S::GapThenBar, 250, 50, 40}},
        {"Pro2Zebra", pro2, 210, 297, zebra, 90,
         {{5}, 18, 2106, 750, 80, 84, 80, 80, 14, S::Zebra, 250, 50, 40}},
        {"Pro2LowRes", pro2, 210, 297, low, 90,
         {{15}, 6, 1740, 2150, 100, 120, 100, 150, 20, S::Contrast, 280, 30, 50}},
        {"Pro2LowResZebra", pro2, 210, 297, low + zebra, 90,
         {{9}, 10, 1798, 1340, 100, 110, 100, 120, 18, S::ContrastNoOpening, 162, 10, 50}},
        {"EyeOneV", {MI_EYEONE_LOWRES}, 210, 297, "", 90,
         {{15}, 6, 1730, 1830, 50, 110, 100, 150, 20, S::Contrast, 200, 10, 50}},
        {"Rev1Long", {MI_EYEONE}, 210, 297, "", 1500,
         {{24, 24, 24, 22}, 16, 2084, 2346, 80, 84, 80, 80, 12, S::BarThenGap, 250, 50, 40}},
        {"Pro2ZebraLong_GreyMarkers", {MI_LUMO20}, 210, 297, zebra, 1500,
         {{28, 28, 28}, 18, 2106, 2683, 80, 84, 80, 80, 14, S::Zebra, 250, 50, 40}},
    };
    // clang-format on
    std::vector<ChartCase> cases;
    std::size_t sampled = 0;
    for (const ModeSpec& m : allModes()) {
        for (const Family& f : families) {
            for (const IdMeasureInstrument id : f.ids) {
                // The long references in CMYK alone; a quick run keeps CMYK
                // and every third of the other cases.
                if (m.mode != CM_CMYK && (f.rows != 90 || (quickRun() && sampled++ % 3 != 0))) {
                    continue;
                }
                cases.push_back({f.name + "_Id" + std::to_string(id) + "_" + m.label, id, m, f});
            }
        }
    }
    return cases;
}

class EyeOneChart : public HostFolder, public ::testing::WithParamInterface<ChartCase> {};

TEST_P(EyeOneChart, DrawsEveryStripWhereTheLayoutPutsIt) {
    const ChartCase& c = GetParam();
    const Family& f = c.family;
    writeReference(path("reference.txt"), c.mode, f.rows, f.keywords);
    const Made made =
        make(c.id, "chart.tif", path("reference.txt"), f.pageWidthMm, f.pageHeightMm, c.mode.mode);
    ASSERT_EQ(made.result, 1);
    EXPECT_EQ(made.strips, f.layout.strips.front());
    EXPECT_EQ(made.columns, f.layout.columns);

    const std::vector<std::string> names = pageFiles("chart.tif", f.layout.strips.size());
    std::set<std::string> expectedFiles(names.begin(), names.end());
    expectedFiles.insert("reference.txt");
    const std::vector<std::string> pages = pagePaths("chart.tif", f.layout.strips.size());
    ASSERT_EQ(files(), expectedFiles);
    // Id 21 with a zebra ruler pads paper, grey, paper, ...
    expectStripPages(pages, c.mode, f.rows, c.id == MI_LUMO20 && f.layout.strip == Strip::Zebra,
                     f.layout);
}

INSTANTIATE_TEST_SUITE_P(Charts, EyeOneChart, ::testing::ValuesIn(chartCases()),
                         [](const ::testing::TestParamInfo<ChartCase>& param) {
                             return param.param.label;
                         });

}  // namespace
}  // namespace readback
