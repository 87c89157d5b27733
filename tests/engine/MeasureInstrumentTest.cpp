// The layout engine: page fitting worked out by hand from the layout rules
// for several instruments, pages, patch counts and quality modes; the page
// loop with its padding and page split; chart ids; page geometry helpers and
// the mark colours.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "api/ErrorCodes.h"
#include "engine/ChartTestSupport.h"
#include "engine/MeasureInstrument.h"
#include "platform/Platform.h"
#include "render/Writers.h"

namespace GenChartLib {
namespace {

using chart_test::cyanPercentOf;
using chart_test::dtp41Geometry;
using chart_test::Geometry;
using chart_test::LogCapture;
using chart_test::RecordingInstrument;
using chart_test::TempDir;
using chart_test::writeCmykReference;

using Recorder = RecordingInstrument<WriteCMYK>;

ChartParams jobParams(const std::string& reference, double widthMm, double heightMm,
                      IdMeasureInstrument instrument = MI_DTP41) {
    ChartParams params(CM_CMYK);
    params.instrument = instrument;
    params.refDataName = reference;
    params.pageWidth = widthMm;
    params.pageHeight = heightMm;
    params.optimizeLayout = true;  // as every chart job lays out
    return params;
}

eColorCtrlErrors codeOfInit(MeasureInstrument<WriteCMYK>& layout, ChartParams& params) {
    try {
        layout.initChartParams(params);
    } catch (eColorCtrlErrors code) {
        return code;
    }
    return ERR_NONE;
}

void expectPage(const PageLayout& page, double widthMm, double heightMm, int columns, int strips) {
    EXPECT_DOUBLE_EQ(page.width, widthMm);
    EXPECT_DOUBLE_EQ(page.height, heightMm);
    EXPECT_EQ(page.columns, columns);
    EXPECT_EQ(page.strips, strips);
}

// Simple 10 mm square patches, no gaps, no margins, wide page limits.
Geometry squareGeometry(double patchMm, double gapMm = 0.0) {
    Geometry g;
    for (double& size : g.sizes) {
        size = patchMm;
    }
    for (double& gap : g.gaps) {
        gap = gapMm;
    }
    return g;
}

class Layout : public ::testing::Test {
  protected:
    std::string reference(int sets, const std::vector<std::string>& keywords = {}) {
        const std::string path = dir_.file("ref_" + std::to_string(sets) + ".txt");
        writeCmykReference(path, sets, keywords);
        return path;
    }
    TempDir dir_;
};

TEST_F(Layout, FifteenHundredPatchesOnDtp41StripsOfAnA4Sheet) {
    // Quality mode 0: margins 0.5/38/15/30, patch 13 x 8, gaps 0 / 1.5.
    // Printable: height min(297, 110) - 0.5 - 15 = 94.5, width 210 - 68 = 142.
    // Grid: 94.5 / 13 -> 7 rows, 143.5 / 9.5 -> 15 columns; 105 cells is too
    // few for any one-page shape, so 15 pages of 105. The stretched patch
    // (side sqrt(15 * 142 * 94.5 / 1500) = 11.58) keeps 8 wide; 15 columns,
    // 1500 % 15 = 0 so no trimming; strips ceil(1500 / 15 / 15) = 7.
    // Final patch width floor(142 / 15 - 1.5) = 7.9, height min(13.5, 13).
    // Page: 38 + 9.4 * 15 + 1.5 + 30 = 210.5 wide, 13 * 7 + 0.5 + 15 = 106.5.
    Recorder layout(dtp41Geometry());
    ChartParams params = jobParams(reference(1500), 210.0, 297.0);
    layout.initChartParams(params);

    EXPECT_EQ(params.patchCount, 1500);
    EXPECT_EQ(layout.patchCount(), 1500);
    EXPECT_EQ(layout.originalPatchCount(), 1500);
    EXPECT_DOUBLE_EQ(params.marginTop, 0.5);
    EXPECT_DOUBLE_EQ(params.marginLeft, 38.0);
    EXPECT_DOUBLE_EQ(params.marginBottom, 15.0);
    EXPECT_DOUBLE_EQ(params.marginRight, 30.0);
    EXPECT_DOUBLE_EQ(params.gapHeight, 0.0);
    EXPECT_DOUBLE_EQ(params.gapWidth, 1.5);
    EXPECT_DOUBLE_EQ(params.patchWidth, 7.9);
    EXPECT_DOUBLE_EQ(params.patchHeight, 13.0);
    ASSERT_EQ(params.pages.size(), 15U);
    for (const PageLayout& page : params.pages) {
        expectPage(page, 210.5, 106.5, 15, 7);
    }
    EXPECT_EQ(params.layoutReady, 1);
    // (142 + 1.5) / (8 + 1.5) = 15.1 patches of the mode-0 size per strip.
    EXPECT_EQ(params.stripCapacity, 15);
    const double frame[6] = {-1.0, -1.0, -1.0, -1.0, 106.5, 210.5};
    for (int i = 0; i < 6; ++i) {
        EXPECT_DOUBLE_EQ(params.layoutFrame[i], frame[i]) << i;
    }
}

TEST_F(Layout, SmallReferencesArePaddedToTheInstrumentMinimum) {
    // 3 sets on the DTP41 become 6; the search over the 7 x 15 grid ends at
    // the shape 1 x 6 (no waste), so one strip of 6 patches 8 wide:
    // 38 + 9.5 * 6 + 1.5 + 30 = 126.5 mm, 13 + 0.5 + 15 = 28.5 mm.
    {
        Recorder layout(dtp41Geometry());
        ChartParams params = jobParams(reference(3), 210.0, 297.0, MI_DTP41);
        layout.initChartParams(params);
        EXPECT_EQ(params.patchCount, 6);
        EXPECT_EQ(layout.originalPatchCount(), 3);
        ASSERT_EQ(params.pages.size(), 1U);
        expectPage(params.pages[0], 126.5, 28.5, 6, 1);
    }
    // The Barbieri instruments need 8: one strip of 8, 38 + 76 + 31.5 mm.
    {
        Recorder layout(dtp41Geometry());
        ChartParams params = jobParams(reference(3), 210.0, 297.0, MI_SPECTROLFP);
        layout.initChartParams(params);
        EXPECT_EQ(params.patchCount, 8);
        EXPECT_EQ(layout.originalPatchCount(), 3);
        expectPage(params.pages[0], 145.5, 28.5, 8, 1);
    }
    // Without an instrument nothing is added: 3 patches, 38 + 28.5 + 31.5.
    {
        Recorder layout(dtp41Geometry());
        ChartParams params =
            jobParams(reference(3), 210.0, 297.0, static_cast<IdMeasureInstrument>(0));
        layout.initChartParams(params);
        EXPECT_EQ(params.patchCount, 3);
        expectPage(params.pages[0], 98.0, 28.5, 3, 1);
    }
}

TEST_F(Layout, LowResolutionKeywordSelectsTheLargePatchSet) {
    // LOWRES 1: quality mode 2, third margins 1/40/15/40, patch 13 x 10, gaps
    // 2 / 2. Printable 110 - 16 = 94 high, 210 - 80 = 130 wide; grid 6 x 11;
    // the search settles on 4 x 10 for 40 patches. Page 40 + 12 * 10 + 2 + 40
    // = 202 wide, 15 * 4 + 1 + 15 = 76 high.
    Recorder layout(dtp41Geometry());
    ChartParams params = jobParams(reference(40, {"LOWRES 1"}), 210.0, 297.0);
    layout.initChartParams(params);
    EXPECT_TRUE(params.lowRes);
    EXPECT_EQ(params.qualityMode, 2);
    EXPECT_DOUBLE_EQ(params.marginLeft, 40.0);
    EXPECT_DOUBLE_EQ(params.marginTop, 1.0);
    EXPECT_DOUBLE_EQ(params.gapHeight, 2.0);
    EXPECT_DOUBLE_EQ(params.gapWidth, 2.0);
    EXPECT_DOUBLE_EQ(params.patchWidth, 10.0);
    EXPECT_DOUBLE_EQ(params.patchHeight, 13.0);
    ASSERT_EQ(params.pages.size(), 1U);
    expectPage(params.pages[0], 202.0, 76.0, 10, 4);
    // The strip capacity is counted in mode-0 patches: (130 + 1.5) / 9.5.
    EXPECT_EQ(params.stripCapacity, 13);
}

TEST_F(Layout, ApertureSizeSelectsTheQualityMode) {
    // APERTURESIZE 6: mode 1, gaps 0.1 / 2: grid trunc(94.1 / 13.1) = 7 rows
    // by 11; 4 x 10 again, height 13.1 * 4 + 1 + 15 = 68.4.
    {
        Recorder layout(dtp41Geometry());
        ChartParams params = jobParams(reference(40, {"APERTURESIZE 6"}), 210.0, 297.0);
        layout.initChartParams(params);
        EXPECT_EQ(params.apertureSize, 6);
        EXPECT_EQ(params.qualityMode, 1);
        EXPECT_DOUBLE_EQ(params.gapHeight, 0.1);
        expectPage(params.pages[0], 202.0, 68.4, 10, 4);
    }
    // APERTURESIZE 8 is the large set, as LOWRES.
    {
        Recorder layout(dtp41Geometry());
        ChartParams params = jobParams(reference(40, {"APERTURESIZE 8"}), 210.0, 297.0);
        layout.initChartParams(params);
        EXPECT_EQ(params.qualityMode, 2);
        expectPage(params.pages[0], 202.0, 76.0, 10, 4);
    }
    // APERTURESIZE 2 returns a host's mode 1 to mode 0; LOWRES wins over it.
    {
        Recorder layout(dtp41Geometry());
        ChartParams params = jobParams(reference(40, {"APERTURESIZE 2"}), 210.0, 297.0);
        params.qualityMode = 1;
        layout.initChartParams(params);
        EXPECT_EQ(params.qualityMode, 0);
        EXPECT_DOUBLE_EQ(params.gapWidth, 1.5);
    }
    {
        Recorder layout(dtp41Geometry());
        ChartParams params = jobParams(reference(40, {"APERTURESIZE 2", "LOWRES 1"}), 210.0, 297.0);
        layout.initChartParams(params);
        EXPECT_EQ(params.qualityMode, 2);
    }
    // A host's mode 4 is remembered and uses the large set.
    {
        Recorder layout(dtp41Geometry());
        ChartParams params = jobParams(reference(40), 210.0, 297.0);
        params.qualityMode = 4;
        layout.initChartParams(params);
        EXPECT_TRUE(params.qualityMode4);
        EXPECT_EQ(params.qualityMode, 4);
        expectPage(params.pages[0], 202.0, 76.0, 10, 4);
    }
}

TEST_F(Layout, ReferenceKeywordsReachTheParameters) {
    Recorder layout(dtp41Geometry());
    ChartParams params = jobParams(reference(40, {"RANDOMIZED_PATCHES 1", "ISIS_XL_FORMAT 1",
                                                  "ZEBRA_RULER_MODE 2", "UV_CUT_MODE 3"}),
                                   210.0, 297.0);
    layout.initChartParams(params);
    EXPECT_TRUE(params.randomizedPatches);
    EXPECT_TRUE(params.isisXlFormat);
    EXPECT_EQ(params.zebraRulerMode, 2);
    EXPECT_EQ(layout.zebraRulerMode(), 2);
    EXPECT_EQ(params.uvCutMode, 3);

    // Keywords the file leaves out (or sets to -1) keep the host's values.
    Recorder plain(dtp41Geometry());
    ChartParams kept = jobParams(reference(41, {"UV_CUT_MODE -1"}), 210.0, 297.0);
    kept.uvCutMode = 5;
    kept.randomizedPatches = true;
    kept.apertureSize = 7;
    plain.initChartParams(kept);
    EXPECT_EQ(kept.uvCutMode, 5);
    EXPECT_TRUE(kept.randomizedPatches);
    EXPECT_EQ(kept.apertureSize, 7);
    EXPECT_EQ(kept.channelNames, (std::vector<std::string>{"Cyan", "Magenta", "Yellow", "Black"}));
}

TEST_F(Layout, GridsOfFewerThanEighteenCellsAreNotSearched) {
    // 20 mm squares, no gaps or margins, 7 patches. A 60 x 80 page is a grid
    // of 4 rows x 3 columns = 12 cells: kept. Columns: needed ceil(7 / 4) = 2,
    // fit 3; trimmed from 3 down to 2 for the fewest empty cells (3 - 1 = 2,
    // then 2 - 1 = 1): 2 columns, 4 strips, 40 x 80 mm.
    Recorder small(squareGeometry(20.0));
    ChartParams params = jobParams(reference(7), 60.0, 80.0);
    small.initChartParams(params);
    expectPage(params.pages[0], 40.0, 80.0, 2, 4);
    // A 60 x 120 page is 6 x 3 = 18 cells: searched, 3 x 3 holds 7 with the
    // fewest empty cells among the shapes allowed, so 3 columns of 3 strips.
    Recorder large(squareGeometry(20.0));
    ChartParams tall = jobParams(reference(7), 60.0, 120.0);
    large.initChartParams(tall);
    expectPage(tall.pages[0], 60.0, 60.0, 3, 3);
}

TEST_F(Layout, ISisCutsItsGridToThreeThousandCells) {
    // 1 mm squares on 40 x 100 mm: 100 rows x 40 columns = 4000 cells, cut to
    // 3000 / 40 = 75 rows for the iSis. 3500 patches then need two pages of
    // 40 columns: strips ceil(3500 / 40 / 2) = 44.
    Recorder isis(squareGeometry(1.0));
    ChartParams params = jobParams(reference(3500), 40.0, 100.0, MI_ISIS);
    isis.initChartParams(params);
    ASSERT_EQ(params.pages.size(), 2U);
    expectPage(params.pages[0], 40.0, 44.0, 40, 44);
    expectPage(params.pages[1], 40.0, 44.0, 40, 44);
    // Any other instrument keeps 100 rows: one page of 100 strips of 35
    // (35 divides 3500).
    Recorder other(squareGeometry(1.0));
    ChartParams one = jobParams(reference(3500), 40.0, 100.0, MI_DTP41);
    other.initChartParams(one);
    ASSERT_EQ(one.pages.size(), 1U);
    expectPage(one.pages[0], 35.0, 100.0, 35, 100);
}

TEST_F(Layout, PagesThatWouldReceiveNoPatchAreLeftOut) {
    // 20 mm patches with 5 mm gaps, page 165 x 20, not optimised, 42 patches:
    // one strip of trunc(170 / 25) = 6, so 7 pages of 6 are planned. The
    // stretched patch (sqrt(7 * 165 * 20 / 42) - 5 = 18.4) lets 7 columns
    // fit, and 6 pages of 7 hold all 42 patches: the seventh is dropped.
    // Final patch floor(165 / 7 - 5) = 18.5 wide, 20 - 5 = 15 high.
    Recorder layout(squareGeometry(20.0, 5.0));
    ChartParams params = jobParams(reference(42), 165.0, 20.0);
    params.optimizeLayout = false;
    layout.initChartParams(params);
    EXPECT_DOUBLE_EQ(params.patchWidth, 18.5);
    EXPECT_DOUBLE_EQ(params.patchHeight, 15.0);
    ASSERT_EQ(params.pages.size(), 6U);
    for (const PageLayout& page : params.pages) {
        expectPage(page, 169.5, 20.0, 7, 1);
    }
}

TEST_F(Layout, LaterPagesOfAnUnoptimisedLayoutTakeOnlyTheStripsTheyFill) {
    // 10 mm squares on a 50 x 30 page without optimisation: 3 x 5 cells per
    // page, 40 patches -> 3 pages; 5 columns, 3 strips; the last page holds
    // 40 - 30 = 10 patches in 2 strips.
    Recorder layout(squareGeometry(10.0));
    ChartParams params = jobParams(reference(40), 50.0, 30.0);
    params.optimizeLayout = false;
    layout.initChartParams(params);
    ASSERT_EQ(params.pages.size(), 3U);
    expectPage(params.pages[0], 50.0, 30.0, 5, 3);
    expectPage(params.pages[1], 50.0, 30.0, 5, 3);
    expectPage(params.pages[2], 50.0, 30.0, 5, 2);
}

TEST_F(Layout, PagesWithoutRoomForAPatchAreRefused) {
    const std::string ref = reference(40);
    // 70 mm leaves 2 mm between the DTP41 margins: not one 8 mm patch.
    for (const double width :
         {70.0, 60.0, 0.0, -5.0, std::nan(""), std::numeric_limits<double>::infinity(), 20000.0}) {
        Recorder layout(dtp41Geometry());
        ChartParams params = jobParams(ref, width, 297.0);
        EXPECT_EQ(codeOfInit(layout, params), ERR_PAGE_SIZE) << width;
        EXPECT_TRUE(params.pages.empty()) << width;
    }
    Recorder layout(dtp41Geometry());
    ChartParams params = jobParams(ref, 210.0, std::nan(""));
    EXPECT_EQ(codeOfInit(layout, params), ERR_PAGE_SIZE);
}

TEST_F(Layout, AnAxisWithoutPatchOrGapIsADivisionByZero) {
    Geometry g = squareGeometry(10.0);
    g.sizes[1] = 0.0;  // mode 0 patch width
    Recorder layout(g);
    ChartParams params = jobParams(reference(40), 210.0, 297.0);
    LogCapture log(dir_.file("log.txt"));
    EXPECT_EQ(codeOfInit(layout, params), ERR_DIVISION_BY_ZERO);
    EXPECT_EQ(log.text(), "MeasureInstrument/initChartParams: GenChartLib: Division by zero\n");
}

TEST_F(Layout, AnEmptyReferenceNameOnlyLogs) {
    Recorder layout(dtp41Geometry());
    ChartParams params = jobParams("", 210.0, 297.0);
    LogCapture log(dir_.file("log.txt"));
    EXPECT_EQ(codeOfInit(layout, params), ERR_NONE);
    EXPECT_EQ(log.text(),
              "MeasureInstrument/initChartParams: exit initChartParams: refDataName is empty\n");
    EXPECT_TRUE(params.pages.empty());
    EXPECT_EQ(params.layoutReady, 0);
    EXPECT_EQ(params.patchCount, 0);
}

TEST_F(Layout, AMissingReferenceCannotBeOpened) {
    Recorder layout(dtp41Geometry());
    ChartParams params = jobParams(dir_.file("absent.txt"), 210.0, 297.0);
    EXPECT_EQ(codeOfInit(layout, params), ERR_OPEN_DATA);
}

TEST_F(Layout, SpotPagesNameTheirInksFromTheReference) {
    const std::string path = dir_.file("spot.txt");
    {
        std::ofstream out(path);
        out << "CGATS.17\nKEYWORD \"SPOT_1 'Signal Red'\"\nKEYWORD \"SPOT_2 'Deep Blue'\"\n"
               "NUMBER_OF_FIELDS 3\nBEGIN_DATA_FORMAT\nSAMPLE_ID 3CLR_1 3CLR_2 3CLR_3\n"
               "END_DATA_FORMAT\nNUMBER_OF_SETS 6\nBEGIN_DATA\n";
        for (int i = 1; i <= 6; ++i) {
            out << i << " " << i * 10 << " 0 50\n";
        }
        out << "END_DATA\n";
    }
    RecordingInstrument<WriteSpotColor> layout(dtp41Geometry());
    ChartParams params = jobParams(path, 210.0, 297.0);
    params.colorMode = CM_SPOT_3;
    layout.initChartParams(params);
    ASSERT_EQ(params.channelNames.size(), 3U);
    EXPECT_EQ(params.channelNames[0], "Signal Red");
    EXPECT_EQ(params.channelNames[1], "Deep Blue");
    EXPECT_EQ(params.channelNames[2], "Spot 3");
}

TEST(InkNames, FollowTheChannelsOfEachProcessMode) {
    EXPECT_EQ(processInkNames(CM_CMYKO),
              (std::vector<std::string>{"Cyan", "Magenta", "Yellow", "Black", "Orange"}));
    for (const ColorMode mode : {CM_CMYKOG, CM_SIXCOLOR_6, CM_SIXCOLOR_7}) {
        EXPECT_EQ(processInkNames(mode), (std::vector<std::string>{"Cyan", "Magenta", "Yellow",
                                                                   "Black", "Orange", "Green"}));
    }
    EXPECT_EQ(
        processInkNames(CM_CMYKRGB),
        (std::vector<std::string>{"Cyan", "Magenta", "Yellow", "Black", "Red", "Green", "Blue"}));
    EXPECT_TRUE(processInkNames(CM_LAB).empty());
    EXPECT_TRUE(processInkNames(CM_RGB).empty());
    EXPECT_TRUE(processInkNames(CM_SPOT_2).empty());
}

TEST(MinimumPatchCount, IsSixOrEightForTheBarbieriInstruments) {
    EXPECT_EQ(minimumPatchCount(MI_DTP41), 6);
    EXPECT_EQ(minimumPatchCount(static_cast<IdMeasureInstrument>(1)), 6);
    EXPECT_EQ(minimumPatchCount(static_cast<IdMeasureInstrument>(0)), 0);
    EXPECT_EQ(minimumPatchCount(static_cast<IdMeasureInstrument>(-4)), 0);
    for (const IdMeasureInstrument id :
         {MI_SPECTROLFP, MI_SPECTROLFP_2, MI_SPECTROSWING, MI_SPECTROSWING_2, MI_SPECTROLFP_3}) {
        EXPECT_EQ(minimumPatchCount(id), 8) << id;
    }
    EXPECT_EQ(minimumPatchCount(MI_SPECTROPAD), 6);
}

// ---- Page geometry helpers ----

TEST(PrintableArea, SubtractsMarginsAndLeaderAndTenMillimetresForPrinters) {
    Geometry g;
    const double leader[4] = {5.0, 6.0, 7.0, 8.0};
    std::copy(leader, leader + 4, g.leader);
    Recorder layout(g);
    ChartParams params(CM_CMYK);
    params.pageWidth = 210.0;
    params.pageHeight = 297.0;
    params.marginTop = 1.0;
    params.marginLeft = 2.0;
    params.marginBottom = 3.0;
    params.marginRight = 4.0;
    double area[2] = {};
    params.instrument = MI_DTP41;
    layout.getPrintableArea(area, params);
    EXPECT_DOUBLE_EQ(area[0], 297.0 - 1.0 - 5.0 - 7.0 - 3.0);
    EXPECT_DOUBLE_EQ(area[1], 210.0 - 2.0 - 6.0 - 8.0 - 4.0);
    for (const IdMeasureInstrument id : {MI_HPZ_UVCUT, MI_HPZ, MI_EPSON, MI_CANON, MI_EPSONILS30}) {
        params.instrument = id;
        layout.getPrintableArea(area, params);
        EXPECT_DOUBLE_EQ(area[0], 271.0) << id;
        EXPECT_DOUBLE_EQ(area[1], 180.0) << id;
    }
    // The greatest page extents bound the page before the margins.
    g.limits[2] = 200.0;
    g.limits[3] = 100.0;
    Recorder bounded(g);
    params.instrument = MI_DTP41;
    bounded.getPrintableArea(area, params);
    EXPECT_DOUBLE_EQ(area[0], 184.0);
    EXPECT_DOUBLE_EQ(area[1], 80.0);
}

TEST(LayoutFrame, WidensAFirstPageNarrowerThan29Millimetres) {
    Recorder layout;
    ChartParams params(CM_CMYK);
    params.pageWidth = 210.0;
    params.pageHeight = 297.0;
    params.pages = {{40.0, 20.0, 2, 3}};
    layout.computeLayoutFrame(params);
    EXPECT_DOUBLE_EQ(params.layoutFrame[0], 20.0);  // the old width
    EXPECT_DOUBLE_EQ(params.layoutFrame[1], -1.0);
    EXPECT_DOUBLE_EQ(params.layoutFrame[2], -1.0);
    EXPECT_DOUBLE_EQ(params.layoutFrame[3], -1.0);
    EXPECT_DOUBLE_EQ(params.layoutFrame[4], 40.0);
    EXPECT_DOUBLE_EQ(params.layoutFrame[5], 20.0);
    EXPECT_DOUBLE_EQ(params.pages[0].width, 29.0);

    params.pages = {{40.0, 29.0, 2, 3}};
    params.useWholePage = true;
    layout.computeLayoutFrame(params);
    EXPECT_DOUBLE_EQ(params.layoutFrame[0], -1.0);
    EXPECT_DOUBLE_EQ(params.layoutFrame[4], 297.0);
    EXPECT_DOUBLE_EQ(params.layoutFrame[5], 210.0);
    EXPECT_DOUBLE_EQ(params.pages[0].width, 29.0);
}

TEST(PagesToDraw, APageCallKnowsWhereItsPageSitsInTheChart) {
    ChartParams params(CM_CMYK);
    params.pages = {{10, 10, 5, 3}, {10, 10, 5, 4}, {10, 10, 5, 2}};
    PageSpan all = Recorder::pagesToDraw(params, -1);
    EXPECT_EQ(all.firstPage, 0U);
    EXPECT_EQ(all.endPage, 3U);
    EXPECT_EQ(all.firstStripNumber, 1);
    EXPECT_EQ(all.firstPatchIndex, 0);
    PageSpan second = Recorder::pagesToDraw(params, 1);
    EXPECT_EQ(second.firstPage, 1U);
    EXPECT_EQ(second.endPage, 2U);
    EXPECT_EQ(second.firstStripNumber, 4);
    EXPECT_EQ(second.firstPatchIndex, 15);
    PageSpan third = Recorder::pagesToDraw(params, 2);
    EXPECT_EQ(third.firstStripNumber, 8);
    EXPECT_EQ(third.firstPatchIndex, 35);
    for (const int outside : {3, 99, -2}) {
        const PageSpan none = Recorder::pagesToDraw(params, outside);
        EXPECT_EQ(none.firstPage, none.endPage) << outside;
    }
}

TEST(TenthsOf, TruncatesAndNeverOverflows) {
    EXPECT_EQ(Recorder::tenthsOf(1.5), 15U);
    EXPECT_EQ(Recorder::tenthsOf(38.0), 380U);
    EXPECT_EQ(Recorder::tenthsOf(7.96), 79U);
    EXPECT_EQ(Recorder::tenthsOf(0.06), 0U);
    EXPECT_EQ(Recorder::tenthsOf(-3.0), 0U);
    EXPECT_EQ(Recorder::tenthsOf(std::nan("")), 0U);
    EXPECT_EQ(Recorder::tenthsOf(1e12), std::numeric_limits<std::uint32_t>::max());
}

// ---- Re-fitting after a parameter change ----

class Refit : public ::testing::Test {
  protected:
    // A DTP41 layout of 40 patches in mode 0 on an A4 sheet, as laid out.
    ChartParams laidOut() {
        ChartParams params(CM_CMYK);
        params.instrument = MI_DTP41;
        params.pageWidth = 210.0;
        params.pageHeight = 297.0;
        params.marginTop = 0.5;
        params.marginLeft = 38.0;
        params.marginBottom = 15.0;
        params.marginRight = 30.0;
        params.patchHeight = 13.0;
        params.patchWidth = 8.0;
        params.gapHeight = 0.0;
        params.gapWidth = 1.5;
        params.patchCount = 40;
        params.optimizeLayout = true;
        params.pages = {{1.0, 2.0, 3, 4}};
        return params;
    }
    Recorder layout_{dtp41Geometry()};
};

TEST_F(Refit, NothingHappensWithoutAGeometryChange) {
    const ChartParams previous = laidOut();
    ChartParams current = previous;
    layout_.applyChartParams(previous, current);
    expectPage(current.pages[0], 2.0, 1.0, 3, 4);
    // Clearing the random order with the instrument's gap already in place
    // stops at once too.
    ChartParams randomized = previous;
    randomized.randomizedPatches = true;
    ChartParams cleared = randomized;
    cleared.randomizedPatches = false;
    layout_.applyChartParams(randomized, cleared);
    expectPage(cleared.pages[0], 2.0, 1.0, 3, 4);
    EXPECT_EQ(cleared.layoutReady, 0);
}

TEST_F(Refit, ARandomOrderChangeWidensTheGapAndRefits) {
    // Gap 1.0 grows to the instrument's 1.5. Printable 94.5 x 142: 7 x 15
    // cells; 40 patches fit 4 x 10 without waste; 14 columns would fit but
    // 40 % 14 > 0 so 10 is taken; 4 strips. 38 + 9.5 * 10 + 1.5 + 30 = 164.5
    // wide, 13 * 4 + 0.5 + 15 = 67.5 high.
    ChartParams previous = laidOut();
    previous.gapWidth = 1.0;
    previous.randomizedPatches = true;
    ChartParams current = previous;
    current.randomizedPatches = false;
    layout_.applyChartParams(previous, current);
    EXPECT_DOUBLE_EQ(current.gapWidth, 1.5);
    ASSERT_EQ(current.pages.size(), 1U);
    expectPage(current.pages[0], 164.5, 67.5, 10, 4);
    EXPECT_EQ(current.layoutReady, 1);
    EXPECT_EQ(current.stripCapacity, 15);
}

TEST_F(Refit, AWiderPatchRefitsTheColumns) {
    // Patch 10 wide: grid 7 x trunc(143.5 / 11.5) = 12, best shape 4 x 10;
    // 38 + 11.5 * 10 + 1.5 + 30 = 184.5 wide.
    const ChartParams previous = laidOut();
    ChartParams current = previous;
    current.patchWidth = 10.0;
    layout_.applyChartParams(previous, current);
    expectPage(current.pages[0], 184.5, 67.5, 10, 4);
    EXPECT_EQ(current.stripCapacity, 12);
}

TEST_F(Refit, APrintableAreaWithoutRoomIsRefused) {
    const ChartParams previous = laidOut();
    ChartParams current = previous;
    current.patchWidth = 200.0;
    try {
        layout_.applyChartParams(previous, current);
        FAIL() << "no error";
    } catch (eColorCtrlErrors code) {
        EXPECT_EQ(code, ERR_PAGE_SIZE);
    }
}

// ---- The page loop ----

class PageLoop : public ::testing::Test {
  protected:
    ChartParams params(int sets, std::vector<PageLayout> pages, bool optimize) {
        const std::string path = dir_.file("ref.txt");
        writeCmykReference(path, sets);
        ChartParams p(CM_CMYK);
        p.instrument = MI_DTP41;
        p.refDataName = path;
        p.outputKind = 1;
        p.optimizeLayout = optimize;
        p.outputName = dir_.file("chart.tif.tmp");
        p.pages = std::move(pages);
        return p;
    }
    static bool isPaper(const WriteCMYK::PixelColor& c) { return c == WriteCMYK::paperColor(); }
    // Cyan byte of reference patch i as the loader makes it.
    static std::uint8_t cyanByte(int i) {
        return inkByteFromPercent(static_cast<double>(cyanPercentOf(i)));
    }
    TempDir dir_;
};

TEST_F(PageLoop, NamesEveryPageFromTheStemBeforeTheLastFullStop) {
    ChartParams p = params(30, {{50, 100, 5, 2}, {50, 100, 5, 2}, {50, 100, 5, 2}}, true);
    Recorder layout;
    layout.writeChart(p);
    ASSERT_EQ(layout.calls.size(), 3U);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(layout.calls[static_cast<std::size_t>(i)].page, i);
        EXPECT_EQ(layout.calls[static_cast<std::size_t>(i)].outputName,
                  dir_.file("chart.tif_" + std::to_string(i) + ".tif"));
    }
    EXPECT_EQ(p.outputName, dir_.file("chart.tif_2.tif"));
    EXPECT_EQ(p.pageCount, 3);
    EXPECT_EQ(p.channelCount, 4);
    EXPECT_DOUBLE_EQ(p.firstPageWidth, 100.0);
    EXPECT_DOUBLE_EQ(p.firstPageHeight, 50.0);
    EXPECT_EQ(p.instrumentShortName, "DTP41");
}

TEST_F(PageLoop, PadsToFullStripsOrToFullPagesWhenOptimised) {
    // 50 patches, 12 per strip: 10 paper patches make 60.
    {
        ChartParams p = params(50, {{50, 100, 12, 5}}, false);
        Recorder layout;
        layout.writeChart(p);
        ASSERT_EQ(layout.calls.size(), 1U);
        const auto& patches = layout.calls[0].patches;
        ASSERT_EQ(patches.size(), 60U);
        EXPECT_FALSE(isPaper(patches[49]));
        for (std::size_t i = 50; i < 60; ++i) {
            EXPECT_TRUE(isPaper(patches[i])) << i;
        }
    }
    // Optimised, a page of 4 x 12 is the unit: 46 make 96 over two pages.
    {
        ChartParams p = params(50, {{50, 100, 12, 4}, {50, 100, 12, 4}}, true);
        Recorder layout;
        layout.writeChart(p);
        ASSERT_EQ(layout.calls.size(), 2U);
        EXPECT_EQ(layout.calls[0].patches.size(), 48U);
        EXPECT_EQ(layout.calls[1].patches.size(), 48U);
        EXPECT_EQ(layout.calls[1].patches[1].channels[0], cyanByte(49));
        EXPECT_TRUE(isPaper(layout.calls[1].patches[2]));
        EXPECT_TRUE(isPaper(layout.calls[1].patches[47]));
    }
}

TEST_F(PageLoop, SplitsThePatchesOverThePagesInOrder) {
    // Two pages of 5 x 10 and 62 patches: padded to 100; page 0 takes 0-49,
    // page 1 50-99.
    ChartParams p = params(62, {{50, 100, 10, 5}, {50, 100, 10, 5}}, true);
    Recorder layout;
    layout.writeChart(p);
    ASSERT_EQ(layout.calls.size(), 2U);
    ASSERT_EQ(layout.calls[0].patches.size(), 50U);
    ASSERT_EQ(layout.calls[1].patches.size(), 50U);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(layout.calls[0].patches[static_cast<std::size_t>(i)].channels[0], cyanByte(i));
    }
    for (int i = 50; i < 62; ++i) {
        EXPECT_EQ(layout.calls[1].patches[static_cast<std::size_t>(i - 50)].channels[0],
                  cyanByte(i));
    }
    EXPECT_TRUE(isPaper(layout.calls[1].patches[12]));
}

