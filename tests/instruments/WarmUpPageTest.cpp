// The warm-up page: how the patch list is repeated over the page (worked out
// by hand from the page and patch sizes), its geometry, and what it writes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "api/ErrorCodes.h"
#include "host/PdfProbe.h"
#include "instruments/WarmUpPage.h"
#include "outside/DebugLog.h"

namespace GenChartLib {
namespace {

namespace fs = std::filesystem;

struct Cell {
    Point corner;
    std::size_t index;
};

std::vector<Cell> cellsOf(const WarmUpGrid& grid, std::size_t listLength) {
    std::vector<Cell> cells;
    grid.forEachCell(listLength, [&](Point p, std::size_t i) { cells.push_back({p, i}); });
    return cells;
}

// A4 portrait, 10 mm patches, the page entry's columns and strips.
WarmUpGrid a4Grid(std::uint32_t columns, std::uint32_t strips) {
    WarmUpGrid grid;
    grid.pageWidth = 2100;
    grid.pageHeight = 2970;
    grid.patchWidth = 100;
    grid.patchHeight = 100;
    grid.columns = columns;
    grid.strips = strips;
    return grid;
}

TEST(WarmUpGrid, OneStripRepeatsTheListOncePerLineAlternatingDirection) {
    // Five patches as 5 columns x 1 strip: 2100 / 500 = 4 blocks, 2970 / 100
    // = 29 lines, the 2000 tenths wide line centred 50 tenths in.
    const WarmUpGrid grid = a4Grid(5, 1);
    EXPECT_EQ(grid.blocks(), 4U);
    EXPECT_EQ(grid.lineCount(), 29U);
    EXPECT_EQ(grid.lineLeft(), 50U);

    const std::vector<Cell> cells = cellsOf(grid, 5);
    ASSERT_EQ(cells.size(), 29U * 20U);
    // Line 0 runs backwards: 4 3 2 1 0, four times from x = 5 mm.
    for (std::size_t n = 0; n < 20; ++n) {
        EXPECT_EQ(cells[n].corner.x, 50U + 100U * n);
        EXPECT_EQ(cells[n].corner.y, 0U);
        EXPECT_EQ(cells[n].index, 4U - n % 5U);
    }
    // Line 1 runs forwards at y = 10 mm.
    for (std::size_t n = 0; n < 20; ++n) {
        EXPECT_EQ(cells[20 + n].corner.x, 50U + 100U * n);
        EXPECT_EQ(cells[20 + n].corner.y, 100U);
        EXPECT_EQ(cells[20 + n].index, n % 5U);
    }
    // The last line (28, even) runs backwards again and ends on the page.
    EXPECT_EQ(cells.back().corner.y, 2800U);
    EXPECT_EQ(cells.back().index, 0U);
    EXPECT_EQ(cells.back().corner.x + 100U, 2050U);
}

TEST(WarmUpGrid, AShortListStartsEveryPassOnANewLine) {
    // The last page of a one-strip chart may hold fewer patches than a strip
    // has columns: each pass is then a short line, as without wrapping.
    const WarmUpGrid grid = a4Grid(5, 1);
    const std::vector<Cell> cells = cellsOf(grid, 3);
    ASSERT_EQ(cells.size(), 29U * 12U);
    for (std::size_t line = 0; line < 29; ++line) {
        const Cell& first = cells[line * 12];
        EXPECT_EQ(first.corner.x, 50U);
        EXPECT_EQ(first.corner.y, 100U * line);
        EXPECT_EQ(first.index, line % 2 == 0 ? 2U : 0U);
        EXPECT_EQ(cells[line * 12 + 11].corner.x, 50U + 1100U);
    }
}

TEST(WarmUpGrid, SeveralStripsWrapAtTheLineEndAndFillThePageToTheBottom) {
    // 40 patches as 10 columns x 4 strips: 2 blocks, 20 patches a line from
    // x = 5 mm. A pass is 2 blocks x 4 strips x 40 patches = 320 patches,
    // 16 lines; the second pass (forwards) takes the remaining 13 lines.
    const WarmUpGrid grid = a4Grid(10, 4);
    EXPECT_EQ(grid.patchesPerLine(), 20U);
    EXPECT_EQ(grid.lineLeft(), 50U);

    const std::vector<Cell> cells = cellsOf(grid, 40);
    ASSERT_EQ(cells.size(), 29U * 20U);
    std::set<std::pair<std::uint32_t, std::uint32_t>> corners;
    for (const Cell& cell : cells) {
        EXPECT_GE(cell.corner.x, 50U);
        EXPECT_LE(cell.corner.x + 100U, 2050U);
        EXPECT_LE(cell.corner.y + 100U, 2970U);
        corners.insert({cell.corner.x, cell.corner.y});
    }
    EXPECT_EQ(corners.size(), cells.size()) << "patches drawn over each other";

    // Pass 0 backwards: every other line starts with the last patch, the
    // lines between with patch 19 (the list continues across the wrap).
    EXPECT_EQ(cells[0].index, 39U);
    EXPECT_EQ(cells[20].index, 19U);
    EXPECT_EQ(cells[40].index, 39U);
    EXPECT_EQ(cells[15 * 20 + 19].index, 0U);
    // Pass 1 forwards from line 16.
    EXPECT_EQ(cells[16 * 20].corner.y, 1600U);
    EXPECT_EQ(cells[16 * 20].corner.x, 50U);
    EXPECT_EQ(cells[16 * 20].index, 0U);
    EXPECT_EQ(cells[16 * 20 + 21].index, 21U);
    EXPECT_EQ(cells.back().corner.y, 2800U);
}

TEST(WarmUpGrid, DrawsNothingWhereNoPatchFits) {
    WarmUpGrid narrow = a4Grid(30, 1);  // 30 columns of 10 mm exceed 210 mm
    EXPECT_EQ(narrow.blocks(), 0U);
    EXPECT_TRUE(cellsOf(narrow, 30).empty());

    WarmUpGrid flat = a4Grid(5, 1);
    flat.pageHeight = 99;  // less than one patch high
    EXPECT_TRUE(cellsOf(flat, 5).empty());

    WarmUpGrid noPatch = a4Grid(5, 1);
    noPatch.patchWidth = 0;
    EXPECT_TRUE(cellsOf(noPatch, 5).empty());
    EXPECT_TRUE(cellsOf(a4Grid(5, 1), 0).empty());
}

TEST(WarmUpGrid, TakesThePageFromTheFirstEntryOrTheWholePage) {
    ChartParams params;
    params.patchWidth = 10.0;
    params.patchHeight = 10.0;
    params.pageWidth = 300.0;
    params.pageHeight = 400.0;
    params.pages = {{297.0, 210.0, 5, 2}, {297.0, 210.0, 5, 1}};
    WarmUpGrid grid = WarmUpGrid::fromParams(params);
    EXPECT_EQ(grid.pageWidth, 2100U);
    EXPECT_EQ(grid.pageHeight, 2970U);
    EXPECT_EQ(grid.columns, 5U);
    EXPECT_EQ(grid.strips, 2U);

    params.useWholePage = true;
    grid = WarmUpGrid::fromParams(params);
    EXPECT_EQ(grid.pageWidth, 3000U);
    EXPECT_EQ(grid.pageHeight, 4000U);
}

TEST(WarmUpPageGeometry, LeaderAndLimitsFollowThePage) {
    WarmUpPage<WriteCMYK> page("");
    ChartParams params;
    params.pageWidth = 300.0;
    params.pageHeight = 200.0;
    double leader[4];
    params.patchWidth = 12.5;
    params.gapWidth = 0.5;
    page.getStripLeader(leader, params);
    EXPECT_DOUBLE_EQ(leader[0], 0.0);
    EXPECT_DOUBLE_EQ(leader[1], 13.0);
    EXPECT_DOUBLE_EQ(leader[2], 0.0);
    EXPECT_DOUBLE_EQ(leader[3], 13.0);
    // A patch narrower than 10 mm still leaves 10 mm.
    params.patchWidth = 6.0;
    params.gapWidth = 0.0;
    page.getStripLeader(leader, params);
    EXPECT_DOUBLE_EQ(leader[1], 10.0);

    double limits[8];
    page.getPageSizeLimits(limits, params);
    EXPECT_DOUBLE_EQ(limits[0], 200.0);
    EXPECT_DOUBLE_EQ(limits[1], 300.0);
    EXPECT_DOUBLE_EQ(limits[2], 200.0);
    EXPECT_DOUBLE_EQ(limits[3], 300.0);
    // A whole-page layout turns a landscape page's greatest extents.
    params.useWholePage = true;
    page.getPageSizeLimits(limits, params);
    EXPECT_DOUBLE_EQ(limits[0], 200.0);
    EXPECT_DOUBLE_EQ(limits[1], 300.0);
    EXPECT_DOUBLE_EQ(limits[2], 300.0);
    EXPECT_DOUBLE_EQ(limits[3], 200.0);
    EXPECT_DOUBLE_EQ(limits[4], 300.0);
    EXPECT_DOUBLE_EQ(limits[5], 200.0);
    EXPECT_DOUBLE_EQ(limits[6], 0.0);
    EXPECT_DOUBLE_EQ(limits[7], 0.0);
}

TEST(WarmUpPageGeometry, LaysFortyPatchesOutAsTenColumnsOfFourStrips) {
    // A4 less 10 mm leader on either side: 190 x 297 mm usable, 19 x 29
    // cells without optimisation. 40 = patchCount = per page, so columns
    // are trimmed from 19 down to the first divisor, 10; 4 strips. The page
    // itself is pinned to the host's page.
    WarmUpPage<WriteCMYK> page("");
    ChartParams params(CM_CMYK);
    params.instrument = static_cast<IdMeasureInstrument>(3);
    params.pageWidth = 210.0;
    params.pageHeight = 297.0;
    params.optimizeLayout = true;
    params.writeDescription = true;
    params.refDataName = std::string(ORVOCHART_TEST_DATA) + "/instruments/cmyk_40.txt";
    page.initChartParams(params);
    EXPECT_FALSE(params.optimizeLayout);
    EXPECT_FALSE(params.writeDescription);
    ASSERT_EQ(params.pages.size(), 1U);
    EXPECT_EQ(params.pages[0].columns, 10);
    EXPECT_EQ(params.pages[0].strips, 4);
    EXPECT_DOUBLE_EQ(params.pages[0].width, 210.0);
    EXPECT_DOUBLE_EQ(params.pages[0].height, 297.0);
    EXPECT_DOUBLE_EQ(params.patchWidth, 10.0);
    EXPECT_DOUBLE_EQ(params.patchHeight, 10.0);
}

class WarmUpPageWriting : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orvo_warmup_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::remove_all(dir_);
        unsetenv("ORVOCHART_LOG");
        reopenDebugLog();
    }
    ChartParams a4Params(std::int32_t columns, std::int32_t strips) const {
        ChartParams params(CM_CMYK);
        params.patchWidth = 10.0;
        params.patchHeight = 10.0;
        params.pageWidth = 210.0;
        params.pageHeight = 297.0;
        params.pages = {{297.0, 210.0, columns, strips}};
        params.outputName = (dir_ / "warm_0.tif").string();
        return params;
    }
    fs::path dir_;
};

