// The layout engine: page fitting worked out by hand from the layout rules
// for several instruments, pages, patch counts and quality modes; re-fits;
// the page loop's split over pages; chart ids; page geometry helpers and the
// mark colours. How each instrument pads its patches, and the layouts of the
// real instruments, are read back by the host tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/ErrorCodes.h"
#include "engine/ChartTestSupport.h"
#include "engine/MeasureInstrument.h"
#include "render/Writers.h"

namespace GenChartLib {

// Pages compare whole, and show as height x width, columns x strips.
inline bool operator==(const PageLayout& a, const PageLayout& b) {
    return std::tie(a.height, a.width, a.columns, a.strips) ==
           std::tie(b.height, b.width, b.columns, b.strips);
}
inline std::ostream& operator<<(std::ostream& out, const PageLayout& p) {
    return out << p.height << " x " << p.width << " mm, " << p.columns << " x " << p.strips;
}

namespace {

using namespace chart_test;  // NOLINT: the shared test fixtures
using Recorder = RecordingInstrument<WriteCMYK>;
using CMYK = WriteCMYK::PixelColor;
using Pages = std::vector<PageLayout>;

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
        EXPECT_EQ(std::make_tuple(params.patchCount, layout.patchCount(),
                                  layout.originalPatchCount(), params.layoutReady),
                  std::make_tuple(c.patchCount, c.patchCount, c.sets, 1));
        EXPECT_DOUBLE_EQ(params.patchWidth, c.patchWidthMm);
        EXPECT_DOUBLE_EQ(params.patchHeight, c.patchHeightMm);
        EXPECT_EQ(params.pages, c.pages);
        // The frame is the first page; none is below the 29 mm minimum.
        EXPECT_EQ(std::vector<double>(params.layoutFrame, params.layoutFrame + 6),
                  (std::vector<double>{-1, -1, -1, -1, c.pages[0].height, c.pages[0].width}));
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
    // The page tells the mode's margins, patches and gaps apart.
    struct Case {
        std::vector<std::string> keywords;
        int hostMode, mode, stripCapacity;
        double widthMm, heightMm;
    };
    const Case cases[] = {
        {{"LOWRES 1"}, 0, 2, 13, 202, 76},
        {{"APERTURESIZE 6"}, 0, 1, 13, 202, 68.4},
        {{"APERTURESIZE 8"}, 0, 2, 13, 202, 76},
        {{"APERTURESIZE 2"}, 1, 0, 15, 164.5, 67.5},
        {{"APERTURESIZE 2", "LOWRES 1"}, 0, 2, 13, 202, 76},
        {{}, 4, 4, 13, 202, 76},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keywords.empty() ? "host mode 4" : c.keywords.back());
        ChartParams p = jobParams(reference(40, c.keywords), 210.0, 297.0);
        p.qualityMode = c.hostMode;
        Recorder(dtp41Geometry()).initChartParams(p);
        EXPECT_EQ(std::make_tuple(p.qualityMode, p.qualityMode4, p.stripCapacity),
                  std::make_tuple(c.mode, c.hostMode == 4, c.stripCapacity));
        EXPECT_EQ(p.pages, (Pages{{c.heightMm, c.widthMm, 10, 4}}));
    }
}

TEST_F(Layout, ReferenceKeywordsReachTheParametersOrKeepTheHostsValues) {
    // Keywords the file leaves out (or sets to -1) keep the host's values.
    ChartParams p = jobParams(
        reference(40, {"RANDOMIZED_PATCHES 1", "ISIS_XL_FORMAT 1", "UV_CUT_MODE -1", "LOWRES 1"}),
        210.0, 297.0);
    p.uvCutMode = 5;
    p.apertureSize = 7;
    p.zebraRulerMode = 2;
    Recorder layout(dtp41Geometry());
    layout.initChartParams(p);
    EXPECT_TRUE(p.randomizedPatches && p.isisXlFormat && p.lowRes);
    EXPECT_EQ(
        (std::vector<int>{p.uvCutMode, p.apertureSize, p.zebraRulerMode, layout.zebraRulerMode()}),
        (std::vector<int>{5, 7, 2, 2}));
    EXPECT_EQ(p.channelNames, (std::vector<std::string>{"Cyan", "Magenta", "Yellow", "Black"}));
}

