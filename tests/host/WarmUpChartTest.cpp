// Warm-up pages for instrument ids without a layout of their own, made
// through createChart and read back with qpdf and Ghostscript.
//
// On an A4 page the warm-up layout keeps 10 mm free on both sides of the
// usable width (190 x 297 mm, 19 x 29 cells, never optimised). Every line
// holds as many blocks of a strip's columns as fit, centred; the patch list
// runs on through the lines, one pass (blocks x strips x list) backwards
// (last patch first), the next forwards, and so on:
// - 90 patches: 90 = the cells used, so the columns are trimmed from 19 to
//   the first divisor, 18; 5 strips. One block of 18 from x = 15 mm; a pass
//   is 1 x 5 x 90 = 450 patches = 25 lines, the next runs on lines 25 to 28.
// - 5 patches without instrument (id 0, no padding): 5 columns x 1 strip,
//   4 blocks from x = 5 mm, one pass per line. Ids 48 and 1000 lie beyond
//   the table: padded to six patches, 3 blocks of 6 from x = 15 mm. Id 29 is
//   named but has no layout; as a Barbieri id it is padded to eight: 2
//   blocks of 8 from x = 25 mm.
// - 1500 patches: 551 cells a page, 3 pages of 19 columns and 27 strips
//   (the last page 25), padded to 1501. Each page repeats its own part of
//   the list: 513 patches on the first two pages, 475 on the last. One block
//   of 19 from x = 10 mm; a pass of 27 x 513 patches outlasts the page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/ReadBack.h"

namespace readback {
namespace {

struct WarmUpCase {
    std::string label;
    int id;
    ModeSpec mode;
    int strips, columns;
    double lineLeftMm;
    int perLine;
    std::vector<int> pageStarts;  // the first patch of each page's part
    int patchCount;               // padded
};

std::vector<WarmUpCase> warmUpCases() {
    std::vector<WarmUpCase> cases;
    for (const ModeSpec& m : allModes()) {
        if (m.mode != CM_CMYKO) {  // no warm-up page in this mode
            cases.push_back({"Id3_" + m.label, 3, m, 5, 18, 15.0, 18, {0}, 90});
        }
    }
    ModeSpec five = allModes().front();
    five.reference = testFile("cmyk_5.txt");
    cases.push_back({"Id0_FivePatches", 0, five, 1, 5, 5.0, 20, {0}, 5});
    cases.push_back({"Id29_PaddedToEight", 29, five, 1, 8, 25.0, 16, {0}, 8});
    cases.push_back({"Id48_PaddedToSix", 48, five, 1, 6, 15.0, 18, {0}, 6});
    cases.push_back({"Id1000_PaddedToSix", 1000, five, 1, 6, 15.0, 18, {0}, 6});
    five.reference = sampleFile("cmyk_1500.txt");
    cases.push_back({"Id3_ThreePages", 3, five, 27, 19, 10.0, 19, {0, 513, 1026}, 1501});
    return cases;
}

class WarmUpChart : public HostFolder, public ::testing::WithParamInterface<WarmUpCase> {};

TEST_P(WarmUpChart, RepeatsThePatchesOverTheWholePage) {
    const WarmUpCase& c = GetParam();
    if (toolsMissing()) {
        return;
    }
    const std::string reference = referenceFor(c.mode);
    ASSERT_TRUE(makes(static_cast<IdMeasureInstrument>(c.id), "chart.pdf", reference, 210, 297,
                      c.mode.mode, c.strips, c.columns));
    // Every page is an A4 PDF page, without preview.
    std::vector<std::string> pdfs = chartFiles("chart.pdf", c.pageStarts.size());
    expectPages(pdfs, pdfs.size(), 210.0, 297.0);

    // A quick run leaves the middle page out.
    if (quickRun() && pdfs.size() == 3) {
        pdfs.erase(pdfs.begin() + 1);
    }
    const Reference ref = readReference(reference);
    const auto rendered = render(pdfs, printsOnPlates(c.mode.mode), path("render"));
    ASSERT_EQ(rendered.size(), pdfs.size());
    for (std::size_t i = 0; i < pdfs.size(); ++i) {
        const std::size_t page = pdfs.size() == c.pageStarts.size() ? i : 2 * i;
        const int first = c.pageStarts[page];
        const int length =
            (page + 1 < c.pageStarts.size() ? c.pageStarts[page + 1] : c.patchCount) - first;
        const int pass = c.perLine / c.columns * c.strips * length;
        for (int line : {0, 1, 7, 24, 25, 26, 28}) {
            const double y = 10.0 * line + 5.0;
            for (int column : {0, 3, c.perLine / 2, c.perLine - 1}) {
                const int n = line * c.perLine + column;
                const int index = n / pass % 2 == 0 ? length - 1 - n % length : n % length;
                const auto row = static_cast<std::size_t>(first + index);
                EXPECT_TRUE(
                    showsRow(rendered[i], c.mode, ref, row, c.lineLeftMm + 10.0 * column + 5.0, y))
                    << "page " << page << " line " << line << " column " << column;
            }
            // The lines end where they began on the left: nothing runs off
            // the right edge.
            EXPECT_TRUE(rendered[i].isPaper(c.lineLeftMm - 2.5, y) &&
                        rendered[i].isPaper(210.0 - c.lineLeftMm + 2.5, y));
        }
        EXPECT_TRUE(rendered[i].isPaper(100.0, 293.0)) << "the bottom 7 mm stay empty";
    }
}

INSTANTIATE_TEST_SUITE_P(Charts, WarmUpChart, ::testing::ValuesIn(warmUpCases()),
                         [](const auto& param) { return param.param.label; });

}  // namespace
}  // namespace readback
