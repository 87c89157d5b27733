// The DTP41 and DTP45 strip geometry worked out by hand from the instruments'
// patch, gap and margin tables, and what writePage writes. The host tests
// check the layouts of the charts end to end; the engine tests check how
// the quality modes pick their patch, gap and margin sets.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "host/ReadBack.h"
#include "instruments/Dtp41.h"
#include "instruments/LayoutTestSupport.h"

namespace GenChartLib {
namespace {

ChartParams geometryParams(double marginTop, double marginLeft, double patchWidth, double gapHeight,
                           double gapWidth) {
    ChartParams params(CM_CMYK);
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
// patches, quality-mode-0 geometry, grey patches.
class DtpWritePage : public LayoutFolder {
  protected:
    ChartParams threePages(const std::string& output) const {
        ChartParams params = geometryParams(0.5, 38.0, 8.0, 0.0, 1.5);
        params.pages = std::vector<PageLayout>(3, {45.0, 110.0, 4, 2});
        params.outputName = file(output);
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

TEST_F(DtpWritePage, NothingOrTooFewPatchesWriteNoDocument) {
    Dtp41<WriteCMYK> dtp41("");
    ChartParams params = threePages("chart_0.tif");
    std::vector<WriteCMYK::PixelColor> none;
    std::vector<WriteCMYK::PixelColor> seven = greys(7);  // page 0 needs 8
    try {
        dtp41.writePage(params, seven, 0);
        FAIL() << "no error";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
    }
    const std::string log = logOf([&] {
        dtp41.writePage(params, none, 0);
        dtp41.writePage(params, seven, 3);  // beyond the page list
        params.pages.clear();
        dtp41.writePage(params, seven, 0);
    });
    EXPECT_EQ(log,
              "Dtp41/writePage: GenChartLib: Empty measure data\n"
              "Dtp41/writePage: GenChartLib: Empty page vector\n"
              "Dtp41/writePage: GenChartLib: Empty page vector\n");
    EXPECT_EQ(files(), std::vector<std::string>{"log.txt"});
}

TEST_F(DtpWritePage, WritesOnePageWithItsOwnStripNumbersOrTheWholeChartAsOneDocument) {
    // Page 1 alone carries strips 3 and 4 on a page of the first entry's
    // size (a later entry's own size is not used); the whole chart (page -1)
    // goes into one document of three pages with a preview each.
    Dtp45<WriteCMYK> dtp45("");
    ChartParams single = threePages("single_1.tif");
    single.pages[1].width = 150.0;
    std::vector<WriteCMYK::PixelColor> eight = greys(8);
    dtp45.writePage(single, eight, 1);
    ChartParams whole = threePages("chart.pdf");
    std::vector<WriteCMYK::PixelColor> all = greys(24);
    dtp45.writePage(whole, all, -1);
    EXPECT_EQ(files(), (std::vector<std::string>{"chart.pdf", "chart_0.jpg", "chart_1.jpg",
                                                 "chart_2.jpg", "single_1.jpg", "single_1.tif"}));

    const std::vector<std::string> pdfs = {file("single_1.tif"), file("chart.pdf")};
    readback::expectPages(pdfs, 4, 110.0, 45.0);
    if (readback::toolsMissing()) {
        return;
    }
    EXPECT_EQ(readback::textsAt(pdfs, 8.0),
              (std::vector<std::string>{"0:3", "0:4", "1:1", "1:2", "2:3", "2:4", "3:5", "3:6"}));
}

}  // namespace
}  // namespace GenChartLib