TEST_F(Layout, RefusesWhatItCannotLayOut) {
    const std::string ref = reference(40);
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    // 70 mm leaves 2 mm between the DTP41 margins: not one 8 mm patch.
    const double pageSizesMm[][2] = {{70, 297},  {60, 297},  {0, 297},     {-5, 297},
                                     {nan, 297}, {inf, 297}, {20000, 297}, {210, nan}};
    for (const auto& [widthMm, heightMm] : pageSizesMm) {
        ChartParams params = jobParams(ref, widthMm, heightMm);
        EXPECT_EQ(codeOf([&] { Recorder(dtp41Geometry()).initChartParams(params); }), ERR_PAGE_SIZE)
            << widthMm << " x " << heightMm;
        EXPECT_TRUE(params.pages.empty());
    }

    LogCapture log(dir_.file("log.txt"));
    Geometry noWidth = squareGeometry(10.0);
    noWidth.sizes[1] = 0.0;  // mode 0 patch width, and no gap either
    ChartParams params = jobParams(ref, 210.0, 297.0);
    EXPECT_EQ(codeOf([&] { Recorder(noWidth).initChartParams(params); }), ERR_DIVISION_BY_ZERO);
    Recorder layout(dtp41Geometry());
    ChartParams absent = jobParams(dir_.file("absent.txt"), 210.0, 297.0);
    EXPECT_EQ(codeOf([&] { layout.initChartParams(absent); }), ERR_OPEN_DATA);
    // An empty reference name only logs and leaves the layout untouched.
    ChartParams unnamed = jobParams("", 210.0, 297.0);
    EXPECT_EQ(codeOf([&] { layout.initChartParams(unnamed); }), ERR_NONE);
    EXPECT_TRUE(unnamed.pages.empty());
    EXPECT_EQ(std::make_pair(unnamed.layoutReady, unnamed.patchCount), std::make_pair(0, 0));
    EXPECT_EQ(log.text(),
              "MeasureInstrument/initChartParams: GenChartLib: Division by zero\n"
              "MeasureInstrument/initChartParams: exit initChartParams: refDataName is empty\n");
}

TEST_F(Layout, RefitsOnlyAfterAGeometryChange) {
    // The DTP41 layout of 40 patches in mode 0 on an A4 sheet, its page
    // replaced by a marker that only a re-fit overwrites.
    Recorder layout(dtp41Geometry());
    ChartParams laidOut = jobParams(reference(40), 210.0, 297.0);
    layout.initChartParams(laidOut);
    const Pages marker = {{1.0, 2.0, 3, 4}};
    laidOut.pages = marker;
    laidOut.layoutReady = 0;
    const auto refit = [&](ChartParams previous, auto change) {
        ChartParams current = previous;
        change(current);
        layout.applyChartParams(previous, current);
        return current;
    };
    EXPECT_EQ(refit(laidOut, [](ChartParams&) {}).pages, marker);
    // Clearing the random order with the instrument's gap already in place
    // stops at once too.
    ChartParams randomized = laidOut;
    randomized.randomizedPatches = true;
    const auto unrandomize = [](ChartParams& p) { p.randomizedPatches = false; };
    const ChartParams cleared = refit(randomized, unrandomize);
    EXPECT_EQ(cleared.pages, marker);
    EXPECT_EQ(cleared.layoutReady, 0);

    // A gap of 1.0 grows to the instrument's 1.5. Printable 94.5 x 142: 7 x
    // 15 cells; 40 patches fit 4 x 10 without waste; 14 columns would fit but
    // 40 % 14 > 0 so 10 is taken: 38 + 9.5 * 10 + 1.5 + 30 = 164.5 wide,
    // 13 * 4 + 0.5 + 15 = 67.5 high.
    randomized.gapWidth = 1.0;
    const ChartParams widened = refit(randomized, unrandomize);
    EXPECT_DOUBLE_EQ(widened.gapWidth, 1.5);
    EXPECT_EQ(widened.pages, (Pages{{67.5, 164.5, 10, 4}}));
    EXPECT_EQ(std::make_pair(widened.layoutReady, widened.stripCapacity), std::make_pair(1, 15));

    // Patch 10 wide: grid 7 x trunc(143.5 / 11.5) = 12, best shape 4 x 10;
    // 38 + 11.5 * 10 + 1.5 + 30 = 184.5 wide.
    const ChartParams wider = refit(laidOut, [](ChartParams& p) { p.patchWidth = 10.0; });
    EXPECT_EQ(wider.pages, (Pages{{67.5, 184.5, 10, 4}}));
    EXPECT_EQ(wider.stripCapacity, 12);

    EXPECT_EQ(codeOf([&] { refit(laidOut, [](ChartParams& p) { p.patchWidth = 200.0; }); }),
              ERR_PAGE_SIZE);
}

// ---- Page geometry helpers ----

TEST(LayoutFrame, WidensAFirstPageNarrowerThan29Millimetres) {
    Recorder layout;
    ChartParams params = jobParams("", 210.0, 297.0);
    params.pages = {{40.0, 20.0, 2, 3}};
    layout.computeLayoutFrame(params);
    // The old width first, then the page as it was; the page grows to 29 mm.
    EXPECT_EQ((std::vector<double>{params.layoutFrame[0], params.layoutFrame[4],
                                   params.layoutFrame[5], params.pages[0].width}),
              (std::vector<double>{20, 40, 20, 29}));
    // The whole page instead of the first page; 29 mm is wide enough.
    params.useWholePage = true;
    layout.computeLayoutFrame(params);
    EXPECT_EQ((std::vector<double>{params.layoutFrame[0], params.layoutFrame[4],
                                   params.layoutFrame[5], params.pages[0].width}),
              (std::vector<double>{-1, 297, 210, 29}));
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
        writeCmykReference(dir_.file("ref.txt"), sets);
        ChartParams p = jobParams(dir_.file("ref.txt"), 0, 0);
        p.outputKind = 1;  // TIFF pages, one call per page
        p.optimizeLayout = optimize;
        p.outputName = dir_.file("chart.tif.tmp");
        p.pages = std::move(pages);
        return p;
    }
    TempDir dir_;
};

