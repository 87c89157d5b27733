// The warm-up page: how the patch list is repeated over the page (worked out
// by hand from the page and patch sizes), its geometry, what it refuses and
// the size of the page it writes.
// The host tests check whole warm-up charts read back: one strip per line and
// several strips on one block, the layout of the list, the page size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ErrorCodes.h"
#include "instruments/LayoutTestSupport.h"
#include "instruments/WarmUpPage.h"

namespace GenChartLib {
namespace {

// A4 portrait, 10 mm patches, the page entry's columns and strips.
WarmUpGrid a4Grid(std::uint32_t columns, std::uint32_t strips) {
    return {2100, 2970, 100, 100, columns, strips};
}

// Each cell drawn as x, y and list index.
std::vector<std::vector<std::size_t>> cellsOf(const WarmUpGrid& grid, std::size_t listLength) {
    std::vector<std::vector<std::size_t>> cells;
    grid.forEachCell(listLength, [&](Point p, std::size_t i) { cells.push_back({p.x, p.y, i}); });
    return cells;
}

TEST(WarmUpGrid, AShortListStartsEveryPassOnANewLine) {
    // Five columns x 1 strip: 4 blocks, 29 lines from x = 5 mm. The last page
    // of a one-strip chart may hold fewer patches than a strip has columns:
    // each pass is then a short line of 4 x 3 patches, backwards on the even
    // lines, forwards on the odd ones.
    const std::vector<std::vector<std::size_t>> cells = cellsOf(a4Grid(5, 1), 3);
    ASSERT_EQ(cells.size(), 29U * 12U);
    for (std::size_t line = 0; line < 29; ++line) {
        const std::size_t first = line % 2 == 0 ? 2 : 0;
        EXPECT_EQ(cells[line * 12], (std::vector<std::size_t>{50, 100 * line, first}));
        EXPECT_EQ(cells[line * 12 + 11], (std::vector<std::size_t>{1150, 100 * line, 2 - first}));
    }
}

TEST(WarmUpGrid, DrawsNothingWhereNoPatchFits) {
    WarmUpGrid flat = a4Grid(5, 1);
    flat.pageHeight = 99;  // less than one patch high
    WarmUpGrid noPatch = a4Grid(5, 1);
    noPatch.patchWidth = 0;
    // 30 columns of 10 mm exceed 210 mm; an empty list.
    for (const auto& [grid, length] :
         {std::make_pair(a4Grid(30, 1), 30), std::make_pair(flat, 5), std::make_pair(noPatch, 5),
          std::make_pair(a4Grid(5, 1), 0)}) {
        EXPECT_TRUE(cellsOf(grid, static_cast<std::size_t>(length)).empty()) << grid.columns;
    }
}

TEST(WarmUpPage, TakesTheFirstPageEntryOrTheWholePageTurnedToLandscape) {
    // The least and greatest page are the page itself; a whole-page layout
    // turns a landscape page's greatest extents.
    ChartParams params;
    params.patchWidth = 10.0;
    params.patchHeight = 10.0;
    params.pageWidth = 300.0;
    params.pageHeight = 200.0;
    params.pages = {{297.0, 210.0, 5, 2}, {297.0, 210.0, 5, 1}};
    WarmUpGrid g = WarmUpGrid::fromParams(params);
    EXPECT_EQ(
        (std::vector<std::uint32_t>{g.pageWidth, g.pageHeight, g.patchWidth, g.columns, g.strips}),
        (std::vector<std::uint32_t>{2100, 2970, 100, 5, 2}));
    WarmUpPage<WriteCMYK> page("");
    double limits[8];
    page.getPageSizeLimits(limits, params);
    EXPECT_EQ(std::vector<double>(limits, limits + 4), (std::vector<double>{200, 300, 200, 300}));
    params.useWholePage = true;
    g = WarmUpGrid::fromParams(params);
    EXPECT_EQ(std::make_pair(g.pageWidth, g.pageHeight), std::make_pair(3000U, 2000U));
    page.getPageSizeLimits(limits, params);
    EXPECT_EQ(std::vector<double>(limits, limits + 8),
              (std::vector<double>{200, 300, 300, 200, 300, 200, 0, 0}));
}

class WarmUpPageWriting : public LayoutFolder {};

TEST_F(WarmUpPageWriting, WritesOnePageOfItsEntryAndNothingWithoutPatchesOrPage) {
    WarmUpPage<WriteCMYK> page("");
    ChartParams params(CM_CMYK);
    params.patchWidth = 10.0;
    params.patchHeight = 10.0;
    params.pages = {{100000.0, 100000.0, 5, 1}};  // 100 m by 100 m of 10 mm patches
    params.outputName = file("warm_0.tif");
    std::vector<WriteCMYK::PixelColor> none;
    std::vector<WriteCMYK::PixelColor> patches(5, WriteCMYK::blackColor());
    const std::string log = logOf([&] {
        page.writePage(params, none, 0);
        try {
            page.writePage(params, patches, 0);
            ADD_FAILURE() << "no error";
        } catch (eColorCtrlErrors code) {
            EXPECT_EQ(code, ERR_PAGE_SIZE);
        }
        params.pages.clear();
        page.writePage(params, patches, 0);
    });
    EXPECT_EQ(log,
              "WarmUpPage/writePage: GenChartLib: Empty measure data\n"
              "WarmUpPage/writePage: GenChartLib: Invalid page size.\n"
              "WarmUpPage/writePage: GenChartLib: Empty page vector\n");
    EXPECT_EQ(files(), std::vector<std::string>{"log.txt"});
    // An A4 entry: one PDF page of its size (tenths of a millimetre), no preview.
    params.pages = {{297.0, 210.0, 5, 1}};
    page.writePage(params, patches, 0);
    EXPECT_EQ(files(), (std::vector<std::string>{"log.txt", "warm_0.tif"}));
    readback::expectPages({params.outputName}, 1, 210.0, 297.0);
}

}  // namespace
}  // namespace GenChartLib
