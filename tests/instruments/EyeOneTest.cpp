// The i1 layouts where a host cannot reach them: the business card of
// quality mode 3, a layout centred on the whole page, the page limits of the
// geometry, and what writePage does with nothing to draw. Pages are read
// back with libtiff; figures are worked out by hand from the instruments'
// patch, gap and margin tables.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/ChartExpectations.h"
#include "host/PdfProbe.h"
#include "host/RasterPages.h"
#include "instruments/EyeOnVe.h"
#include "instruments/EyeOnePro2.h"
#include "instruments/EyeOneRev1.h"
#include "outside/DebugLog.h"

namespace GenChartLib {
namespace {

namespace fs = std::filesystem;
using hostcheck::Bytes;

const Bytes kBlack{0, 0, 0, 255};
const Bytes kPaper{0, 0, 0, 0};
const Bytes kYellow{0, 0, 255, 0};
const Bytes kGrey{0, 0, 0, 125};

std::string testReference(const std::string& name) {
    return std::string(ORVOCHART_TEST_DATA) + "/instruments/" + name;
}

// The page bytes of a CMYK reference row; paper past the reference's end.
Bytes referenceBytes(const hostcheck::Reference& ref, std::size_t row) {
    if (row >= ref.rows.size()) {
        return kPaper;
    }
    Bytes bytes;
    for (const char* column : {"CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K"}) {
        bytes.push_back(static_cast<std::uint8_t>(hostcheck::inkByte(ref.value(row, column))));
    }
    return bytes;
}

class EyeOneLayout : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir_ = fs::temp_directory_path() / ("orvo_i1_" + std::to_string(::getpid()) + "_" + name);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::remove_all(dir_);
        unsetenv("ORVOCHART_LOG");
        reopenDebugLog();
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

    // A copy of a test reference with header keywords added.
    std::string referenceWith(const std::string& name, const std::string& keywords) const {
        std::ifstream in(testReference(name));
        const std::string copy = file("reference.txt");
        std::ofstream out(copy);
        std::string line;
        std::getline(in, line);
        out << line << '\n' << keywords << in.rdbuf();
        return copy;
    }

    // A chart job's record before the layout, written as TIFF pages.
    ChartParams jobParams(IdMeasureInstrument instrument, int qualityMode, double widthMm,
                          double heightMm, const std::string& reference) const {
        ChartParams params(CM_CMYK);
        params.instrument = instrument;
        params.qualityMode = qualityMode;
        params.pageWidth = widthMm;
        params.pageHeight = heightMm;
        params.optimizeLayout = true;
        params.refDataName = reference;
        params.outputKind = 1;
        params.outputName = file("chart.tif.tmp");
        return params;
    }

