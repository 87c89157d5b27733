// SpectroScan (id 5), i1iO (ids 23, 25) and i1iSis (ids 26, 27, 37) charts
// made through createChart and read back with libtiff: page size, channels
// and photometric per colour mode, the bytes at the centre of every patch,
// the corner marks, bars, diamonds and arrows, the ".dcf" control block, and
// the id-37 chart-id code read back glyph by glyph.
//
// Layouts worked out by hand (mm, 90 patches, quality mode 0):
// - SpectroScan: margins 5/6/20/6, 6 mm patches touching. A4: 193 x 198
//   usable -> 32 x 33 cells, the search keeps 3 strips of 30; page 6 + 180 +
//   6 = 192 x 18 + 25 = 43. On 100 x 35: 1 x 14 cells, seven pages of a
//   single row closed by brackets, page 96 x 31.
// - i1iO: margins 5/7/22/6, 8 x 7.5 patches, 1 mm width gaps. A4: 36 x 22
//   cells, columns trimmed to 18 (divides 90), 5 strips, page 7 + 18 x 9 + 1
//   + 6 = 176 x 64.5. On 100 x 60: 4 x 9 cells, pages of 4, 4 and 2 strips,
//   95 x 57.
// - i1iSis: margins 32/3/30/3, 6 mm patches, leader 12 above and 10 either
//   side, least page 120 high. A4: 37 x 30 cells, 3 strips of 30, page 206
//   x 120. On 60 x 120: 7 x 5 cells, the search takes 6 strips, three pages,
//   56 x 120. Id 37 has a 43 mm bottom margin: 5 x 5 cells, four pages of
//   5 strips (every page of an optimised layout takes the first one's
//   strips; paper fills the last), 100 mm wide (its least width); rows 26 mm
//   below the top margin instead of 12.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "Support.h"
#include "host/EyeOnePages.h"

namespace readback {
namespace {

enum class Marks { Scan, Io, ISis };

struct Family {
    std::string name;
    Marks marks;
    std::vector<IdMeasureInstrument> ids;
    double widthMm, heightMm;
    std::vector<int> strips;  // per page
    int columns;
    std::uint32_t widthPx, heightPx;
    std::int64_t left, top, patchW, patchH, gapW;
    std::string controlNumbers;  // the .dcf values from NumberOfRows on
};

const std::vector<IdMeasureInstrument> kIo = {MI_IOPRO2, MI_IO};
const std::vector<IdMeasureInstrument> kISis = {MI_ISIS, MI_ISISUV};
const std::string kISisA4 =
    "3 NumberOfColumns=30 PatchSizeX=6 PatchSizeY=6 BarSizeX=180 BarSizeY=6 "
    "DistBarToFirstLine=12 MarkersDistance=195 MarkerPatchDistance=10.5 "
    "DistancePaperEdgeToBar=35 ChartSizeX=206";
const std::string kISisSmall =
    "6 NumberOfColumns=5 PatchSizeX=6 PatchSizeY=6 BarSizeX=30 BarSizeY=6 "
    "DistBarToFirstLine=12 MarkersDistance=45 MarkerPatchDistance=10.5 "
    "DistancePaperEdgeToBar=35 ChartSizeX=56";
// clang-format off
const std::vector<Family> kFamilies = {
    {"Scan", Marks::Scan, {MI_SPECTROSCAN}, 210, 297, {3}, 30, 1920, 430, 60, 50, 60, 60, 0, ""},
    {"ScanRows", Marks::Scan, {MI_SPECTROSCAN}, 100, 35, {1, 1, 1, 1, 1, 1, 1}, 14, 960, 310, 60, 50, 60, 60, 0, ""},
    {"Io", Marks::Io, kIo, 210, 297, {5}, 18, 1760, 645, 70, 50, 80, 75, 10, ""},
    {"IoPages", Marks::Io, kIo, 100, 60, {4, 4, 2}, 9, 950, 570, 70, 50, 80, 75, 10, ""},
    {"ISis", Marks::ISis, kISis, 210, 297, {3}, 30, 2060, 1200, 130, 440, 60, 60, 0, kISisA4},
    {"ISisPages", Marks::ISis, kISis, 60, 120, {6, 6, 3}, 5, 560, 1200, 130, 440, 60, 60, 0, kISisSmall},
    {"Coded", Marks::ISis, {MI_ISIS2NET}, 210, 297, {3}, 30, 2060, 1200, 130, 580, 60, 60, 0, ""},
    {"CodedPages", Marks::ISis, {MI_ISIS2NET}, 60, 120, {5, 5, 5, 5}, 5, 1000, 1200, 130, 580, 60, 60, 0, ""},
};
// clang-format on

// The code characters read back from their cells: a 4 x 6 mm cell per
// character, two per 5 mm column (odd ones 3.5 mm, even ones 10.5 mm below
// the bar), each glyph turned 180 degrees. Segments are sampled at their
// centres as drawn upright: top, upper and lower right, bottom, lower and
// upper left, middle, the centre upright, the two slants.
std::string readCode(const TiffPage& page, const Bytes& black, std::int64_t barBottom,
                     std::size_t length) {
    const int centres[10][2] = {{20, 6}, {33, 17}, {33, 43}, {20, 54}, {7, 43},
                                {7, 17}, {20, 30}, {20, 44}, {13, 17}, {27, 17}};
    const std::string chars = "0123456789ABCDEFX*";
    const int lit[18] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07,  0x7F,
                         0x6F, 0x77, 0x7C, 0x39, 0x5E, 0x79, 0x71, 0x340, 0x3C9};
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        const std::int64_t x = 130 + static_cast<std::int64_t>(i / 2) * 50;
        const std::int64_t y = barBottom + (i % 2 == 0 ? 105 : 35);
        int on = 0;
        for (int s = 0; s < 10; ++s) {
            on |= is(page, x + 40 - centres[s][0], y + 60 - centres[s][1], black) ? 1 << s : 0;
        }
        const int* match = std::find(lit, lit + 18, on);
        text += on == 0             ? ' '
                : match == lit + 18 ? '?'
                                    : chars[static_cast<std::size_t>(match - lit)];
    }
    return text;
}

