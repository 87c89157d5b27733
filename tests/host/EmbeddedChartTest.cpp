// Charts of the printer-embedded units (HpZ for ids 40 and 41, Epson 45,
// Canon 46, EpsonILS30 47) made through createChart and read back with
// libtiff: page size, channels and photometric, no page frame, the bytes at
// the centre of every patch, the bars and marks of every strip, and the
// command text (tag 270) of every page file.
//
// Layouts worked out by hand (tenths of a millimetre; 90 patches):
// - Epson on A4: (2100 - 802) / 70 -> 18 patches a strip, 5 strips; page
//   682 + 18 x 70 = 1942 wide, 5 x 150 + 370 + 300 = 1420 high. The block
//   starts at 347: start bar 347-356, patches from 417, end bar 40 after the
//   last patch (1717-1746). Lab: no header or footer, 750 high, top 0.
// - EpsonILS30 on A4: (2100 - 732) / 70 -> 19, ceil(90 / 19) = 5 strips,
//   evened to 18; 5 x 120 + 370 < 2330, so rows are 12 mm: 970 + 300 = 1270
//   high, 612 + 1260 = 1872 wide. Bars 35 wide at 347 and 1642, patches
//   from 382. Lab: 600 high.
// - Canon on A4: usable 2000 x 2870 -> (2000 - 490) / 70 = 21 a strip,
//   (2870 - 550) / 150 = 15 strips; 90 patches take 5 strips of 18; page 490
//   + 1260 = 1750 x 550 + 750 = 1300. Start bar 200-209, patches from 270,
//   end bar 1570-1599. On 150 x 100: 13 a strip, 2 strips a page: 7 strips
//   of 13 (one paper patch) on pages of 2, 2, 2, 1 strips, 1400 x 850.
// - HpZ on A4: usable 1417 x 2446 -> 9 x 16 cells, 90 patches as 10 strips
//   of 9; page 50 + 1350 + 533 = 1933 x 4 + 1500 + 420 = 1924. Marks 70 high
//   (60 + 0.008 x 1350) centred at 40 in the strip; slant 17, step 40, last
//   bar 8 after the second step: bars 80, 110 (slanted), 150 (slanted), 198,
//   patches from 243; the end mark from 1593: 1623, 1653, 1693, 1741. On 210
//   x 120: 4 x 9 cells, three pages of 4 strips, 108 patches, 1933 x 1024.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/EyeOnePages.h"