    fs::path dir_;
};

// Where a card's strips go, in tenths of a millimetre.
struct CardStrips {
    int pages;
    int strips;
    int columns;
    std::int64_t startX;       // opening patch, or the strip start on a zebra strip
    std::int64_t firstPatchX;  // patches follow every 9.2 or 9.4 mm
    std::int64_t period;
    bool zebra;
};

// Quality mode 3: a 52 x 85 mm card, no margin above or below the strips,
// 8 mm on the left. Its 8 x 8 mm patches lie 8.5 mm apart; the number box is
// a third of the patch (digit size 26 / 4 = 6); the number's own x comes out
// below 1.0 mm and is put at 1.5 mm, with the strip 9 mm further right.
void expectCard(const std::string& pageFile, const CardStrips& card,
                const hostcheck::Reference& ref, int page, bool greyPadding) {
    SCOPED_TRACE(pageFile);
    const hostcheck::RasterPage tif = hostcheck::readRasterPage(pageFile);
    ASSERT_EQ(tif.width, 850U);
    ASSERT_EQ(tif.height, 520U);
    ASSERT_EQ(tif.channels, 4);
    std::size_t k = static_cast<std::size_t>(page * card.strips * card.columns);
    for (int j = 0; j < card.strips; ++j) {
        const int number = page * card.strips + j + 1;
        const std::int64_t y = 85 * j;
        const std::int64_t mid = y + 40;
        EXPECT_EQ(hostcheck::readNumber(tif, kBlack, 15, card.startX, y + 42 - 6 + 7, 6),
                  std::to_string(number));
        if (!card.zebra) {
            EXPECT_TRUE(tif.is(card.startX + 40, mid, kBlack)) << "opening patch";
        }
        for (int c = 0; c < card.columns; ++c, ++k) {
            const std::int64_t x = card.firstPatchX + c * card.period;
            Bytes expected = referenceBytes(ref, k);
            if (greyPadding && k >= ref.rows.size() && (k - ref.rows.size()) % 2 == 1) {
                expected = kGrey;
            }
            EXPECT_EQ(tif.pixel(x + 40, mid), expected) << "patch " << k;
        }
        const std::int64_t end = card.firstPatchX + card.columns * card.period;
        if (card.zebra) {
            EXPECT_TRUE(tif.is(end - 1, mid, kBlack) && tif.is(end + 1, mid, kPaper));
        } else {
            EXPECT_TRUE(tif.is(end + 40, mid, kYellow)) << "closing patch";
        }
    }
}

TEST_F(EyeOneLayout, QualityModeThreeMakesABusinessCard) {
    // EyeOneRev1: usable 85 - 8 - 2 x 10 - 6.5 = 50.5 mm wide, 52 high: 5 x
    // 6 cells of 8 mm with 1.2 / 0.5 mm gaps, so 40 patches take two pages of
    // 4 strips (ceil(40 / 5 / 2)). Number at 1.5 mm, opening patch at 10.5
    // mm, half gap bars of 0.6 mm, first patch at 10.5 + 8 + 1.2 = 19.7 mm.
    const hostcheck::Reference ref = hostcheck::readReference(testReference("cmyk_40.txt"));
    EyeOneRev1<WriteCMYK> rev1("");
    ChartParams params = jobParams(MI_EYEONE, 3, 100.0, 80.0, testReference("cmyk_40.txt"));
    rev1.initChartParams(params);
    ASSERT_EQ(params.pages.size(), 2U);
    EXPECT_DOUBLE_EQ(params.pages[0].width, 85.0);
    EXPECT_DOUBLE_EQ(params.pages[0].height, 52.0);
    EXPECT_EQ(params.pages[0].columns, 5);
    EXPECT_EQ(params.pages[1].strips, 4);
    EXPECT_DOUBLE_EQ(params.gapHeight, 0.5);
    rev1.writeChart(params);
    EXPECT_EQ(files(), (std::vector<std::string>{"chart.tif_0.tif", "chart.tif_1.tif"}));
    const CardStrips card{2, 4, 5, 105, 197, 92, false};
    expectCard(file("chart.tif_0.tif"), card, ref, 0, false);
    expectCard(file("chart.tif_1.tif"), card, ref, 1, false);
}

TEST_F(EyeOneLayout, ThePro2CardStartsItsStripWhereTheRev1CardDoes) {
    // EyeOnePro2: 1.4 mm gaps, still 5 columns; the strip starts 9 mm right
    // of the number as on the first generation's card, the black half gap
    // just before each patch: first patch at 10.5 + 8 + 1.4 = 19.9 mm.
    const hostcheck::Reference ref = hostcheck::readReference(testReference("cmyk_40.txt"));
    EyeOnePro2<WriteCMYK> pro2("");
    ChartParams params = jobParams(MI_EYEONEPRO2, 3, 85.0, 52.0, testReference("cmyk_40.txt"));
    pro2.initChartParams(params);
    pro2.writeChart(params);
    const CardStrips card{2, 4, 5, 105, 199, 94, false};
    expectCard(file("chart.tif_0.tif"), card, ref, 0, false);
    expectCard(file("chart.tif_1.tif"), card, ref, 1, false);
    const hostcheck::RasterPage tif = hostcheck::readRasterPage(file("chart.tif_0.tif"));
    EXPECT_TRUE(tif.is(185, 40, kPaper) && tif.is(192, 40, kBlack) && tif.is(198, 40, kBlack));
}

TEST_F(EyeOneLayout, AZebraCardHasNoEndPatchesAndGreyMarkersInItsPadding) {
    // With a zebra ruler there is no leader: usable 85 - 8 - 6.5 = 70.5 mm,
    // 7 x 6 cells; 40 patches fill one page of 6 strips of 7 (40 is no
    // multiple of a smaller count down to 7). The Lumo-20 pads the last two
    // cells with paper, then grey. The strip starts at 10.5 mm with a white
    // and a black half gap: first patch at 11.9 mm.
    const hostcheck::Reference ref = hostcheck::readReference(testReference("cmyk_40.txt"));
    EyeOnePro2<WriteCMYK> pro2("");
    ChartParams params =
        jobParams(MI_LUMO20, 3, 85.0, 52.0, referenceWith("cmyk_40.txt", "ZEBRA_RULER_MODE 1\n"));
    pro2.initChartParams(params);
    ASSERT_EQ(params.pages.size(), 1U);
    EXPECT_EQ(params.pages[0].strips, 6);
    EXPECT_EQ(params.pages[0].columns, 7);
    pro2.writeChart(params);
    expectCard(file("chart.tif_0.tif"), {1, 6, 7, 105, 119, 94, true}, ref, 0, true);
}

TEST_F(EyeOneLayout, AWholePageLayoutIsCentredAndWrittenBack) {
    // EyeOneV on A4 lays out 173 x 183 mm (15 strips of 6). On the whole
    // page the 37 and 114 mm left over are shared: left margin 15 + 18.5,
    // right margin 20 + 18.5 held to 15, top 5 + 57. The strip then starts at
    // 33.5 + 17 - 2 - 15 - 20 + 25 = 38.5 mm, its first patch 17 mm later.
    const hostcheck::Reference ref = hostcheck::readReference(testReference("cmyk_90.txt"));
    EyeOneV<WriteCMYK> eyeOneV("");
    ChartParams params = jobParams(MI_EYEONE_LOWRES, 0, 210.0, 297.0, testReference("cmyk_90.txt"));
    eyeOneV.initChartParams(params);
    ASSERT_EQ(params.pages.size(), 1U);
    EXPECT_DOUBLE_EQ(params.pages[0].width, 173.0);
    EXPECT_DOUBLE_EQ(params.pages[0].height, 183.0);
    params.useWholePage = true;
    eyeOneV.writeChart(params);
    EXPECT_DOUBLE_EQ(params.marginLeft, 33.5);
    EXPECT_DOUBLE_EQ(params.marginRight, 15.0);
    EXPECT_DOUBLE_EQ(params.marginTop, 62.0);
    EXPECT_DOUBLE_EQ(params.pages[0].width, 210.0);
    EXPECT_DOUBLE_EQ(params.firstPageHeight, 297.0);

    const hostcheck::RasterPage tif = hostcheck::readRasterPage(file("chart.tif_0.tif"));
    ASSERT_EQ(tif.width, 2100U);
    ASSERT_EQ(tif.height, 2970U);
    EXPECT_TRUE(tif.is(385 + 75, 620 + 50, kBlack));
    for (std::size_t c = 0; c < 6; ++c) {
        EXPECT_EQ(tif.pixel(555 + 170 * static_cast<std::int64_t>(c) + 75, 620 + 50),
                  referenceBytes(ref, c));
    }
    EXPECT_EQ(hostcheck::readNumber(tif, kBlack, 10, 385, 620 + 55 - 6 + 13, 12), "1");
}

TEST_F(EyeOneLayout, APdfChartHoldsEveryPageWithItsOwnStrips) {
    // EyeOneRev1 on 180 x 70 mm: two pages of 13 columns, 4 strips and 3
    // (ceil(38 / 13)), each 180.8 x 66.6 mm. As one PDF document every page
    // goes into the same file, the strip numbers 5.0 mm from the left edge.
    if (!pdfprobe::haveTool("gs") || !pdfprobe::haveTool("qpdf")) {
        GTEST_SKIP() << "Ghostscript and qpdf read the document back";
    }
    EyeOneRev1<WriteCMYK> rev1("");
    ChartParams params = jobParams(MI_EYEONE, 0, 180.0, 70.0, testReference("cmyk_90.txt"));
    rev1.initChartParams(params);
    ASSERT_EQ(params.pages.size(), 2U);
    params.outputKind = 0;
    params.outputName = file("chart.pdf");
    std::vector<WriteCMYK::PixelColor> patches =
        MeasureInstrument<WriteCMYK>::loadReference(params);
    patches.push_back(WriteCMYK::paperColor());
    rev1.writePage(params, patches, -1);

    ASSERT_TRUE(pdfprobe::qpdfCheckPasses(file("chart.pdf")));
    const std::vector<pdfprobe::PageSize> sizes = pdfprobe::pageSizesMm(file("chart.pdf"));
    ASSERT_EQ(sizes.size(), 2U);
    for (const pdfprobe::PageSize& size : sizes) {
        EXPECT_NEAR(size.widthMm, 180.8, 0.01);
        EXPECT_NEAR(size.heightMm, 66.6, 0.01);
    }
    std::vector<std::string> numbers;
    for (const pdfprobe::TextSpan& span : pdfprobe::textSpans(file("chart.pdf"))) {
        numbers.push_back(std::to_string(span.page) + ":" + span.text);
        EXPECT_NEAR(span.xMm, 5.0, 0.3) << span.text;
    }
    EXPECT_EQ(numbers, (std::vector<std::string>{"0:1", "0:2", "0:3", "0:4", "1:5", "1:6", "1:7"}));
}

TEST_F(EyeOneLayout, PageLimitsFollowTheLeastPageOfEachInstrument) {
    double limits[8];
    ChartParams params;
    // EyeOneRev1, mode 0: 8 + 8 + 2 x 0.4 + 25 high; 25 + 8 + 2 x 1.2 + 15
    // wide plus a 10 mm leader each side; at most 420 x 280.
    EyeOneRev1<WriteCMYK> rev1("");
    rev1.getPageSizeLimits(limits, params);
    EXPECT_DOUBLE_EQ(limits[0], 41.8);
    EXPECT_DOUBLE_EQ(limits[1], 70.4);
    EXPECT_DOUBLE_EQ(limits[2], 420.0);
    EXPECT_DOUBLE_EQ(limits[3], 280.0);
    params.qualityMode = 3;
    rev1.getPageSizeLimits(limits, params);
    EXPECT_EQ(std::vector<double>(limits, limits + 4),
              (std::vector<double>{52.0, 85.0, 52.0, 85.0}));

    // EyeOneV: 5 + 10 + 2 + 13 = 30 high, 15 + 15 + 4 + 20 + 2 x 17 = 88
    // wide; a page wider than high may grow to 330 wide, 260 high.
    EyeOneV<WriteCMYK> eyeOneV("");
    params.qualityMode = 0;
    eyeOneV.getPageSizeLimits(limits, params);
    EXPECT_DOUBLE_EQ(limits[0], 30.0);
    EXPECT_DOUBLE_EQ(limits[1], 88.0);
    EXPECT_DOUBLE_EQ(limits[2], 260.0);
    EXPECT_DOUBLE_EQ(limits[3], 330.0);

    // EyeOnePro2 with a zebra ruler has no leader: 25 + 8 + 2 x 1.4 + 15.
    EyeOnePro2<WriteCMYK> pro2("");
    ChartParams zebra = jobParams(MI_EYEONEPRO2, 0, 210.0, 297.0,
                                  referenceWith("cmyk_90.txt", "ZEBRA_RULER_MODE 1\n"));
    pro2.initChartParams(zebra);
    pro2.getPageSizeLimits(limits, params);
    EXPECT_DOUBLE_EQ(limits[1], 50.8);
}

TEST_F(EyeOneLayout, NothingToDrawWritesNoPage) {
    const std::string log = file("log.txt");
    setenv("ORVOCHART_LOG", log.c_str(), 1);
    reopenDebugLog();
    ChartParams params = jobParams(MI_EYEONE, 0, 210.0, 297.0, testReference("cmyk_90.txt"));
    EyeOneRev1<WriteCMYK> rev1("");
    rev1.initChartParams(params);
    params.outputName = file("chart_0.tif");
    std::vector<WriteCMYK::PixelColor> none;
    EyeOnePro2<WriteCMYK> pro2("");
    EyeOneV<WriteCMYK> eyeOneV("");
    EyeOne<WriteCMYK> base("");
    rev1.writePage(params, none, 0);
    pro2.writePage(params, none, 0);
    eyeOneV.writePage(params, none, 0);
    base.writePage(params, none, 0);
    // The family's base class lays out but never draws.
    std::vector<WriteCMYK::PixelColor> some(90, WriteCMYK::blackColor());
    base.writePage(params, some, 0);
    EXPECT_EQ(files(), std::vector<std::string>{"log.txt"});
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(),
              "EyeOneRev1/writePage: GenChartLib: Empty measure data\n"
              "EyeOnePro2/writePage: GenChartLib: Empty measure data\n"
              "EyeOnVe/writePage: GenChartLib: Empty measure data\n"
              "EyeOne/writePage: GenChartLib: Empty measure data\n");
}

TEST_F(EyeOneLayout, APageOfMoreStripsThanPatchesStopsWithoutAFile) {
    // Page 0 asks for 6 strips of 15; 80 patches run out in the sixth strip.
    ChartParams params = jobParams(MI_EYEONE, 0, 210.0, 297.0, testReference("cmyk_90.txt"));
    EyeOneRev1<WriteCMYK> rev1("");
    rev1.initChartParams(params);
    params.outputName = file("chart_0.tif");
    std::vector<WriteCMYK::PixelColor> patches(80, WriteCMYK::paperColor());
    try {
        rev1.writePage(params, patches, 0);
        FAIL() << "no error";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
    }
    EXPECT_TRUE(files().empty());
}

}  // namespace
}  // namespace GenChartLib
