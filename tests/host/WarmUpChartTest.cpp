// Warm-up pages for instrument ids without a layout of their own, made
// through createChart and read back with qpdf and Ghostscript.
//
// On an A4 page the warm-up layout keeps 10 mm free on both sides of the
// usable width (190 x 297 mm, 19 x 29 cells, never optimised):
// - 90 patches: 90 = the cells used, so the columns are trimmed from 19 to
//   the first divisor, 18; 5 strips. One line holds 2100 / 1800 = 1 block
//   of 18 patches from x = 15 mm. A pass is 1 x 5 x 90 = 450 patches =
//   25 lines, backwards (last patch first); the next pass runs forwards on
//   lines 25 to 28.
// - 5 patches without instrument (id 0, no padding): 5 columns x 1 strip,
//   4 blocks from x = 5 mm, one pass per line.
// - 1500 patches: 551 cells a page, 3 pages of 19 columns and 27 strips
//   (the last page 25), padded to 1501.
#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/HostFixture.h"

namespace hostcheck {
namespace {

constexpr double kPatchMm = 10.0;
constexpr double kA4WidthMm = 210.0;
constexpr double kA4HeightMm = 297.0;

struct WarmUpMode {
    ColorMode mode;
    const char* label;
    std::string reference;
    std::vector<std::string> spotNames;
};

void PrintTo(const WarmUpMode& m, std::ostream* out) {
    *out << m.label;
}

class WarmUpChart : public HostFolder, public ::testing::WithParamInterface<WarmUpMode> {};

// Where a cell of the page is and which list entry it shows.
struct Cell {
    int line;
    int column;
};

double cellCentreX(double lineLeftMm, int column) {
    return lineLeftMm + kPatchMm * column + kPatchMm / 2;
}

double cellCentreY(int line) {
    return kPatchMm * line + kPatchMm / 2;
}

TEST_P(WarmUpChart, RepeatsThePatchesOverTheWholePage) {
    const WarmUpMode& m = GetParam();
    const std::string output = path("chart.pdf");
    int strips = -7;
    int columns = -7;
    ASSERT_EQ(createChart(static_cast<IdMeasureInstrument>(3), output.c_str(), m.reference.c_str(),
                          kA4WidthMm, kA4HeightMm, 0, &strips, &columns, nullptr, m.mode),
              1);
    EXPECT_EQ(strips, 5);
    EXPECT_EQ(columns, 18);
    EXPECT_EQ(files(), std::set<std::string>{"chart.pdf"});
    EXPECT_TRUE(pdfprobe::qpdfCheckPasses(output));
    const auto sizes = pdfprobe::pageSizesMm(output);
    ASSERT_EQ(sizes.size(), 1U);
    EXPECT_NEAR(sizes[0].widthMm, kA4WidthMm, 0.01);
    EXPECT_NEAR(sizes[0].heightMm, kA4HeightMm, 0.01);

    const Reference ref = readReference(m.reference);
    const RenderedPage page = RenderedPage::of(output, m.mode, dir_ / "render");
    ASSERT_FALSE(page.empty());
    const double left = 15.0;
    const std::vector<Cell> cells = {{0, 0},   {0, 17}, {1, 0},  {7, 9},
                                     {24, 17}, {25, 0}, {26, 5}, {28, 17}};
    for (const Cell& cell : cells) {
        const int n =
            cell.line < 25 ? cell.line * 18 + cell.column : (cell.line - 25) * 18 + cell.column;
        const auto row = static_cast<std::size_t>(cell.line < 25 ? 89 - n % 90 : n % 90);
        EXPECT_TRUE(pageShowsRow(page, m.mode, ref, row, m.spotNames,
                                 cellCentreX(left, cell.column), cellCentreY(cell.line)))
            << "line " << cell.line << " column " << cell.column << " (row " << row + 1 << ")";
    }
    // The lines end where they began on the left: nothing runs off the
    // right edge, and the bottom strip of 7 mm stays empty.
    for (int line : {0, 1, 12, 28}) {
        EXPECT_TRUE(page.isPaper(7.5, cellCentreY(line)));
        EXPECT_TRUE(page.isPaper(kA4WidthMm - 7.5, cellCentreY(line)));
    }
    EXPECT_TRUE(page.isPaper(100.0, 293.0));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WarmUpChart,
    ::testing::Values(WarmUpMode{CM_CMYK, "CMYK", testFile("cmyk_90.txt"), {}},
                      WarmUpMode{CM_CMYKOG, "CMYKOG", testFile("cmykog_90.txt"), {}},
                      WarmUpMode{CM_SIXCOLOR_7, "SixColor7", testFile("cmykog_90.txt"), {}},
                      WarmUpMode{CM_CMYKRGB, "CMYKRGB", testFile("cmykrgb_90.txt"), {}},
                      WarmUpMode{CM_LAB, "Lab", testFile("lab_90.txt"), {}},
                      WarmUpMode{CM_RGB, "RGB", testFile("rgb_90.txt"), {}},
                      WarmUpMode{
                          CM_SPOT_2, "Spot2", testFile("spot2_90.txt"), {"Spot 1", "Spot 2"}}),
    [](const ::testing::TestParamInfo<WarmUpMode>& param) {
        return std::string(param.param.label);
    });

class WarmUpChartIds : public HostFolder {};

TEST_F(WarmUpChartIds, UnlistedIdsGetTheWarmUpPage) {
    const Reference ref = readReference(testFile("cmyk_5.txt"));
    // Id 0 has no instrument: the five patches as they are. 48 and 1000 lie
    // beyond the table: padded to six patches, 3 blocks of 6 from x = 15 mm.
    // 29 is named but has no layout; as a Barbieri id it is padded to eight:
    // 2 blocks of 8 from x = 25 mm.
    struct Case {
        int id;
        int columns;
        int listLength;
        double lineLeftMm;
    };
    for (const Case& c :
         {Case{0, 5, 5, 5.0}, Case{29, 8, 8, 25.0}, Case{48, 6, 6, 15.0}, Case{1000, 6, 6, 15.0}}) {
        SCOPED_TRACE("id " + std::to_string(c.id));
        const std::string output = path("id" + std::to_string(c.id) + ".pdf");
        int strips = -7;
        int columns = -7;
        ASSERT_EQ(createChart(static_cast<IdMeasureInstrument>(c.id), output.c_str(),
                              testFile("cmyk_5.txt").c_str(), kA4WidthMm, kA4HeightMm, 0, &strips,
                              &columns, nullptr, CM_CMYK),
                  1);
        EXPECT_EQ(strips, 1);
        EXPECT_EQ(columns, c.columns);
        EXPECT_TRUE(pdfprobe::qpdfCheckPasses(output));
        const RenderedPage page = RenderedPage::of(output, CM_CMYK, dir_ / "render");
        const int perLine = c.columns * (210 / (10 * c.columns));
        for (int line : {0, 1, 28}) {
            for (int column : {0, 3, perLine - 1}) {
                const int inList = column % c.listLength;
                const int index = line % 2 == 0 ? c.listLength - 1 - inList : inList;
                EXPECT_TRUE(pageShowsRow(page, CM_CMYK, ref, static_cast<std::size_t>(index), {},
                                         cellCentreX(c.lineLeftMm, column), cellCentreY(line)))
                    << "line " << line << " column " << column;
            }
        }
    }
    EXPECT_EQ(files(), (std::set<std::string>{"id0.pdf", "id29.pdf", "id48.pdf", "id1000.pdf"}));
}

TEST_F(WarmUpChartIds, CmykPlusOrangeHasNoWarmUpPage) {
    const std::string output = path("chart.pdf");
    int strips = -7;
    int columns = -7;
    EXPECT_EQ(createChart(static_cast<IdMeasureInstrument>(3), output.c_str(),
                          testFile("cmyko_90.txt").c_str(), kA4WidthMm, kA4HeightMm, 0, &strips,
                          &columns, nullptr, CM_CMYKO),
              0);
    EXPECT_EQ(strips, -7);
    EXPECT_EQ(columns, -7);
    EXPECT_TRUE(files().empty());
}

TEST_F(WarmUpChartIds, ALongReferenceFillsThreePages) {
    const std::string reference = sampleFile("cmyk_1500.txt");
    const std::string output = path("chart.pdf");
    int strips = -7;
    int columns = -7;
    ASSERT_EQ(createChart(static_cast<IdMeasureInstrument>(3), output.c_str(), reference.c_str(),
                          kA4WidthMm, kA4HeightMm, 0, &strips, &columns, nullptr, CM_CMYK),
              1);
    EXPECT_EQ(strips, 27);
    EXPECT_EQ(columns, 19);
    EXPECT_EQ(files(), (std::set<std::string>{"chart.pdf", "chart.pdf_1.tif", "chart.pdf_2.tif"}));

    const Reference ref = readReference(reference);
    // Each page repeats its own part of the list: 513 patches on the first
    // two pages, 475 on the last (the padding patch 1501 included). One
    // block of 19 from x = 10 mm; 27 strips make one backward pass of
    // 13851 patches, more than the page's 551 cells.
    struct PageCase {
        std::string file;
        int first;
        int length;
    };
    const std::vector<PageCase> pages = {{path("chart.pdf"), 0, 513},
                                         {path("chart.pdf_1.tif"), 513, 513},
                                         {path("chart.pdf_2.tif"), 1026, 475}};
    for (const PageCase& p : pages) {
        SCOPED_TRACE(p.file);
        EXPECT_TRUE(pdfprobe::qpdfCheckPasses(p.file));
        const auto sizes = pdfprobe::pageSizesMm(p.file);
        ASSERT_EQ(sizes.size(), 1U);
        EXPECT_NEAR(sizes[0].widthMm, kA4WidthMm, 0.01);
        EXPECT_NEAR(sizes[0].heightMm, kA4HeightMm, 0.01);
        if (quickRun() && p.first == 513) {
            continue;
        }
        const RenderedPage page = RenderedPage::of(p.file, CM_CMYK, dir_ / "render");
        for (const Cell& cell : std::vector<Cell>{{0, 0}, {0, 18}, {1, 0}, {25, 0}, {28, 18}}) {
            const int n = cell.line * 19 + cell.column;
            const auto row = static_cast<std::size_t>(p.first + p.length - 1 - n % p.length);
            EXPECT_TRUE(pageShowsRow(page, CM_CMYK, ref, row, {}, cellCentreX(10.0, cell.column),
                                     cellCentreY(cell.line)))
                << "line " << cell.line << " column " << cell.column << " (row " << row + 1 << ")";
        }
    }
}

}  // namespace
}  // namespace hostcheck
