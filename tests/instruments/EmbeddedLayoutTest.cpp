// The printer-embedded layouts where a host cannot reach them: the strip
// rules of both SpectroProofer models, the HpZ strip marks, the page limits,
// which sheets each layout accepts, and a page drawn from a short patch
// list. Figures are worked out by hand in tenths of a millimetre.
#include <gtest/gtest.h>

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
                                                          {50, 180, 50, 132, 33, 55, 16, 231, 0}};
    for (const std::vector<std::int64_t>& m : marks) {
        const HpZStripGeometry g{0, 0, m[2], m[0], 0, 0, m[1]};
        EXPECT_EQ((std::vector<std::int64_t>{g.markHeight(), g.markSlantRun(), g.slantStep(),
                                             g.lastBarShift(), g.markEnd(0), g.markY(0)}),
                  std::vector<std::int64_t>(m.begin() + 3, m.end()));
    }
}

class EmbeddedLayout : public LayoutFolder {};

TEST_F(EmbeddedLayout, SheetsTooSmallForTheGridAreRefused) {
    Epson<WriteCMYK> epson("");
    EpsonILS30<WriteCMYK> ils30("");
    Canon<WriteCMYK> canon("");
    HpZ<WriteCMYK> hpz("");
    struct Case {
        MeasureInstrument<WriteCMYK>* layout;
        double width, height;
        std::size_t sets;
        // patch count, columns, strips, page width and height, patch height;
        // none when the sheet is refused
        std::vector<double> want;
    };
    // Epson 151 x 122, 30 sets: 10 a strip, 3 strips, 138.2 x 112 fits the
    // 141 x 112 left; 0.1 mm less does not. A 75 mm sheet holds no patch.
    // ILS30 420 x 400: 800 sets as 17 strips of 48, 322 high (15 mm rows; the
    // host tests read back the 12 mm rows of shorter strips).
    const Case cases[] = {
        {&epson, 151, 122, 30, {30, 10, 3, 138.2, 112.0, 15.0}},
        {&epson, 151, 121.9, 30, {}},
        {&epson, 75, 300, 30, {}},
        {&ils30, 420, 400, 800, {800, 48, 17, 397.2, 322.0, 15.0}},
        {&canon, 60, 300, 30, {}},
        {&hpz, 60, 300, 30, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sets) + " sets on " + std::to_string(c.width) + " x " +
                     std::to_string(c.height));
        readback::writeReference(file("ref.txt"), readback::allModes().front(), c.sets, "");
        ChartParams p(CM_CMYK);
        p.instrument = MI_EPSON;
        p.pageWidth = c.width;
        p.pageHeight = c.height;
        p.refDataName = file("ref.txt");
        try {
            c.layout->initChartParams(p);
        } catch (eColorCtrlErrors code) {
            EXPECT_EQ(code, ERR_PAGE_SIZE);
            EXPECT_TRUE(c.want.empty()) << "refused";
            continue;
        }
        ASSERT_EQ(p.pages.size(), 1U);
        const PageLayout& page = p.pages[0];
        EXPECT_EQ((std::vector<double>{
                      static_cast<double>(p.patchCount), static_cast<double>(page.columns),
                      static_cast<double>(page.strips), page.width, page.height, p.patchHeight}),
                  c.want);
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