namespace readback {
namespace {

enum class Modes { All, NotLab, LabOnly };

struct Family {
    std::string name;
    std::vector<IdMeasureInstrument> ids;
    Modes modes;
    double sheetWidthMm, sheetHeightMm;
    std::vector<int> strips;  // per page
    int columns;
    std::uint32_t widthPx, heightPx;
    std::int64_t top, pitch, firstPatchX, patchWidth;  // the pitch is also the patch height
    std::vector<std::int64_t> blackXs;                 // bars on a strip's middle row
    std::vector<std::int64_t> paperXs;                 // paper between and after them
    std::int64_t barTop, barBottom;     // rows of the first bar, from the strip's top
    std::vector<std::string> commands;  // per page
};

const std::string kCanon = "ECH 2700 2500 13 2 700 1500 0 0 ";
const std::vector<std::int64_t> kHpzBars = {87, 126, 166, 205, 1630, 1669, 1709, 1748};
const std::vector<std::int64_t> kHpzPaper = {100, 230, 1610, 1800};

// clang-format off
const std::vector<Family> kFamilies = {
    {"Epson", {MI_EPSON}, Modes::NotLab, 210, 297, {5}, 18, 1942, 1420, 370, 150, 417, 70,
     {351, 1731}, {380, 1700, 1760}, 0, 150, {"ECH 1520 4000 18 5 700 1500 4"}},
    {"EpsonLab", {MI_EPSON}, Modes::LabOnly, 210, 297, {5}, 18, 1942, 750, 0, 150, 417, 70,
     {351, 1731}, {380, 1700, 1760}, 0, 150, {"ECH 1520 300 18 5 700 1500 4"}},
    {"Ils30", {MI_EPSONILS30}, Modes::NotLab, 210, 297, {5}, 18, 1872, 1270, 370, 120, 382,
     70, {364, 1659}, {340, 1690}, 0, 120, {"ECH 1520 4000 18 5 700 1200 4"}},
    {"Ils30Lab", {MI_EPSONILS30}, Modes::LabOnly, 210, 297, {5}, 18, 1872, 600, 0, 120, 382,
     70, {364, 1659}, {340, 1690}, 0, 120, {"ECH 1520 300 18 5 700 1200 4"}},
    {"Canon", {MI_CANON}, Modes::All, 210, 297, {5}, 18, 1750, 1300, 250, 150, 270, 70,
     {204, 1585}, {240, 1550, 1620}, 0, 150, {"ECH 2700 2500 18 5 700 1500 0 0 1 1"}},
    {"CanonPages", {MI_CANON}, Modes::All, 150, 100, {2, 2, 2, 1}, 13, 1400, 850, 250, 150,
     270, 70, {204, 1235}, {240, 1200, 1270}, 0, 150,
     {kCanon + "1 4", kCanon + "2 4", kCanon + "3 4", "ECH 2700 2500 13 1 700 1500 0 0 4 4"}},
    {"HpZ", {MI_HPZ_UVCUT, MI_HPZ}, Modes::All, 210, 297, {10}, 9, 1933, 1924, 4, 150, 243,
     150, kHpzBars, kHpzPaper, 40, 110, {"ECH 0 0 9 90"}},
    {"HpZPages", {MI_HPZ}, Modes::All, 210, 120, {4, 4, 4}, 9, 1933, 1024, 4, 150, 243, 150,
     kHpzBars, kHpzPaper, 40, 110, {"ECH 0 0 9 36", "ECH 0 0 9 36", "ECH 0 0 9 36"}},
};
// clang-format on

bool takes(const Family& f, ColorMode mode) {
    return f.modes == Modes::All || (f.modes == Modes::LabOnly) == (mode == CM_LAB);
}

class EmbeddedChart : public HostFolder,
                      public ::testing::WithParamInterface<FamilyCase<Family>> {};

TEST_P(EmbeddedChart, DrawsEveryStripAndStatesItsGrid) {
    const FamilyCase<Family>& c = GetParam();
    const Family& f = c.f;
    writeReference(path("ref.txt"), c.mode, 90, "");
    ASSERT_TRUE(makes(c.id, "chart.tif", path("ref.txt"), f.sheetWidthMm, f.sheetHeightMm,
                      c.mode.mode, f.strips.front(), f.columns));
    const std::vector<std::string> pages = chartFiles("chart.tif", f.strips.size());
    std::size_t k = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE("page " + std::to_string(p));
        const TiffPage page = readTiff(pages[p]);
        ASSERT_TRUE(hasShape(page, f.widthPx, f.heightPx, c.mode.mode));
        EXPECT_EQ(page.description, f.commands[p]);
        // No frame: the corners and edges where its dashes would be.
        const std::int64_t right = page.width - 1, bottom = page.height - 1;
        std::vector<Mark> marks = {
            {5, 0, false}, {0, 5, false}, {right, 5, false}, {5, bottom, false}};
        for (int s = 0; s < f.strips[p]; ++s) {
            const std::int64_t y = f.top + s * f.pitch, mid = y + f.pitch / 2;
            for (int col = 0; col < f.columns; ++col, ++k) {
                EXPECT_EQ(pixelAt(page, f.firstPatchX + col * f.patchWidth + f.patchWidth / 2, mid),
                          k < 90 ? rowBytes(c.mode, k) : fixedBytes(c.mode, kPaper))
                    << "patch " << k;
            }
            for (const std::int64_t x : f.blackXs) {
                marks.push_back({x, mid, true});
            }
            for (const std::int64_t x : f.paperXs) {
                marks.push_back({x, mid, false});
            }
            // The first bar's ends, and paper beyond them when it does not span the strip.
            const std::int64_t bar = f.blackXs.front();
            marks.insert(marks.end(),
                         {{bar, y + f.barTop, true}, {bar, y + f.barBottom - 1, true}});
            if (f.barTop != 0) {
                marks.insert(marks.end(),
                             {{bar, y + f.barTop - 1, false}, {bar, y + f.barBottom, false}});
            }
        }
        expectMarks(page, c.mode, marks);
    }
}

INSTANTIATE_TEST_SUITE_P(Charts, EmbeddedChart,
                         ::testing::ValuesIn(familyCases(kFamilies, 3, takes)), kByLabel);

}  // namespace
}  // namespace readback
