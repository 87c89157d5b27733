// DTP41 and DTP45 charts made as a host makes them, through createChart of
// the shared library, and read back from outside: the files on disk, qpdf's
// check, page boxes and strip numbers from Ghostscript, and Ghostscript's
// separations at the spots where the strip layout puts its patches.
//
// Layout figures, worked out by hand for a 215 mm wide page in quality
// mode 0 (8 x 13 mm patches, 1.5 mm between patches, no gap between strips):
// - DTP41: 215 - 38 - 30 = 147 mm usable width, 15 columns, each strip
//   38 + 15 x 9.5 + 1.5 + 30 = 212 mm; the first patch at 38 + 1.4 mm, one
//   every 9.4 mm. Height: the page less 0.5 + 15 mm (at most 110 mm).
// - DTP45: 215 - 42 - 30 = 143 mm, still 15 columns, 216 mm wide pages;
//   first patch at 42 + 1.4 mm. Height: the page less 0.5 + 6 mm.
// 90 patches on a 110 mm page: 7 strips fit, the waste-free 6 x 15 is
// chosen, one page. On 45 mm (DTP41) or 40 mm (DTP45) pages only 2 strips
// fit: three pages of 2 x 15.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/ReadBack.h"

namespace readback {
namespace {

struct ChartCase {
    std::string label;
    IdMeasureInstrument instrument;
    ModeReference mode;
    double hostHeightMm;  // the host's page is 215 mm wide
    // Hand-worked layout: 15 columns on pages 212 (DTP41) or 216 mm wide.
    int pages;
    int strips;
    double pageHeightMm;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const ChartCase& c, std::ostream* out) {
    *out << c.label;
}

constexpr int kColumns = 15;
constexpr double kTopMm = 0.5;
constexpr double kPatchWidthMm = 8.0;
constexpr double kPatchHeightMm = 13.0;
constexpr double kBarMm = 0.7;
constexpr double kPatchPeriodMm = 9.4;

std::vector<ChartCase> chartCases() {
    struct Size {
        IdMeasureInstrument id;
        double hostHeightMm;
        int pages;
        int strips;
        double pageHeightMm;
    };
    // In this order a quick run keeps, per mode, the first and third or the
    // second and fourth: one one-page and one three-page chart, one of each
    // instrument.
    const Size sizes[] = {{MI_DTP41, 110, 1, 6, 93.5},
                          {MI_DTP41, 45, 3, 2, 41.5},
                          {MI_DTP45, 40, 3, 2, 32.5},
                          {MI_DTP45, 110, 1, 6, 84.5}};
    std::vector<ChartCase> cases;
    int modeIndex = 0;
    for (const ModeReference& m : modeReferences()) {
        if (m.mode == CM_SIXCOLOR_7) {
            continue;  // the CMYKOG writer again
        }
        for (int i = 0; i < 4; ++i) {
            const Size& s = sizes[i];
            if (!quickRun() || (i + modeIndex) % 2 == 0) {
                cases.push_back({std::string(s.id == MI_DTP41 ? "Dtp41_" : "Dtp45_") + m.label +
                                     (s.pages == 1 ? "_OnePage" : "_ThreePages"),
                                 s.id, m, s.hostHeightMm, s.pages, s.strips, s.pageHeightMm});
            }
        }
        ++modeIndex;
    }
    // The bundled samples, three pages each: 120 patches in 3 x 3 x 15 on
    // 60 mm; 200 and 216 in 3 x 5 x 15 (6 strips fit on 100 mm, ceil(200 /
    // 45) = 5 are used); 300 in 3 x 7 x 15. A quick run keeps the first two.
    const std::vector<std::string> spots = {"Signal Red", "Deep Blue", "Leaf Green", "Sun Yellow"};
    // clang-format off
    const std::vector<ChartCase> samples = {
        {"Dtp41_Sample_Spot4", MI_DTP41,
         {CM_SPOT_4, "Spot4", sampleFile("spot4_120.txt"), spots}, 60, 3, 3, 54.5},
        {"Dtp41_Sample_RGB", MI_DTP41,
         {CM_RGB, "RGB", sampleFile("rgb_216.txt"), {}}, 100, 3, 5, 80.5},
        {"Dtp41_Sample_Lab", MI_DTP41,
         {CM_LAB, "Lab", sampleFile("lab_200.txt"), {}}, 100, 3, 5, 80.5},
        {"Dtp41_Sample_CMYKOG", MI_DTP41,
         {CM_CMYKOG, "CMYKOG", sampleFile("cmykog_300.txt"), {}}, 110, 3, 7, 106.5}};
    // clang-format on
    cases.insert(cases.end(), samples.begin(), samples.begin() + (quickRun() ? 2 : 4));
    return cases;
}

class DtpChart : public HostFolder, public ::testing::WithParamInterface<ChartCase> {};

TEST_P(DtpChart, WritesEveryPageAsTheLayoutPutsIt) {
    const ChartCase& c = GetParam();
    const Made made =
        make(c.instrument, "chart.pdf", c.mode.reference, 215, c.hostHeightMm, c.mode.mode);
    ASSERT_EQ(made.result, 1);
    EXPECT_EQ(made.strips, c.strips);
    EXPECT_EQ(made.columns, kColumns);
    EXPECT_EQ(made.spare, 4242);

    // Page 0 moved onto the output name, no "_0.tif" left; one JPEG preview
    // per page.
    const std::vector<std::string> names = pageFiles("chart.pdf", c.pages);
    std::set<std::string> expected(names.begin(), names.end());
    for (int page = 0; page < c.pages; ++page) {
        expected.insert("chart.pdf_" + std::to_string(page) + ".jpg");
    }
    const std::vector<std::string> pdfs = pagePaths("chart.pdf", c.pages);
    ASSERT_EQ(files(), expected);

    expectPages(pdfs, pdfs.size(), c.instrument == MI_DTP41 ? 212.0 : 216.0, c.pageHeightMm);

    // Strip numbers run on across pages, 8 mm from the left edge, on the
    // middle of their strip (a 5 mm figure sits 2.5 mm lower).
    std::vector<std::string> numbers;
    std::vector<std::string> expectedNumbers;
    for (const TextSpan& span : textSpans(pdfs)) {
        numbers.push_back(std::to_string(span.page) + ":" + span.text);
        const int strip = std::atoi(span.text.c_str()) - 1 - span.page * c.strips;
        EXPECT_NEAR(span.xMm, 8.0, 0.3) << span.text;
        EXPECT_NEAR(span.yMm, kTopMm + kPatchHeightMm * (strip + 0.5) + 2.5, 0.4) << span.text;
    }
    for (int n = 0; n < c.pages * c.strips; ++n) {
        expectedNumbers.push_back(std::to_string(n / c.strips) + ":" + std::to_string(n + 1));
    }
    EXPECT_EQ(numbers, expectedNumbers);

    // Colours: every page, or the last one alone in a quick run (the
    // one-page charts cover a first page).
    const std::vector<std::string> shown =
        quickRun() ? std::vector<std::string>{pdfs.back()} : pdfs;
    const std::vector<RenderedPage> rendered =
        render(shown, printsOnPlates(c.mode.mode), path("render"));
    ASSERT_EQ(rendered.size(), shown.size()) << "Ghostscript rendered nothing";
    const Reference ref = readReference(c.mode.reference);
    const double left = c.instrument == MI_DTP41 ? 38.0 : 42.0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const int page = c.pages - static_cast<int>(shown.size() - i);
        const RenderedPage& r = rendered[i];
        for (int s : {0, c.strips - 1}) {
            SCOPED_TRACE("page " + std::to_string(page) + " strip " + std::to_string(s));
            const double middle = kTopMm + kPatchHeightMm * (s + 0.5);
            for (int n : {0, kColumns / 2, kColumns - 1}) {
                const double x = left + 2 * kBarMm + kPatchPeriodMm * n;
                const auto row = static_cast<std::size_t>((page * c.strips + s) * kColumns + n);
                EXPECT_TRUE(showsRow(r, c.mode, ref, row, x + kPatchWidthMm / 2, middle))
                    << "patch " << n << " (reference row " << row + 1 << ")";
                // White half gap, black bar on either side of the patch.
                EXPECT_TRUE(r.isPaper(x - 1.5 * kBarMm, middle));
                EXPECT_TRUE(r.isBlack(x - kBarMm / 2, middle));
                EXPECT_TRUE(r.isPaper(x + kPatchWidthMm + kBarMm / 2, middle));
                EXPECT_TRUE(r.isBlack(x + kPatchWidthMm + 1.5 * kBarMm, middle));
            }
            // The arrow in the left margin points at the strip: a 0.6 mm
            // shaft from 7.0 mm, a head from 3.5 mm to its tip at 0.5 mm.
            EXPECT_TRUE(r.isBlack(5.5, middle)) << "arrow shaft";
            EXPECT_TRUE(r.isBlack(2.5, middle)) << "arrow head";
            EXPECT_TRUE(r.isPaper(5.5, middle - 2.0));
            // Nothing beyond the last bar.
            const double stripEnd = left + kBarMm * (2 * kColumns + 2) + kPatchWidthMm * kColumns;
            EXPECT_TRUE(r.isPaper(stripEnd + 0.5, middle));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, DtpChart, ::testing::ValuesIn(chartCases()),
                         [](const ::testing::TestParamInfo<ChartCase>& param) {
                             return param.param.label;
                         });

class ChartFailure : public HostFolder {};

TEST_F(ChartFailure, AnExistingOutputFileIsKeptAndNothingIsWritten) {
    const std::string output = path("chart.pdf");
    std::ofstream(output) << "the host's own file";
    const Made made = make(MI_DTP41, "chart.pdf", testFile("cmyk_90.txt"), 215, 110, CM_CMYK);
    EXPECT_EQ(made.result, 0);
    EXPECT_EQ(made.strips, -7);
    EXPECT_EQ(made.columns, -7);
    std::ifstream in(output);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "the host's own file");
    EXPECT_EQ(files(), (std::set<std::string>{"chart.pdf"}));
}

TEST_F(ChartFailure, UnsupportedModesUnreadableReferencesAndTooSmallPagesWriteNothing) {
    const std::string reference = testFile("cmyk_90.txt");
    struct Attempt {
        IdMeasureInstrument instrument;
        std::string reference;
        ColorMode mode;
        double widthMm;
    };
    const std::vector<Attempt> attempts = {
        {MI_DTP41, reference, static_cast<ColorMode>(8), 215},
        {MI_DTP45, reference, static_cast<ColorMode>(99), 215},
        {MI_DTP41, reference, static_cast<ColorMode>(-1), 215},
        {MI_DTP41, path("missing.txt"), CM_CMYK, 215},
        {MI_DTP45, "", CM_CMYK, 215},
        // The Lab loader finds no Lab columns in a CMYK reference.
        {MI_DTP41, reference, CM_LAB, 215},
        // Narrower than one patch inside the DTP41's margins.
        {MI_DTP41, reference, CM_CMYK, 60},
        // Colour mode 5 has no warm-up page for an unlisted id.
        {static_cast<IdMeasureInstrument>(3), testFile("cmyko_90.txt"), CM_CMYKO, 215},
    };
    for (const Attempt& a : attempts) {
        SCOPED_TRACE("mode " + std::to_string(a.mode) + " reference '" + a.reference + "' width " +
                     std::to_string(a.widthMm));
        // The spare out-parameter may be a null pointer.
        int strips = -7;
        int columns = -7;
        EXPECT_EQ(createChart(a.instrument, path("chart.pdf").c_str(), a.reference.c_str(),
                              a.widthMm, 110, 0, &strips, &columns, nullptr, a.mode),
                  0);
        EXPECT_EQ(strips, -7);
        EXPECT_EQ(columns, -7);
        EXPECT_TRUE(files().empty());
    }
}

}  // namespace
}  // namespace readback
