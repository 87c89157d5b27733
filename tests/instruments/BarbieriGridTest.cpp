// The Barbieri control file's figures from a finished layout: hand-worked
// numbers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "instruments/BarbieriGrid.h"
#include "instruments/LayoutTestSupport.h"

namespace GenChartLib {
namespace {

// The value of "key=" in the control file, up to its CR LF.
std::string figure(const std::string& text, const std::string& key) {
    const auto from = text.find("\r\n" + key + "=") + key.size() + 3;
    return from < key.size() + 3 ? "missing" : text.substr(from, text.find("\r\n", from) - from);
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
        std::vector<std::string> got;
        for (const char* key : {"Patches_X", "Patches_Y", "Number_of_Patches", "Number_of_Pages",
                                "Target_Size_X", "Target_Size_Y"}) {
            got.push_back(figure(text, key));
        }
        EXPECT_EQ(got, c.want);
    }
}

TEST(BarbieriControlFile, NotWrittenWithoutPages) {
    readback::TempFolder folder;
    ChartParams params;
    params.outputName = folder.file("chart.tif.tmp");
    writeBarbieriControlFile(BarbieriTable::SpectroLfp, params, 90, "Test: %s");
    EXPECT_TRUE(folder.entries().empty());
}

}  // namespace
}  // namespace GenChartLib
