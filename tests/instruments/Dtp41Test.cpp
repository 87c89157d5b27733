// The DTP41 and DTP45 strip layouts: figures worked out by hand from the
// instruments' patch, gap and margin tables, and what writePage writes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/PdfProbe.h"
#include "instruments/Dtp41.h"
#include "outside/DebugLog.h"

namespace GenChartLib {
namespace {

namespace fs = std::filesystem;

std::string testReference(const std::string& name) {
    return std::string(ORVOCHART_TEST_DATA) + "/instruments/" + name;
}

// A chart job's parameters before the layout: quality mode 0, optimised.
ChartParams jobParams(IdMeasureInstrument instrument, double widthMm, double heightMm,
                      const std::string& reference) {
    ChartParams params(CM_CMYK);
    params.instrument = instrument;
    params.pageWidth = widthMm;
    params.pageHeight = heightMm;
    params.optimizeLayout = true;
    params.refDataName = testReference(reference);
    return params;
}

TEST(DtpPageSizeLimits, LeastPageHoldsOnePatchInsideTheFirstMargins) {
    // DTP41: 0.5 + 13.0 + 2 x 0.0 + 15.0 high, 38.0 + 8.0 + 2 x 1.5 + 30.0
    // wide. DTP45: 0.5 + 13.0 + 6.0 and 42.0 + 8.0 + 3.0 + 30.0.
    Dtp41<WriteCMYK> dtp41("");
    Dtp45<WriteCMYK> dtp45("");
    const ChartParams params;
    double limits[8];
    dtp41.getPageSizeLimits(limits, params);
    EXPECT_DOUBLE_EQ(limits[0], 28.5);
    EXPECT_DOUBLE_EQ(limits[1], 79.0);
    EXPECT_DOUBLE_EQ(limits[2], 110.0);
    EXPECT_DOUBLE_EQ(limits[3], 300.0);
    dtp45.getPageSizeLimits(limits, params);
    EXPECT_DOUBLE_EQ(limits[0], 19.5);
    EXPECT_DOUBLE_EQ(limits[1], 83.0);
    EXPECT_DOUBLE_EQ(limits[2], 110.0);
    EXPECT_DOUBLE_EQ(limits[3], 300.0);

    // The same whatever quality mode the record asks for.
    ChartParams fine;
    fine.qualityMode = 2;
    dtp45.getPageSizeLimits(limits, fine);
    EXPECT_DOUBLE_EQ(limits[0], 19.5);
    EXPECT_DOUBLE_EQ(limits[1], 83.0);
}

TEST(DtpLayout, NinetyPatchesFitOnePageOfSixStripsOfFifteen) {
    // DTP41 on a 215 x 110 mm page: 215 - 38 - 30 = 147 mm and 110 - 0.5 -
    // 15 = 94.5 mm usable, 15 x 7 cells of 8 x 13 mm with 1.5 mm gaps.
    // Optimised, 6 x 15 wastes none of 90; 147 / 15 - 1.5 leaves the patch
    // at its 8 mm. Page: 38 + 15 x 9.5 + 1.5 + 30 = 212 mm by 6 x 13 + 0.5
    // + 15 = 93.5 mm.
    Dtp41<WriteCMYK> dtp41("");
    ChartParams params = jobParams(MI_DTP41, 215.0, 110.0, "cmyk_90.txt");
    dtp41.initChartParams(params);
    EXPECT_DOUBLE_EQ(params.marginTop, 0.5);
    EXPECT_DOUBLE_EQ(params.marginLeft, 38.0);
    EXPECT_DOUBLE_EQ(params.marginBottom, 15.0);
    EXPECT_DOUBLE_EQ(params.marginRight, 30.0);
    EXPECT_DOUBLE_EQ(params.patchWidth, 8.0);
    EXPECT_DOUBLE_EQ(params.patchHeight, 13.0);
    EXPECT_DOUBLE_EQ(params.gapWidth, 1.5);
    EXPECT_DOUBLE_EQ(params.gapHeight, 0.0);
    ASSERT_EQ(params.pages.size(), 1U);
    EXPECT_EQ(params.pages[0].columns, 15);
    EXPECT_EQ(params.pages[0].strips, 6);
    EXPECT_NEAR(params.pages[0].width, 212.0, 1e-9);
    EXPECT_NEAR(params.pages[0].height, 93.5, 1e-9);

    // DTP45: 215 - 42 - 30 = 143 mm and 110 - 0.5 - 6 = 103.5 mm usable;
    // still 15 x 6, on a page 42 + 142.5 + 1.5 + 30 = 216 mm by 84.5 mm.
    Dtp45<WriteCMYK> dtp45("");
    ChartParams params45 = jobParams(MI_DTP45, 215.0, 110.0, "cmyk_90.txt");
    dtp45.initChartParams(params45);
    EXPECT_DOUBLE_EQ(params45.marginLeft, 42.0);
    EXPECT_DOUBLE_EQ(params45.marginBottom, 6.0);
    ASSERT_EQ(params45.pages.size(), 1U);
    EXPECT_EQ(params45.pages[0].columns, 15);
    EXPECT_EQ(params45.pages[0].strips, 6);
    EXPECT_NEAR(params45.pages[0].width, 216.0, 1e-9);
    EXPECT_NEAR(params45.pages[0].height, 84.5, 1e-9);
}

TEST(DtpLayout, QualityModesTakeTheirOwnPatchGapAndMarginSets) {
    // Mode 1 on the DTP41: the third margin set leaves 215 - 80 = 135 by
    // 110 - 16 = 94 mm; 13 x 10 mm patches with gaps of 0.1 and 2.0 mm give
    // 11 x 7 cells, too few for 90, so two pages of 11 columns and
    // ceil(90 / 11 / 2) = 5 strips, 40 + 11 x 12 + 2 + 40 = 214 mm wide.
    Dtp41<WriteCMYK> dtp41("");
    ChartParams params = jobParams(MI_DTP41, 215.0, 110.0, "cmyk_90.txt");
    params.qualityMode = 1;
    dtp41.initChartParams(params);
    EXPECT_DOUBLE_EQ(params.marginTop, 1.0);
    EXPECT_DOUBLE_EQ(params.marginLeft, 40.0);
    EXPECT_DOUBLE_EQ(params.marginBottom, 15.0);
    EXPECT_DOUBLE_EQ(params.marginRight, 40.0);
    EXPECT_DOUBLE_EQ(params.gapHeight, 0.1);
    EXPECT_DOUBLE_EQ(params.gapWidth, 2.0);
    EXPECT_DOUBLE_EQ(params.patchWidth, 10.0);
    EXPECT_DOUBLE_EQ(params.patchHeight, 13.0);
    ASSERT_EQ(params.pages.size(), 2U);
    EXPECT_EQ(params.pages[0].columns, 11);
    EXPECT_EQ(params.pages[0].strips, 5);
    EXPECT_NEAR(params.pages[0].width, 214.0, 1e-9);

    // Mode 2 on the DTP45: 135 by 110 - 7 = 103 mm, gaps of 2.0 mm: again
    // 11 x 7 cells and two pages of 5 strips, 5 x 15 + 1 + 6 = 82 mm high.
    Dtp45<WriteCMYK> dtp45("");
    ChartParams params45 = jobParams(MI_DTP45, 215.0, 110.0, "cmyk_90.txt");
    params45.qualityMode = 2;
    dtp45.initChartParams(params45);
    EXPECT_DOUBLE_EQ(params45.marginTop, 1.0);
    EXPECT_DOUBLE_EQ(params45.marginLeft, 40.0);
    EXPECT_DOUBLE_EQ(params45.marginBottom, 6.0);
    EXPECT_DOUBLE_EQ(params45.gapHeight, 2.0);
    EXPECT_DOUBLE_EQ(params45.gapWidth, 2.0);
    ASSERT_EQ(params45.pages.size(), 2U);
    EXPECT_EQ(params45.pages[0].columns, 11);
    EXPECT_EQ(params45.pages[0].strips, 5);
    EXPECT_NEAR(params45.pages[0].width, 214.0, 1e-9);
    EXPECT_NEAR(params45.pages[0].height, 82.0, 1e-9);
}

ChartParams modeZeroParams(double marginLeftMm) {
    ChartParams params;
    params.marginTop = 0.5;
    params.marginLeft = marginLeftMm;
    params.patchHeight = 13.0;
    params.patchWidth = 8.0;
    params.gapHeight = 0.0;
    params.gapWidth = 1.5;
    return params;
}

TEST(DtpStripGeometry, ModeZeroBarsPeriodAndFirstPatch) {
    // 1.5 mm between patches is split into a white and a black 0.7 mm half;
    // a patch every 8.0 + 1.4 = 9.4 mm; the first patch 2 x 0.7 mm after
    // the margin: 39.4 mm (DTP41) and 43.4 mm (DTP45).
    const DtpStripGeometry dtp41 = DtpStripGeometry::fromParams(modeZeroParams(38.0), 0.0);
    EXPECT_EQ(dtp41.halfGap, 7U);
    EXPECT_EQ(dtp41.patchPeriod(), 94U);
    EXPECT_EQ(dtp41.patchX(0), 394U);
    EXPECT_EQ(dtp41.leadingBarX(), 387U);
    EXPECT_EQ(dtp41.barAfterPatchX(0), 394U + 80U + 7U);
    EXPECT_EQ(dtp41.patchX(1) - dtp41.barAfterPatchX(0), 7U);
    const DtpStripGeometry dtp45 = DtpStripGeometry::fromParams(modeZeroParams(42.0), 0.0);
    EXPECT_EQ(dtp45.patchX(0), 434U);

    // A strip of 15: 31 bars of 0.7 mm and 15 patches = 141.7 mm, ending
    // with the bar after the last patch.
    EXPECT_EQ(dtp41.stripWidth(15), 1417U);
    EXPECT_EQ(dtp41.leadingBarX() + dtp41.stripWidth(15), dtp41.barAfterPatchX(14) + 7U);

    // Strips touch: 13 mm pitch from 0.5 mm down.
    EXPECT_EQ(dtp41.stripY(0), 5U);
    EXPECT_EQ(dtp41.stripY(5), 5U + 5U * 130U);

    // A strip leader moves everything right by its width.
    const DtpStripGeometry led = DtpStripGeometry::fromParams(modeZeroParams(38.0), 2.5);
    EXPECT_EQ(led.patchX(0), 419U);
}

TEST(DtpStripGeometry, OddGapsTruncateToWholeTenths) {
    // 2.0 mm gives 1.0 mm halves; 0.15 mm truncates to 1 tenth and its half
    // to 0.
    ChartParams params = modeZeroParams(40.0);
    params.gapWidth = 2.0;
    params.patchWidth = 10.0;
    const DtpStripGeometry wide = DtpStripGeometry::fromParams(params, 0.0);
    EXPECT_EQ(wide.halfGap, 10U);
    EXPECT_EQ(wide.patchPeriod(), 120U);
    EXPECT_EQ(wide.patchX(0), 420U);
    params.gapWidth = 0.15;
    EXPECT_EQ(DtpStripGeometry::fromParams(params, 0.0).halfGap, 0U);
}

TEST(DtpStripGeometry, ArrowRisesFromTheMiddleOfThePitchToTheMiddleOfTheRow) {
    ChartParams params = modeZeroParams(40.0);
    params.marginTop = 1.0;
    params.patchHeight = 13.0;
    params.gapHeight = 2.0;
    const DtpStripGeometry gapped = DtpStripGeometry::fromParams(params, 0.0);
    // Pitch 15 mm: the tail 7.5 mm into it, the tip 6.5 mm.
    EXPECT_EQ(gapped.labelY(0), 10U + 75U);
    EXPECT_EQ(gapped.arrowTipY(0), 10U + 65U);
    EXPECT_EQ(gapped.labelY(3) - gapped.arrowTipY(3), 10U);

    params.gapHeight = 0.0;
    const DtpStripGeometry touching = DtpStripGeometry::fromParams(params, 0.0);
    EXPECT_EQ(touching.labelY(2), touching.arrowTipY(2));
}

// writePage against the real PDF writer, in a folder of its own.
class DtpWritePage : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orvo_dtp_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::remove_all(dir_);
        unsetenv("ORVOCHART_LOG");
        reopenDebugLog();
    }

