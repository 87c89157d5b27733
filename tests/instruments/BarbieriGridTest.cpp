// The Barbieri control file's figures from a finished layout, and where the
// FD-5BT and Spyder Print cards put their strips: hand-worked numbers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "instruments/BarbieriGrid.h"
#include "instruments/EyeOneStrips.h"
#include "instruments/KM_FDx.h"
#include "instruments/LayoutTestSupport.h"
#include "instruments/SpyderPrint.h"

namespace GenChartLib {
namespace {

// The value of "key=" in the control file, up to its CR LF.
std::string figure(const std::string& text, const std::string& key) {
    const auto at = text.find("\r\n" + key + "=");
    if (at == std::string::npos) {
        return "missing";
    }
    const auto from = at + key.size() + 3;
    return text.substr(from, text.find("\r\n", from) - from);
}

TEST(BarbieriControlFile, StatesTheGridAsDrawn) {
    struct Case {
        const char* label;
        BarbieriTable table;
        double patchWidth, patchHeight, gapWidth, gapHeight;
        std::vector<std::pair<int, int>> pages;  // (columns, strips)
        std::size_t patchCount;                  // after padding
        std::vector<std::string> want;           // X, Y, patches, pages, target X, target Y
    };
    const auto lfp = BarbieriTable::SpectroLfp;
    const auto pad = BarbieriTable::SpectroPad;
    const std::vector<std::pair<int, int>> fourPages = {{10, 20}, {10, 20}, {10, 20}, {10, 7}};
    // clang-format off
    const std::vector<Case> cases = {
        {"OnePage", lfp, 8.0, 8.0, 0, 0, {{12, 20}}, 240, {"12", "20", "240", "1", "96", "160"}},
        {"OnePagePad", pad, 8.0, 8.0, 0, 0, {{12, 20}}, 240, {"12", "20", "240", "1", "96", "160"}},
        {"NarrowTargetStatesTheLeast", lfp, 8.0, 8.0, 0, 0, {{4, 2}}, 8, {"4", "2", "8", "1", "75", "16"}},
        {"PadCountsTheLastPageByItsGrid", pad, 8.0, 8.0, 0, 0, fourPages, 670, {"10", "20", "670", "4", "80", "160"}},
        {"LfpCountsEveryPageFull", lfp, 8.0, 8.0, 0, 0, fourPages, 670, {"10", "20", "800", "4", "80", "160"}},
        // 7.99 mm counts as 7.9; 7.2 + 1.0 mm over 15 columns is 123 mm.
        {"WidthTakenDownToTenths", lfp, 7.99, 8.0, 0, 0, {{10, 3}}, 30, {"10", "3", "30", "1", "79", "24"}},
        {"TenthsAddUpExactly", lfp, 7.2, 7.2, 1.0, 1.0, {{15, 15}}, 225, {"15", "15", "225", "1", "123", "123"}},
        // Trailing entries the patches never reach are no pages.
        {"UnreachedPagesUncounted", pad, 8.0, 8.0, 0, 0, {{10, 5}, {10, 5}, {10, 5}}, 100, {"10", "5", "100", "2", "80", "40"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ChartParams params;
        params.patchWidth = c.patchWidth;
        params.patchHeight = c.patchHeight;
        params.gapWidth = c.gapWidth;
        params.gapHeight = c.gapHeight;
        for (const auto& [columns, strips] : c.pages) {
            params.pages.push_back({0.0, 0.0, columns, strips});
        }
        const std::string text =
            barbieriControlText(c.table, params, pagesReceivingPatches(params, c.patchCount));
        const char* keys[] = {"Patches_X",       "Patches_Y",     "Number_of_Patches",
                              "Number_of_Pages", "Target_Size_X", "Target_Size_Y"};
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(figure(text, keys[i]), c.want[i]) << keys[i];
        }
        EXPECT_EQ(text.rfind("Spectro_xy_version=1\r\nFile_Format=BARBIERI", 0), 0U);
        EXPECT_EQ(text.size() - text.rfind("Use_AutoPositioning=1\r\n"), 23U);
    }
}

TEST(BarbieriControlFile, NamedAfterTheChartAndNotWrittenWithoutPages) {
    EXPECT_EQ(barbieriControlFileName("/a.b/chart.tif.tmp"), "/a.b/chart.tif.dcf");
    tifftest::TempFolder folder;
    ChartParams params;
    params.outputName = folder.file("chart.tif.tmp");
    writeBarbieriControlFile(BarbieriTable::SpectroLfp, params, 90, "Test: %s");
    EXPECT_TRUE(folder.entries().empty());
}

TEST(HandheldCard, PutsTheNumberInTheNarrowMargin) {
    // Card: left margin 8 mm, 10 x 8 mm patches, 1.6 mm gaps. FD-5BT: leader
    // 12.6 mm, 80 + 126 - 16 - 100 - 90 = 0, outside 10..50: number at 15,
    // strip at 105. Spyder Print (20 mm patches, 2 mm gaps): 80 - 20 - 200 -
    // 90 < 10, also 15 and 105; on a 210 mm page 8 columns give (2100 - 220 x
    // 8) / 2 - 200 = -30, so 60 and 260.
    HandheldStripGeometry fdx;
    fdx.left = 80;
    fdx.patchWidth = 100;
    fdx.patchHeight = 80;
    fdx.gapWidth = 16;
    HandheldStripGeometry spyder = fdx;
    spyder.patchWidth = 200;
    spyder.patchHeight = 120;
    spyder.gapWidth = 20;
    spyder.layoutWidth = 2100;
    const struct {
        const char* label;
        StripStart start;
        std::int64_t numberX, box, x;
    } cases[] = {{"FdxCard", FdxStripPlacement::onCard(fdx, 126), 15, 26, 105},
                 {"SpyderCard", SpyderStripPlacement::onCard(spyder), 15, 40, 105},
                 {"SpyderPage", SpyderStripPlacement::onPage(spyder, 8), 60, 30, 260}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.start.numberX, c.numberX);
        EXPECT_EQ(c.start.numberBoxHeight, c.box);
        EXPECT_EQ(c.start.x, c.x);
    }
}

}  // namespace
}  // namespace GenChartLib