TEST_F(PageLoop, ZebraRulerChartsAlternatePaperAndGreyMarkers) {
    // Lumo-20 with zebra ruler mode 1, 10 per strip, 17 patches: paper, grey,
    // paper brings the count to 20.
    ChartParams p = params(17, {{50, 100, 10, 2}}, false);
    p.instrument = MI_LUMO20;
    p.zebraRulerMode = 1;
    Recorder layout;
    layout.writeChart(p);
    const auto& patches = layout.calls.at(0).patches;
    ASSERT_EQ(patches.size(), 20U);
    EXPECT_TRUE(isPaper(patches[17]));
    EXPECT_EQ(patches[18], WriteCMYK::greyMarkerColor());
    EXPECT_TRUE(isPaper(patches[19]));
}

TEST_F(PageLoop, PadsToTheInstrumentMinimumBeforeFullStrips) {
    // 3 patches and strips of 3: the layout counted 6 (the instrument
    // minimum), so the page gets 6, not a strip and a hole.
    ChartParams p = params(3, {{50, 100, 3, 2}}, false);
    Recorder layout;
    layout.writeChart(p);
    ASSERT_EQ(layout.calls.at(0).patches.size(), 6U);
    EXPECT_TRUE(isPaper(layout.calls[0].patches[5]));
    // Without an instrument nothing is added at all.
    ChartParams bare = params(3, {{50, 100, 2, 2}}, false);
    bare.instrument = static_cast<IdMeasureInstrument>(0);
    Recorder plain;
    plain.writeChart(bare);
    EXPECT_EQ(plain.calls.at(0).patches.size(), 3U);
}