TEST_F(WarmUpPageWriting, AnEmptyListWritesNothingAndLogsWhy) {
    const fs::path log = dir_ / "log.txt";
    setenv("ORVOCHART_LOG", log.c_str(), 1);
    reopenDebugLog();
    WarmUpPage<WriteCMYK> page("");
    ChartParams params = a4Params(5, 1);
    std::vector<WriteCMYK::PixelColor> none;
    EXPECT_NO_THROW(page.writePage(params, none, 0));
    EXPECT_FALSE(fs::exists(params.outputName));
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "WarmUpPage/writePage: GenChartLib: Empty measure data\n");
}

TEST_F(WarmUpPageWriting, WithoutAPageThereIsNothingToWrite) {
    const fs::path log = dir_ / "log.txt";
    setenv("ORVOCHART_LOG", log.c_str(), 1);
    reopenDebugLog();
    WarmUpPage<WriteCMYK> page("");
    ChartParams params = a4Params(5, 1);
    params.pages.clear();
    std::vector<WriteCMYK::PixelColor> patches(5, WriteCMYK::blackColor());
    EXPECT_NO_THROW(page.writePage(params, patches, 0));
    EXPECT_FALSE(fs::exists(params.outputName));
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "WarmUpPage/writePage: GenChartLib: Empty page vector\n");
}

