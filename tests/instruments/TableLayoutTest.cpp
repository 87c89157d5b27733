// Geometry of the table and sheet-fed layouts worked out by hand: the i1iSis
// device control line and chart-id code text, the code glyphs turned into
// their cells, and the corner marks of the i1iO and SpectroScan pages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "instruments/ISis.h"
#include "instruments/IoDevice.h"
#include "instruments/SpectroScan.h"

namespace GenChartLib {

// Found by argument lookup when vectors of marks are compared.
inline bool operator==(const MarkRect& a, const MarkRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

namespace {

struct ControlCase {
    const char* label;
    double patchMm;
    PageLayout page;
    double marginTop;
    double frameWidth;    // layoutFrame[0]
    const char* numbers;  // everything from " NumberOfRows="
};

TEST(ISisControlBlock, OneLineOfMillimetresEndedByCrLf) {
    // 6.0 mm: 30 x 6 = 180 bar, 3 + 6 + 3 = 12 to the first row, 5 + 10 +
    // 180 = 195 between the markers, 2.5 + 5 + 3 = 10.5 from a marker to the
    // patch centre. 8.15 mm patches are 8.1 in the block: 14 x 8.1 = 113.4,
    // 3 + 6 + 4.05 = 13.05, 15 + 113.4 = 128.4, 7.5 + 4.05 = 11.55.
    const ControlCase cases[] = {
        {"six",
         6.0,
         {150.0, 201.0, 30, 20},
         32.0,
         -1.0,
         " NumberOfRows=20 NumberOfColumns=30 PatchSizeX=6 PatchSizeY=6 BarSizeX=180 BarSizeY=6"
         " DistBarToFirstLine=12 MarkersDistance=195 MarkerPatchDistance=10.5"
         " DistancePaperEdgeToBar=35 ChartSizeX=201"},
        {"framed",
         8.15,
         {120.0, 131.0, 14, 3},
         40.0,
         28.5,
         " NumberOfRows=3 NumberOfColumns=14 PatchSizeX=8.1 PatchSizeY=8.1 BarSizeX=113.4"
         " BarSizeY=6 DistBarToFirstLine=13.05 MarkersDistance=128.4 MarkerPatchDistance=11.55"
         " DistancePaperEdgeToBar=43 ChartSizeX=28.5"},
    };
    for (const ControlCase& c : cases) {
        ChartParams params;
        params.patchWidth = params.patchHeight = c.patchMm;
        params.marginTop = c.marginTop;
        params.layoutFrame[0] = c.frameWidth;
        params.pages = {c.page};
        EXPECT_EQ(deviceControlBlock(params),
                  std::string("iSis_INFO\t\"DensityStandard=ANSIA Illumination=D50 "
                              "Observer=TwoDegree ColorSpace=CIELab Type=0") +
                      c.numbers + "\"\r\n")
            << c.label;
    }
    EXPECT_EQ(deviceControlFileName("out/chart.tif.tmp"), "out/chart.tif.dcf");
}

TEST(ISisChartIdCode, FieldsThenIdThenChecksumEvenLength) {
    // Checksums summed by hand from the character codes.
    EXPECT_EQ(chartIdCodeText({0, 0, 22, 14}, 8.0, 8.0, "C0A8000107"),
              "0E16080800EXC0A80001070*1303");
    // 6 mm gives 0; a sum below 1000 has three digits and a blank evens it.
    EXPECT_EQ(chartIdCodeText({0, 0, 1, 1}, 6.0, 6.0, ""), "0101000000EX0*729 ");
    EXPECT_EQ(chartIdCodeText({0, 0, 30, 1}, 5.0, 10.0, "7F00000A1F"),
              "011E001000EX7F00000A1F0*1300");
}

TEST(ISisChartIdCode, GlyphsTurnWithinTheirCell) {
    // '1' lights the two right-hand uprights (x 30 to 36 of the upright
    // cell); turned, they stand 40 - 36 = 4 from the cell's left edge.
    const CodeGlyph one = turnedIntoCell(codeGlyph('1'), 1000, 2000);
    ASSERT_EQ(one.bars.size(), 2u);
    for (const MarkRect& bar : one.bars) {
        EXPECT_EQ(bar.x, 1004);
        EXPECT_EQ(bar.width, 6);
        EXPECT_GE(bar.y, 2003);
        EXPECT_LE(bar.y + bar.height, 2057);
    }
    EXPECT_TRUE(codeGlyph(' ').bars.empty() && codeGlyph(' ').slants.empty());
    for (const char c : std::string("0123456789ABCDEFX*")) {
        const CodeGlyph g = codeGlyph(c);
        EXPECT_FALSE(g.bars.empty() && g.slants.empty()) << c;
    }
}

TEST(TableCornerMarks, WhereTheReaderLooksForThem) {
    // i1iO, 8.0 x 7.5 mm patches, 1.0 mm gaps (P = 90, Q = 75), margins 5/7:
    // 3 rows of 4. The grid's right edge is 70 + 4 x 90 - 10 = 420, the
    // last row starts at 50 + 2 x 75 = 200 and ends at 275.
    IoGeometry io{50, 70, 75, 80, 0, 10};
    EXPECT_EQ(io.rowRight(4), 420);
    EXPECT_EQ(io.barAfterPatchX(3), 420);
    const std::vector<MarkRect> ioMarks = {{55, 35, 100, 10},  {55, 35, 10, 85},
                                           {55, 280, 100, 10}, {55, 205, 10, 85},
                                           {330, 280, 95, 10}, {425, 205, 10, 85}};
    EXPECT_EQ(io.cornerMarks(3, 4), ioMarks);
    EXPECT_FALSE(IoGeometry::hasLeadingBar(0, 3) || IoGeometry::hasTrailingBar(2, 3));
    EXPECT_TRUE(IoGeometry::hasLeadingBar(0, 1) && IoGeometry::hasTrailingBar(0, 1));

    // SpectroScan, 6 mm patches without gaps, margins 5/6: a row of 10 ends
    // at 60 + 600 = 660; two rows end at 50 + 120 = 170.
    SpectroScanGeometry scan{50, 60, 60, 60, 0, 0};
    const std::vector<MarkRect> corners = {{46, 36, 68, 8},  {46, 36, 8, 68},   {600, 36, 64, 8},
                                           {664, 36, 8, 68}, {600, 174, 64, 8}, {664, 114, 8, 68}};
    EXPECT_EQ(scan.cornerMarks(2, 10), corners);
    const std::vector<MarkRect> brackets = {{46, 36, 30, 8},  {46, 36, 8, 88},  {46, 116, 30, 8},
                                            {645, 36, 30, 8}, {668, 36, 8, 88}, {645, 116, 30, 8}};
    EXPECT_EQ(scan.singleRowBrackets(10), brackets);
    // "A" level with the middle of the first row, "C" 2 mm below the grid's
    // bottom less half a patch.
    EXPECT_EQ(scan.cornerLabels(2, 10)[0].y, 80);
    EXPECT_EQ(scan.cornerLabels(2, 10)[2].y, 170 - 30 + 20);
}

}  // namespace
}  // namespace GenChartLib