TEST_F(PageLoop, APdfJobDrawsEveryPatchInOneCall) {
    ChartParams p = params(30, {{50, 100, 5, 3}, {50, 100, 5, 3}}, true);
    p.outputKind = 0;
    Recorder layout;
    layout.writeChart(p);
    ASSERT_EQ(layout.calls.size(), 1U);
    EXPECT_EQ(layout.calls[0].page, -1);
    EXPECT_EQ(layout.calls[0].patches.size(), 30U);
    EXPECT_EQ(layout.calls[0].outputName, dir_.file("chart.tif_0.tif"));
}

TEST_F(PageLoop, AnEmptyLayoutLogsAndWritesNothing) {
    ChartParams p = params(30, {}, true);
    LogCapture log(dir_.file("log.txt"));
    Recorder layout;
    EXPECT_NO_THROW(layout.writeChart(p));
    EXPECT_TRUE(layout.calls.empty());
    EXPECT_EQ(log.text(), "MeasureInstrument/writeChart: GenChartLib: Empty page vector\n");
}

TEST_F(PageLoop, AnEmptyOutputNameIsAnInvalidChartName) {
    ChartParams p = params(30, {{50, 100, 5, 3}}, true);
    p.outputName.clear();
    LogCapture log(dir_.file("log.txt"));
    Recorder layout;
    try {
        layout.writeChart(p);
        FAIL() << "no error";
    } catch (eColorCtrlErrors code) {
        EXPECT_EQ(code, ERR_INVALID_CHART_NAME);
    }
    EXPECT_EQ(log.text(), "MeasureInstrument/writeChart: GenChartLib: Invalid chart name\n");
    EXPECT_TRUE(layout.calls.empty());
}