// The chart-id counter lives in the temporary folder, here the test's own.
class TableChart : public HostFolder, public ::testing::WithParamInterface<FamilyCase<Family>> {
  protected:
    void SetUp() override {
        testsupport::setEnv("TMPDIR", path(""));
        testsupport::setEnv("TMP", path(""));
    }
    void TearDown() override {
        testsupport::unsetEnv("TMPDIR");
        testsupport::unsetEnv("TMP");
    }
    int counter() const {
        const std::string bytes = fileText(path("qvnstcid.dat"));
        return bytes.size() == 1 ? static_cast<unsigned char>(bytes[0]) : -1;
    }
};

TEST_P(TableChart, DrawsPatchesAndMarksWhereTheLayoutPutsThem) {
    const FamilyCase<Family>& c = GetParam();
    const Family& f = c.f;
    const bool coded = c.id == MI_ISIS2NET;
    writeReference(path("ref.txt"), c.mode, 90, "");
    ASSERT_TRUE(makes(c.id, "chart.tif", path("ref.txt"), f.widthMm, f.heightMm, c.mode.mode,
                      f.strips.front(), f.columns));
    const std::vector<std::string> pages =
        chartFiles("chart.tif", f.strips.size(),
                   {f.controlNumbers.empty() ? "" : "chart.tif.dcf", coded ? "qvnstcid.dat" : "",
                    coded ? "qvnstcid.dat.lock" : ""});
    if (!f.controlNumbers.empty()) {
        EXPECT_EQ(fileText(path("chart.tif.dcf")),
                  "iSis_INFO\t\"DensityStandard=ANSIA Illumination=D50 Observer=TwoDegree "
                  "ColorSpace=CIELab Type=0 NumberOfRows=" +
                      f.controlNumbers + "\"\r\n");
    }

    const Bytes black = fixedBytes(c.mode, kBlack);
    const Bytes paper = fixedBytes(c.mode, kPaper);
    std::size_t k = 0;
    std::string firstId;
    for (std::size_t p = 0; p < f.strips.size(); ++p) {
        SCOPED_TRACE("page " + std::to_string(p));
        const TiffPage page = readTiff(pages[p]);
        ASSERT_TRUE(hasShape(page, f.widthPx, f.heightPx, c.mode.mode));
        const std::int64_t rows = f.strips[p], pitchX = f.patchW + f.gapW;
        const std::int64_t left = f.left, top = f.top, bottom = top + rows * f.patchH;
        const std::int64_t right = left + f.columns * pitchX - f.gapW;  // of the grid
        std::vector<Mark> marks;
        for (std::int64_t r = 0; r < rows; ++r) {
            const std::int64_t mid = top + r * f.patchH + f.patchH / 2;
            for (std::int64_t col = 0; col < f.columns; ++col, ++k) {
                const std::int64_t x = left + col * pitchX;
                ASSERT_EQ(pixelAt(page, x + f.patchW / 2, mid),
                          k < 90 ? rowBytes(c.mode, k) : paper)
                    << "patch " << k;
                if (f.marks == Marks::Io) {  // a half-gap bar after each patch but the row's last
                    marks.push_back(
                        {x + f.patchW + 2, mid, col + 1 < f.columns || rows == 1 || r + 1 < rows});
                    if (col + 1 < f.columns) {
                        marks.push_back({x + f.patchW + 7, mid, false});
                    }
                }
            }
            if (f.marks == Marks::Io) {  // the bar before the first patch of the inner rows
                marks.push_back({left - 2, mid, rows == 1 || (r > 0 && r + 1 < rows)});
            }
            // clang-format off
            if (f.marks == Marks::ISis) {  // diamonds 5 mm either side of the grid
                marks.insert(marks.end(), {{55, mid, true}, {right + 75, mid, true},
                    {35, mid - 12, false}, {55, mid + 20, false}});
            }
            // clang-format on
        }
        // Corners A, B, C (none at the fourth), brackets at both ends of a
        // single row, or the iSis feed arrows and the bar across the grid.
        // clang-format off
        if (f.marks == Marks::Scan && rows > 1) {
            marks.insert(marks.end(), {{left - 10, top - 10, true}, {right + 8, top - 10, true},
                {right + 8, bottom + 8, true}, {left - 10, bottom + 8, false}});
        } else if (f.marks == Marks::Scan) {
            marks.insert(marks.end(), {{left - 10, top + 30, true}, {right + 12, top + 30, true},
                {left + 10, bottom + 10, true}, {right - 10, bottom + 10, true}});
        } else if (f.marks == Marks::Io && rows > 1) {
            marks.insert(marks.end(), {{left - 10, top - 10, true}, {left - 10, bottom + 10, true},
                {right + 10, bottom + 10, true}, {right + 10, top - 10, false}});
        } else if (f.marks == Marks::ISis) {
            marks.insert(marks.end(), {{130, 100, true}, {f.widthPx - 130, 100, true},
                {130, 40, true}, {133, 350, true}, {right - 3, 350, true},
                {right + 3, 350, false}});
        }
        // clang-format on
        expectMarks(page, c.mode, marks);
        if (coded) {
            // Strips and columns, "000000", "EX", the id (one per chart), the
            // counter, "0*" and the sum of the characters before.
            const std::string code = readCode(page, black, 380, 28);
            char fields[32];
            std::snprintf(fields, sizeof fields, "%02X%02X000000EX%02X0*", f.strips[p], f.columns,
                          counter());
            EXPECT_EQ(code.substr(0, 12) + code.substr(20, 4), fields) << code;
            const unsigned sum = std::accumulate(
                code.begin(), code.begin() + 24, 0u,
                [](unsigned total, char ch) { return total + static_cast<unsigned char>(ch); });
            EXPECT_EQ(code.substr(24), std::to_string(sum)) << code;
            firstId = p == 0 ? code.substr(12, 10) : firstId;
            EXPECT_EQ(code.substr(12, 10), firstId) << "one id per chart";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Charts, TableChart,
                         ::testing::ValuesIn(familyCases(kFamilies, 4, kEveryMode)), kByLabel);

// The counter advances once per chart, whatever its pages, and a link
// planted in its place is replaced, never written through.
TEST_F(TableChart, ChartIdCounterAdvancesOncePerChartWithoutFollowingLinks) {
    writeReference(path("ref.txt"), allModes().front(), 90, "");
#ifndef _WIN32  // links need privileges on Windows
    std::ofstream(path("victim")) << "keep";
    std::filesystem::create_symlink(path("victim"), path("qvnstcid.dat"));
#endif
    ASSERT_EQ(result(MI_ISIS2NET, "a.tif", path("ref.txt"), 60, 120), 1);
    EXPECT_TRUE(!fs::exists(path("victim")) || fileText(path("victim")) == "keep");
    const int first = counter();
    ASSERT_EQ(result(MI_ISIS2NET, "b.tif", path("ref.txt")), 1);
    EXPECT_EQ(counter(), first % 255 + 1);
}

}  // namespace
}  // namespace readback