    // Three pages of 2 strips x 4 patches, quality-mode-0 geometry.
    ChartParams threePages() const {
        ChartParams params = modeZeroParams(38.0);
        params.colorMode = CM_CMYK;
        params.pages = {{45.0, 110.0, 4, 2}, {45.0, 110.0, 4, 2}, {45.0, 110.0, 4, 2}};
        return params;
    }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(dir_)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::vector<WriteCMYK::PixelColor> greys(std::size_t count) {
        std::vector<WriteCMYK::PixelColor> patches;
        for (std::size_t i = 0; i < count; ++i) {
            patches.push_back({{0, 0, 0, static_cast<std::uint8_t>(10 * i)}, {}});
        }
        return patches;
    }

    fs::path dir_;
};

TEST_F(DtpWritePage, AnEmptyListWritesNothingAndLogsWhy) {
    const std::string log = file("log.txt");
    setenv("ORVOCHART_LOG", log.c_str(), 1);
    reopenDebugLog();
    Dtp41<WriteCMYK> dtp41("");
    ChartParams params = threePages();
    params.outputName = file("chart_0.tif");
    std::vector<WriteCMYK::PixelColor> none;
    EXPECT_NO_THROW(dtp41.writePage(params, none, 0));
    EXPECT_EQ(files(), std::vector<std::string>{"log.txt"});
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "Dtp41/writePage: GenChartLib: Empty measure data\n");
}