TEST_F(PageLoop, AReferenceThatHasGoneIsReported) {
    ChartParams p = params(30, {{50, 100, 5, 3}}, true);
    std::remove(p.refDataName.c_str());
    Recorder layout;
    try {
        layout.writeChart(p);
        FAIL() << "no error";
    } catch (eColorCtrlErrors code) {
        EXPECT_EQ(code, ERR_OPEN_DATA);
    }
}

// ---- Chart ids ----

TEST(ChartIdText, AppendsZerosBehindAShortAddressAndPadsTheCounter) {
    // 192.168.1.10 as stored: 0x0A01A8C0, seven digits "a01a8c0".
    EXPECT_EQ(formatChartId(0x0A01A8C0u, 1), "A01A8C0001");
    EXPECT_EQ(formatChartId(0xDEADBEEFu, 0xAB), "DEADBEEFAB");
    EXPECT_EQ(formatChartId(0x1u, 15), "100000000F");
    EXPECT_EQ(formatChartId(0u, 16), "0000000010");
}

class ChartIdCounter : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = std::getenv("TMPDIR");
        oldTmp_ = old != nullptr ? old : "";
        hadTmp_ = old != nullptr;
        setenv("TMPDIR", dir_.path().c_str(), 1);
    }
    void TearDown() override {
        if (hadTmp_) {
            setenv("TMPDIR", oldTmp_.c_str(), 1);
        } else {
            unsetenv("TMPDIR");
        }
    }
    std::string counterFile() const { return dir_.file("qvnstcid.dat"); }
    int storedCounter() const {
        std::FILE* in = std::fopen(counterFile().c_str(), "rb");
        if (in == nullptr) {
            return -1;
        }
        const int c = std::fgetc(in);
        std::fclose(in);
        return c;
    }
    void storeCounter(int value) const {
        std::FILE* out = std::fopen(counterFile().c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fputc(value, out);
        std::fclose(out);
    }
    static std::string counterOf(const std::string& id) { return id.substr(id.size() - 2); }

    TempDir dir_;
    std::string oldTmp_;
    bool hadTmp_ = false;
};