TEST_F(WarmUpPageWriting, RefusesAPageOfAbsurdSize) {
    WarmUpPage<WriteCMYK> page("");
    ChartParams params = a4Params(5, 1);
    params.pages[0].width = 100000.0;  // 100 m by 100 m of 10 mm patches
    params.pages[0].height = 100000.0;
    std::vector<WriteCMYK::PixelColor> patches(5, WriteCMYK::blackColor());
    try {
        page.writePage(params, patches, 0);
        FAIL() << "no error";
    } catch (eColorCtrlErrors code) {
        EXPECT_EQ(code, ERR_PAGE_SIZE);
    }
    EXPECT_FALSE(fs::exists(params.outputName));
}

TEST_F(WarmUpPageWriting, WritesOnePdfPageOfThePageSizeWithoutPreview) {
    if (!pdfprobe::haveTool("qpdf")) {
        GTEST_SKIP() << "qpdf is not installed";
    }
    WarmUpPage<WriteCMYK> page("");
    ChartParams params = a4Params(5, 1);
    params.outputKind = 1;  // still a PDF page
    std::vector<WriteCMYK::PixelColor> patches(5, WriteCMYK::paperColor());
    page.writePage(params, patches, 0);
    ASSERT_TRUE(fs::exists(params.outputName));
    EXPECT_TRUE(pdfprobe::qpdfCheckPasses(params.outputName));
    const std::vector<pdfprobe::PageSize> pages = pdfprobe::pageSizesMm(params.outputName);
    ASSERT_EQ(pages.size(), 1U);
    EXPECT_NEAR(pages[0].widthMm, 210.0, 0.05);
    EXPECT_NEAR(pages[0].heightMm, 297.0, 0.05);
    EXPECT_FALSE(fs::exists(dir_ / "warm_0.jpg"));
}

}  // namespace
}  // namespace GenChartLib