TEST_F(DtpWritePage, APageBeyondThePageListWritesNothing) {
    const std::string log = file("log.txt");
    setenv("ORVOCHART_LOG", log.c_str(), 1);
    reopenDebugLog();
    Dtp41<WriteCMYK> dtp41("");
    ChartParams params = threePages();
    params.outputName = file("chart_3.tif");
    std::vector<WriteCMYK::PixelColor> patches = greys(8);
    EXPECT_NO_THROW(dtp41.writePage(params, patches, 3));
    params.pages.clear();
    EXPECT_NO_THROW(dtp41.writePage(params, patches, 0));
    EXPECT_EQ(files(), std::vector<std::string>{"log.txt"});
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(),
              "Dtp41/writePage: GenChartLib: Empty page vector\n"
              "Dtp41/writePage: GenChartLib: Empty page vector\n");
}

TEST_F(DtpWritePage, TooFewPatchesStopsWithoutADocument) {
    Dtp41<WriteCMYK> dtp41("");
    ChartParams params = threePages();
    params.outputName = file("chart_0.tif");
    std::vector<WriteCMYK::PixelColor> patches = greys(7);  // page 0 needs 8
    try {
        dtp41.writePage(params, patches, 0);
        FAIL() << "no error";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
    }
    EXPECT_TRUE(files().empty());
}

