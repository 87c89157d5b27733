// Barbieri scanning-table charts (SpectroLFP_R for ids 28, 31-33,
// SpectroPad for id 34) made through createChart: the device-control file
// byte for byte against hand-worked text, and every patch of the reference
// found as a solid 6 x 6 mm area, in measuring order, on the grid that file
// describes (its cell = target size / patch count, from the margin's
// corner), with the strip numbers left of the rows; the side-file rules.
//
// Hand-worked layouts (mm). Margins 20 (Spectro LFP / Swing) or 15
// (SpectroPad), no gaps; the layout search keeps full pages.
// - Id 28, A4, 90 patches of 8: usable 170 x 257 -> 21 x 32 cells; the
//   least-waste grid is 18 x 5 (no waste). Page 184 x 80, target 144 x 40.
// - Id 31, 150 x 150, APERTURESIZE 6 (10 mm): 11 x 11 cells, grid 10 x 9.
//   Page 140 x 130, target 100 x 90.
// - Id 32, 150 x 150, LOWRES (12 mm): 9 x 9 cells hold 81 of 90: two pages
//   of 9 x 5 (ceil(90 / 9 / 2)). Page 148 x 100, target 108 x 60, 90 cells.
// - Id 33, A4, 3 sets: padded to the table's 8; 8 columns of 8 mm are 64 mm,
//   below the 75 mm target minimum: 10 columns, two of paper. Page 120 x
//   48 (least height 20 + 8 + 20), target 80 x 8, 10 cells.
// - Id 34, A5, 300 patches of 10 mm: usable 118 x 180 -> 11 x 18 cells
//   hold 198: two pages of 11 x 14 (ceil(300 / 11 / 2)). Page 140 x 170,
//   target 110 x 140, 308 cells with the padding.
// - Id 34, A4, 3 sets: padded to 6; 48 mm widened to 10 columns. Page
//   110 x 38, target 80 x 8.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/EyeOnePages.h"

namespace readback {
namespace {

struct Family {
    std::string name;
    std::vector<IdMeasureInstrument> ids;
    double pageWidthMm, pageHeightMm;
    std::string keywords;
    std::size_t rows;
    int columns, strips, cells, pages, targetX, targetY;  // the control file's figures
    std::uint32_t widthPx, heightPx;
};

// clang-format off
const std::vector<Family> kFamilies = {
    {"Lfp", {MI_SPECTROLFP}, 210, 297, "", 90, 18, 5, 90, 1, 144, 40, 1840, 800},
    {"SwingAperture6", {MI_SPECTROSWING}, 150, 150, "APERTURESIZE 6\n", 90,
     10, 9, 90, 1, 100, 90, 1400, 1300},
    {"SwingLowResTwoPages", {MI_SPECTROSWING_2}, 150, 150, "LOWRES 1\n", 90,
     9, 5, 90, 2, 108, 60, 1480, 1000},
    {"Lfp3Widened", {MI_SPECTROLFP_3}, 210, 297, "", 3, 10, 1, 10, 1, 80, 8, 1200, 480},
    {"PadTwoPages", {MI_SPECTROPAD}, 148, 210, "APERTURESIZE 6\n", 300,
     11, 14, 308, 2, 110, 140, 1400, 1700},
    {"PadWidened", {MI_SPECTROPAD}, 210, 297, "", 3, 10, 1, 10, 1, 80, 8, 1100, 380},
};
// clang-format on

class BarbieriChart : public HostFolder,
                      public ::testing::WithParamInterface<FamilyCase<Family>> {};

TEST_P(BarbieriChart, DescribesTheGridItDraws) {
    const Family& c = GetParam().f;
    const ModeSpec& m = GetParam().mode;
    writeReference(path("ref.txt"), m, c.rows, c.keywords);
    ASSERT_TRUE(makes(c.ids[0], "chart.tif", path("ref.txt"), c.pageWidthMm, c.pageHeightMm, m.mode,
                      c.strips, c.columns));
    const std::vector<std::string> pages = chartFiles("chart.tif", c.pages, {"chart.tif.dcf"});
    char control[512];
    std::snprintf(control, sizeof control,
                  "Spectro_xy_version=1\r\nFile_Format=BARBIERI%s\r\nPatches_X=%d\r\n"
                  "Patches_Y=%d\r\nNumber_of_Patches=%d\r\nNumber_of_Pages=%d\r\n"
                  "Target_Size_X=%d\r\nTarget_Size_Y=%d\r\nMR\r\nIlluminant=D50\r\nObserver=2\r\n"
                  "Density=Status A\r\nSave_Spectral=1\r\nSave_Lab=1\r\nSave_XYZ=0\r\n"
                  "Save_Density=0\r\nFast_Measuring_Mode=1\r\nUse_AutoPositioning=1\r\n",
                  c.ids[0] == MI_SPECTROPAD ? " - Horizontal (default)" : "", c.columns, c.strips,
                  c.cells, c.pages, c.targetX, c.targetY);
    EXPECT_EQ(fileText(path("chart.tif.dcf")), control);

    // The grid as the control file states it, from the margin's corner:
    // every patch a solid 6 x 6 mm at the centre of its cell, the strip
    // numbers in a box half a row high, centred on the row.
    const std::int64_t margin = c.ids[0] == MI_SPECTROPAD ? 150 : 200;
    const std::int64_t cellX = c.targetX * 10 / c.columns;
    const std::int64_t cellY = c.targetY * 10 / c.strips;
    const std::int64_t size = std::min<std::int64_t>(cellY / 8, 20);
    std::size_t k = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const TiffPage page = readTiff(pages[p]);
        ASSERT_TRUE(hasShape(page, c.widthPx, c.heightPx, m.mode));
        for (int row = 0; row < c.strips; ++row) {
            const std::int64_t top = margin + row * cellY;
            EXPECT_EQ(readNumber(page, fixedBytes(m, kBlack), 2, margin, top + cellY / 2 - 6 - size,
                                 size),
                      std::to_string(static_cast<int>(p) * c.strips + row + 1));
            for (int col = 0; col < c.columns; ++col, ++k) {
                const Bytes want = k < c.rows ? rowBytes(m, k) : fixedBytes(m, kPaper);
                std::size_t solid = 0;
                for (std::int64_t i = 0; i < 3600; ++i) {
                    solid += pixelAt(page, margin + col * cellX + (cellX - 60) / 2 + i % 60,
                                     top + (cellY - 60) / 2 + i / 60) == want;
                }
                ASSERT_EQ(solid, 3600U) << "patch " << k << " on page " << p;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Charts, BarbieriChart,
                         ::testing::ValuesIn(familyCases(kFamilies, 5, kEveryMode)), kByLabel);

}  // namespace
}  // namespace readback
