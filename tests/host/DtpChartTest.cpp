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
// The bundled samples, three pages each: 120 patches in 3 x 3 x 15 on 60 mm;
// 200 and 216 in 3 x 5 x 15 (6 strips fit on 100 mm, ceil(200 / 45) = 5 are
// used); 300 in 3 x 7 x 15.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/ReadBack.h"

namespace readback {
namespace {

struct ChartCase {
    std::string label;
    IdMeasureInstrument id;
    ModeSpec mode;
    double hostHeightMm;  // the host's page is 215 mm wide
    int pages, strips;
    double pageHeightMm;
};

constexpr int kColumns = 15;
constexpr double kTopMm = 0.5, kPatchWidthMm = 8.0, kPatchHeightMm = 13.0, kBarMm = 0.7;

std::vector<ChartCase> chartCases() {
    // A quick run keeps, per mode, the first and third or the second and
    // fourth: one one-page and one three-page chart, one of each instrument.
    const ChartCase sizes[] = {{"Dtp41_OnePage_", MI_DTP41, {}, 110, 1, 6, 93.5},
                               {"Dtp41_ThreePages_", MI_DTP41, {}, 45, 3, 2, 41.5},
                               {"Dtp45_ThreePages_", MI_DTP45, {}, 40, 3, 2, 32.5},
                               {"Dtp45_OnePage_", MI_DTP45, {}, 110, 1, 6, 84.5}};
    std::vector<ChartCase> cases;
    const std::vector<ModeSpec> modes = allModes();
    for (std::size_t m = 0; m < modes.size(); ++m) {
        for (std::size_t i = 0; i < 4; ++i) {
            if (!quickRun() || (i + m) % 2 == 0) {
                cases.push_back(sizes[i]);
                cases.back().label += modes[m].label;
                cases.back().mode = modes[m];
            }
        }
    }
    const std::vector<std::string> spots = {"Signal Red", "Deep Blue", "Leaf Green", "Sun Yellow"};
    // clang-format off
    const ChartCase samples[] = {
        {"Sample_Spot4", MI_DTP41, {CM_SPOT_4, "", sampleFile("spot4_120.txt"), spots}, 60, 3, 3, 54.5},
        {"Sample_RGB", MI_DTP41, {CM_RGB, "", sampleFile("rgb_216.txt"), {}}, 100, 3, 5, 80.5},
        {"Sample_Lab", MI_DTP41, {CM_LAB, "", sampleFile("lab_200.txt"), {}}, 100, 3, 5, 80.5},
        {"Sample_CMYKOG", MI_DTP41, {CM_CMYKOG, "", sampleFile("cmykog_300.txt"), {}}, 110, 3, 7, 106.5}};
    // clang-format on
    cases.insert(cases.end(), samples, samples + (quickRun() ? 2 : 4));
    return cases;
}

class DtpChart : public HostFolder, public ::testing::WithParamInterface<ChartCase> {};

TEST_P(DtpChart, WritesEveryPageAsTheLayoutPutsIt) {
    const ChartCase& c = GetParam();
    if (toolsMissing()) {
        return;
    }
    const std::string reference = referenceFor(c.mode);
    ASSERT_TRUE(
        makes(c.id, "chart.pdf", reference, 215, c.hostHeightMm, c.mode.mode, c.strips, kColumns));
    // Page 0 moved onto the output name, no "_0.tif" left; one JPEG preview
    // per page.
    const std::vector<std::string> pdfs = chartFiles("chart.pdf", c.pages, {}, true);
    expectPages(pdfs, pdfs.size(), c.id == MI_DTP41 ? 212.0 : 216.0, c.pageHeightMm);

    // Strip numbers run on across pages, 8 mm from the left edge, on the
    // middle of their strip (a 5 mm figure sits 2.5 mm lower).
    std::vector<std::string> expectedNumbers;
    for (int n = 0; n < c.pages * c.strips; ++n) {
        expectedNumbers.push_back(std::to_string(n / c.strips) + ":" + std::to_string(n + 1));
    }
    EXPECT_EQ(textsAt(pdfs, 8.0), expectedNumbers);
    for (const TextSpan& span : textSpans(pdfs)) {
        const int strip = std::atoi(span.text.c_str()) - 1 - span.page * c.strips;
        EXPECT_NEAR(span.yMm, kTopMm + kPatchHeightMm * (strip + 0.5) + 2.5, 0.4) << span.text;
    }

    // Colours: every page, or the last one alone in a quick run (the
    // one-page charts cover a first page).
    const std::vector<std::string> shown = quickRun() ? std::vector{pdfs.back()} : pdfs;
    const auto rendered = render(shown, printsOnPlates(c.mode.mode), path("render"));
    ASSERT_EQ(rendered.size(), shown.size()) << "Ghostscript rendered nothing";
    const Reference ref = readReference(reference);
    const double left = c.id == MI_DTP41 ? 38.0 : 42.0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const int page = c.pages - static_cast<int>(shown.size() - i);
        const RenderedPage& r = rendered[i];
        for (int s : {0, c.strips - 1}) {
            SCOPED_TRACE("page " + std::to_string(page) + " strip " + std::to_string(s));
            const double middle = kTopMm + kPatchHeightMm * (s + 0.5);
            for (int n : {0, kColumns / 2, kColumns - 1}) {
                const double x = left + 2 * kBarMm + 9.4 * n;
                const auto row = static_cast<std::size_t>((page * c.strips + s) * kColumns + n);
                EXPECT_TRUE(showsRow(r, c.mode, ref, row, x + kPatchWidthMm / 2, middle))
                    << "patch " << n << " (reference row " << row + 1 << ")";
                // White half gap, black bar on either side of the patch.
                EXPECT_TRUE(r.isPaper(x - 1.5 * kBarMm, middle) &&
                            r.isBlack(x - kBarMm / 2, middle));
                EXPECT_TRUE(r.isPaper(x + kPatchWidthMm + kBarMm / 2, middle) &&
                            r.isBlack(x + kPatchWidthMm + 1.5 * kBarMm, middle));
            }
            // The arrow in the left margin points at the strip: a 0.6 mm
            // shaft from 7.0 mm, a head from 3.5 mm to its tip at 0.5 mm;
            // nothing beyond the last bar.
            EXPECT_TRUE(r.isBlack(5.5, middle) && r.isBlack(2.5, middle) &&
                        r.isPaper(5.5, middle - 2.0));
            EXPECT_TRUE(r.isPaper(left + kBarMm * 32 + kPatchWidthMm * kColumns + 0.5, middle));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, DtpChart, ::testing::ValuesIn(chartCases()), kByLabel);

}  // namespace
}  // namespace readback