TEST_F(DtpWritePage, APageCallWritesThatPageAloneWithItsOwnStripNumbers) {
    if (!pdfprobe::haveTool("qpdf") || !pdfprobe::haveTool("gs")) {
        GTEST_SKIP() << "qpdf and Ghostscript are needed";
    }
    Dtp45<WriteCMYK> dtp45("");
    ChartParams params = threePages();
    params.pages[1].width = 150.0;  // a later entry's own size is not used
    params.outputName = file("chart_1.tif");
    std::vector<WriteCMYK::PixelColor> patches = greys(8);
    dtp45.writePage(params, patches, 1);

    EXPECT_EQ(files(), (std::vector<std::string>{"chart_1.jpg", "chart_1.tif"}));
    EXPECT_TRUE(pdfprobe::qpdfCheckPasses(params.outputName));
    const auto sizes = pdfprobe::pageSizesMm(params.outputName);
    ASSERT_EQ(sizes.size(), 1U);
    EXPECT_NEAR(sizes[0].widthMm, 110.0, 0.01);
    EXPECT_NEAR(sizes[0].heightMm, 45.0, 0.01);
    // Page 1 carries strips 3 and 4, in the middle of their 13 mm pitch.
    std::vector<std::string> numbers;
    for (const pdfprobe::TextSpan& span : pdfprobe::textSpans(params.outputName)) {
        numbers.push_back(span.text);
        EXPECT_NEAR(span.xMm, 8.0, 0.3) << span.text;
    }
    EXPECT_EQ(numbers, (std::vector<std::string>{"3", "4"}));
}

TEST_F(DtpWritePage, AWholeChartCallDrawsEveryPageIntoOneDocument) {
    if (!pdfprobe::haveTool("qpdf") || !pdfprobe::haveTool("gs")) {
        GTEST_SKIP() << "qpdf and Ghostscript are needed";
    }
    Dtp41<WriteCMYK> dtp41("");
    ChartParams params = threePages();
    params.outputName = file("chart.pdf");
    std::vector<WriteCMYK::PixelColor> patches = greys(24);
    dtp41.writePage(params, patches, -1);

    EXPECT_EQ(files(),
              (std::vector<std::string>{"chart.pdf", "chart_0.jpg", "chart_1.jpg", "chart_2.jpg"}));
    EXPECT_TRUE(pdfprobe::qpdfCheckPasses(params.outputName));
    EXPECT_EQ(pdfprobe::pageCount(params.outputName), 3);
    std::vector<std::pair<int, std::string>> numbers;
    for (const pdfprobe::TextSpan& span : pdfprobe::textSpans(params.outputName)) {
        numbers.push_back({span.page, span.text});
    }
    const std::vector<std::pair<int, std::string>> expected = {{0, "1"}, {0, "2"}, {1, "3"},
                                                               {1, "4"}, {2, "5"}, {2, "6"}};
    EXPECT_EQ(numbers, expected);
}

}  // namespace
}  // namespace GenChartLib