TEST_F(ChartIdCounter, CountsOnFromTheStoredByteAndWrapsAfter255) {
    storeCounter(41);
    Recorder layout;
    ChartParams params(CM_CMYK);
    layout.makeChartId(params);
    ASSERT_EQ(params.chartId.size(), 10U);
    EXPECT_EQ(counterOf(params.chartId), "2A");
    EXPECT_EQ(storedCounter(), 42);

    storeCounter(255);
    layout.makeChartId(params);
    EXPECT_EQ(counterOf(params.chartId), "01");
    EXPECT_EQ(storedCounter(), 1);
    EXPECT_EQ(layout.chartIds().size(), 2U);
    EXPECT_EQ(layout.chartIds().back(), params.chartId);
}

TEST_F(ChartIdCounter, StartsANewCounterFileAtARandomByte) {
    Recorder layout;
    ChartParams params(CM_CMYK);
    layout.makeChartId(params);
    const int stored = storedCounter();
    ASSERT_GE(stored, 0);
    char expected[3];
    std::snprintf(expected, sizeof expected, "%02X", stored);
    EXPECT_EQ(counterOf(params.chartId), expected);
}

TEST_F(ChartIdCounter, BeginsWithTheHostAddress) {
    const auto bytes = platform::firstLocalIPv4();
    if (!bytes) {
        GTEST_SKIP() << "this host has no IPv4 address";
    }
    Recorder layout;
    ChartParams params(CM_CMYK);
    layout.makeChartId(params);
    const std::uint32_t stored = static_cast<std::uint32_t>((*bytes)[0]) |
                                 static_cast<std::uint32_t>((*bytes)[1]) << 8 |
                                 static_cast<std::uint32_t>((*bytes)[2]) << 16 |
                                 static_cast<std::uint32_t>((*bytes)[3]) << 24;
    EXPECT_EQ(params.chartId.substr(0, 8), formatChartId(stored, 0).substr(0, 8));
}

