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

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/EyeOnePages.h"

namespace readback {
namespace {

struct GridCase {
    std::string label;
    IdMeasureInstrument id;
    double pageWidthMm, pageHeightMm;
    std::string keywords;
    std::size_t rows;
    int columns, strips, cells, pages, targetX, targetY;  // the control file's figures
    std::uint32_t widthPx, heightPx;
};

std::vector<std::string> controlLines(const GridCase& c) {
    const auto line = [](const char* key, int value) {
        return std::string(key) + "=" + std::to_string(value);
    };
    return {"Spectro_xy_version=1",
            c.id == MI_SPECTROPAD ? "File_Format=BARBIERI - Horizontal (default)"
                                  : "File_Format=BARBIERI",
            line("Patches_X", c.columns),
            line("Patches_Y", c.strips),
            line("Number_of_Patches", c.cells),
            line("Number_of_Pages", c.pages),
            line("Target_Size_X", c.targetX),
            line("Target_Size_Y", c.targetY),
            "MR",
            "Illuminant=D50",
            "Observer=2",
            "Density=Status A",
            "Save_Spectral=1",
            "Save_Lab=1",
            "Save_XYZ=0",
            "Save_Density=0",
            "Fast_Measuring_Mode=1",
            "Use_AutoPositioning=1"};
}

std::vector<std::pair<GridCase, ModeSpec>> gridCases() {
    // clang-format off
    const std::vector<GridCase> charts = {
        {"Lfp", MI_SPECTROLFP, 210, 297, "", 90, 18, 5, 90, 1, 144, 40, 1840, 800},
        {"SwingAperture6", MI_SPECTROSWING, 150, 150, "APERTURESIZE 6\n", 90,
         10, 9, 90, 1, 100, 90, 1400, 1300},
        {"SwingLowResTwoPages", MI_SPECTROSWING_2, 150, 150, "LOWRES 1\n", 90,
         9, 5, 90, 2, 108, 60, 1480, 1000},
        {"Lfp3Widened", MI_SPECTROLFP_3, 210, 297, "", 3, 10, 1, 10, 1, 80, 8, 1200, 480},
        {"PadTwoPages", MI_SPECTROPAD, 148, 210, "APERTURESIZE 6\n", 300,
         11, 14, 308, 2, 110, 140, 1400, 1700},
        {"PadWidened", MI_SPECTROPAD, 210, 297, "", 3, 10, 1, 10, 1, 80, 8, 1100, 380},
    };
    // clang-format on
    std::vector<std::pair<GridCase, ModeSpec>> cases;
    std::size_t sampled = 0;
    for (const ModeSpec& m : allModes()) {
        for (const GridCase& c : charts) {
            if (m.mode == CM_CMYK || sampled++ % (quickRun() ? 5 : 2) == 0) {
                cases.push_back({c, m});
            }
        }
    }
    return cases;
}

class BarbieriChart : public HostFolder,
                      public ::testing::WithParamInterface<std::pair<GridCase, ModeSpec>> {};

TEST_P(BarbieriChart, DescribesTheGridItDraws) {
    const GridCase& c = GetParam().first;
    const ModeSpec& m = GetParam().second;
    writeReference(path("reference.txt"), m, c.rows, c.keywords);
    const Made made =
        make(c.id, "chart.tif", path("reference.txt"), c.pageWidthMm, c.pageHeightMm, m.mode);
    ASSERT_EQ(made.result, 1);
    EXPECT_EQ(std::make_pair(made.columns, made.strips), std::make_pair(c.columns, c.strips));
    std::set<std::string> expectedFiles{"chart.tif.dcf", "reference.txt"};
    for (const std::string& name : pageFiles("chart.tif", std::size_t(c.pages))) {
        expectedFiles.insert(name);
    }
    ASSERT_EQ(files(), expectedFiles);
    const std::vector<std::string> pages = pagePaths("chart.tif", std::size_t(c.pages));
    expectSideFile(path("chart.tif.dcf"), controlLines(c));

    // The grid as the control file states it, from the margin's corner.
    const std::int64_t margin = c.id == MI_SPECTROPAD ? 150 : 200;
    const std::int64_t cellX = c.targetX * 10 / c.columns;
    const std::int64_t cellY = c.targetY * 10 / c.strips;
    std::size_t k = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const TiffPage page = readTiff(pages[p]);
        ASSERT_EQ(std::make_pair(page.width, page.height), std::make_pair(c.widthPx, c.heightPx));
        ASSERT_EQ(std::make_pair(page.samplesPerPixel, page.photometric),
                  std::make_pair(static_cast<std::uint16_t>(m.columns.size()), m.photometric));
        for (int row = 0; row < c.strips; ++row) {
            const std::int64_t top = margin + row * cellY;
            // Numbers in a box half a row high, centred on the row.
            const std::int64_t size = std::min<std::int64_t>(cellY / 8, 20);
            EXPECT_EQ(readNumber(page, fixedBytes(m, kBlack), 2, margin, top + cellY / 2 - 6 - size,
                                 size),
                      std::to_string(static_cast<int>(p) * c.strips + row + 1));
            for (int col = 0; col < c.columns; ++col, ++k) {
                const Bytes want = k < c.rows ? rowBytes(m, k) : fixedBytes(m, kPaper);
                std::size_t solid = 0;  // of the 6 x 6 mm at the cell's centre
                for (std::int64_t i = 0; i < 3600; ++i) {
                    solid += pixelAt(page, margin + col * cellX + (cellX - 60) / 2 + i % 60,
                                     top + (cellY - 60) / 2 + i / 60) == want;
                }
                ASSERT_EQ(solid, 3600U) << "patch " << k << " on page " << p;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Charts, BarbieriChart, ::testing::ValuesIn(gridCases()),
                         [](const ::testing::TestParamInfo<std::pair<GridCase, ModeSpec>>& param) {
                             return param.param.first.label + "_" + param.param.second.label;
                         });

// The control file is only written for a chart that is made, never over
// the reference or an earlier chart; without it no page is made. Id 29 is a
// warm-up page without one.
struct RuleCase {
    std::string label;
    IdMeasureInstrument id;
    std::string reference;             // name in the folder
    std::vector<std::string> earlier;  // files there before the job; a folder at chart.tif.dcf
    bool controlFileFolder;
    int result;
    std::set<std::string> after;
};

class BarbieriSideFile : public HostFolder, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(BarbieriSideFile, IsWrittenOnlyForAChartThatIsMade) {
    const RuleCase& c = GetParam();
    writeReference(path(c.reference), allModes().front(), 12, "");
    for (const std::string& name : c.earlier) {
        std::ofstream(path(name)) << "earlier " << name;
    }
    if (c.controlFileFolder) {
        std::filesystem::create_directory(path("chart.tif.dcf"));
    }
    const std::string before = fileText(path(c.reference));
    EXPECT_EQ(make(c.id, "chart.tif", path(c.reference), 210, 297, CM_CMYK).result, c.result);
    EXPECT_EQ(fileText(path(c.reference)), before);
    for (const std::string& name : c.earlier) {
        EXPECT_EQ(fileText(path(name)), "earlier " + name);
    }
    EXPECT_EQ(files(), c.after);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rules, BarbieriSideFile, ::testing::Values(
    RuleCase{"ReferenceHasTheControlFileName", MI_SPECTROPAD, "chart.tif.dcf", {}, false, 0,
             {"chart.tif.dcf"}},
    RuleCase{"EarlierChartKept", MI_SPECTROSWING, "r.txt", {"chart.tif", "chart.tif.dcf"}, false,
             0, {"r.txt", "chart.tif", "chart.tif.dcf"}},
    RuleCase{"ControlFileCannotBeWritten", MI_SPECTROLFP_3, "r.txt", {}, true, 0,
             {"r.txt", "chart.tif.dcf"}},
    RuleCase{"WarmUpPageWritesNone", MI_SPECTROLFP_2, "r.txt", {}, false, 1, {"r.txt", "chart.tif"}}),
    [](const ::testing::TestParamInfo<RuleCase>& param) { return param.param.label; });
// clang-format on

}  // namespace
}  // namespace readback
