// The warm-up page: how the patch list is repeated over the page (worked out
// by hand from the page and patch sizes), its geometry, and what it writes.
// The host tests check whole warm-up charts: one strip per line and several
// strips on one block, the layout of the list, the page size.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/ErrorCodes.h"
#include "host/ReadBack.h"
#include "instruments/LayoutTestSupport.h"
#include "instruments/WarmUpPage.h"

namespace GenChartLib {
namespace {

struct Cell {
    std::uint32_t x;
    std::uint32_t y;
    std::size_t index;

    bool operator==(const Cell& o) const { return x == o.x && y == o.y && index == o.index; }
};

std::ostream& operator<<(std::ostream& out, const Cell& c) {
    return out << "(" << c.x << ", " << c.y << ") #" << c.index;
}

// A4 portrait, 10 mm patches, the page entry's columns and strips.
WarmUpGrid a4Grid(std::uint32_t columns, std::uint32_t strips) {
    return {2100, 2970, 100, 100, columns, strips};
}

std::vector<Cell> cellsOf(const WarmUpGrid& grid, std::size_t listLength) {
    std::vector<Cell> cells;
    grid.forEachCell(listLength, [&](Point p, std::size_t i) { cells.push_back({p.x, p.y, i}); });
    return cells;
}

TEST(WarmUpGrid, AShortListStartsEveryPassOnANewLine) {
    // Five columns x 1 strip: 4 blocks, 29 lines from x = 5 mm. The last page
    // of a one-strip chart may hold fewer patches than a strip has columns:
    // each pass is then a short line of 4 x 3 patches, backwards on the even
    // lines, forwards on the odd ones.
    const std::vector<Cell> cells = cellsOf(a4Grid(5, 1), 3);
    ASSERT_EQ(cells.size(), 29U * 12U);
    for (std::uint32_t line = 0; line < 29; ++line) {
        EXPECT_EQ(cells[line * 12], (Cell{50, 100 * line, line % 2 == 0 ? 2U : 0U}));
        EXPECT_EQ(cells[line * 12 + 11].x, 50U + 1100U);
    }
}

TEST(WarmUpGrid, SeveralStripsWrapAtTheLineEndAndFillThePageToTheBottom) {
    // 40 patches as 10 columns x 4 strips: 2 blocks, 20 patches a line from
    // x = 5 mm. A pass is 2 blocks x 4 strips x 40 patches = 320 patches,
    // 16 lines, backwards: every other line starts with the last patch, the
    // lines between with patch 19 (the list continues across the wrap). The
    // second pass runs forwards on the remaining 13 lines.
    const WarmUpGrid grid = a4Grid(10, 4);
    EXPECT_EQ(grid.patchesPerLine(), 20U);
    const std::vector<Cell> cells = cellsOf(grid, 40);
    ASSERT_EQ(cells.size(), 29U * 20U);
    std::set<std::pair<std::uint32_t, std::uint32_t>> corners;
    for (const Cell& cell : cells) {
        EXPECT_TRUE(cell.x >= 50 && cell.x + 100 <= 2050 && cell.y + 100 <= 2970) << cell;
        corners.insert({cell.x, cell.y});
    }
    EXPECT_EQ(corners.size(), cells.size()) << "patches drawn over each other";
    EXPECT_EQ(cells[0], (Cell{50, 0, 39}));
    EXPECT_EQ(cells[20], (Cell{50, 100, 19}));
    EXPECT_EQ(cells[40], (Cell{50, 200, 39}));
    EXPECT_EQ(cells[15 * 20 + 19], (Cell{1950, 1500, 0}));
    EXPECT_EQ(cells[16 * 20], (Cell{50, 1600, 0}));
    EXPECT_EQ(cells[16 * 20 + 21], (Cell{150, 1700, 21}));
    EXPECT_EQ(cells.back().y, 2800U);
}

TEST(WarmUpGrid, DrawsNothingWhereNoPatchFitsAndTakesItsPageFromTheRecord) {
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

    // The first page entry's size and grid, or the whole page.
    ChartParams params;
    params.patchWidth = 10.0;
    params.patchHeight = 10.0;
    params.pageWidth = 300.0;
    params.pageHeight = 400.0;
    params.pages = {{297.0, 210.0, 5, 2}, {297.0, 210.0, 5, 1}};
    const WarmUpGrid grid = WarmUpGrid::fromParams(params);
    EXPECT_EQ((std::vector<std::uint32_t>{grid.pageWidth, grid.pageHeight, grid.patchWidth,
                                          grid.columns, grid.strips}),
              (std::vector<std::uint32_t>{2100, 2970, 100, 5, 2}));
    params.useWholePage = true;
    const WarmUpGrid whole = WarmUpGrid::fromParams(params);
    EXPECT_EQ(whole.pageWidth, 3000U);
    EXPECT_EQ(whole.pageHeight, 4000U);
}

TEST(WarmUpPageGeometry, LeaderAndLimitsFollowThePage) {
    // The leader is patch and gap wide, at least 10 mm; the least and
    // greatest page are the page itself, and a whole-page layout turns a
    // landscape page's greatest extents.
    WarmUpPage<WriteCMYK> page("");
    ChartParams params;
    params.pageWidth = 300.0;
    params.pageHeight = 200.0;
    params.patchWidth = 12.5;
    params.gapWidth = 0.5;
    double leader[4];
    page.getStripLeader(leader, params);
    EXPECT_EQ(std::vector<double>(leader, leader + 4), (std::vector<double>{0, 13, 0, 13}));
    params.patchWidth = 6.0;
    params.gapWidth = 0.0;
    page.getStripLeader(leader, params);
    EXPECT_DOUBLE_EQ(leader[1], 10.0);

    double limits[8];
    page.getPageSizeLimits(limits, params);
    EXPECT_EQ(std::vector<double>(limits, limits + 4), (std::vector<double>{200, 300, 200, 300}));
    params.useWholePage = true;
    page.getPageSizeLimits(limits, params);
    EXPECT_EQ(std::vector<double>(limits, limits + 8),
              (std::vector<double>{200, 300, 300, 200, 300, 200, 0, 0}));
}

class WarmUpPageWriting : public LayoutFolder {
  protected:
    ChartParams a4Params() const {
        ChartParams params(CM_CMYK);
        params.patchWidth = 10.0;
        params.patchHeight = 10.0;
        params.pageWidth = 210.0;
        params.pageHeight = 297.0;
        params.pages = {{297.0, 210.0, 5, 1}};
        params.outputName = file("warm_0.tif");
        return params;
    }
};

TEST_F(WarmUpPageWriting, NothingToDrawWritesNothingAndLogsWhy) {
    WarmUpPage<WriteCMYK> page("");
    ChartParams params = a4Params();
    std::vector<WriteCMYK::PixelColor> none;
    std::vector<WriteCMYK::PixelColor> patches(5, WriteCMYK::blackColor());
    const std::string log = logOf([&] {
        EXPECT_NO_THROW(page.writePage(params, none, 0));
        params.pages.clear();
        EXPECT_NO_THROW(page.writePage(params, patches, 0));
    });
    EXPECT_EQ(log,
              "WarmUpPage/writePage: GenChartLib: Empty measure data\n"
              "WarmUpPage/writePage: GenChartLib: Empty page vector\n");
    EXPECT_EQ(files(), std::vector<std::string>{"log.txt"});
}

TEST_F(WarmUpPageWriting, RefusesAPageOfAbsurdSize) {
    WarmUpPage<WriteCMYK> page("");
    ChartParams params = a4Params();
    params.pages[0].width = 100000.0;  // 100 m by 100 m of 10 mm patches
    params.pages[0].height = 100000.0;
    std::vector<WriteCMYK::PixelColor> patches(5, WriteCMYK::blackColor());
    try {
        page.writePage(params, patches, 0);
        FAIL() << "no error";
    } catch (eColorCtrlErrors code) {
        EXPECT_EQ(code, ERR_PAGE_SIZE);
    }
    EXPECT_TRUE(files().empty());
}

TEST_F(WarmUpPageWriting, WritesOnePdfPageOfThePageSizeWithoutPreview) {
    WarmUpPage<WriteCMYK> page("");
    ChartParams params = a4Params();
    params.outputKind = 1;  // still a PDF page
    std::vector<WriteCMYK::PixelColor> patches(5, WriteCMYK::paperColor());
    page.writePage(params, patches, 0);
    EXPECT_EQ(files(), std::vector<std::string>{"warm_0.tif"});
    readback::expectPages({params.outputName}, 1, 210.0, 297.0);
}

}  // namespace
}  // namespace GenChartLib