// ---- Mark colours ----

using CMYK = WriteCMYK::PixelColor;

CMYK cmyk(std::uint8_t c, std::uint8_t m, std::uint8_t y, std::uint8_t k) {
    return {{c, m, y, k}, {}};
}

TEST(MarkColors, NearPaperIsBlackBetweenPatchesWithoutCyanMagentaOrBlack) {
    Recorder layout;
    const CMYK black = WriteCMYK::blackColor();
    const CMYK paper = WriteCMYK::paperColor();
    // Yellow alone leaves a mark in paper colour invisible: black.
    EXPECT_EQ(layout.markColorNearPaper(cmyk(0, 0, 255, 0), paper), black);
    // Two light greys (K 20 of 255: L* 91.0 against the paper's 93.9) lie
    // within 15 of paper: black.
    EXPECT_EQ(layout.markColorNearPaper(cmyk(0, 0, 0, 20), cmyk(0, 20, 0, 0)), black);
    // A solid cyan (L* about 45) is far from paper: paper-coloured marks.
    EXPECT_EQ(layout.markColorNearPaper(cmyk(255, 0, 0, 0), paper), paper);
    EXPECT_EQ(layout.markColorNearPaper(black, black), paper);
}

TEST(MarkColors, NearPaperCountsTheExtraInksAsInk) {
    RecordingInstrument<WriteCMYKOG> layout;
    const WriteCMYKOG::PixelColor yellow = WriteCMYKOG::yellowColor();
    WriteCMYKOG::PixelColor orangeOnYellow = yellow;
    orangeOnYellow.channels[4] = 0;  // full orange, stored inverted
    EXPECT_EQ(layout.markColorNearPaper(yellow, WriteCMYKOG::paperColor()),
              WriteCMYKOG::blackColor());
    // With orange the first rule no longer holds, and yellow lies far from
    // paper (b* about 94), so the marks take the paper colour.
    EXPECT_EQ(layout.markColorNearPaper(orangeOnYellow, yellow), WriteCMYKOG::paperColor());
}

