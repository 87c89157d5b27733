// The printer-embedded layouts where a host cannot reach them: the strip
// rules of both SpectroProofer models, the HpZ strip marks, the page limits,
// which sheets each layout accepts, and a page drawn from a short patch
// list. Figures are worked out by hand in tenths of a millimetre.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "base/ErrorCodes.h"
#include "host/EyeOnePages.h"
#include "instruments/Canon.h"
#include "instruments/Epson.h"
#include "instruments/HpZ.h"
#include "instruments/LayoutTestSupport.h"

namespace GenChartLib {
namespace {

using Blocks = std::vector<std::int64_t>;
const EpsonStripGeometry kEpson{kEpsonModel};
const EpsonStripGeometry kIls30{kEpsonIls30Model};

TEST(EpsonStrips, FitSplitAndPlaceTheirBlocks) {
    // Epson estimates (W - 802) / 70, ILS30 (W - 732) / 70, at most 50 either
    // way; a sheet too narrow for one patch gives 0 or less.
    const std::vector<std::tuple<const EpsonStripGeometry*, std::int64_t, std::int64_t>> fits = {
        {&kEpson, 1510, 10}, {&kEpson, 750, 0},   {&kEpson, 500, -4},
        {&kEpson, 5000, 50}, {&kIls30, 2100, 19}, {&kIls30, 5000, 50}};
    for (const auto& [g, sheet, patches] : fits) {
        EXPECT_EQ(g->maxPatchesPerStrip(sheet, 50), patches) << "sheet " << sheet;
    }
    // A remainder below 8 borrows from the next block; Epson blocks advance
    // by (size + 2) x 70 + 225, ILS30 blocks by (size + 1) x 70 + 225.
    const std::vector<std::tuple<const EpsonStripGeometry*, std::int64_t, Blocks, Blocks>> splits =
        {{&kEpson, 120, {20, 50, 50}, {347, 2112, 5977}},
         {&kEpson, 103, {8, 45, 50}, {347, 1272, 4787}},
         {&kEpson, 50, {50}, {347}},
         {&kIls30, 153, {8, 70, 75}, {347, 1202, 6397}}};
    for (const auto& [g, k, blocks, positions] : splits) {
        SCOPED_TRACE(k);
        EXPECT_EQ(g->splitIntoBlocks(k), blocks);
        EXPECT_EQ(g->blockPositions(blocks), positions);
        // The page ends 19.5 mm after the last block's end bar.
        EXPECT_EQ(positions.back() + g->blockWidth(blocks.back()) + 195,
                  g->stripLength(k, static_cast<std::int64_t>(blocks.size())));
    }
}

TEST(HpZStrips, MarksGrowWithTheStripAndStayOnIt) {
    // pitch, columns, patch height -> mark height, slant, step, last bar
    // shift, where a mark from 0 ends, its top in the first strip. 60 x 15 mm:
    // 13.2 mm high, leaning 3.3, steps 5.55; 20 columns: 8.4 mm. Marks taller
    // than the strip start at its top.
    const std::vector<std::vector<std::int64_t>> marks = {{150, 60, 150, 132, 33, 55, 16, 231, 9},
                                                          {150, 20, 150, 84, 21, 43, 10, 201, 33},
                                                          {150, 9, 150, 70, 17, 40, 8, 193, 40},
                                                          {50, 180, 50, 132, 33, 55, 16, 231, 0}};
    for (const std::vector<std::int64_t>& m : marks) {
        const HpZStripGeometry g{0, 0, m[2], m[0], 0, 0, m[1]};
        EXPECT_EQ((std::vector<std::int64_t>{g.markHeight(), g.markSlantRun(), g.slantStep(),
                                             g.lastBarShift(), g.markEnd(0), g.markY(0)}),
                  std::vector<std::int64_t>(m.begin() + 3, m.end()));
    }

    HpZ<WriteCMYK> hpz("");
    double limits[8];
    hpz.getPageSizeLimits(limits, ChartParams());
    EXPECT_EQ(std::vector<double>(limits, limits + 8),
              (std::vector<double>{57.4, 73.3, 3643.4, 959.3, 3643.4, 959.3, 0.0, 0.0}));
}

class EmbeddedLayout : public LayoutFolder {};

TEST_F(EmbeddedLayout, SheetsTooSmallForTheGridAreRefused) {
    using Make = std::function<std::unique_ptr<MeasureInstrument<WriteCMYK>>()>;
    const Make epson = [] { return std::make_unique<Epson<WriteCMYK>>(""); };
    const Make ils30 = [] { return std::make_unique<EpsonILS30<WriteCMYK>>(""); };
    const Make canon = [] { return std::make_unique<Canon<WriteCMYK>>(""); };
    const Make hpz = [] { return std::make_unique<HpZ<WriteCMYK>>(""); };
    struct Case {
        const char* label;
        Make make;
        double width, height;
        std::size_t sets;
        int patchCount, columns, strips;  // 0: refused with -2355
        double pageWidth, pageHeight, patchHeight;
    };
    // Epson 151 x 122, 30 sets: 10 a strip, 3 strips, 138.2 x 112 fits the
    // 141 x 112 left; 0.1 mm less does not. 500 x 137, 236 sets: 48 x 5 is
    // 142 high on 127. Sheets of 75 and 50 mm hold no patch. 5 sets pad to 8.
    // ILS30 420 x 400: 800 sets as 17 strips of 48, 322 high (15 mm rows);
    // 400 sets as 9 strips of 45 (12 mm rows), 175 high.
    // clang-format off
    const std::vector<Case> cases = {
        {"EpsonFits", epson, 151, 122, 30, 30, 10, 3, 138.2, 112.0, 15.0},
        {"EpsonShort", epson, 151, 121.9, 30, 0, 0, 0, 0, 0, 0},
        {"EpsonTall", epson, 500, 137, 236, 0, 0, 0, 0, 0, 0},
        {"EpsonNoPatch", epson, 75, 300, 30, 0, 0, 0, 0, 0, 0},
        {"EpsonNegative", epson, 50, 300, 30, 0, 0, 0, 0, 0, 0},
        {"EpsonPadded", epson, 210, 297, 5, 8, 8, 1, 124.2, 82.0, 15.0},
        {"Ils30Long", ils30, 420, 400, 800, 800, 48, 17, 397.2, 322.0, 15.0},
        {"Ils30Short", ils30, 420, 400, 400, 400, 45, 9, 376.2, 175.0, 12.0},
        {"CanonPadded", canon, 210, 297, 5, 6, 6, 1, 91.0, 70.0, 15.0},
        {"CanonNarrow", canon, 60, 300, 30, 0, 0, 0, 0, 0, 0},
        {"HpZNarrow", hpz, 60, 300, 30, 0, 0, 0, 0, 0, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        readback::writeReference(file("ref.txt"), readback::allModes().front(), c.sets, "");
        ChartParams params(CM_CMYK);
        params.instrument = MI_EPSON;
        params.pageWidth = c.width;
        params.pageHeight = c.height;
        params.refDataName = file("ref.txt");
        const auto layout = c.make();
        if (c.patchCount == 0) {
            try {
                layout->initChartParams(params);
                ADD_FAILURE() << "accepted";
            } catch (eColorCtrlErrors code) {
                EXPECT_EQ(code, ERR_PAGE_SIZE);
            }
            continue;
        }
        layout->initChartParams(params);
        ASSERT_EQ(params.pages.size(), 1U);
        EXPECT_EQ(params.pages[0].columns, c.columns);
        EXPECT_EQ(params.pages[0].strips, c.strips);
        EXPECT_DOUBLE_EQ(params.pages[0].width, c.pageWidth);
        EXPECT_DOUBLE_EQ(params.pages[0].height, c.pageHeight);
        EXPECT_DOUBLE_EQ(params.patchHeight, c.patchHeight);
        EXPECT_EQ(params.patchCount, c.patchCount);
    }
}

TEST_F(EmbeddedLayout, AnHpZPageStopsAtTheEndOfItsOwnPatches) {
    // 50 patches on a page of 3 strips of 20: the third strip holds 10, its
    // end mark stands where a full strip's would. Marks from x 50 end at 251,
    // so patch 49 is at 251 + 9 x 150 and the end mark's first bar at 3281.
    ChartParams params(CM_CMYK);
    params.instrument = MI_HPZ;
    params.outputKind = 1;
    params.outputName = file("page.tif");
    params.marginTop = 0.4;
    params.marginLeft = 5.0;
    params.patchWidth = params.patchHeight = 15.0;
    params.pages = {{87.4, 358.3, 20, 3}};
    std::vector<WriteCMYK::PixelColor> patches(50, WriteCMYK::blueColor());
    HpZ<WriteCMYK> hpz("");
    hpz.writePage(params, patches, 0);
    const readback::TiffPage page = readback::readTiff(file("page.tif"));
    EXPECT_EQ(page.description, "ECH 0 0 20 60");
    const std::uint32_t mid = 4 + 2 * 150 + 75;
    EXPECT_EQ(page.pixel(251 + 9 * 150 + 75, mid), (std::vector<std::uint8_t>{255, 255, 0, 0}));
    EXPECT_EQ(page.pixel(251 + 10 * 150 + 75, mid), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(page.pixel(3288, mid), (std::vector<std::uint8_t>{0, 0, 0, 255}));
}

}  // namespace
}  // namespace GenChartLib
