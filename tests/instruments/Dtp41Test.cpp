// The DTP41 and DTP45 strip layouts: figures worked out by hand from the
// instruments' patch, gap and margin tables, and what writePage writes. The
// host tests check the mode-0 charts end to end.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "host/ReadBack.h"
#include "instruments/Dtp41.h"
#include "instruments/LayoutTestSupport.h"

namespace GenChartLib {
namespace {

TEST(DtpLayout, LeastPageHoldsOnePatchInsideTheFirstMarginsInEveryQualityMode) {
    // DTP41: 0.5 + 13.0 + 2 x 0.0 + 15.0 high, 38.0 + 8.0 + 2 x 1.5 + 30.0
    // wide. DTP45: 0.5 + 13.0 + 6.0 and 42.0 + 8.0 + 3.0 + 30.0.
    Dtp41<WriteCMYK> dtp41("");
    Dtp45<WriteCMYK> dtp45("");
    for (int quality : {0, 2}) {
        ChartParams params;
        params.qualityMode = quality;
        double limits[8];
        dtp41.getPageSizeLimits(limits, params);
        EXPECT_EQ(std::vector<double>(limits, limits + 4),
                  (std::vector<double>{28.5, 79.0, 110.0, 300.0}));
        dtp45.getPageSizeLimits(limits, params);
        EXPECT_EQ(std::vector<double>(limits, limits + 4),
                  (std::vector<double>{19.5, 83.0, 110.0, 300.0}));
    }
}

TEST(DtpLayout, QualityModesTakeTheirOwnPatchGapAndMarginSets) {
    // 90 patches on a 215 x 110 mm page.
    // - Mode 0, DTP41: 147 x 94.5 mm usable, 15 x 7 cells of 8 x 13 mm with
    //   1.5 mm gaps; 6 x 15 wastes none. 38 + 15 x 9.5 + 1.5 + 30 = 212 by
    //   6 x 13 + 0.5 + 15 = 93.5 mm.
    // - Mode 0, DTP45: 143 x 103.5 mm, still 15 x 6, 216 by 84.5 mm.
    // - Mode 1, DTP41: the third margin set leaves 135 x 94 mm; 13 x 10 mm
    //   patches with gaps of 0.1 and 2.0 mm give 11 x 7 cells, too few for
    //   90: two pages of 11 columns and ceil(90 / 11 / 2) = 5 strips, 40 +
    //   11 x 12 + 2 + 40 = 214 by 5 x 13.1 + 1 + 15 = 81.5 mm.
    // - Mode 2, DTP45: 135 x 103 mm, gaps of 2.0 mm: again 11 x 7 cells and
    //   two pages of 5 strips, 5 x 15 + 1 + 6 = 82 mm high.
    struct Case {
        bool dtp45;
        int quality;
        // margins (top, left, bottom, right), patch (height, width), gaps
        // (height, width), then pages, columns, strips, page width, height
        std::vector<double> expected;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {false, 0, {0.5, 38, 15, 30, 13, 8, 0.0, 1.5, 1, 15, 6, 212, 93.5}},
        {true, 0, {0.5, 42, 6, 30, 13, 8, 0.0, 1.5, 1, 15, 6, 216, 84.5}},
        {false, 1, {1.0, 40, 15, 40, 13, 10, 0.1, 2.0, 2, 11, 5, 214, 81.5}},
        {true, 2, {1.0, 40, 6, 40, 13, 10, 2.0, 2.0, 2, 11, 5, 214, 82.0}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE((c.dtp45 ? "DTP45 mode " : "DTP41 mode ") + std::to_string(c.quality));
        Dtp41<WriteCMYK> dtp41("");
        Dtp45<WriteCMYK> dtp45("");
        ChartParams p(CM_CMYK);
        p.instrument = c.dtp45 ? MI_DTP45 : MI_DTP41;
        p.qualityMode = c.quality;
        p.pageWidth = 215.0;
        p.pageHeight = 110.0;
        p.optimizeLayout = true;
        p.refDataName = testReference("cmyk_90.txt");
        c.dtp45 ? dtp45.initChartParams(p) : dtp41.initChartParams(p);
        ASSERT_FALSE(p.pages.empty());
        const PageLayout& first = p.pages[0];
        EXPECT_EQ((std::vector<double>{
                      p.marginTop, p.marginLeft, p.marginBottom, p.marginRight, p.patchHeight,
                      p.patchWidth, p.gapHeight, p.gapWidth, static_cast<double>(p.pages.size()),
                      static_cast<double>(first.columns), static_cast<double>(first.strips),
                      first.width, first.height}),
                  c.expected);
    }
}

ChartParams geometryParams(double marginTop, double marginLeft, double patchWidth, double gapHeight,
                           double gapWidth) {
    ChartParams params;
    params.marginTop = marginTop;
    params.marginLeft = marginLeft;
    params.patchHeight = 13.0;
    params.patchWidth = patchWidth;
    params.gapHeight = gapHeight;
    params.gapWidth = gapWidth;
    return params;
}

TEST(DtpStripGeometry, TenthsHalfGapsAndArrowsFollowTheRecord) {
    // Mode 0: 1.5 mm between patches is split into a white and a black
    // 0.7 mm half; a patch every 9.4 mm from 38 + 1.4 mm (DTP41) or 42 + 1.4
    // (DTP45), or 2.5 mm further right behind a strip leader; 31 bars and 15
    // patches make 141.7 mm. Strips touch (13 mm pitch from 0.5 mm), so the
    // arrow of strip 1 is level at 0.5 + 13 + 6.5 mm. 2.0 mm gaps halve to
    // 1.0 mm; 2.0 mm between strips from 1.0 mm (pitch 15 mm) put the arrow's
    // tail 7.5 mm into the pitch, its tip 6.5 mm. 0.15 mm truncates to 1
    // tenth, its half to 0.
    struct Case {
        ChartParams params;
        double leaderMm;
        // half gap, first patch x, patch period, width of a strip of 15,
        // arrow tail y and tip y of strip 1
        std::vector<std::uint32_t> expected;
    };
    const std::vector<Case> cases = {
        {geometryParams(0.5, 38.0, 8.0, 0.0, 1.5), 0.0, {7, 394, 94, 1417, 200, 200}},
        {geometryParams(0.5, 42.0, 8.0, 0.0, 1.5), 0.0, {7, 434, 94, 1417, 200, 200}},
        {geometryParams(0.5, 38.0, 8.0, 0.0, 1.5), 2.5, {7, 419, 94, 1417, 200, 200}},
        {geometryParams(1.0, 40.0, 10.0, 2.0, 2.0), 0.0, {10, 420, 120, 1810, 235, 225}},
        {geometryParams(0.5, 40.0, 10.0, 0.0, 0.15), 0.0, {0, 400, 100, 1500, 200, 200}},
    };
    for (const Case& c : cases) {
        const DtpStripGeometry g = DtpStripGeometry::fromParams(c.params, c.leaderMm);
        EXPECT_EQ((std::vector<std::uint32_t>{g.halfGap, g.patchX(0), g.patchPeriod(),
                                              g.stripWidth(15), g.labelY(1), g.arrowTipY(1)}),
                  c.expected)
            << "gaps " << c.params.gapHeight << " / " << c.params.gapWidth << ", leader "
            << c.leaderMm;
    }
}

// writePage against the real PDF writer: three pages of 2 strips x 4
// patches, quality-mode-0 geometry.
class DtpWritePage : public LayoutFolder {
  protected:
    static ChartParams threePages(const std::string& output) {
        ChartParams params = geometryParams(0.5, 38.0, 8.0, 0.0, 1.5);
        params.colorMode = CM_CMYK;
        params.pages = {{45.0, 110.0, 4, 2}, {45.0, 110.0, 4, 2}, {45.0, 110.0, 4, 2}};
        params.outputName = output;
        return params;
    }
    static std::vector<WriteCMYK::PixelColor> greys(std::size_t count) {
        std::vector<WriteCMYK::PixelColor> patches;
        for (std::size_t i = 0; i < count; ++i) {
            patches.push_back({{0, 0, 0, static_cast<std::uint8_t>(10 * i)}, {}});
        }
        return patches;
    }
};

TEST_F(DtpWritePage, NothingToDrawWritesNothingAndLogsWhy) {
    Dtp41<WriteCMYK> dtp41("");
    ChartParams params = threePages(file("chart_0.tif"));
    std::vector<WriteCMYK::PixelColor> none;
    std::vector<WriteCMYK::PixelColor> patches = greys(8);
    const std::string log = logOf([&] {
        EXPECT_NO_THROW(dtp41.writePage(params, none, 0));
        EXPECT_NO_THROW(dtp41.writePage(params, patches, 3));  // beyond the page list
        params.pages.clear();
        EXPECT_NO_THROW(dtp41.writePage(params, patches, 0));
    });
    EXPECT_EQ(log,
              "Dtp41/writePage: GenChartLib: Empty measure data\n"
              "Dtp41/writePage: GenChartLib: Empty page vector\n"
              "Dtp41/writePage: GenChartLib: Empty page vector\n");
    EXPECT_EQ(files(), std::vector<std::string>{"log.txt"});
}

TEST_F(DtpWritePage, TooFewPatchesStopsWithoutADocument) {
    Dtp41<WriteCMYK> dtp41("");
    ChartParams params = threePages(file("chart_0.tif"));
    std::vector<WriteCMYK::PixelColor> patches = greys(7);  // page 0 needs 8
    try {
        dtp41.writePage(params, patches, 0);
        FAIL() << "no error";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
    }
    EXPECT_TRUE(files().empty());
}

TEST_F(DtpWritePage, WritesOnePageWithItsOwnStripNumbersOrTheWholeChartAsOneDocument) {
    // Page 1 alone carries strips 3 and 4 on a page of the first entry's
    // size (a later entry's own size is not used); the whole chart (page -1)
    // goes into one document of three pages with a preview each.
    Dtp45<WriteCMYK> dtp45("");
    ChartParams single = threePages(file("single_1.tif"));
    single.pages[1].width = 150.0;
    std::vector<WriteCMYK::PixelColor> eight = greys(8);
    dtp45.writePage(single, eight, 1);
    ChartParams whole = threePages(file("chart.pdf"));
    std::vector<WriteCMYK::PixelColor> all = greys(24);
    dtp45.writePage(whole, all, -1);
    EXPECT_EQ(files(), (std::vector<std::string>{"chart.pdf", "chart_0.jpg", "chart_1.jpg",
                                                 "chart_2.jpg", "single_1.jpg", "single_1.tif"}));

    const std::vector<std::string> pdfs = {file("single_1.tif"), file("chart.pdf")};
    readback::expectPages(pdfs, 4, 110.0, 45.0);
    EXPECT_EQ(readback::textsAt(pdfs, 8.0),
              (std::vector<std::string>{"0:3", "0:4", "1:1", "1:2", "2:3", "2:4", "3:5", "3:6"}));
}

}  // namespace
}  // namespace GenChartLib