TEST(MarkColors, NearPaperForLabAndRgbPages) {
    RecordingInstrument<WriteLAB> lab;
    const WriteLAB::PixelColor white{{255, 0, 0}, {}};
    const WriteLAB::PixelColor yellowish{{255, 0, 127}, {}};
    const WriteLAB::PixelColor dark{{40, 0, 0}, {}};
    EXPECT_EQ(lab.markColorNearPaper(white, yellowish), WriteLAB::blackColor());
    EXPECT_EQ(lab.markColorNearPaper(dark, white), WriteLAB::paperColor());

    RecordingInstrument<WriteRGB> rgb;
    const WriteRGB::PixelColor yellow{{255, 255, 0}, {}};
    const WriteRGB::PixelColor blue{{0, 0, 255}, {}};
    EXPECT_EQ(rgb.markColorNearPaper(yellow, WriteRGB::paperColor()), WriteRGB::blackColor());
    EXPECT_EQ(rgb.markColorNearPaper(blue, WriteRGB::paperColor()), WriteRGB::paperColor());
}

TEST(MarkColors, ByLightnessSeparatesDarkPairsFromLightOnes) {
    Recorder layout;
    const CMYK black = WriteCMYK::blackColor();
    const CMYK paper = WriteCMYK::paperColor();
    // Two pale patches close to paper and to each other: black.
    EXPECT_EQ(layout.markColorByLightness(cmyk(10, 0, 0, 0), cmyk(0, 10, 0, 0)), black);
    // Black next to solid blue (cyan + magenta): both L* near 13, far from
    // paper, so paper-coloured marks.
    EXPECT_EQ(layout.markColorByLightness(black, cmyk(255, 255, 0, 0)), paper);
    // Solid black beside paper: not both dark, so black.
    EXPECT_EQ(layout.markColorByLightness(black, paper), black);
}

TEST(MarkColors, ForLightPairsOnlyCloseToPaperGetsBlack) {
    Recorder layout;
    EXPECT_EQ(layout.markColorForLightPair(cmyk(10, 0, 0, 0), WriteCMYK::paperColor()),
              WriteCMYK::blackColor());
    // Solid yellow is light but far from paper in chroma: paper colour.
    EXPECT_EQ(layout.markColorForLightPair(cmyk(0, 0, 255, 0), WriteCMYK::paperColor()),
              WriteCMYK::paperColor());
}

TEST(FillerColors, ArePaperInTheBase) {
    RecordingInstrument<WriteCMYKO> layout;
    EXPECT_EQ(layout.fillerColor(5, 2), WriteCMYKO::paperColor());
    EXPECT_EQ(layout.fillerColorAlt(5, 2), WriteCMYKO::paperColor());
}

}  // namespace
}  // namespace GenChartLib
