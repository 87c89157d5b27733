// The layout engine: page fitting worked out by hand from the layout rules
// for several instruments, pages, patch counts and quality modes; the page
// loop with its padding and page split; chart ids; page geometry helpers and
// the mark colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "base/ErrorCodes.h"
#include "engine/ChartTestSupport.h"
#include "engine/MeasureInstrument.h"
#include "platform/Platform.h"
#include "render/Writers.h"

namespace GenChartLib {
namespace {

using chart_test::dtp41Geometry;
using chart_test::Geometry;
using chart_test::LogCapture;
using chart_test::RecordingInstrument;
using chart_test::TempDir;
using chart_test::writeCmykReference;

using Recorder = RecordingInstrument<WriteCMYK>;
using CMYK = WriteCMYK::PixelColor;

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

template <class Call>
eColorCtrlErrors codeOf(Call call) {
    try {
        call();
    } catch (eColorCtrlErrors code) {
        return code;
    }
    return ERR_NONE;
}

void expectPages(const std::vector<PageLayout>& pages, const std::vector<PageLayout>& expected) {
    ASSERT_EQ(pages.size(), expected.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_DOUBLE_EQ(pages[i].height, expected[i].height) << "page " << i;
        EXPECT_DOUBLE_EQ(pages[i].width, expected[i].width) << "page " << i;
        EXPECT_EQ(pages[i].columns, expected[i].columns) << "page " << i;
        EXPECT_EQ(pages[i].strips, expected[i].strips) << "page " << i;
    }
}

// Square patches of one size, one gap everywhere, no margins, wide limits.
Geometry squareGeometry(double patchMm, double gapMm = 0.0) {
    Geometry g;
    std::fill(std::begin(g.sizes), std::end(g.sizes), patchMm);
    std::fill(std::begin(g.gaps), std::end(g.gaps), gapMm);
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

TEST_F(Layout, PagesAsWorkedOutByHand) {
    using Pages = std::vector<PageLayout>;
    struct Case {
        Geometry geometry;
        IdMeasureInstrument instrument;
        int sets;
        double widthMm, heightMm;
        bool optimize;
        int patchCount;
        double patchWidthMm, patchHeightMm;
        Pages pages;
    };
    const Geometry dtp = dtp41Geometry(), sq1 = squareGeometry(1), sq10 = squareGeometry(10),
                   sq20 = squareGeometry(20), sq20gap5 = squareGeometry(20, 5);
    const auto none = static_cast<IdMeasureInstrument>(0);
    const PageLayout full = {30, 50, 5, 3};
    const Case cases[] = {
        // DTP41 in quality mode 0: margins 0.5/38/15/30, patch 13 x 8, gaps
        // 0 / 1.5. Printable: height min(297, 110) - 15.5 = 94.5, width 210 -
        // 68 = 142. Grid: 94.5 / 13 -> 7 rows, 143.5 / 9.5 -> 15 columns.
        // 1500 patches: 105 cells is too few for any one-page shape, so 15
        // pages of 105. The stretched patch (sqrt(15 * 142 * 94.5 / 1500) =
        // 11.58) keeps 8 wide; 15 columns, 1500 % 15 = 0 so no trimming;
        // strips ceil(1500 / 15 / 15) = 7. Final patch width floor(142 / 15 -
        // 1.5) = 7.9, height min(13.5, 13). Page: 38 + 9.4 * 15 + 1.5 + 30 =
        // 210.5 wide, 13 * 7 + 0.5 + 15 = 106.5 high.
        {dtp, MI_DTP41, 1500, 210, 297, true, 1500, 7.9, 13, Pages(15, {106.5, 210.5, 15, 7})},
        // 3 sets become 6; the search over the 7 x 15 grid ends at 1 x 6 (no
        // waste): 38 + 9.5 * 6 + 1.5 + 30 wide, 13 + 0.5 + 15 high.
        {dtp, MI_DTP41, 3, 210, 297, true, 6, 8, 13, {{28.5, 126.5, 6, 1}}},
        // The Barbieri instruments need 8: 38 + 76 + 31.5 mm.
        {dtp, MI_SPECTROLFP, 3, 210, 297, true, 8, 8, 13, {{28.5, 145.5, 8, 1}}},
        // Without an instrument nothing is added: 38 + 28.5 + 31.5.
        {dtp, none, 3, 210, 297, true, 3, 8, 13, {{28.5, 98.0, 3, 1}}},
        // 20 mm squares on 60 x 80: 4 x 3 = 12 cells, fewer than 18, so not
        // searched. Columns: ceil(7 / 4) = 2 needed, 3 fit; trimmed to the
        // fewest empty cells (3 - 1 = 2, then 2 - 1 = 1): 2 columns, 4 strips.
        {sq20, MI_DTP41, 7, 60, 80, true, 7, 20, 20, {{80, 40, 2, 4}}},
        // 60 x 120 is 6 x 3 = 18 cells: searched; 3 x 3 holds 7 with the
        // fewest empty cells among the shapes allowed.
        {sq20, MI_DTP41, 7, 60, 120, true, 7, 20, 20, {{60, 60, 3, 3}}},
        // 1 mm squares on 40 x 100: 100 x 40 = 4000 cells, cut to 3000 / 40 =
        // 75 rows for the iSis; 3500 patches on two pages of 40 columns,
        // strips ceil(3500 / 40 / 2) = 44.
        {sq1, MI_ISIS, 3500, 40, 100, true, 3500, 1, 1, Pages(2, {44, 40, 40, 44})},
        // Any other instrument keeps 100 rows: one page of 100 strips of 35.
        {sq1, MI_DTP41, 3500, 40, 100, true, 3500, 1, 1, {{100, 35, 35, 100}}},
        // 20 mm patches, 5 mm gaps, 165 x 20, not optimised, 42 patches: one
        // strip of trunc(170 / 25) = 6, so 7 pages are planned. The stretched
        // patch (sqrt(7 * 165 * 20 / 42) - 5 = 18.4) lets 7 columns fit, and 6
        // pages of 7 hold all 42: the seventh gets no patch and is dropped.
        // Patch floor(165 / 7 - 5) = 18.5 wide, 20 - 5 = 15 high.
        {sq20gap5, MI_DTP41, 42, 165, 20, false, 42, 18.5, 15, Pages(6, {20, 169.5, 7, 1})},
        // 10 mm squares on 50 x 30, not optimised: 3 x 5 cells, 40 patches on
        // 3 pages; the last holds 40 - 30 = 10 patches in 2 strips.
        {sq10, MI_DTP41, 40, 50, 30, false, 40, 10, 10, {full, full, {30, 50, 5, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.sets) + " patches on " + std::to_string(c.widthMm) + " x " +
                     std::to_string(c.heightMm));
        Recorder layout(c.geometry);
        ChartParams params = jobParams(reference(c.sets), c.widthMm, c.heightMm, c.instrument);
        params.optimizeLayout = c.optimize;
        layout.initChartParams(params);
        EXPECT_EQ(params.patchCount, c.patchCount);
        EXPECT_EQ(layout.patchCount(), c.patchCount);
        EXPECT_EQ(layout.originalPatchCount(), c.sets);
        EXPECT_DOUBLE_EQ(params.patchWidth, c.patchWidthMm);
        EXPECT_DOUBLE_EQ(params.patchHeight, c.patchHeightMm);
        expectPages(params.pages, c.pages);
        EXPECT_EQ(params.layoutReady, 1);
        // The frame is the first page; none is below the 29 mm minimum.
        const double frame[6] = {-1, -1, -1, -1, c.pages[0].height, c.pages[0].width};
        for (int i = 0; i < 6; ++i) {
            EXPECT_DOUBLE_EQ(params.layoutFrame[i], frame[i]) << i;
        }
    }
}

TEST_F(Layout, ReferenceKeywordsChooseTheQualityMode) {
    // 40 patches on an A4 sheet. Mode 0 (first margins 0.5/38/15/30, 13 x 8,
    // gaps 0 / 1.5): printable 94.5 x 142, grid 7 x 15, best shape 4 x 10:
    // 38 + 9.5 * 10 + 1.5 + 30 = 164.5 by 13 * 4 + 0.5 + 15 = 67.5.
    // Modes 2 and 4 (third margins 1/40/15/40, 13 x 10, gaps 2 / 2):
    // printable 94 x 130, grid 6 x 11, 4 x 10 again: 40 + 12 * 10 + 2 + 40 =
    // 202 by 15 * 4 + 1 + 15 = 76. Mode 1 (gaps 0.1 / 2): grid 7 x 11, 4 x 10,
    // 13.1 * 4 + 1 + 15 = 68.4 high. The strip capacity counts mode-0
    // patches: (142 + 1.5) / 9.5 = 15, or (130 + 1.5) / 9.5 = 13.
    struct Case {
        std::vector<std::string> keywords;
        int hostMode, mode;
        double widthMm, heightMm, gapHeightMm, gapWidthMm, patchWidthMm;
        int stripCapacity;
    };
    const Case cases[] = {
        {{"LOWRES 1"}, 0, 2, 202, 76, 2, 2, 10, 13},
        {{"APERTURESIZE 6"}, 0, 1, 202, 68.4, 0.1, 2, 10, 13},
        {{"APERTURESIZE 8"}, 0, 2, 202, 76, 2, 2, 10, 13},
        {{"APERTURESIZE 2"}, 1, 0, 164.5, 67.5, 0, 1.5, 8, 15},
        {{"APERTURESIZE 2", "LOWRES 1"}, 0, 2, 202, 76, 2, 2, 10, 13},
        {{}, 4, 4, 202, 76, 2, 2, 10, 13},
    };
    const Geometry dtp = dtp41Geometry();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keywords.empty() ? "host mode 4" : c.keywords.back());
        Recorder layout(dtp);
        ChartParams params = jobParams(reference(40, c.keywords), 210.0, 297.0);
        params.qualityMode = c.hostMode;
        layout.initChartParams(params);
        EXPECT_EQ(params.qualityMode, c.mode);
        EXPECT_EQ(params.qualityMode4, c.hostMode == 4);
        const MarginSet& margins = c.mode == 0 ? dtp.first : dtp.third;
        EXPECT_DOUBLE_EQ(params.marginTop, margins.top);
        EXPECT_DOUBLE_EQ(params.marginLeft, margins.left);
        EXPECT_DOUBLE_EQ(params.marginBottom, margins.bottom);
        EXPECT_DOUBLE_EQ(params.marginRight, margins.right);
        EXPECT_DOUBLE_EQ(params.gapHeight, c.gapHeightMm);
        EXPECT_DOUBLE_EQ(params.gapWidth, c.gapWidthMm);
        EXPECT_DOUBLE_EQ(params.patchWidth, c.patchWidthMm);
        EXPECT_DOUBLE_EQ(params.patchHeight, 13.0);
        expectPages(params.pages, {{c.heightMm, c.widthMm, 10, 4}});
        EXPECT_EQ(params.stripCapacity, c.stripCapacity);
    }
}

TEST_F(Layout, ReferenceKeywordsReachTheParameters) {
    Recorder layout(dtp41Geometry());
    ChartParams params =
        jobParams(reference(40, {"RANDOMIZED_PATCHES 1", "ISIS_XL_FORMAT 1", "ZEBRA_RULER_MODE 2",
                                 "UV_CUT_MODE 3", "LOWRES 1", "APERTURESIZE 6"}),
                  210.0, 297.0);
    layout.initChartParams(params);
    EXPECT_TRUE(params.randomizedPatches);
    EXPECT_TRUE(params.isisXlFormat);
    EXPECT_TRUE(params.lowRes);
    EXPECT_EQ(params.apertureSize, 6);
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

TEST_F(Layout, RefusesWhatItCannotLayOut) {
    const std::string ref = reference(40);
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    // 70 mm leaves 2 mm between the DTP41 margins: not one 8 mm patch.
    const double pageSizesMm[][2] = {{70, 297},  {60, 297},  {0, 297},     {-5, 297},
                                     {nan, 297}, {inf, 297}, {20000, 297}, {210, nan}};
    for (const auto& [widthMm, heightMm] : pageSizesMm) {
        Recorder layout(dtp41Geometry());
        ChartParams params = jobParams(ref, widthMm, heightMm);
        EXPECT_EQ(codeOf([&] { layout.initChartParams(params); }), ERR_PAGE_SIZE)
            << widthMm << " x " << heightMm;
        EXPECT_TRUE(params.pages.empty());
    }

    LogCapture log(dir_.file("log.txt"));
    Geometry noWidth = squareGeometry(10.0);
    noWidth.sizes[1] = 0.0;  // mode 0 patch width, and no gap either
    Recorder divided(noWidth);
    ChartParams params = jobParams(ref, 210.0, 297.0);
    EXPECT_EQ(codeOf([&] { divided.initChartParams(params); }), ERR_DIVISION_BY_ZERO);
    Recorder layout(dtp41Geometry());
    ChartParams absent = jobParams(dir_.file("absent.txt"), 210.0, 297.0);
    EXPECT_EQ(codeOf([&] { layout.initChartParams(absent); }), ERR_OPEN_DATA);
    // An empty reference name only logs and leaves the layout untouched.
    ChartParams unnamed = jobParams("", 210.0, 297.0);
    EXPECT_EQ(codeOf([&] { layout.initChartParams(unnamed); }), ERR_NONE);
    EXPECT_TRUE(unnamed.pages.empty());
    EXPECT_EQ(unnamed.layoutReady, 0);
    EXPECT_EQ(unnamed.patchCount, 0);
    EXPECT_EQ(log.text(),
              "MeasureInstrument/initChartParams: GenChartLib: Division by zero\n"
              "MeasureInstrument/initChartParams: exit initChartParams: refDataName is empty\n");
}

TEST_F(Layout, InkNamesFollowTheModeOrTheSpotReference) {
    const std::vector<std::string> six = {"Cyan", "Magenta", "Yellow", "Black", "Orange", "Green"};
    EXPECT_EQ(processInkNames(CM_CMYKO), (std::vector<std::string>(six.begin(), six.end() - 1)));
    for (const ColorMode mode : {CM_CMYKOG, CM_SIXCOLOR_6, CM_SIXCOLOR_7}) {
        EXPECT_EQ(processInkNames(mode), six);
    }
    EXPECT_EQ(
        processInkNames(CM_CMYKRGB),
        (std::vector<std::string>{"Cyan", "Magenta", "Yellow", "Black", "Red", "Green", "Blue"}));
    for (const ColorMode mode : {CM_LAB, CM_RGB, CM_SPOT_2}) {
        EXPECT_TRUE(processInkNames(mode).empty()) << mode;
    }

    const std::string path = dir_.file("spot.txt");
    std::ofstream(path)
        << "CGATS.17\nKEYWORD \"SPOT_1 'Signal Red'\"\nKEYWORD \"SPOT_2 'Deep Blue'\"\n"
           "NUMBER_OF_FIELDS 3\nBEGIN_DATA_FORMAT\nSAMPLE_ID 3CLR_1 3CLR_2 3CLR_3\n"
           "END_DATA_FORMAT\nNUMBER_OF_SETS 6\nBEGIN_DATA\n1 10 0 50\n2 20 0 50\n"
           "3 30 0 50\n4 40 0 50\n5 50 0 50\n6 60 0 50\nEND_DATA\n";
    RecordingInstrument<WriteSpotColor> layout(dtp41Geometry());
    ChartParams params = jobParams(path, 210.0, 297.0);
    params.colorMode = CM_SPOT_3;
    layout.initChartParams(params);
    EXPECT_EQ(params.channelNames, (std::vector<std::string>{"Signal Red", "Deep Blue", "Spot 3"}));
}

TEST(MinimumPatchCount, IsSixOrEightForTheBarbieriInstruments) {
    const std::pair<int, int> expected[] = {{2, 6},  {1, 6},  {0, 0},  {-4, 0}, {28, 8},
                                            {29, 8}, {31, 8}, {32, 8}, {33, 8}, {34, 6}};
    for (const auto& [id, minimum] : expected) {
        EXPECT_EQ(minimumPatchCount(static_cast<IdMeasureInstrument>(id)), minimum) << id;
    }
}

// ---- Re-fitting after a parameter change ----

TEST_F(Layout, RefitsOnlyAfterAGeometryChange) {
    // The DTP41 layout of 40 patches in mode 0 on an A4 sheet, its page
    // replaced by a marker that only a re-fit overwrites.
    Recorder layout(dtp41Geometry());
    ChartParams laidOut = jobParams(reference(40), 210.0, 297.0);
    layout.initChartParams(laidOut);
    laidOut.pages = {{1.0, 2.0, 3, 4}};
    laidOut.layoutReady = 0;
    const auto refit = [&](ChartParams previous, auto change) {
        ChartParams current = previous;
        change(current);
        layout.applyChartParams(previous, current);
        return current;
    };
    const ChartParams unchanged = refit(laidOut, [](ChartParams&) {});
    expectPages(unchanged.pages, {{1.0, 2.0, 3, 4}});
    // Clearing the random order with the instrument's gap already in place
    // stops at once too.
    ChartParams randomized = laidOut;
    randomized.randomizedPatches = true;
    const ChartParams cleared =
        refit(randomized, [](ChartParams& p) { p.randomizedPatches = false; });
    expectPages(cleared.pages, {{1.0, 2.0, 3, 4}});
    EXPECT_EQ(cleared.layoutReady, 0);

    // A gap of 1.0 grows to the instrument's 1.5. Printable 94.5 x 142: 7 x
    // 15 cells; 40 patches fit 4 x 10 without waste; 14 columns would fit but
    // 40 % 14 > 0 so 10 is taken: 38 + 9.5 * 10 + 1.5 + 30 = 164.5 wide,
    // 13 * 4 + 0.5 + 15 = 67.5 high.
    randomized.gapWidth = 1.0;
    const ChartParams widened =
        refit(randomized, [](ChartParams& p) { p.randomizedPatches = false; });
    EXPECT_DOUBLE_EQ(widened.gapWidth, 1.5);
    expectPages(widened.pages, {{67.5, 164.5, 10, 4}});
    EXPECT_EQ(widened.layoutReady, 1);
    EXPECT_EQ(widened.stripCapacity, 15);

    // Patch 10 wide: grid 7 x trunc(143.5 / 11.5) = 12, best shape 4 x 10;
    // 38 + 11.5 * 10 + 1.5 + 30 = 184.5 wide.
    const ChartParams wider = refit(laidOut, [](ChartParams& p) { p.patchWidth = 10.0; });
    expectPages(wider.pages, {{67.5, 184.5, 10, 4}});
    EXPECT_EQ(wider.stripCapacity, 12);

    EXPECT_EQ(codeOf([&] { refit(laidOut, [](ChartParams& p) { p.patchWidth = 200.0; }); }),
              ERR_PAGE_SIZE);
}

// ---- Page geometry helpers ----

TEST(PrintableArea, SubtractsMarginsAndLeaderAndTenMillimetresForPrinters) {
    // Page 210 x 297 bounded to 205 x 290, margins 1/2/3/4, leader 5/6/7/8:
    // 290 - 1 - 5 - 7 - 3 = 274 high, 205 - 2 - 6 - 8 - 4 = 185 wide. The
    // printers' 10 mm come off the page before the bounds: 287 and 200.
    Geometry g;
    g.limits[2] = 290.0;
    g.limits[3] = 205.0;
    const double leaderMm[4] = {5.0, 6.0, 7.0, 8.0};
    std::copy(leaderMm, leaderMm + 4, g.leader);
    Recorder layout(g);
    ChartParams params = jobParams("", 210.0, 297.0);
    params.marginTop = 1.0;
    params.marginLeft = 2.0;
    params.marginBottom = 3.0;
    params.marginRight = 4.0;
    double area[2] = {};
    layout.getPrintableArea(area, params);
    EXPECT_DOUBLE_EQ(area[0], 274.0);
    EXPECT_DOUBLE_EQ(area[1], 185.0);
    for (const IdMeasureInstrument id : {MI_HPZ_UVCUT, MI_HPZ, MI_EPSON, MI_CANON, MI_EPSONILS30}) {
        params.instrument = id;
        layout.getPrintableArea(area, params);
        EXPECT_DOUBLE_EQ(area[0], 271.0) << id;
        EXPECT_DOUBLE_EQ(area[1], 180.0) << id;
    }
}

TEST(LayoutFrame, WidensAFirstPageNarrowerThan29Millimetres) {
    Recorder layout;
    ChartParams params = jobParams("", 210.0, 297.0);
    params.pages = {{40.0, 20.0, 2, 3}};
    layout.computeLayoutFrame(params);
    EXPECT_DOUBLE_EQ(params.layoutFrame[0], 20.0);  // the old width
    EXPECT_DOUBLE_EQ(params.layoutFrame[4], 40.0);
    EXPECT_DOUBLE_EQ(params.layoutFrame[5], 20.0);
    EXPECT_DOUBLE_EQ(params.pages[0].width, 29.0);
    // The whole page instead of the first page; 29 mm is wide enough.
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
    // page index, first and end page, first strip number, first patch index
    const long long expected[][5] = {{-1, 0, 3, 1, 0}, {1, 1, 2, 4, 15}, {2, 2, 3, 8, 35}};
    for (const auto& e : expected) {
        const PageSpan span = Recorder::pagesToDraw(params, static_cast<int>(e[0]));
        EXPECT_EQ(span.firstPage, static_cast<std::size_t>(e[1])) << e[0];
        EXPECT_EQ(span.endPage, static_cast<std::size_t>(e[2])) << e[0];
        EXPECT_EQ(span.firstStripNumber, e[3]) << e[0];
        EXPECT_EQ(span.firstPatchIndex, e[4]) << e[0];
    }
    for (const int outside : {3, 99, -2}) {
        const PageSpan none = Recorder::pagesToDraw(params, outside);
        EXPECT_EQ(none.firstPage, none.endPage) << outside;
    }
}

TEST(TenthsOf, TruncatesAndNeverOverflows) {
    const double mm[] = {1.5, 38.0, 7.96, 0.06, -3.0, std::nan(""), 1e12};
    const std::uint32_t tenths[] = {
        15, 380, 79, 0, 0, 0, std::numeric_limits<std::uint32_t>::max()};
    for (std::size_t i = 0; i < std::size(mm); ++i) {
        EXPECT_EQ(Recorder::tenthsOf(mm[i]), tenths[i]) << mm[i];
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
        p.outputKind = 1;  // TIFF pages, one call per page
        p.optimizeLayout = optimize;
        p.outputName = dir_.file("chart.tif.tmp");
        p.pages = std::move(pages);
        return p;
    }
    // Cyan byte of reference patch i as the loader makes it.
    static std::uint8_t cyanByte(int i) { return inkByteFromPercent(static_cast<double>(i % 101)); }
    TempDir dir_;
};

TEST_F(PageLoop, PadsAndSplitsThePatchesOverPagesNamedFromTheStem) {
    const auto none = static_cast<IdMeasureInstrument>(0);
    struct Case {
        const char* what;
        int sets;
        int columns, strips, pageCount;
        bool optimize;
        IdMeasureInstrument instrument;
        std::vector<std::size_t> pageSizes;
        std::string padding;  // after the reference: P paper, G grey marker
    };
    const Case cases[] = {
        // 50 patches, 12 per strip: 10 paper patches make 60.
        {"full strips", 50, 12, 5, 1, false, MI_DTP41, {60}, std::string(10, 'P')},
        // Optimised, a page of 4 x 12 is the unit: 46 make 96 over two pages.
        {"full pages", 50, 12, 4, 2, true, MI_DTP41, {48, 48}, std::string(46, 'P')},
        // Three pages of 5 x 10 in order: 0-49, 50-99, then 100-111 and paper.
        {"three pages", 112, 10, 5, 3, true, MI_DTP41, {50, 50, 50}, std::string(38, 'P')},
        // Lumo-20 with zebra ruler mode 1: paper, grey, paper to 20.
        {"zebra", 17, 10, 2, 1, false, MI_LUMO20, {20}, "PGP"},
        // Strips of 3 but the instrument minimum of 6 comes first: no hole.
        {"instrument minimum", 3, 3, 2, 1, false, MI_DTP41, {6}, "PPP"},
        // Without an instrument nothing is added at all.
        {"no instrument", 3, 2, 2, 1, false, none, {3}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChartParams p = params(c.sets,
                               std::vector<PageLayout>(static_cast<std::size_t>(c.pageCount),
                                                       {50, 100, c.columns, c.strips}),
                               c.optimize);
        p.instrument = c.instrument;
        p.zebraRulerMode = 1;  // only the Lumo-20 adds grey markers for it
        Recorder layout;
        layout.writeChart(p);
        ASSERT_EQ(layout.calls.size(), c.pageSizes.size());
        std::vector<CMYK> all;
        for (std::size_t i = 0; i < layout.calls.size(); ++i) {
            const auto& call = layout.calls[i];
            EXPECT_EQ(call.page, static_cast<int>(i));
            EXPECT_EQ(call.outputName, dir_.file("chart.tif_" + std::to_string(i) + ".tif"));
            EXPECT_EQ(call.patches.size(), c.pageSizes[i]) << "page " << i;
            all.insert(all.end(), call.patches.begin(), call.patches.end());
        }
        ASSERT_EQ(all.size(), static_cast<std::size_t>(c.sets) + c.padding.size());
        for (int i = 0; i < c.sets; ++i) {
            EXPECT_EQ(all[static_cast<std::size_t>(i)].channels[0], cyanByte(i)) << i;
        }
        for (std::size_t i = 0; i < c.padding.size(); ++i) {
            EXPECT_EQ(all[static_cast<std::size_t>(c.sets) + i],
                      c.padding[i] == 'G' ? WriteCMYK::greyMarkerColor() : WriteCMYK::paperColor())
                << i;
        }
        EXPECT_EQ(p.outputName, layout.calls.back().outputName);
        EXPECT_EQ(p.pageCount, c.pageCount);
        EXPECT_EQ(p.channelCount, 4);
        EXPECT_DOUBLE_EQ(p.firstPageWidth, 100.0);
        EXPECT_DOUBLE_EQ(p.firstPageHeight, 50.0);
    }
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
    EXPECT_EQ(p.instrumentShortName, "DTP41");
}

TEST_F(PageLoop, RefusesWhatItCannotWrite) {
    LogCapture log(dir_.file("log.txt"));
    Recorder layout;
    ChartParams empty = params(30, {}, true);
    EXPECT_EQ(codeOf([&] { layout.writeChart(empty); }), ERR_NONE);
    ChartParams unnamed = params(30, {{50, 100, 5, 3}}, true);
    unnamed.outputName.clear();
    EXPECT_EQ(codeOf([&] { layout.writeChart(unnamed); }), ERR_INVALID_CHART_NAME);
    EXPECT_EQ(log.text(),
              "MeasureInstrument/writeChart: GenChartLib: Empty page vector\n"
              "MeasureInstrument/writeChart: GenChartLib: Invalid chart name\n");
    ChartParams gone = params(30, {{50, 100, 5, 3}}, true);
    std::remove(gone.refDataName.c_str());
    EXPECT_EQ(codeOf([&] { layout.writeChart(gone); }), ERR_OPEN_DATA);
    EXPECT_TRUE(layout.calls.empty());
}

// ---- Chart ids ----

TEST(ChartIdText, AppendsZerosBehindAShortAddressAndPadsTheCounter) {
    // 192.168.1.10 as stored: 0x0A01A8C0, seven digits "a01a8c0".
    EXPECT_EQ(formatChartId(0x0A01A8C0u, 1), "A01A8C0001");
    EXPECT_EQ(formatChartId(0xDEADBEEFu, 0xAB), "DEADBEEFAB");
    EXPECT_EQ(formatChartId(0x1u, 15), "100000000F");
    EXPECT_EQ(formatChartId(0u, 16), "0000000010");
}

// Points TMPDIR, where the counter file lives, at a folder of the test.
class TemporaryFolderOverride {
  public:
    explicit TemporaryFolderOverride(const std::string& dir)
        : had_(std::getenv("TMPDIR") != nullptr), old_(had_ ? std::getenv("TMPDIR") : "") {
        testsupport::setEnv("TMPDIR", dir);
    }
    ~TemporaryFolderOverride() {
        had_ ? testsupport::setEnv("TMPDIR", old_) : testsupport::unsetEnv("TMPDIR");
    }

  private:
    bool had_;
    std::string old_;
};

TEST(ChartIdCounter, CountsOnInTheTemporaryFolderAfterTheHostAddress) {
    TempDir dir;
    const TemporaryFolderOverride tmp(dir.path().string());
    const std::string counterFile = dir.file("qvnstcid.dat");
    const auto stored = [&] { return std::ifstream(counterFile, std::ios::binary).get(); };
    const auto store = [&](char value) { std::ofstream(counterFile, std::ios::binary) << value; };
    Recorder layout;
    ChartParams params(CM_CMYK);

    // A new counter file starts at a random byte, which is the id's counter.
    layout.makeChartId(params);
    ASSERT_EQ(params.chartId.size(), 10U);
    const int first = stored();
    ASSERT_GE(first, 0);
    char expected[3];
    std::snprintf(expected, sizeof expected, "%02X", first);
    EXPECT_EQ(params.chartId.substr(8), expected);

    store(41);
    layout.makeChartId(params);
    EXPECT_EQ(params.chartId.substr(8), "2A");
    EXPECT_EQ(stored(), 42);

    store(static_cast<char>(255));  // wraps to 1
    layout.makeChartId(params);
    EXPECT_EQ(params.chartId.substr(8), "01");
    EXPECT_EQ(stored(), 1);
    EXPECT_EQ(layout.chartIds().size(), 3U);
    EXPECT_EQ(layout.chartIds().back(), params.chartId);

    // The id begins with the host address, where the host has one.
    if (const auto bytes = platform::firstLocalIPv4()) {
        const std::uint32_t address = static_cast<std::uint32_t>((*bytes)[0]) |
                                      static_cast<std::uint32_t>((*bytes)[1]) << 8 |
                                      static_cast<std::uint32_t>((*bytes)[2]) << 16 |
                                      static_cast<std::uint32_t>((*bytes)[3]) << 24;
        EXPECT_EQ(params.chartId.substr(0, 8), formatChartId(address, 0).substr(0, 8));
    }
}

// ---- Mark colours ----

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

    // The extra inks count as ink: with orange the first rule no longer
    // holds, and yellow lies far from paper (b* about 94).
    RecordingInstrument<WriteCMYKOG> six;
    const WriteCMYKOG::PixelColor yellow = WriteCMYKOG::yellowColor();
    WriteCMYKOG::PixelColor orangeOnYellow = yellow;
    orangeOnYellow.channels[4] = 0;  // full orange, stored inverted
    EXPECT_EQ(six.markColorNearPaper(yellow, WriteCMYKOG::paperColor()), WriteCMYKOG::blackColor());
    EXPECT_EQ(six.markColorNearPaper(orangeOnYellow, yellow), WriteCMYKOG::paperColor());

    RecordingInstrument<WriteLAB> lab;
    const WriteLAB::PixelColor white{{255, 0, 0}, {}};
    EXPECT_EQ(lab.markColorNearPaper(white, {{255, 0, 127}, {}}), WriteLAB::blackColor());
    EXPECT_EQ(lab.markColorNearPaper({{40, 0, 0}, {}}, white), WriteLAB::paperColor());

    RecordingInstrument<WriteRGB> rgb;
    EXPECT_EQ(rgb.markColorNearPaper({{255, 255, 0}, {}}, WriteRGB::paperColor()),
              WriteRGB::blackColor());
    EXPECT_EQ(rgb.markColorNearPaper({{0, 0, 255}, {}}, WriteRGB::paperColor()),
              WriteRGB::paperColor());
}

TEST(MarkColors, ByLightnessAndForLightPairs) {
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

    EXPECT_EQ(layout.markColorForLightPair(cmyk(10, 0, 0, 0), paper), black);
    // Solid yellow is light but far from paper in chroma: paper colour.
    EXPECT_EQ(layout.markColorForLightPair(cmyk(0, 0, 255, 0), paper), paper);

    // The padding colours of the base are paper whatever they are asked.
    RecordingInstrument<WriteCMYKO> five;
    EXPECT_EQ(five.fillerColor(5, 2), WriteCMYKO::paperColor());
    EXPECT_EQ(five.fillerColorAlt(5, 2), WriteCMYKO::paperColor());
}

}  // namespace
}  // namespace GenChartLib
