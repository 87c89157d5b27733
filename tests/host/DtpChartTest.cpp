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

#include <cmath>
#include <fstream>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/HostFixture.h"

namespace hostcheck {
namespace {

struct ModeReference {
    ColorMode mode;
    const char* label;
    std::string reference;
    std::vector<std::string> spotNames;  // spot plates in channel order
};

// One reference per writer.
std::vector<ModeReference> modeReferences() {
    return {
        {CM_CMYK, "CMYK", testFile("cmyk_90.txt"), {}},
        {CM_CMYKO, "CMYKO", testFile("cmyko_90.txt"), {}},
        {CM_CMYKOG, "CMYKOG", testFile("cmykog_90.txt"), {}},
        {CM_CMYKRGB, "CMYKRGB", testFile("cmykrgb_90.txt"), {}},
        {CM_LAB, "Lab", testFile("lab_90.txt"), {}},
        {CM_RGB, "RGB", testFile("rgb_90.txt"), {}},
        {CM_SPOT_2, "Spot2", testFile("spot2_90.txt"), {"Spot 1", "Spot 2"}},
    };
}

struct ChartCase {
    std::string label;
    IdMeasureInstrument instrument;
    ModeReference mode;
    double hostWidthMm;
    double hostHeightMm;
    // Hand-worked layout.
    int pages;
    int strips;
    int columns;
    double pageWidthMm;
    double pageHeightMm;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const ChartCase& c, std::ostream* out) {
    *out << c.label;
}

constexpr double kTopMm = 0.5;
constexpr double kPatchWidthMm = 8.0;
constexpr double kPatchHeightMm = 13.0;
constexpr double kBarMm = 0.7;
constexpr double kPatchPeriodMm = 9.4;

double marginLeftOf(IdMeasureInstrument instrument) {
    return instrument == MI_DTP41 ? 38.0 : 42.0;
}

std::vector<ChartCase> chartCases() {
    std::vector<ChartCase> cases;
    for (const ModeReference& m : modeReferences()) {
        const std::string mode = m.label;
        cases.push_back({"Dtp41_" + mode + "_OnePage", MI_DTP41, m, 215, 110, 1, 6, 15, 212, 93.5});
        cases.push_back(
            {"Dtp41_" + mode + "_ThreePages", MI_DTP41, m, 215, 45, 3, 2, 15, 212, 41.5});
        cases.push_back({"Dtp45_" + mode + "_OnePage", MI_DTP45, m, 215, 110, 1, 6, 15, 216, 84.5});
        cases.push_back(
            {"Dtp45_" + mode + "_ThreePages", MI_DTP45, m, 215, 40, 3, 2, 15, 216, 32.5});
    }
    // The bundled samples, three pages each: 300 patches in 3 x 7 x 15;
    // 200 and 216 in 3 x 5 x 15 (6 strips fit on 100 mm, ceil(200 / 45)
    // = 5 are used); 120 in 3 x 3 x 15 on 60 mm.
    cases.push_back({"Dtp41_Sample_CMYKOG",
                     MI_DTP41,
                     {CM_CMYKOG, "CMYKOG", sampleFile("cmykog_300.txt"), {}},
                     215,
                     110,
                     3,
                     7,
                     15,
                     212,
                     106.5});
    cases.push_back({"Dtp41_Sample_Lab",
                     MI_DTP41,
                     {CM_LAB, "Lab", sampleFile("lab_200.txt"), {}},
                     215,
                     100,
                     3,
                     5,
                     15,
                     212,
                     80.5});
    cases.push_back({"Dtp41_Sample_RGB",
                     MI_DTP41,
                     {CM_RGB, "RGB", sampleFile("rgb_216.txt"), {}},
                     215,
                     100,
                     3,
                     5,
                     15,
                     212,
                     80.5});
    cases.push_back({"Dtp41_Sample_Spot4",
                     MI_DTP41,
                     {CM_SPOT_4,
                      "Spot4",
                      sampleFile("spot4_120.txt"),
                      {"Signal Red", "Deep Blue", "Leaf Green", "Sun Yellow"}},
                     215,
                     60,
                     3,
                     3,
                     15,
                     212,
                     54.5});
    return cases;
}

class DtpChart : public HostFolder, public ::testing::WithParamInterface<ChartCase> {
  protected:
    std::string pageFile(int page) const {
        return page == 0 ? path("chart.pdf") : path("chart.pdf_" + std::to_string(page) + ".tif");
    }
    std::string previewFile(int page) const {
        return path("chart.pdf_" + std::to_string(page) + ".jpg");
    }
};

TEST_P(DtpChart, WritesEveryPageAsTheLayoutPutsIt) {
    const ChartCase& c = GetParam();
    const std::string output = path("chart.pdf");
    int strips = -7;
    int columns = -7;
    int spare = 4242;
    ASSERT_EQ(createChart(c.instrument, output.c_str(), c.mode.reference.c_str(), c.hostWidthMm,
                          c.hostHeightMm, 99, &strips, &columns, &spare, c.mode.mode),
              1);
    EXPECT_EQ(strips, c.strips);
    EXPECT_EQ(columns, c.columns);
    EXPECT_EQ(spare, 4242);

    // Page 0 moved onto the output name, no "_0.tif" left; every page has
    // its preview.
    std::set<std::string> expected{"chart.pdf"};
    for (int page = 0; page < c.pages; ++page) {
        expected.insert("chart.pdf_" + std::to_string(page) + ".jpg");
        if (page > 0) {
            expected.insert("chart.pdf_" + std::to_string(page) + ".tif");
        }
    }
    ASSERT_EQ(files(), expected);

    const Reference ref = readReference(c.mode.reference);
    const double left = marginLeftOf(c.instrument);
    const int perPage = c.strips * c.columns;
    for (int page = 0; page < c.pages; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        const std::string pdf = pageFile(page);
        EXPECT_TRUE(pdfprobe::qpdfCheckPasses(pdf));
        const std::vector<pdfprobe::PageSize> sizes = pdfprobe::pageSizesMm(pdf);
        ASSERT_EQ(sizes.size(), 1U);
        EXPECT_NEAR(sizes[0].widthMm, c.pageWidthMm, 0.01);
        EXPECT_NEAR(sizes[0].heightMm, c.pageHeightMm, 0.01);

        const auto [jpegWidth, jpegHeight] = pdfprobe::jpegSize(previewFile(page));
        ASSERT_GT(jpegHeight, 0) << "no JPEG preview";
        EXPECT_NEAR(static_cast<double>(jpegWidth) / jpegHeight, c.pageWidthMm / c.pageHeightMm,
                    0.02 * c.pageWidthMm / c.pageHeightMm);

        // Strip numbers run on across pages, 8 mm from the left edge, on
        // the middle of their strip (a 5 mm figure sits 2.5 mm lower).
        std::vector<std::string> numbers;
        for (const pdfprobe::TextSpan& span : pdfprobe::textSpans(pdf)) {
            numbers.push_back(span.text);
            const int strip = std::atoi(span.text.c_str()) - 1 - page * c.strips;
            EXPECT_NEAR(span.xMm, 8.0, 0.3) << span.text;
            EXPECT_NEAR(span.yMm, kTopMm + kPatchHeightMm * (strip + 0.5) + 2.5, 0.4) << span.text;
        }
        std::vector<std::string> expectedNumbers;
        for (int s = 0; s < c.strips; ++s) {
            expectedNumbers.push_back(std::to_string(page * c.strips + s + 1));
        }
        EXPECT_EQ(numbers, expectedNumbers);

        // Colours: only the last page in a quick run (the one-page charts
        // cover a first page), every page else.
        if (quickRun() && page != c.pages - 1) {
            continue;
        }
        const RenderedPage rendered = RenderedPage::of(pdf, c.mode.mode, dir_ / "render");
        ASSERT_FALSE(rendered.empty()) << "Ghostscript rendered nothing";
        for (int s : {0, c.strips - 1}) {
            const double top = kTopMm + kPatchHeightMm * s;
            const double middle = top + kPatchHeightMm / 2;
            for (int n : {0, c.columns / 2, c.columns - 1}) {
                const double x = left + 2 * kBarMm + kPatchPeriodMm * n + kPatchWidthMm / 2;
                const auto row = static_cast<std::size_t>(page * perPage + s * c.columns + n);
                EXPECT_TRUE(
                    pageShowsRow(rendered, c.mode.mode, ref, row, c.mode.spotNames, x, middle))
                    << "strip " << s << " patch " << n << " (reference row " << row + 1 << ")";
                // Black half gap after the patch, white before it.
                const double patchLeft = x - kPatchWidthMm / 2;
                EXPECT_TRUE(rendered.isPaper(patchLeft - 1.5 * kBarMm, middle));
                EXPECT_TRUE(rendered.isBlack(patchLeft - kBarMm / 2, middle));
                EXPECT_TRUE(rendered.isPaper(patchLeft + kPatchWidthMm + kBarMm / 2, middle));
                EXPECT_TRUE(rendered.isBlack(patchLeft + kPatchWidthMm + 1.5 * kBarMm, middle));
            }
            // The arrow in the left margin points at the strip: a 0.6 mm
            // shaft from 7.0 mm, a head from 3.5 mm to its tip at 0.5 mm.
            EXPECT_TRUE(rendered.isBlack(5.5, middle)) << "arrow shaft of strip " << s;
            EXPECT_TRUE(rendered.isBlack(2.5, middle)) << "arrow head of strip " << s;
            EXPECT_TRUE(rendered.isPaper(5.5, middle - 2.0));
            // Nothing beyond the last bar.
            const double stripEnd =
                left + kBarMm + kBarMm * (2 * c.columns + 1) + kPatchWidthMm * c.columns;
            EXPECT_TRUE(rendered.isPaper(stripEnd + 0.5, middle));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, DtpChart, ::testing::ValuesIn(chartCases()),
                         [](const ::testing::TestParamInfo<ChartCase>& param) {
                             return param.param.label;
                         });

class DtpChartFailure : public HostFolder {};

TEST_F(DtpChartFailure, AnExistingOutputFileIsKeptAndThePageStaysUnderItsOwnName) {
    const std::string output = path("chart.pdf");
    std::ofstream(output) << "the host's own file";
    int strips = -7;
    int columns = -7;
    EXPECT_EQ(createChart(MI_DTP41, output.c_str(), testFile("cmyk_90.txt").c_str(), 215, 110, 0,
                          &strips, &columns, nullptr, CM_CMYK),
              0);
    EXPECT_EQ(strips, -7);
    EXPECT_EQ(columns, -7);
    std::ifstream in(output);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "the host's own file");
    EXPECT_EQ(files(), (std::set<std::string>{"chart.pdf", "chart.pdf_0.tif", "chart.pdf_0.jpg"}));
    EXPECT_TRUE(pdfprobe::qpdfCheckPasses(path("chart.pdf_0.tif")));
}

TEST_F(DtpChartFailure, UnsupportedModesAndUnreadableReferencesWriteNothing) {
    const std::string output = path("chart.pdf");
    const std::string reference = testFile("cmyk_90.txt");
    struct Attempt {
        IdMeasureInstrument instrument;
        std::string reference;
        ColorMode mode;
    };
    const std::vector<Attempt> attempts = {
        {MI_DTP41, reference, static_cast<ColorMode>(8)},
        {MI_DTP45, reference, static_cast<ColorMode>(99)},
        {MI_DTP41, reference, static_cast<ColorMode>(-1)},
        {MI_DTP41, path("missing.txt"), CM_CMYK},
        {MI_DTP45, "", CM_CMYK},
        // A CMYK reference has no orange and green columns for CMYKOG, but
        // the Lab loader finds no Lab columns at all.
        {MI_DTP41, reference, CM_LAB},
    };
    for (const Attempt& a : attempts) {
        int strips = -7;
        int columns = -7;
        EXPECT_EQ(createChart(a.instrument, output.c_str(), a.reference.c_str(), 215, 110, 0,
                              &strips, &columns, nullptr, a.mode),
                  0)
            << "mode " << a.mode << " reference " << a.reference;
        EXPECT_EQ(strips, -7);
        EXPECT_EQ(columns, -7);
        EXPECT_TRUE(files().empty()) << "mode " << a.mode << " reference " << a.reference;
    }
}

TEST_F(DtpChartFailure, ATooSmallPageWritesNothing) {
    // Narrower than one patch inside the DTP41's margins.
    const std::string output = path("chart.pdf");
    int strips = -7;
    int columns = -7;
    EXPECT_EQ(createChart(MI_DTP41, output.c_str(), testFile("cmyk_90.txt").c_str(), 60, 110, 0,
                          &strips, &columns, nullptr, CM_CMYK),
              0);
    EXPECT_EQ(strips, -7);
    EXPECT_TRUE(files().empty());
}

}  // namespace
}  // namespace hostcheck