TEST_F(PageLoop, SplitsThePatchesOverPagesNamedFromTheStem) {
    // 112 patches on three optimised pages of 10 x 5: 0-49, 50-99, then
    // 100-111 and paper. How each instrument pads is read back by the host
    // tests.
    ChartParams p = params(112, Pages(3, {50, 100, 10, 5}), true);
    Recorder layout;
    layout.writeChart(p);
    ASSERT_EQ(layout.calls.size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& call = layout.calls[i];
        EXPECT_EQ(call.page, static_cast<int>(i));
        EXPECT_EQ(call.outputName, dir_.file("chart.tif_" + std::to_string(i) + ".tif"));
        ASSERT_EQ(call.patches.size(), 50U);
        for (std::size_t k = 0; k < 50; ++k) {
            const std::size_t n = 50 * i + k;  // reference patch n has n % 101 percent cyan
            const CMYK want = {{inkByteFromPercent(static_cast<double>(n % 101)),
                                inkByteFromPercent(static_cast<double>(n / 101)), 0, 0},
                               {}};
            EXPECT_EQ(call.patches[k], n < 112 ? want : WriteCMYK::paperColor()) << n;
        }
    }
    EXPECT_EQ(p.outputName, layout.calls.back().outputName);
    EXPECT_EQ(std::make_tuple(p.pageCount, p.channelCount, p.firstPageWidth, p.firstPageHeight),
              std::make_tuple(3, 4, 100.0, 50.0));
}

TEST_F(PageLoop, APdfJobDrawsEveryPatchInOneCall) {
    ChartParams p = params(30, Pages(2, {50, 100, 5, 3}), true);
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

TEST(ChartIdCounter, CountsOnInTheTemporaryFolderFrom255To1) {
    TempDir dir;
#ifdef _WIN32
    const char* const var = "TMP";  // the first that GetTempPath reads
#else
    const char* const var = "TMPDIR";
#endif
    const char* const tmp = std::getenv(var);
    const std::string oldTmp = tmp != nullptr ? tmp : "";
    testsupport::setEnv(var, dir.path().string());  // where the counter file lives
    std::ofstream(dir.file("qvnstcid.dat"), std::ios::binary) << static_cast<char>(255);
    Recorder layout;
    ChartParams params(CM_CMYK);
    layout.makeChartId(params);
    tmp != nullptr ? testsupport::setEnv(var, oldTmp) : testsupport::unsetEnv(var);
    EXPECT_EQ(params.chartId.size(), 10U);
    EXPECT_EQ(params.chartId.substr(8), "01");
    EXPECT_EQ(std::ifstream(dir.file("qvnstcid.dat")).get(), 1);
    EXPECT_EQ(layout.chartIds(), std::vector<std::string>{params.chartId});
}

// ---- Mark colours ----

CMYK cmyk(std::uint8_t c, std::uint8_t m, std::uint8_t y, std::uint8_t k) {
    return {{c, m, y, k}, {}};
}

TEST(MarkColors, BlackOnlyWhereAPaperColouredMarkWouldNotShow) {
    Recorder layout;
    const CMYK black = WriteCMYK::blackColor();
    const CMYK paper = WriteCMYK::paperColor();
    // Yellow alone leaves a mark in paper colour invisible; two light greys
    // (K 20 of 255: L* 91.0 against the paper's 93.9) lie within 15 of paper;
    // a solid cyan (L* about 45) is far from it.
    EXPECT_EQ(layout.markColorNearPaper(cmyk(0, 0, 255, 0), paper), black);
    EXPECT_EQ(layout.markColorNearPaper(cmyk(0, 0, 0, 20), cmyk(0, 20, 0, 0)), black);
    EXPECT_EQ(layout.markColorNearPaper(cmyk(255, 0, 0, 0), paper), paper);
    // Black next to solid blue: both L* near 13, paper-coloured marks; black
    // beside paper is not a dark pair.
    EXPECT_EQ(layout.markColorByLightness(black, cmyk(255, 255, 0, 0)), paper);
    EXPECT_EQ(layout.markColorByLightness(black, paper), black);
    // Solid yellow is light but far from paper in chroma: paper colour.
    EXPECT_EQ(layout.markColorForLightPair(cmyk(10, 0, 0, 0), paper), black);
    EXPECT_EQ(layout.markColorForLightPair(cmyk(0, 0, 255, 0), paper), paper);
    // The extra inks count as ink: orange on yellow is no longer yellow alone.
    WriteCMYKOG::PixelColor orangeOnYellow = WriteCMYKOG::yellowColor();
    orangeOnYellow.channels[4] = 0;  // full orange, stored inverted
    EXPECT_EQ(RecordingInstrument<WriteCMYKOG>().markColorNearPaper(orangeOnYellow,
                                                                    WriteCMYKOG::yellowColor()),
              WriteCMYKOG::paperColor());
}

}  // namespace
}  // namespace GenChartLib
